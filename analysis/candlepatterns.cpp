#include "analysis/candlepatterns.h"

#include <cmath>

namespace {

bool rising(const Candle& c)
{
    return c.close > c.open;
}

bool falling(const Candle& c)
{
    return c.open > c.close;
}

float body(const Candle& c)
{
    return std::fabs(c.close - c.open);
}

float upperShadow(const Candle& c)
{
    return c.high - std::max(c.open, c.close);
}

float lowerShadow(const Candle& c)
{
    return std::min(c.open, c.close) - c.low;
}

// A hammer-like bar: the long shadow is at least minShadow, the other shadow at
// most a fifth of it and the body under half of it. The shadow lengths ignore the
// bar's colour.
bool isLongShadowBar(float longShadow, float shortShadow, float bodyLength, double minShadow)
{
    return longShadow >= minShadow && shortShadow <= longShadow / 5 && bodyLength / longShadow <= 0.49;
}

bool xuRiDongSheng(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1];
    return rising(d0) && falling(d1) && d1.open > d0.open && d1.high <= d0.close && isSolidBody(d0)
        && isSolidBody(d1) && k.ma5 > k.mid0;
}

bool hongSanBing(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1], &d2 = k.d[2], &d3 = k.d[3];
    return d3.close < d2.close && d2.close < d1.close && d1.close < d0.close && rising(d2) && rising(d1)
        && rising(d0) && d3.open < d2.open && d2.open < d1.open && d1.open < d0.open && isSolidBody(d0)
        && isSolidBody(d1) && isSolidBody(d2);
}

bool yangTunYin(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1];
    return isSolidBody(d1) && isSolidBody(d0) && falling(d1) && rising(d0) && d0.close > d1.open
        && d1.open <= d0.open && d0.close > d1.high && k.ma5 > d0.open;
}

bool qingChenZhiXing(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1], &d2 = k.d[2];
    return isSolidBody(d2) && falling(d2) && d2.close >= d1.open && !isSolidBody(d1)
        && shadowBodyRatio(d1) >= 3.0 && d2.close >= d1.high && d1.high <= d0.open && isSolidBody(d0)
        && rising(d0) && k.ma5 > k.mid0;
}

bool chuanCiKanZhang(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1];
    return isSolidBody(d1) && d1.changePercent < -2.0 && falling(d1) && rising(d0) && d0.open <= d1.close
        && isSolidBody(d0) && d0.close < d1.open && k.ma5 < k.mid0;
}

bool pingTouDiBu(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1], &d2 = k.d[2];
    return isSolidBody(d1) && std::fabs(d1.low - d2.low) < 0.01 && falling(d2) && falling(d1)
        && d1.close > d2.open && rising(d0) && d0.close > d2.close && d0.low >= d1.low && k.ma5 > k.mid0;
}

// Rising three methods: a rising bar, three falling bars stepping down above its
// close, then a solid rising bar above all of them. The bounds on the middle bars'
// highs read "d1.high <= d2.high" (the pull-back steps down) and "d4.high >=
// d3.high" (it starts inside the first bar's range): compared with a close instead
// of a high, as once written, they contradicted the falling closes and the rule
// could never match.
bool shangShengSanFa(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1], &d2 = k.d[2], &d3 = k.d[3], &d4 = k.d[4];
    return isSolidBody(d0) && d0.close > d4.close && rising(d0) && rising(d4) && falling(d1) && falling(d2)
        && falling(d3) && d4.close < d1.close && d4.close < d2.close && d4.close < d3.close
        && d2.close > d1.close && d3.close > d2.close && d1.open <= d0.open && d0.close >= d1.high
        && d1.high <= d2.high && d4.high >= d3.high;
}

bool sanYangKaiTai(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1], &d2 = k.d[2];
    return isSolidBody(d0) && isSolidBody(d1) && isSolidBody(d2) && rising(d0) && rising(d1) && rising(d2)
        && d2.high < d1.high && d1.high < d0.high && d2.low < d1.low && d1.low < d0.low
        && d2.volume < d1.volume && d1.volume < d0.volume && d1.close < d0.open && d2.close < d1.open;
}

bool chuiZi(const KPatternBars& k, double minShadow)
{
    const Candle& d0 = k.d[0];
    return isLongShadowBar(upperShadow(d0), lowerShadow(d0), body(d0), minShadow) && k.ma5 > k.mid0;
}

bool kanZhangMuZi(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1];
    return isSolidBody(d0) && falling(d1) && rising(d0) && d1.close < d0.open && d1.open > d0.close
        && k.ma5 > k.mid0;
}

bool yinTunYang(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1];
    return isSolidBody(d1) && isSolidBody(d0) && rising(d1) && d1.close < d0.open && d1.open > d0.close
        && d1.high < d0.open && d1.low > d0.close && k.ma5 < k.mid0;
}

bool qingPenDaYu(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1];
    return isSolidBody(d1) && rising(d1) && d1.close > d0.open && isSolidBody(d0) && falling(d0)
        && d1.open > d0.close && k.ma5 < k.mid0;
}

bool wuYunGaiDing(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1];
    return isSolidBody(d1) && rising(d1) && d1.close < d0.open && falling(d0) && isSolidBody(d0)
        && d0.open >= d1.high && k.ma5 < k.mid0;
}

bool zhangShiJinTou(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1];
    const float lower = d1.open - d1.low;
    return !isSolidBody(d1) && rising(d1) && lower <= d1.high - d1.close && lower < body(d1)
        && d1.high >= d0.high && isSolidBody(d0) && d0.low >= d1.close && k.ma5 < k.mid0;
}

bool kongFangPao(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1], &d2 = k.d[2];
    return falling(d2) && rising(d1) && falling(d0) && d2.close >= d0.close && d1.close <= d0.close;
}

bool huangHunZhiXing(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1], &d2 = k.d[2];
    return isSolidBody(d2) && rising(d2) && d2.close < d1.open && !isSolidBody(d1) && d2.close > d0.close
        && isSolidBody(d0) && d0.open <= d1.close && shadowBodyRatio(d1) >= 3.0 && k.ma5 < k.mid0;
}

bool xiaJiangSanFa(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1], &d2 = k.d[2], &d3 = k.d[3], &d4 = k.d[4];
    return isSolidBody(d0) && isSolidBody(d1) && isSolidBody(d2) && isSolidBody(d3) && falling(d0)
        && rising(d1) && rising(d2) && rising(d3) && falling(d4) && d4.close > d1.close
        && d4.close > d2.close && d4.close > d3.close && d2.low <= d1.low && d3.low <= d2.low
        && d4.low <= d3.low && d4.close >= d0.close && d4.open >= d1.high && d3.open >= d2.high
        && d4.open >= d3.high;
}

bool heiSanBing(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1], &d2 = k.d[2], &d3 = k.d[3];
    return isSolidBody(d1) && isSolidBody(d2) && isSolidBody(d3) && isSolidBody(d0) && rising(d3)
        && falling(d0) && falling(d1) && falling(d2) && d2.close < d1.close && d1.close < d0.close
        && (d1.open < d0.open || d2.open < d1.open);
}

bool yangYunShiZi(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1];
    return isSolidBody(d1) && rising(d1) && d1.open <= d0.low && d1.close >= d0.high && !isSolidBody(d0)
        && k.ma5 < k.mid0;
}

bool shuangFeiWuYa(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1], &d2 = k.d[2];
    return isSolidBody(d2) && rising(d2) && falling(d1) && d2.close <= d1.close && falling(d0)
        && d1.open < d0.open && d1.close > d0.close;
}

bool diaoJingXian(const KPatternBars& k)
{
    const Candle& d0 = k.d[0];
    return isLongShadowBar(lowerShadow(d0), upperShadow(d0), body(d0), 0.1) && k.ma5 < k.mid0;
}

bool liuXing(const KPatternBars& k)
{
    const Candle& d0 = k.d[0];
    return isLongShadowBar(upperShadow(d0), lowerShadow(d0), body(d0), 0.1) && k.ma5 < k.mid0;
}

bool kanDieMuZi(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1];
    return rising(d1) && d1.close > d0.close && d1.open < d0.open && falling(d0) && k.ma5 < k.mid0;
}

bool daYinXian(const KPatternBars& k)
{
    return k.d[0].changePercent <= -5.0 && k.ma5 >= k.d[0].close;
}

// A previous price of 0 is a broken record, not a base for a ratio.
bool daYangXian(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1];
    return d1.close > 0 && isSolidBody(d0) && d0.close > d1.close * 1.5;
}

bool tiaoKongGaoKai(const KPatternBars& k)
{
    const Candle &d0 = k.d[0], &d1 = k.d[1];
    return d1.high > 0 && d0.low > d1.high * 1.02;
}

const int bullishTailOrder[] = {KPatternYangTunYin, KPatternKanZhangMuZi, KPatternChuanCiKanZhang,
                                KPatternChuiZiZhiDie, KPatternXuRiDongSheng, KPatternQingChenZhiXing,
                                KPatternChuiZiZhiDieKanZhang};

} // namespace

Candle Candle::of(const Stock& bar)
{
    return {bar.open, bar.high, bar.low, bar.close, bar.changePercent, bar.volume};
}

// The average sums the last five closes oldest first in float, the very
// arithmetic of a 5-bar moving average fed the whole series.
KPatternBars KPatternBars::fromSeries(const QVector<Stock>& bars)
{
    KPatternBars k;
    const int n = bars.size();
    float sum = 0;
    for (int i = 0; i < 5 && i < n; ++i) {
        const Stock& bar = bars.at(n - 1 - i);
        k.d[i] = Candle::of(bar);
    }
    for (int i = std::min(n, 5) - 1; i >= 0; --i)
        sum += k.d[i].close;
    k.ma5 = n >= 5 ? sum / 5 : 0;
    k.mid0 = (k.d[0].close + k.d[0].open) * 0.5f;
    return k;
}

bool isSolidBody(const Candle& bar)
{
    return body(bar) > upperShadow(bar) + lowerShadow(bar);
}

bool isSolidBody(const Stock& bar)
{
    return isSolidBody(Candle::of(bar));
}

float shadowBodyRatio(const Candle& bar)
{
    const float b = body(bar);
    const float shadows = upperShadow(bar) + lowerShadow(bar);
    if (b < 0.02 && shadows < 0.2)
        return 0;
    return shadows / b;
}

float shadowBodyRatio(const Stock& bar)
{
    return shadowBodyRatio(Candle::of(bar));
}

bool isStrongRisingBar(const Stock& bar)
{
    const Candle c = Candle::of(bar);
    return c.high - c.close < 0.05 && rising(c) && c.open - c.low <= 6 * body(c);
}

bool matchesKPattern(int id, const KPatternBars& k)
{
    switch (id) {
    case KPatternXuRiDongSheng: return xuRiDongSheng(k);
    case KPatternHongSanBing: return hongSanBing(k);
    case KPatternYangTunYin: return yangTunYin(k);
    case KPatternQingChenZhiXing: return qingChenZhiXing(k);
    case KPatternChuanCiKanZhang: return chuanCiKanZhang(k);
    case KPatternPingTouDiBu: return pingTouDiBu(k);
    case KPatternShangShengSanFa: return shangShengSanFa(k);
    case KPatternSanYangKaiTai: return sanYangKaiTai(k);
    case KPatternChuiZiZhiDie: return chuiZi(k, 0.01);
    case KPatternChuiZiZhiDieKanZhang: return chuiZi(k, 0.1);
    case KPatternKanZhangMuZi: return kanZhangMuZi(k);
    case KPatternYinTunYang: return yinTunYang(k);
    case KPatternQingPenDaYu: return qingPenDaYu(k);
    case KPatternWuYunGaiDing: return wuYunGaiDing(k);
    case KPatternZhangShiJinTou: return zhangShiJinTou(k);
    case KPatternKongFangPao: return kongFangPao(k);
    case KPatternHuangHunZhiXing: return huangHunZhiXing(k);
    case KPatternXiaJiangSanFa: return xiaJiangSanFa(k);
    case KPatternHeiSanBing: return heiSanBing(k);
    case KPatternYangYunShiZi: return yangYunShiZi(k);
    case KPatternShuangFeiWuYa: return shuangFeiWuYa(k);
    case KPatternDiaoJingXian: return diaoJingXian(k);
    case KPatternLiuXing: return liuXing(k);
    case KPatternKanDieMuZi: return kanDieMuZi(k);
    case KPatternDaYinXian: return daYinXian(k);
    case KPatternDaYangXian: return daYangXian(k);
    case KPatternTiaoKongGaoKai: return tiaoKongGaoKai(k);
    default: return false;
    }
}

QString kPatternName(int id)
{
    switch (id) {
    case KPatternXuRiDongSheng: return QStringLiteral("旭日东升");
    case KPatternHongSanBing: return QStringLiteral("红三兵");
    case KPatternYangTunYin: return QStringLiteral("阳吞阴");
    case KPatternQingChenZhiXing: return QStringLiteral("清晨之星");
    case KPatternChuanCiKanZhang: return QStringLiteral("穿刺看涨");
    case KPatternPingTouDiBu: return QStringLiteral("平头底部看涨");
    case KPatternShangShengSanFa: return QStringLiteral("上升三法看涨");
    case KPatternSanYangKaiTai: return QStringLiteral("三阳开泰看涨");
    case KPatternChuiZiZhiDie: return QStringLiteral("锤子止跌");
    case KPatternChuiZiZhiDieKanZhang: return QStringLiteral("锤子止跌看涨");
    case KPatternKanZhangMuZi: return QStringLiteral("看涨母子线");
    case KPatternYinTunYang: return QStringLiteral("阴吞阳");
    case KPatternQingPenDaYu: return QStringLiteral("倾盆大雨");
    case KPatternWuYunGaiDing: return QStringLiteral("乌云盖顶");
    case KPatternZhangShiJinTou: return QStringLiteral("涨势尽头");
    case KPatternKongFangPao: return QStringLiteral("空方炮");
    case KPatternHuangHunZhiXing: return QStringLiteral("黄昏之星");
    case KPatternXiaJiangSanFa: return QStringLiteral("下降三法看跌");
    case KPatternHeiSanBing: return QStringLiteral("黑三兵");
    case KPatternYangYunShiZi: return QStringLiteral("阳孕十字看跌");
    case KPatternShuangFeiWuYa: return QStringLiteral("双飞乌鸦");
    case KPatternDiaoJingXian: return QStringLiteral("吊颈线");
    case KPatternLiuXing: return QStringLiteral("流星形态");
    case KPatternKanDieMuZi: return QStringLiteral("看跌母子线");
    case KPatternDaYinXian: return QStringLiteral("大阴线");
    case KPatternDaYangXian: return QStringLiteral("大阳线");
    case KPatternTiaoKongGaoKai: return QStringLiteral("跳空高开缺口");
    default: return QString();
    }
}

bool detectKPattern(int id, const QVector<Stock>& bars, QString* name)
{
    if (bars.size() < 6)
        return false;
    if (!matchesKPattern(id, KPatternBars::fromSeries(bars)))
        return false;
    if (name)
        *name = kPatternName(id);
    return true;
}

bool hasBullishKPattern(const QVector<Stock>& bars, QString* name, bool tail)
{
    if (bars.size() < 6)
        return false;
    const KPatternBars k = KPatternBars::fromSeries(bars);
    if (tail) {
        for (int id : bullishTailOrder) {
            if (matchesKPattern(id, k)) {
                if (name)
                    *name = kPatternName(id);
                return true;
            }
        }
        return false;
    }
    for (int id = 0; id <= 19; ++id) {
        if (matchesKPattern(id, k))
            return true;
    }
    return false;
}

bool hasBearishKPattern(const QVector<Stock>& bars)
{
    if (bars.size() < 6)
        return false;
    const KPatternBars k = KPatternBars::fromSeries(bars);
    for (int id = 20; id <= 39; ++id) {
        if (matchesKPattern(id, k))
            return true;
    }
    return false;
}
