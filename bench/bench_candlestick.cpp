// Drawing a stock in the K-line window must keep up with a user paging
// through a list: setData and a full replot of 120 bars, per indicator pane,
// within one frame (16 ms) on one core.

#include "analysis/candlestickwidget.h"
#include "analysis/indexholders.h"
#include "analysis/vorelplot.h"
#include "core/stock.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>

#include <random>

namespace {

QVector<Stock> makeBars(int n)
{
    std::mt19937 random(11);
    std::normal_distribution<float> move(0.001f, 0.02f);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    QVector<Stock> bars;
    float previous = 12.0f;
    for (int i = 0; i < n; ++i) {
        Stock bar;
        bar.code = "000001";
        bar.date = QDate(2019, 1, 2).addDays(i).toString("yyyy-MM-dd");
        bar.open = previous * (1 + (unit(random) - 0.5f) * 0.01f);
        bar.close = previous * (1 + move(random));
        bar.high = qMax(bar.open, bar.close) * (1 + unit(random) * 0.015f);
        bar.low = qMin(bar.open, bar.close) * (1 - unit(random) * 0.015f);
        bar.volume = 300000 + unit(random) * 600000;
        previous = bar.close;
        bars << bar;
    }
    return bars;
}

// The argument picks the pane: 0 volume, 1 MACD, 2 KDJ, 3 Boll. The series is
// 480 bars long, as the K-line service returns, of which 120 are shown.
void setDataAndReplot(benchmark::State& state)
{
    CandlestickWidget chart(false, nullptr);
    chart.show();
    // Let the layout give the plot its size before measuring.
    QApplication::processEvents();
    const QVector<Stock> bars = makeBars(480);
    chart.setData(120, bars);
    chart.doAction(chart.proxy->holderNames().at(int(state.range(0))));
    for (auto _ : state) {
        chart.setData(120, bars);
        benchmark::DoNotOptimize(chart.candles->dataCount());
    }
    state.SetLabel(QString("%1 %2x%3")
                       .arg(chart.proxy->currentHolder()->objectName())
                       .arg(chart.plot->width())
                       .arg(chart.plot->height())
                       .toStdString());
}

} // namespace

BENCHMARK(setDataAndReplot)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
