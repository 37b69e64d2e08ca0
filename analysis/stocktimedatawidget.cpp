#include "analysis/stocktimedatawidget.h"

#include "analysis/vorelplot.h"

#include <QVBoxLayout>

StockTimeDataWidget::StockTimeDataWidget(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    plot = new VorelPlot(this);
    layout->addWidget(plot);
    // A trading day has 241 minutes.
    plot->xAxis->setRange(-1, 241);
    plot->setDarkLook();

    buildVolumeRect();
    upBars = addVolumeBars(chartRisingColor());
    downBars = addVolumeBars(chartFallingColor());
    plot->addGraph("ma", nullptr, nullptr)->setPen(QPen(Qt::yellow));
    plot->addGraph("price", nullptr, nullptr)->setPen(QPen(Qt::blue));

    // buildVolumeRect() put the volumes in the row below the prices; the title
    // row goes in above both.
    title = plot->addTitleRow(QStringLiteral("000000"), 12);
    // The prices get three parts of what the title leaves, the volumes one
    // (never more than their maximum): in the end-of-day page's half of a
    // small screen equal parts left the prices too low for their labels.
    // Their minimum sizes and margins (50 and 15 pixels) would squeeze a low
    // chart into equal parts instead.
    plot->plotLayout()->setRowStretchFactor(1, 3);
    plot->plotLayout()->setRowStretchFactor(2, 1);
    plot->axisRect()->setMinimumMargins(QMargins(15, 4, 15, 4));
    volumeRect->setMinimumSize(0, 16);
    volumeRect->setMinimumMargins(QMargins(15, 0, 15, 2));
}

void StockTimeDataWidget::buildVolumeRect()
{
    volumeRect = new QCPAxisRect(plot, true);
    volumeRect->setMaximumSize(QWIDGETSIZE_MAX, 100);
    plot->plotLayout()->addElement(1, 0, volumeRect);

    QCPAxis* bottom = volumeRect->axis(QCPAxis::atBottom);
    bottom->setLayer("axes");
    bottom->grid()->setLayer("grid");
    bottom->setVisible(false);
    volumeRect->axis(QCPAxis::atLeft)->setVisible(false);
    volumeRect->setAutoMargins(QCP::msLeft | QCP::msRight | QCP::msBottom);
    volumeRect->setMargins(QMargins(0, 0, 0, 0));
    plot->plotLayout()->setRowSpacing(0);

    auto* group = new QCPMarginGroup(plot);
    plot->axisRect()->setMarginGroup(QCP::msLeft | QCP::msRight, group);
    volumeRect->setMarginGroup(QCP::msLeft | QCP::msRight, group);

    connect(plot->xAxis, QOverload<const QCPRange&>::of(&QCPAxis::rangeChanged), bottom,
            QOverload<const QCPRange&>::of(&QCPAxis::setRange));
    connect(bottom, QOverload<const QCPRange&>::of(&QCPAxis::rangeChanged), plot->xAxis,
            QOverload<const QCPRange&>::of(&QCPAxis::setRange));
}

QCPBars* StockTimeDataWidget::addVolumeBars(const QColor& color)
{
    auto* bars = new QCPBars(volumeRect->axis(QCPAxis::atBottom), volumeRect->axis(QCPAxis::atLeft));
    bars->setPen(Qt::NoPen);
    bars->setBrush(color);
    bars->setWidth(0.9);
    return bars;
}

void StockTimeDataWidget::setData(const StockTimeData& newRecord)
{
    record = newRecord;
    title->setText(record.code);

    QCPGraph* average = plot->graph(QStringLiteral("ma"));
    QCPGraph* price = plot->graph(QStringLiteral("price"));
    average->data()->clear();
    price->data()->clear();
    upBars->data()->clear();
    downBars->data()->clear();

    // The first minute has no earlier price to fall from: it counts as rising.
    float previousPrice = 0;
    for (int x = 0; x < record.rows.size(); ++x) {
        const MinuteRow& row = record.rows.at(x);
        (row.price >= previousPrice ? upBars : downBars)->addData(x, row.volume);
        average->addData(x, row.average);
        price->addData(x, row.price);
        previousPrice = row.price;
    }
    plot->rescaleAxes();
    keepMinimumPriceSpan(plot->yAxis);
    plot->replot();
}
