#include "analysis/indexholders.h"

#include "analysis/vorelplot.h"

IndexHolder::IndexHolder(const QString& name, int count, IndexViewProxy* proxy)
    : QObject(proxy)
    , count(count)
    , proxy(proxy)
{
    setObjectName(name);
}

void IndexHolder::setVisible(bool on)
{
    visible = on;
}

void IndexHolder::update(const QVector<Stock>& /*bars*/)
{
}

QCPAxis* IndexHolder::keyAxis() const
{
    return proxy->axis(QCPAxis::atBottom);
}

QCPAxis* IndexHolder::valueAxis() const
{
    return proxy->axis(QCPAxis::atLeft);
}

QCPGraph* IndexHolder::addGraph(const QString& name, const QColor& color)
{
    auto* graph = new QCPGraph(keyAxis(), valueAxis());
    graph->setName(name);
    graph->setPen(QPen(color));
    plottables << graph;
    return graph;
}

QCPBars* IndexHolder::addBars(const QColor& color)
{
    auto* bars = new QCPBars(keyAxis(), valueAxis());
    bars->setPen(Qt::NoPen);
    bars->setBrush(color);
    bars->setWidth(kChartBarWidth);
    plottables << bars;
    return bars;
}

QCPFinancial* IndexHolder::addOhlcBars()
{
    auto* bars = new QCPFinancial(keyAxis(), valueAxis());
    bars->setChartStyle(QCPFinancial::csOhlc);
    bars->setWidth(kChartBarWidth);
    bars->setTwoColored(true);
    bars->setBrushPositive(chartRisingColor());
    bars->setPenPositive(QPen(chartRisingColor()));
    bars->setBrushNegative(chartFallingColor());
    bars->setPenNegative(QPen(chartFallingColor()));
    plottables << bars;
    return bars;
}

void IndexHolder::showPlottables()
{
    for (QCPAbstractPlottable* plottable : plottables)
        plottable->setVisible(visible);
}

bool IndexHolder::startDrawing(const QVector<Stock>& bars)
{
    for (QCPAbstractPlottable* plottable : plottables) {
        if (auto* graph = qobject_cast<QCPGraph*>(plottable))
            graph->data()->clear();
        else if (auto* barPlot = qobject_cast<QCPBars*>(plottable))
            barPlot->data()->clear();
        else if (auto* ohlc = qobject_cast<QCPFinancial*>(plottable))
            ohlc->data()->clear();
    }
    showPlottables();
    return !bars.isEmpty() && visible;
}

QVector<IndicatorResult> IndexHolder::resultsOf(StockIndicator& indicator, const QVector<Stock>& bars)
{
    indicator.clear();
    QVector<IndicatorResult> results(bars.size());
    for (int i = 0; i < bars.size(); ++i)
        results[i] = indicator.update(bars.at(i));
    return results;
}

VolumeHolder::VolumeHolder(int count, IndexViewProxy* proxy)
    : IndexHolder(QStringLiteral("成交量"), count, proxy)
    , upBars(addBars(chartRisingColor()))
    , downBars(addBars(chartFallingColor()))
    , vol5(addGraph("vol.vol5", Qt::red))
    , vol10(addGraph("vol.vol10", Qt::green))
    , volMa5(new VolMaNIndicator(5))
    , volMa10(new VolMaNIndicator(10))
{
}

void VolumeHolder::update(const QVector<Stock>& bars)
{
    if (!startDrawing(bars))
        return;

    const QVector<IndicatorResult> average5 = resultsOf(*volMa5, bars);
    const QVector<IndicatorResult> average10 = resultsOf(*volMa10, bars);
    const int first = firstShown(bars.size());
    for (int i = first; i < bars.size(); ++i) {
        const Stock& bar = bars.at(i);
        const double x = keyOf(i - first);
        (bar.close >= bar.open ? upBars : downBars)->addData(x, bar.volume / 10000.0);
        // An average not yet formed is drawn at 0, keeping both lines as long as the bars.
        vol5->addData(x, average5.at(i).first / 10000.0);
        vol10->addData(x, average10.at(i).first / 10000.0);
    }
}

MacdHolder::MacdHolder(int count, IndexViewProxy* proxy)
    : IndexHolder(QStringLiteral("MACD"), count, proxy)
    , upBars(addBars(chartRisingColor()))
    , downBars(addBars(chartFallingColor()))
    , diff(addGraph("macd.diff", Qt::yellow))
    , dea(addGraph("macd.dea", Qt::white))
{
}

void MacdHolder::update(const QVector<Stock>& bars)
{
    if (!startDrawing(bars))
        return;

    drawValid(resultsOf(macd, bars), [this](int, double x, const IndicatorResult& r) {
        (r.first >= 0 ? upBars : downBars)->addData(x, r.first);
        diff->addData(x, r.second);
        dea->addData(x, r.third);
    });
}

KDJHolder::KDJHolder(int count, IndexViewProxy* proxy)
    : IndexHolder(QStringLiteral("KDJ"), count, proxy)
    , k(addGraph("kdj.k", Qt::red))
    , d(addGraph("kdj.d", Qt::green))
    , j(addGraph("kdj.j", Qt::blue))
{
}

void KDJHolder::update(const QVector<Stock>& bars)
{
    if (!startDrawing(bars))
        return;

    drawValid(resultsOf(kdj, bars), [this](int, double x, const IndicatorResult& r) {
        k->addData(x, r.first);
        d->addData(x, r.second);
        j->addData(x, r.third);
    });
}

BollHolder::BollHolder(int count, IndexViewProxy* proxy)
    : IndexHolder(QStringLiteral("Boll"), count, proxy)
    , bars(addOhlcBars())
    , upper(addGraph("boll.upper", Qt::red))
    , middle(addGraph("boll.middle", Qt::green))
    , lower(addGraph("boll.lower", Qt::magenta))
{
}

void BollHolder::update(const QVector<Stock>& series)
{
    if (!startDrawing(series))
        return;

    QVector<double> keys, open, high, low, close;
    drawValid(resultsOf(boll, series), [&](int i, double x, const IndicatorResult& r) {
        upper->addData(x, r.first + r.second - r.third);
        middle->addData(x, r.first);
        lower->addData(x, r.first - r.second + r.third);
        const Stock& bar = series.at(i);
        keys << x;
        open << bar.open;
        high << bar.high;
        low << bar.low;
        close << bar.close;
    });
    bars->setData(keys, open, high, low, close, true);
}

IndexViewProxy::IndexViewProxy(QCustomPlot* plot, int row, int column)
    : QCPAxisRect(plot, true)
{
    plot->plotLayout()->addElement(row, column, this);
    setMaximumSize(QWIDGETSIZE_MAX, 100);

    QCPAxis* bottom = axis(QCPAxis::atBottom);
    bottom->setLayer("axes");
    bottom->grid()->setLayer("grid");
    bottom->setVisible(false);
    axis(QCPAxis::atLeft)->setVisible(false);

    setAutoMargins(QCP::msLeft | QCP::msRight | QCP::msBottom);
    setMargins(QMargins(0, 0, 0, 0));
    plot->plotLayout()->setRowSpacing(0);

    auto* group = new QCPMarginGroup(plot);
    plot->axisRect()->setMarginGroup(QCP::msLeft | QCP::msRight, group);
    setMarginGroup(QCP::msLeft | QCP::msRight, group);

    connect(plot->xAxis, QOverload<const QCPRange&>::of(&QCPAxis::rangeChanged), bottom,
            QOverload<const QCPRange&>::of(&QCPAxis::setRange));
    connect(bottom, QOverload<const QCPRange&>::of(&QCPAxis::rangeChanged), plot->xAxis,
            QOverload<const QCPRange&>::of(&QCPAxis::setRange));
}

void IndexViewProxy::setup(int count)
{
    if (!holders.isEmpty())
        return;
    holders << new VolumeHolder(count, this) << new MacdHolder(count, this)
            << new KDJHolder(count, this) << new BollHolder(count, this);
    current = holders.first();
}

QStringList IndexViewProxy::holderNames() const
{
    QStringList names;
    for (const IndexHolder* holder : holders)
        names << holder->objectName();
    return names;
}

void IndexViewProxy::setCurrent(const QString& name)
{
    if (current && current->objectName() == name)
        return;
    for (IndexHolder* holder : holders) {
        if (holder->objectName() == name) {
            current = holder;
            holder->setVisible(true);
            holder->update(paneBars);
        } else {
            holder->setVisible(false);
        }
    }
}

void IndexViewProxy::update(const QVector<Stock>& bars)
{
    // Before setup there is nothing to draw with.
    if (!current)
        return;
    current->setVisible(true);
    for (IndexHolder* holder : holders)
        holder->update(bars);
    axis(QCPAxis::atLeft)->rescale(true);
}
