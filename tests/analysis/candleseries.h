#pragma once

// Bar series that end in one chosen candle pattern, shared by the candle and
// shape tests.

#include "analysis/candlepatterns.h"
#include "core/stock.h"
#include "tests/support/barbuilder.h"

#include <QStringList>
#include <QVector>

// The closing bars of a pattern, oldest first, and the level of the flat bars in
// front of them; the level sets the 5-day average the rule compares with.
struct PatternBars
{
    QVector<Stock> last;
    float level = 0;
};

inline PatternBars patternBars(int id)
{
    switch (id) {
    case KPatternXuRiDongSheng: return {{ohlc(10.5f, 10.5f, 9.9f, 10.0f), ohlc(10.1f, 10.6f, 10.1f, 10.6f)}, 12};
    case KPatternHongSanBing:
        return {{ohlc(9.5f, 10, 9.5f, 10), ohlc(10, 10.5f, 10, 10.5f), ohlc(10.5f, 11, 10.5f, 11),
                 ohlc(11, 11.5f, 11, 11.5f)},
                9};
    case KPatternYangTunYin: return {{ohlc(10, 10, 9.5f, 9.6f), ohlc(10, 10.6f, 10, 10.6f)}, 12};
    case KPatternQingChenZhiXing:
        return {{ohlc(11, 11, 10, 10), ohlc(9.5f, 9.8f, 9.0f, 9.55f), ohlc(9.8f, 10.4f, 9.8f, 10.4f)}, 12};
    case KPatternChuanCiKanZhang: return {{ohlc(11, 11, 10, 10).changePercent(-5), ohlc(9.8f, 10.8f, 9.8f, 10.8f)}, 9};
    case KPatternPingTouDiBu:
        return {{ohlc(10, 10, 9.5f, 9.5f), ohlc(11, 11, 9.5f, 10.1f), ohlc(9.6f, 9.8f, 9.6f, 9.8f)}, 12};
    case KPatternShangShengSanFa:
        return {{ohlc(10, 11.5f, 10, 11), ohlc(11.45f, 11.45f, 11.3f, 11.3f), ohlc(11.35f, 11.4f, 11.2f, 11.2f),
                 ohlc(11.25f, 11.3f, 11.1f, 11.1f), ohlc(11.25f, 11.85f, 11.2f, 11.8f)},
                10};
    case KPatternSanYangKaiTai:
        return {{ohlc(10, 10.5f, 10, 10.5f).volume(100), ohlc(10.6f, 11.1f, 10.6f, 11.1f).volume(200),
                 ohlc(11.2f, 11.7f, 11.2f, 11.7f).volume(300)},
                9};
    case KPatternChuiZiZhiDie: return {{ohlc(10, 10.06f, 10, 10.01f)}, 12};
    case KPatternChuiZiZhiDieKanZhang: return {{ohlc(10, 10.5f, 10, 10.1f)}, 12};
    case KPatternKanZhangMuZi: return {{ohlc(11, 11, 9, 9), ohlc(9.5f, 10, 9.5f, 10)}, 12};
    case KPatternYinTunYang: return {{ohlc(10, 10.5f, 10, 10.5f), ohlc(10.6f, 10.6f, 9.9f, 9.9f)}, 9};
    case KPatternQingPenDaYu: return {{ohlc(10, 11, 10, 11), ohlc(10, 10, 9.5f, 9.5f)}, 9};
    case KPatternWuYunGaiDing: return {{ohlc(10, 11, 10, 11), ohlc(11.6f, 11.6f, 11.05f, 11.05f)}, 9};
    case KPatternZhangShiJinTou: return {{ohlc(10, 11, 9.9f, 10.3f), ohlc(10.4f, 10.9f, 10.4f, 10.9f)}, 9};
    case KPatternKongFangPao: return {{ohlc(11, 11, 10, 10), ohlc(9, 9.5f, 9, 9.5f), ohlc(10, 10, 9.5f, 9.6f)}, 9};
    case KPatternHuangHunZhiXing:
        return {{ohlc(10, 11, 10, 11), ohlc(11.2f, 11.6f, 11.0f, 11.25f), ohlc(11.2f, 11.2f, 10.5f, 10.5f)}, 9};
    case KPatternXiaJiangSanFa:
        return {{ohlc(11, 11, 9.9f, 10.6f), ohlc(10, 10.55f, 9.9f, 10.5f), ohlc(9.9f, 10, 9.9f, 10),
                 ohlc(10, 10.2f, 10, 10.2f), ohlc(10.5f, 10.5f, 10, 10)},
                10};
    case KPatternHeiSanBing:
        return {{ohlc(9, 10, 9, 10), ohlc(10.5f, 10.5f, 10, 10), ohlc(11, 11, 10.2f, 10.2f),
                 ohlc(11.5f, 11.5f, 10.4f, 10.4f)},
                9};
    case KPatternYangYunShiZi: return {{ohlc(10, 11, 10, 11), ohlc(10.5f, 10.8f, 10.2f, 10.5f)}, 9};
    case KPatternShuangFeiWuYa:
        return {{ohlc(10, 11, 10, 11), ohlc(11.5f, 11.5f, 11.2f, 11.2f), ohlc(11.6f, 11.6f, 11, 11)}, 9};
    case KPatternDiaoJingXian: return {{ohlc(10, 10.02f, 9.5f, 10.01f)}, 9};
    case KPatternLiuXing: return {{ohlc(10, 10.5f, 9.99f, 10.01f)}, 9};
    case KPatternKanDieMuZi: return {{ohlc(10, 11, 10, 11), ohlc(10.8f, 10.8f, 10.3f, 10.3f)}, 9};
    case KPatternDaYinXian: return {{ohlc(10, 10, 9, 9).changePercent(-10)}, 10};
    case KPatternDaYangXian: return {{ohlc(10, 16, 10, 16)}, 10};
    case KPatternTiaoKongGaoKai: return {{ohlc(10.5f, 10.6f, 10.3f, 10.5f)}, 10};
    default:
        return {};
    }
}

// One edit of a bar as the tests' tables write it: "=10,10.5,9.5,10.25" sets
// open, high, low and close, ".high=10.5" one field (open, high, low, close,
// changePercent, volume, preClose). False for a field of another name.
inline bool editBar(Stock& bar, const QString& edit)
{
    const QString value = edit.section('=', 1);
    if (edit.startsWith('=')) {
        const QStringList prices = value.split(',');
        bar.open = prices.value(0).toFloat();
        bar.high = prices.value(1).toFloat();
        bar.low = prices.value(2).toFloat();
        bar.close = prices.value(3).toFloat();
        return prices.size() == 4;
    }
    float* fields[] = {&bar.open, &bar.high, &bar.low, &bar.close, &bar.changePercent, &bar.volume, &bar.preClose};
    const QStringList names = {"open", "high", "low", "close", "changePercent", "volume", "preClose"};
    const int field = names.indexOf(edit.section('=', 0, 0).mid(1));
    if (field < 0)
        return false;
    *fields[field] = value.toFloat();
    return true;
}

// total bars: flat bars at the pattern's level, then the pattern's bars.
inline QVector<Stock> patternSeries(int id, int total = 6)
{
    const PatternBars p = patternBars(id);
    QVector<Stock> bars;
    for (int i = p.last.size(); i < total; ++i)
        bars.append(flatBar(p.level));
    bars += p.last;
    return bars;
}

// Two tops (bar 39 at 13, bar 61 reaching 13.5) around a trough at bar 49,
// each top reached after a golden cross of MA5 over MA10, ending in a bearish
// three-bar pattern: the double top of the shape scanner and of the auction
// score.
inline SeriesBuilder doubleTopSeries(float trough)
{
    return SeriesBuilder()
        .flat(20, 10, 0.1f)
        .ramp(10, 9, 0.1f)
        .ramp(10, 13, 0.1f)
        .ramp(10, trough, 0.1f)
        .ramp(11, 13.2f, 0.1f)
        .add(ohlc(13.4f, 13.5f, 12.9f, 13.0f))
        .add(ohlc(12.6f, 12.9f, 12.5f, 12.8f));
}

inline QVector<int> allPatternIds()
{
    return {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 97, 98, 99};
}
