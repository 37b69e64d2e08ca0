#pragma once

// The K-line chart of one stock: red and green candles with their 5, 10 and
// 20-bar averages, up to three overlay lines from a strategy, a title of name
// and code, a comment text over the plot, and one indicator pane below. The
// right-click menu switches the adjustment, the period and the pane, and
// reloads. The application keeps one stand-alone instance that the stock
// tables load stocks into; strategy pages embed their own and hand it bars.

#include "core/chartline.h"
#include "core/stock.h"
#include "widgets/latestrequest.h"

#include <QString>
#include <QVector>
#include <QWidget>

#include <memory>

class IndexViewProxy;
class MaNIndicator;
class QAction;
class QCPFinancial;
class QCPTextElement;
class QLabel;
class QMenu;
class QMouseEvent;
class QSignalMapper;
class VorelPlot;
namespace vorel {
class QwtText;
}

class CandlestickWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CandlestickWidget(bool embedded = false, QWidget* parent = nullptr);
    ~CandlestickWidget() override;

    // Shows the last `count` bars of `bars` (oldest first); an empty series
    // leaves the chart as it is. Lines not given are cleared.
    void setData(int count, const QVector<Stock>& bars);
    void setData(int count, const QVector<Stock>& bars, const ChartLine& line1);
    void setData(int count, const QVector<Stock>& bars, const ChartLine& line1, const ChartLine& line2);
    void setData(int count, const QVector<Stock>& bars, const ChartLine& line1, const ChartLine& line2,
                 const ChartLine& line3);

    // Downloads the stock's history anew (also kept under data/k/) and shows
    // it. A download without bars changes nothing, the stock settings included,
    // and says on the status line below the chart what failed; bars that
    // could not be kept are shown, and the status line says why they were
    // not kept.
    void loadData(int count, const QString& code, const QString& period, const QString& adjust);
    // Shows the given bars as the stock `code` without loading.
    void setStock(int count, const QString& code, const QVector<Stock>& bars, const QString& period,
                  const QString& adjust);
    // "name(code)" for a stock of the application's pool, else the code.
    void setTitle(const QString& code);
    // The text over the plot; automatic format unless `rich`.
    void setComment(const QString& text, bool rich);

    QAction* createAction(const QString& text, QObject* receiver);
    void refreshPane(const QVector<Stock>& bars);

    bool embedded = false;
    VorelPlot* plot = nullptr;
    QCPTextElement* title = nullptr;
    vorel::QwtText* comment = nullptr;
    QCPFinancial* candles = nullptr;
    bool strategyPage = false;
    QString code;
    QString adjust;
    QString period;
    QVector<Stock> bars;
    int count = 0;
    QMenu* menu = nullptr;
    QMenu* indicatorMenu = nullptr;
    IndexViewProxy* proxy = nullptr;
    QSignalMapper* mapper = nullptr;
    // Below the plot, shown only while the last load failed or its bars
    // could not be kept.
    QLabel* statusLabel = nullptr;

public slots:
    void onMouseClick(QMouseEvent* event);
    void doAction(QString text);

private:
    void buildPlot();
    void buildMenu();
    void showBars(int count, const QVector<Stock>& bars, const QVector<const ChartLine*>& lines);
    void drawLine(int index, const ChartLine* line, int first, int size);
    // Fits the axes to the data; the candles, not the pane, decide the x range.
    void rescale();
    // The same room around the data at construction and at every rescale.
    void frameAxes();
    // As many price labels as the price area holds without overlap.
    void fitPriceTicks();

    std::unique_ptr<MaNIndicator> ma5;
    std::unique_ptr<MaNIndicator> ma10;
    std::unique_ptr<MaNIndicator> ma20;
    LatestRequest loads;
};
