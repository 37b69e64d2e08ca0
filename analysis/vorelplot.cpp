#include "analysis/vorelplot.h"

#include <QDebug>

#include <algorithm>
#include <cmath>

namespace {

// Keeps the messages recognisable next to the library's own addGraph ones.
const char* const kAddGraphSignature =
    "class QCPGraph *__thiscall QCustomPlot::addGraph(const class QString &,class QCPAxis *,class QCPAxis *)";

const double kMinimumSpanShare = 0.02;
const double kMinimumSpan = 0.02;

} // namespace

void keepMinimumPriceSpan(QCPAxis* priceAxis)
{
    if (!priceAxis)
        return;
    const QCPRange range = priceAxis->range();
    const double centre = range.center();
    const double span = std::max(kMinimumSpan, std::fabs(centre) * kMinimumSpanShare);
    if (range.size() < span)
        priceAxis->setRange(centre - span / 2, centre + span / 2);
}

VorelPlot::VorelPlot(QWidget* parent)
    : QCustomPlot(parent)
{
}

QCPGraph* VorelPlot::addGraph(const QString& name, QCPAxis* keyAxis, QCPAxis* valueAxis)
{
    if (!keyAxis)
        keyAxis = xAxis;
    if (!valueAxis)
        valueAxis = yAxis;
    if (!keyAxis || !valueAxis) {
        qDebug() << kAddGraphSignature
                 << "can't use default QCustomPlot xAxis or yAxis, because at least one is invalid (has been deleted)";
        return nullptr;
    }
    if (keyAxis->parentPlot() != this || valueAxis->parentPlot() != this) {
        qDebug() << kAddGraphSignature
                 << "passed keyAxis or valueAxis doesn't have this QCustomPlot as parent";
        return nullptr;
    }
    // The graph registers itself with the plot.
    auto* graph = new QCPGraph(keyAxis, valueAxis);
    graph->setName(name);
    return graph;
}

void VorelPlot::setDarkLook()
{
    setBackground(QBrush(Qt::black));
    setLocale(QLocale(QLocale::Chinese, QLocale::China));
    axisRect()->setupFullAxesBox(false);
    const QColor axisColor(140, 140, 140);
    for (QCPAxis* axis : axisRect()->axes()) {
        axis->setBasePen(QPen(axisColor));
        axis->setTickPen(QPen(axisColor));
        axis->setSubTickPen(QPen(axisColor));
        axis->setTickLabelColor(axisColor);
    }
}

QCPTextElement* VorelPlot::addTitleRow(const QString& text, int pointSize)
{
    plotLayout()->insertRow(0);
    auto* title = new QCPTextElement(this, text);
    title->setTextColor(QColor(244, 244, 244));
    QFont font = title->font();
    font.setPointSize(pointSize);
    title->setFont(font);
    plotLayout()->addElement(0, 0, title);
    return title;
}

QCPGraph* VorelPlot::graph(const QString& name) const
{
    for (int i = 0; i < graphCount(); ++i) {
        QCPGraph* candidate = QCustomPlot::graph(i);
        if (candidate->name() == name)
            return candidate;
    }
    return nullptr;
}
