#pragma once

// The indicator pane under the K-line candles: an axis rectangle of the
// chart's plot whose x range moves with the candles', filled by one of four
// drawers (volume, MACD, KDJ, Boll). Every drawer keys shown bar i at
// (i + 1) x 86400, the candles' keys, and shows the last `count` bars.
// Only the current drawer draws; the others are left empty.

#include "addon/stockindicator.h"
#include "analysis/indicators.h"
#include "core/stock.h"

#include <qcustomplot.h>

#include <QObject>
#include <QStringList>
#include <QVector>

#include <memory>

class IndexViewProxy;

class IndexHolder : public QObject
{
    Q_OBJECT
public:
    IndexHolder(const QString& name, int count, IndexViewProxy* proxy);

    // Only the flag: whether the next update draws.
    virtual void setVisible(bool on);
    // Redraws from the whole series (oldest first); a hidden holder is cleared.
    virtual void update(const QVector<Stock>& bars);

    bool isVisible() const { return visible; }
    int shownCount() const { return count; }

    // The key of shown bar `i` (0-based), shared with the candles.
    static double keyOf(int i) { return (i + 1) * 86400.0; }

protected:
    // Index of the first shown bar of a series of `size` bars; a count
    // below 1 shows every bar.
    int firstShown(int size) const { return count < 1 ? 0 : qMax(size - count, 0); }

    QCPAxis* keyAxis() const;
    QCPAxis* valueAxis() const;
    QCPGraph* addGraph(const QString& name, const QColor& color);
    QCPBars* addBars(const QColor& color);
    QCPFinancial* addOhlcBars();
    // A hidden drawer's plottables are hidden as well as empty, so that they
    // take no part in fitting the pane's value axis (empty bars still hold
    // their base line 0, which would squeeze the Boll bands).
    void showPlottables();
    // The start of every redraw: empties the plottables and shows or hides
    // them; whether there is anything to draw from `bars`.
    bool startDrawing(const QVector<Stock>& bars);
    // The indicator's result on each bar, computed afresh.
    static QVector<IndicatorResult> resultsOf(StockIndicator& indicator, const QVector<Stock>& bars);
    // Calls draw(i, key, result) for each shown bar i whose result is valid.
    template<typename Draw>
    void drawValid(const QVector<IndicatorResult>& results, Draw draw) const
    {
        const int first = firstShown(results.size());
        for (int i = first; i < results.size(); ++i) {
            if (results.at(i).valid)
                draw(i, keyOf(i - first), results.at(i));
        }
    }

    bool visible = false;
    int count = 0;
    IndexViewProxy* proxy;

private:
    QVector<QCPAbstractPlottable*> plottables;
};

// Volumes in units of 10,000 as red and green bars, with their 5 and 10-bar averages.
class VolumeHolder final : public IndexHolder
{
    Q_OBJECT
public:
    VolumeHolder(int count, IndexViewProxy* proxy);
    void update(const QVector<Stock>& bars) override;

    QCPBars* upBars;
    QCPBars* downBars;
    QCPGraph* vol5;
    QCPGraph* vol10;

private:
    std::unique_ptr<VolMaNIndicator> volMa5;
    std::unique_ptr<VolMaNIndicator> volMa10;
};

class MacdHolder final : public IndexHolder
{
    Q_OBJECT
public:
    MacdHolder(int count, IndexViewProxy* proxy);
    void update(const QVector<Stock>& bars) override;

    QCPBars* upBars;
    QCPBars* downBars;
    QCPGraph* diff;
    QCPGraph* dea;

private:
    MacdIndicator macd;
};

class KDJHolder final : public IndexHolder
{
    Q_OBJECT
public:
    KDJHolder(int count, IndexViewProxy* proxy);
    void update(const QVector<Stock>& bars) override;

    QCPGraph* k;
    QCPGraph* d;
    QCPGraph* j;

private:
    KDJIndicator kdj;
};

// Boll bands with the bars as OHLC marks where the bands exist.
class BollHolder final : public IndexHolder
{
    Q_OBJECT
public:
    BollHolder(int count, IndexViewProxy* proxy);
    void update(const QVector<Stock>& bars) override;

    QCPFinancial* bars;
    QCPGraph* upper;
    QCPGraph* middle;
    QCPGraph* lower;

private:
    BollIndicator boll;
};

class IndexViewProxy final : public QCPAxisRect
{
    Q_OBJECT
public:
    // Places the pane at (row, column) of the plot layout, lined up with and
    // dragged together with the plot's main axis rectangle.
    IndexViewProxy(QCustomPlot* plot, int row, int column);

    // Creates the four drawers on the first call; later calls change nothing,
    // so the first display count stays.
    void setup(int count);
    QStringList holderNames() const;
    // Makes the drawer named `name` current and clears it; the others stop drawing.
    void setCurrent(const QString& name);
    // Redraws every drawer from the series (only the current one draws).
    void update(const QVector<Stock>& bars);

    IndexHolder* currentHolder() const { return current; }
    const QVector<IndexHolder*>& allHolders() const { return holders; }

private:
    QVector<Stock> paneBars;   // never filled: switching drawers clears with it
    QVector<IndexHolder*> holders;
    IndexHolder* current = nullptr;
};
