#include "analysis/candlestickwidget.h"

#include "analysis/charttextlayer.h"
#include "analysis/indexholders.h"
#include "analysis/indicators.h"
#include "analysis/vorelplot.h"
#include "core/textutils.h"
#include "core/vorelapplication.h"
#include "datasource/storedhistory.h"
#include "datasource/webinterface.h"
#include "widgets/pagestatus.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalMapper>
#include <QVBoxLayout>

namespace {

// What the status line says after a load of `code`. Without bars the chart
// goes on showing the stock it showed, so the text names the one asked for;
// a history that answered without bars held nothing this chart can read.
// Bars that came but could not be kept are shown, and the text says so.
QString loadStatus(const QString& code, bool noBars, const HistoryOutcome& outcome)
{
    if (noBars)
        return failureText(QStringLiteral("%1的K线下载").arg(code), answerFailure(outcome.failure, false));
    if (!outcome.notStored.isEmpty())
        return failureText(QStringLiteral("%1的K线保存").arg(code), outcome.notStored);
    return QString();
}

QCPGraph::LineStyle lineStyleOf(int style)
{
    // A strategy may hand any number; unknown styles draw a plain line.
    if (style < QCPGraph::lsNone || style > QCPGraph::lsImpulse)
        return QCPGraph::lsLine;
    return QCPGraph::LineStyle(style);
}

} // namespace

CandlestickWidget::CandlestickWidget(bool embedded, QWidget* parent)
    : QWidget(parent)
    , embedded(embedded)
    , ma5(new MaNIndicator(5))
    , ma10(new MaNIndicator(10))
    , ma20(new MaNIndicator(20))
{
    setWindowTitle(QStringLiteral("股票日K"));
    setWindowIcon(QIcon(":logo/vorel.png"));
    if (!embedded)
        setFixedSize(960, 320);
    buildPlot();
    buildMenu();

    for (const char* name : {"line1", "line2", "line3"})
        plot->addGraph(name, nullptr, nullptr);

    comment = new vorel::QwtText(plot, QString(), vorel::QwtText::AutoText);
    comment->setAntialiased(true);
    comment->setColor(QColor(184, 26, 26));
    QFont commentFont = comment->font();
    commentFont.setPointSize(15);
    comment->setFont(commentFont);
}

CandlestickWidget::~CandlestickWidget() = default;

void CandlestickWidget::buildPlot()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    plot = new VorelPlot(this);
    layout->addWidget(plot);
    statusLabel = createStatusLabel(this);
    // The layout has no margins: the plot reaches the window's edges.
    statusLabel->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(statusLabel);
    plot->setDarkLook();
    plot->setInteractions(QCP::iRangeDrag);
    title = plot->addTitleRow(QStringLiteral("--"), 16);

    candles = new QCPFinancial(plot->xAxis, plot->yAxis);
    candles->setName("Candlestick");
    candles->setChartStyle(QCPFinancial::csCandlestick);
    candles->setWidth(kChartBarWidth);
    candles->setTwoColored(true);
    candles->setBrushPositive(chartRisingColor());
    candles->setPenPositive(QPen(chartRisingColor()));
    candles->setBrushNegative(chartFallingColor());
    candles->setPenNegative(QPen(chartFallingColor()));
    plot->addGraph("ma5", nullptr, nullptr)->setPen(QPen(Qt::yellow));
    plot->addGraph("ma10", nullptr, nullptr)->setPen(QPen(Qt::cyan));
    plot->addGraph("ma20", nullptr, nullptr)->setPen(QPen(Qt::gray));

    mapper = new QSignalMapper(this);
    proxy = new IndexViewProxy(plot, 2, 0);
    // The prices get most of the height, also in a chart as low as the add-on
    // scan dialog's: the pane takes a quarter of what the title leaves (never
    // more than its maximum). The plot's own minimum sizes and margins (50
    // and 15 pixels) would squeeze a low chart into equal parts instead.
    plot->plotLayout()->setRowStretchFactor(1, 3);
    plot->plotLayout()->setRowStretchFactor(2, 1);
    plot->axisRect()->setMinimumSize(0, 30);
    plot->axisRect()->setMinimumMargins(QMargins(15, 4, 15, 4));
    proxy->setMinimumSize(0, 16);
    proxy->setMinimumMargins(QMargins(15, 0, 15, 2));
    connect(plot, &QCustomPlot::afterLayout, this, &CandlestickWidget::fitPriceTicks);

    plot->xAxis->setBasePen(Qt::NoPen);
    plot->xAxis->setTickLabels(false);
    plot->xAxis->setTicks(false);
    plot->rescaleAxes();
    frameAxes();
}

void CandlestickWidget::buildMenu()
{
    menu = new QMenu(this);
    QMenu* adjustMenu = menu->addMenu(QStringLiteral("除权"));
    for (const char* text : {"不复权", "前复权", "后复权"})
        adjustMenu->addAction(createAction(QString::fromUtf8(text), mapper));
    indicatorMenu = menu->addMenu(QStringLiteral("指标"));
    QMenu* periodMenu = menu->addMenu(QStringLiteral("K线"));
    for (const char* text : {"日线", "周线", "月线"})
        periodMenu->addAction(createAction(QString::fromUtf8(text), mapper));

    connect(mapper, &QSignalMapper::mappedString, this, &CandlestickWidget::doAction);
    connect(plot, &QCustomPlot::mousePress, this, &CandlestickWidget::onMouseClick);
}

QAction* CandlestickWidget::createAction(const QString& text, QObject* receiver)
{
    auto* action = new QAction(text, this);
    connect(action, SIGNAL(triggered()), receiver, SLOT(map()));
    mapper->setMapping(action, text);
    return action;
}

void CandlestickWidget::setData(int count, const QVector<Stock>& bars)
{
    showBars(count, bars, {});
}

void CandlestickWidget::setData(int count, const QVector<Stock>& bars, const ChartLine& line1)
{
    showBars(count, bars, {&line1});
}

void CandlestickWidget::setData(int count, const QVector<Stock>& bars, const ChartLine& line1,
                                const ChartLine& line2)
{
    showBars(count, bars, {&line1, &line2});
}

void CandlestickWidget::setData(int count, const QVector<Stock>& bars, const ChartLine& line1,
                                const ChartLine& line2, const ChartLine& line3)
{
    showBars(count, bars, {&line1, &line2, &line3});
}

void CandlestickWidget::showBars(int newCount, const QVector<Stock>& series,
                                 const QVector<const ChartLine*>& lines)
{
    if (series.isEmpty())
        return;
    count = newCount;
    proxy->setup(count);
    if (indicatorMenu->actions().isEmpty()) {
        for (const QString& name : proxy->holderNames())
            indicatorMenu->addAction(createAction(name, mapper));
    }

    // Every overlay is cleared, not only those given now: a new stock must
    // never show the lines drawn for the previous one.
    for (const char* name : {"ma5", "ma10", "ma20", "line1", "line2", "line3"})
        plot->graph(QString::fromLatin1(name))->data()->clear();
    ma5->clear();
    ma10->clear();
    ma20->clear();

    bars = series;
    const int size = bars.size();
    QVector<IndicatorResult> average5(size), average10(size), average20(size);
    for (int i = 0; i < size; ++i) {
        average5[i] = ma5->update(bars.at(i));
        average10[i] = ma10->update(bars.at(i));
        average20[i] = ma20->update(bars.at(i));
    }

    // A count below 1 would show nothing (and leave no bar to take the
    // title from): it shows the whole series instead.
    const int first = count < 1 ? 0 : qMax(size - count, 0);
    QVector<double> keys, open, high, low, close;
    keys.reserve(size - first);
    open.reserve(size - first);
    high.reserve(size - first);
    low.reserve(size - first);
    close.reserve(size - first);
    QCPGraph* maGraphs[] = {plot->graph("ma5"), plot->graph("ma10"), plot->graph("ma20")};
    const QVector<IndicatorResult>* averages[] = {&average5, &average10, &average20};
    for (int i = first; i < size; ++i) {
        const Stock& bar = bars.at(i);
        const double key = IndexHolder::keyOf(i - first);
        keys << key;
        open << bar.open;
        high << bar.high;
        low << bar.low;
        close << bar.close;
        for (int m = 0; m < 3; ++m) {
            const IndicatorResult& r = averages[m]->at(i);
            if (r.valid)
                maGraphs[m]->addData(key, r.first);
        }
    }
    for (int l = 0; l < lines.size() && l < 3; ++l)
        drawLine(l + 1, lines.at(l), first, size);

    const QString shownCode = bars.at(first).code;
    setTitle(shownCode);
    proxy->update(bars);
    candles->setData(keys, open, high, low, close, true);
    rescale();
    plot->replot();
    setWindowTitle(shownCode);
}

void CandlestickWidget::drawLine(int index, const ChartLine* line, int first, int size)
{
    QCPGraph* graph = plot->graph(QStringLiteral("line%1").arg(index));
    graph->setScatterStyle(line->scatter);
    graph->setLineStyle(lineStyleOf(line->style));
    graph->setPen(line->pen);
    // Points are indices into the whole series; only the shown part is drawn.
    for (auto it = line->points.constBegin(); it != line->points.constEnd(); ++it) {
        if (it.key() >= first && it.key() < size)
            graph->addData(IndexHolder::keyOf(it.key() - first), it.value());
    }
}

void CandlestickWidget::rescale()
{
    // Only shown plottables count: the pane hides the drawers it does not show.
    plot->rescaleAxes(true);
    // The pane's axis, rescaled last, would pull the candles to its own data
    // (MACD and Boll start later); the candles' range wins and the pane follows.
    plot->xAxis->rescale(true);
    frameAxes();
}

void CandlestickWidget::frameAxes()
{
    // Room around the candles, so that none touches the frame.
    plot->xAxis->scaleRange(1.025, plot->xAxis->range().center());
    plot->yAxis->scaleRange(1.1, plot->yAxis->range().center());
    keepMinimumPriceSpan(plot->yAxis);
}

void CandlestickWidget::fitPriceTicks()
{
    // A label's height of room between two labels; the ticker's own five
    // where the area is tall enough.
    const int labelHeight = QFontMetrics(plot->yAxis->tickLabelFont()).height();
    const int fitting = plot->axisRect()->height() / qMax(1, 2 * labelHeight);
    plot->yAxis->ticker()->setTickCount(qBound(2, fitting, 5));
}

void CandlestickWidget::loadData(int newCount, const QString& newCode, const QString& newPeriod,
                                 const QString& newAdjust)
{
    if (newCode.isEmpty())
        return;
    // Only a code fit for a path names a file in the cache folder. A folder
    // that cannot be made is said by the store, beside the bars.
    QString cacheDir;
    if (isStockCodeForPath(newCode)) {
        QDir().mkpath(QString::fromLatin1(kKLineFolder));
        cacheDir = QString::fromLatin1(kKLineFolder);
    }

    // The download runs a local event loop: a later request may start (and
    // finish) meanwhile, and this chart may go away. The same load asked for
    // again meanwhile shows when its answer comes.
    const QString subject = QStringList { newCode, newPeriod, newAdjust, QString::number(newCount) }.join(',');
    if (loads.isAsking(subject))
        return;
    const int ticket = loads.begin(subject);
    QPointer<CandlestickWidget> self(this);
    HistoryOutcome outcome;
    const QVector<Stock> loaded = loadQQHistory(newCode, newPeriod, newAdjust, cacheDir, &outcome);
    if (!self || !loads.finish(ticket))
        return;
    showStatus(statusLabel, loadStatus(newCode, loaded.isEmpty(), outcome));
    if (loaded.isEmpty())
        return;

    count = newCount;
    code = newCode;
    period = newPeriod;
    adjust = newAdjust;
    setData(count, loaded);
}

void CandlestickWidget::setStock(int newCount, const QString& newCode, const QVector<Stock>& series,
                                 const QString& newPeriod, const QString& newAdjust)
{
    // Without bars nothing is shown, so nothing is remembered either: the
    // chart must never name one stock while it shows another.
    if (newCode.isEmpty() || series.isEmpty())
        return;
    // A load still out was for what the chart showed before.
    loads.forget();
    count = newCount;
    code = newCode;
    period = newPeriod;
    adjust = newAdjust;
    setData(count, series);
}

void CandlestickWidget::setTitle(const QString& stockCode)
{
    QString text = stockCode;
    // Embedded charts may live without the program's application object (tools, tests).
    if (const VorelApplication* app = vorelApp()) {
        const auto found = app->stockPool.constFind(stockCode);
        if (found != app->stockPool.constEnd() && !found->name.isEmpty())
            text = QStringLiteral("%1(%2)").arg(found->name, stockCode);
    }
    title->setText(text);
}

void CandlestickWidget::setComment(const QString& text, bool rich)
{
    comment->setText(text, rich ? vorel::QwtText::RichText : vorel::QwtText::AutoText);
    plot->replot(QCustomPlot::rpQueuedReplot);
}

void CandlestickWidget::refreshPane(const QVector<Stock>& series)
{
    if (series.isEmpty())
        return;
    proxy->update(series);
    rescale();
    plot->replot();
}

void CandlestickWidget::onMouseClick(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        menu->popup(event->globalPos());
    event->accept();
}

void CandlestickWidget::doAction(QString text)
{
    if (text.contains(QStringLiteral("复权"))) {
        QString newAdjust = QStringLiteral("bfq");
        if (text == QStringLiteral("后复权"))
            newAdjust = QStringLiteral("hfq");
        else if (text == QStringLiteral("前复权"))
            newAdjust = QStringLiteral("qfq");
        loadData(count, code, period, newAdjust);
    } else if (text.contains(QStringLiteral("线"))) {
        QString newPeriod = QStringLiteral("day");
        if (text == QStringLiteral("周线"))
            newPeriod = QStringLiteral("week");
        else if (text == QStringLiteral("月线"))
            newPeriod = QStringLiteral("month");
        loadData(count, code, newPeriod, adjust);
    } else {
        proxy->setCurrent(text);
        if (!bars.isEmpty()) {
            proxy->update(bars);
            rescale();
            plot->replot();
        }
    }
}
