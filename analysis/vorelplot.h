#pragma once

// The plot every chart of the program draws on: QCustomPlot as installed, plus
// graphs that are created and found by name, so that chart code reads
// graph("ma5") instead of remembering creation indices.

#include <qcustomplot.h>

#include <QString>

class VorelPlot : public QCustomPlot
{
    Q_OBJECT
public:
    explicit VorelPlot(QWidget* parent = nullptr);

    using QCustomPlot::addGraph;
    using QCustomPlot::graph;

    // A graph named `name` on the given axes; null axes mean the plot's x and
    // y axis. Null (with a debug message) when an axis is missing or belongs
    // to another plot.
    QCPGraph* addGraph(const QString& name, QCPAxis* keyAxis, QCPAxis* valueAxis);

    // The first graph, in creation order, named exactly `name`; null when none is.
    QCPGraph* graph(const QString& name) const;

    // The look of the program's charts: a black background, Chinese number
    // formats and a box of grey axes round the main axis rect, which stay
    // readable on the black.
    void setDarkLook();
    // A title row in light text of `pointSize` points above the rows the
    // layout holds so far.
    QCPTextElement* addTitleRow(const QString& text, int pointSize);
};

// Widens the price axis about its centre to at least 2% of that price (never
// below 0.02). A day at one price (a stock locked at its limit) or a run of
// identical bars would otherwise zoom onto float noise, where every tick
// reads the same price and the average zig-zags; this way it draws flat.
void keepMinimumPriceSpan(QCPAxis* priceAxis);

// Colours shared by every chart: rising (red) and falling (green) bars.
inline QColor chartRisingColor() { return QColor(180, 90, 90); }
inline QColor chartFallingColor() { return QColor(100, 180, 110); }

// Daily charts key bar i at (i + 1) x 86400: one step per bar, weekends and
// holidays leave no gaps. Bars take 0.9 of a step.
constexpr double kChartBarStep = 86400.0;
constexpr double kChartBarWidth = 77760.0;
