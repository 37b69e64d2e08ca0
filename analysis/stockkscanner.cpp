#include "analysis/stockkscanner.h"

#include "analysis/candlepatterns.h"

namespace {

struct ScanStep
{
    int id;
    int signal;
};

// The order decides which name a bar sequence gets when several rules hold; the
// signals are the scanner's own and are kept as they are, also where a bearish
// pattern answers 0.
const ScanStep scanOrder[] = {
    {KPatternShangShengSanFa, 0}, {KPatternXiaJiangSanFa, 0}, {KPatternHeiSanBing, 0},
    {KPatternSanYangKaiTai, 0},   {KPatternHongSanBing, 0},   {KPatternKongFangPao, 1},
    {KPatternHuangHunZhiXing, 1}, {KPatternQingChenZhiXing, 0}, {KPatternPingTouDiBu, 0},
    {KPatternShuangFeiWuYa, 1},   {KPatternXuRiDongSheng, 0}, {KPatternKanDieMuZi, 0},
    {KPatternWuYunGaiDing, 1},    {KPatternZhangShiJinTou, 1}, {KPatternQingPenDaYu, 1},
    {KPatternYangTunYin, 0},      {KPatternYinTunYang, 1},    {KPatternChuanCiKanZhang, 0},
    {KPatternYangYunShiZi, 0},    {KPatternChuiZiZhiDie, 0},  {KPatternChuiZiZhiDieKanZhang, 0},
    {KPatternKanZhangMuZi, 0},    {KPatternDiaoJingXian, 0},
};

} // namespace

StockKScanner::StockKScanner(QObject* parent) : StockScanner(parent) {}

int StockKScanner::category() const
{
    return KLineScannerCategory;
}

int StockKScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    if (bars.size() < 21)
        return -1;
    const KPatternBars k = KPatternBars::fromSeries(bars);
    for (const ScanStep& step : scanOrder) {
        if (matchesKPattern(step.id, k)) {
            appendComment(out, kPatternName(step.id));
            return step.signal;
        }
    }
    return -1;
}
