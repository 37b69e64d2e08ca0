#pragma once

// One stock's intraday minutes: the price and its running average above, the
// minute volumes as red (price not falling) and green bars below, under a
// title with the code. The end-of-day picking page embeds one.

#include "datasource/stocktimedata.h"

#include <QWidget>

class QCPAxisRect;
class QCPBars;
class QCPTextElement;
class VorelPlot;

class StockTimeDataWidget : public QWidget
{
    Q_OBJECT
public:
    explicit StockTimeDataWidget(QWidget* parent = nullptr);

    void setData(const StockTimeData& record);

    VorelPlot* plot = nullptr;
    QCPTextElement* title = nullptr;
    QCPAxisRect* volumeRect = nullptr;
    QCPBars* upBars = nullptr;
    QCPBars* downBars = nullptr;
    StockTimeData record;

private:
    void buildVolumeRect();
    QCPBars* addVolumeBars(const QColor& color);
};
