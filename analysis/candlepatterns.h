#pragma once

// The candle-pattern library: named one- to five-bar candlestick patterns, each a
// fixed rule on the last bars of a series and its 5-day average close. Ids 0 to
// 19 are the bullish range, 20 to 39 the bearish range; an id without a rule
// never matches. The ids are public: the add-on host passes them through.
//
// A call looks at the last five bars and one 5-day average only, whatever the
// length of the series, so scanning a whole market stays cheap.

#include "core/stock.h"

#include <QString>
#include <QVector>

enum KPatternId {
    KPatternXuRiDongSheng = 0,          // 旭日东升
    KPatternHongSanBing = 1,            // 红三兵
    KPatternYangTunYin = 2,             // 阳吞阴
    KPatternQingChenZhiXing = 4,        // 清晨之星
    KPatternChuanCiKanZhang = 5,        // 穿刺看涨
    KPatternPingTouDiBu = 6,            // 平头底部看涨
    KPatternShangShengSanFa = 7,        // 上升三法看涨
    KPatternSanYangKaiTai = 8,          // 三阳开泰看涨
    KPatternChuiZiZhiDie = 9,           // 锤子止跌
    KPatternChuiZiZhiDieKanZhang = 10,  // 锤子止跌看涨
    KPatternKanZhangMuZi = 11,          // 看涨母子线
    KPatternYinTunYang = 20,            // 阴吞阳
    KPatternQingPenDaYu = 21,           // 倾盆大雨
    KPatternWuYunGaiDing = 22,          // 乌云盖顶
    KPatternZhangShiJinTou = 23,        // 涨势尽头
    KPatternKongFangPao = 24,           // 空方炮
    KPatternHuangHunZhiXing = 25,       // 黄昏之星
    KPatternXiaJiangSanFa = 26,         // 下降三法看跌
    KPatternHeiSanBing = 27,            // 黑三兵
    KPatternYangYunShiZi = 28,          // 阳孕十字看跌
    KPatternShuangFeiWuYa = 29,         // 双飞乌鸦
    KPatternDiaoJingXian = 30,          // 吊颈线
    KPatternLiuXing = 31,               // 流星形态
    KPatternKanDieMuZi = 32,            // 看跌母子线
    KPatternDaYinXian = 97,             // 大阴线
    KPatternDaYangXian = 98,            // 大阳线
    KPatternTiaoKongGaoKai = 99,        // 跳空高开缺口
};

// The prices of one bar that the rules read.
struct Candle
{
    float open = 0;
    float high = 0;
    float low = 0;
    float close = 0;
    float changePercent = 0;
    float volume = 0;

    static Candle of(const Stock& bar);
};

// What every rule looks at: d[0] is the last bar, d[1] the one before, up to
// d[4]; ma5 the 5-bar average close at the last bar; mid0 the middle of d0's body.
struct KPatternBars
{
    Candle d[5];
    float ma5 = 0;
    float mid0 = 0;

    // The last five bars of a series of at least five bars.
    static KPatternBars fromSeries(const QVector<Stock>& bars);
};

// The rule of pattern id on prepared bars (false for an id without a rule).
bool matchesKPattern(int id, const KPatternBars& k);
// The name a match reports; empty for an id without a rule.
QString kPatternName(int id);

// Pattern id matches the end of bars; on a match *name (when given) gets the
// pattern's name. Fewer than 6 bars give false.
bool detectKPattern(int id, const QVector<Stock>& bars, QString* name);

// Any bullish pattern at the end of bars. With tail the ids 2, 11, 5, 9, 0, 4, 10
// are tried in this order and the first match's name goes to *name; without it
// the ids 0 to 19 in ascending order and *name is not written.
bool hasBullishKPattern(const QVector<Stock>& bars, QString* name, bool tail);
// Any of the ids 20 to 39 matches the end of bars.
bool hasBearishKPattern(const QVector<Stock>& bars);

// The body is longer than both shadows together.
bool isSolidBody(const Stock& bar);
bool isSolidBody(const Candle& bar);
// (upper + lower shadow) / body; 0 for a short bar with short shadows.
float shadowBodyRatio(const Stock& bar);
float shadowBodyRatio(const Candle& bar);

// A rising bar closing near its high (within 0.05) whose lower shadow is at most
// six bodies long.
bool isStrongRisingBar(const Stock& bar);
