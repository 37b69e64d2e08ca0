// Parsing time of hostile pages: a megabyte of opening markers whose closing
// marker never comes, of separators without records, of escapes. A parser that
// searches the rest of the page again from every opening marker takes seconds
// to minutes here on the GUI thread; each case must stay well under a second.

#include "core/inifile.h"
#include "datasource/eastmoneyahinterface.h"
#include "datasource/eastmoneynotice.h"
#include "datasource/hexunhotstock.h"
#include "datasource/htmltext.h"
#include "datasource/klinebars.h"
#include "datasource/lhbsources.h"
#include "datasource/neteasehistory.h"
#include "datasource/providerhosts.h"
#include "datasource/quotesources.h"
#include "datasource/sinaachievementinterface.h"
#include "datasource/stockcompanyinfo.h"
#include "datasource/stockifenginterface.h"
#include "datasource/stocklistinterface.h"
#include "datasource/stocknewsinterface.h"
#include "datasource/stockqqhistoryinterface.h"
#include "datasource/stocktimedata.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>

namespace {

const int kHostileSize = 1 << 20;

// `unit` repeated to about a megabyte.
QString megabyteOf(const QString& unit)
{
    return unit.repeated(kHostileSize / unit.size());
}

using Parser = std::function<void(const QString&)>;

void registerCase(const char* name, const QString& body, const Parser& parse)
{
    benchmark::RegisterBenchmark(name, [body, parse](benchmark::State& state) {
        for (auto _ : state)
            parse(body);
        state.SetBytesProcessed(state.iterations() * body.size());
    })->Unit(benchmark::kMillisecond);
}

void registerWebParsers()
{
    registerCase("dragonTigerListUnclosedRows", megabyteOf("<table class=\"list_table<tr<td"),
                 [](const QString& body) { SinaLHBStockListInterface().parse(body, QString()); });
    registerCase("dragonTigerSeatsUnclosedRows", "class=\"content-sepe\"><tbody>" + megabyteOf("<tr>.html\"><td"),
                 [](const QString& body) { EastmoneyLHBDataInterface().parse(body, QString()); });
    registerCase("earningsUnclosedRows", "</thead>" + megabyteOf("<td style=\"width<td") + "<div class=\"clear\"></div>",
                 [](const QString& body) { SinaAchievementInterface().parse(body, QString()); });
    registerCase("noticesUnclosedBlocks", megabyteOf("defjson:"), [](const QString& body) {
        EastmoneyInterface().parse(body, QString());
        EastmoneyRecoveryTransactionInterface().parse(body, QString());
    });
    registerCase("companyProfileUnclosedConcepts", "{\"gsmz\":\"x\"," + megabyteOf("\"concept\":"),
                 [](const QString& body) { StockCompanyInfo().parse(body); });
    registerCase("companyProfileEscapes", megabyteOf("\\u4e2d"), [](const QString& body) { safeHtmlText(body); });
    registerCase("stockDoctorUnclosedBlocks", megabyteOf("<div class=\"ranks<div class=\"text-head\">"),
                 [](const QString& body) { parseStockDoctor(body); });
    registerCase("hotStockUnclosedLinks", megabyteOf(providerBase(Provider::Hexun) + "/service/stock_sort_xml.jsp?"),
                 [](const QString& body) { hotStockRankingUrl(body); });
    registerCase("ahSeparators", "\"" + megabyteOf("\",\"") + "\"",
                 [](const QString& body) { EastMoneyAHStringListInterface().parse(body); });
    const QString separators = "[[" + megabyteOf("],[") + "]]";
    registerCase("qqHistorySeparators", separators, [](const QString& body) { readKLineBars(body, "600000"); });
    registerCase("ifengHistorySeparators", separators, [](const QString& body) { parseIFengHistory(body, "600000", {}); });
    registerCase("neteaseHistoryLines", megabyteOf("\n"), [](const QString& body) { parseNeteaseHistory(body, "600000", {}); });
    registerCase("minutesUnclosedLists", megabyteOf("[\"date\":\""), [](const QString& body) { parseTimeData(body); });
    registerCase("quotesUnclosedLines", megabyteOf("=\"~"), [](const QString& body) {
        parseSinaQuotes(body, {}, BidFilter());
        parseTencentQuotes(body, {});
    });
    registerCase("stockListLines", megabyteOf("\n"), [](const QString& body) { StockListInterface().parse(body, QString()); });
    registerCase("marketListObjects", "[{" + megabyteOf("},{") + "}]",
                 [](const QString& body) { SinaRealtimeInterface().parse(body, QString()); });
}

// An INI file of many sections and keys, read and written once: every line
// is stored through a lookup of its section and key.
void registerIniFile()
{
    static QTemporaryDir dir;
    const QString path = dir.filePath("config.ini");
    QString text;
    for (int section = 0; section < 2000; ++section) {
        text += QString("[section%1]\n").arg(section);
        for (int key = 0; key < 20; ++key)
            text += QString("key%1=%2\n").arg(key).arg(section);
    }
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text.toUtf8());
    file.close();
    registerCase("iniFileOf40000KeysReadAndWritten", path, [](const QString& name) {
        IniFile ini;
        ini.load(name.toStdString());
        benchmark::DoNotOptimize(ini.getValue("section1999", "key19", 0));
        ini.close();
    });
}

} // namespace

int main(int argc, char** argv)
{
    registerWebParsers();
    registerIniFile();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
