#include "core/appconfig.h"

#include "core/datafolders.h"
#include "core/fileutils.h"
#include "core/inifile.h"

#include <QDir>
#include <QFileInfo>

#include <variant>

namespace {

using Field = std::variant<float AppConfig::*, int AppConfig::*, bool AppConfig::*>;

struct Setting
{
    const char* section;
    const char* key;
    Field field;
    bool saved;   // the [dcz] settings are read but never written back
};

// The order in which the settings are read and written, and so the order of
// sections and keys in a file the program creates.
const Setting kSettings[] = {
    {"fibonacciNewStock", "fibonacciNewStockDelta", &AppConfig::fibonacciNewStockDelta, true},
    {"fibonacciNewStock", "fibonacciNewStockSpan", &AppConfig::fibonacciNewStockSpan, true},
    {"fibonacciNewStock", "fibonacciNewStockMaxDays", &AppConfig::fibonacciNewStockMaxDays, true},
    {"autodraw", "trendMinIntervalDay", &AppConfig::trendMinIntervalDay, true},
    {"autodraw", "trendMinSpan", &AppConfig::trendMinSpan, true},
    {"autodraw", "trendDelta", &AppConfig::trendDelta, true},
    {"autodraw", "trendK", &AppConfig::trendK, true},
    {"autodraw", "trendNearDay", &AppConfig::trendNearDay, true},
    {"autodraw", "trendMinPoints", &AppConfig::trendMinPoints, true},
    {"autodraw", "trendType", &AppConfig::trendType, true},
    {"stockBid", "bidMinPercent", &AppConfig::bidMinPercent, true},
    {"stockBid", "bidMaxPercent", &AppConfig::bidMaxPercent, true},
    {"stockBid", "bidRatio", &AppConfig::bidRatio, true},
    {"stockBid", "bidUseK", &AppConfig::bidUseK, true},
    {"hotStock", "fibonacciHotStock", &AppConfig::fibonacciHotStock, true},
    {"hotStock", "fibonacciHotStockDays", &AppConfig::fibonacciHotStockDays, true},
    {"hotStock", "fibonacciHotStockVolRatio", &AppConfig::fibonacciHotStockVolRatio, true},
    {"hotStock", "fibonacciHotStockDelta", &AppConfig::fibonacciHotStockDelta, true},
    {"hotStock", "fibonacciHotStockSpan", &AppConfig::fibonacciHotStockSpan, true},
    {"hotStock", "fibonacciHotStockMaxFallDays", &AppConfig::fibonacciHotStockMaxFallDays, true},
    {"hotStock", "fibonacciHotStockMinSwing", &AppConfig::fibonacciHotStockMinSwing, true},
    {"scanExport", "scanListExport", &AppConfig::scanListExport, true},
    {"hammer", "quantHammerFooter", &AppConfig::quantHammerFooter, true},
    {"hammer", "quantHammerBody", &AppConfig::quantHammerBody, true},
    {"hammer", "quantHammerHead", &AppConfig::quantHammerHead, true},
    {"hammer", "quantHammerMaN", &AppConfig::quantHammerMaN, true},
    {"hammer", "quantHammerVolume", &AppConfig::quantHammerVolume, true},
    {"hammer", "quantHammerMinSwing", &AppConfig::quantHammerMinSwing, true},
    {"hammer", "quantHammerNDayLow", &AppConfig::quantHammerNDayLow, true},
    {"hammer", "quantHammerMaxIncrease", &AppConfig::quantHammerMaxIncrease, true},
    {"yty", "quantYangTunYinMaN", &AppConfig::quantYangTunYinMaN, true},
    {"yty", "quantYangTunYinMaN2", &AppConfig::quantYangTunYinMaN2, true},
    {"yty", "quantYangTunYinMinIncrease", &AppConfig::quantYangTunYinMinIncrease, true},
    {"yty", "quantYangTunYinMaxIncrease", &AppConfig::quantYangTunYinMaxIncrease, true},
    {"yty", "quantYangTunYinMaxHead", &AppConfig::quantYangTunYinMaxHead, true},
    {"yty", "quantYangTunYinMinPrice", &AppConfig::quantYangTunYinMinPrice, true},
    {"yty", "quantYangTunYinMaxPrice", &AppConfig::quantYangTunYinMaxPrice, true},
    {"yty", "quantYangTunYinMinTradeVol", &AppConfig::quantYangTunYinMinTradeVol, true},
    {"yty", "quantYangTunYinUseKDJ", &AppConfig::quantYangTunYinUseKDJ, true},
    {"dcz", "quantDaoChuiZiMaN", &AppConfig::quantDaoChuiZiMaN, false},
    {"dcz", "quantDaoChuiZiMa2", &AppConfig::quantDaoChuiZiMa2, false},
    {"dcz", "quantDaoChuiZiHead", &AppConfig::quantDaoChuiZiHead, false},
    {"dcz", "quantDaoChuiZiBody", &AppConfig::quantDaoChuiZiBody, false},
    {"dcz", "quantDaoChuiZiFooter", &AppConfig::quantDaoChuiZiFooter, false},
    {"dcz", "quantDaoChuiZiMinSwing", &AppConfig::quantDaoChuiZiMinSwing, false},
    {"dcz", "quantDaoChuiZiMaxIncrease", &AppConfig::quantDaoChuiZiMaxIncrease, false},
    {"dcz", "quantDaoChuiZiMaxIncrease2", &AppConfig::quantDaoChuiZiMaxIncrease2, false},
    {"dcz", "quantDaoChuiZiMinTradeVol", &AppConfig::quantDaoChuiZiMinTradeVol, false},
    {"dcz", "quantDaoChuiZiUseKDJ", &AppConfig::quantDaoChuiZiUseKDJ, false},
    {"cxgsp", "quantCiXinGuShengPoMaxIncrease", &AppConfig::quantCiXinGuShengPoMaxIncrease, true},
    {"cxgld", "quantCiXinGuLianDieN", &AppConfig::quantCiXinGuLianDieN, true},
    {"cxgld", "quantCiXinGuLianDieDecease", &AppConfig::quantCiXinGuLianDieDecease, true},
    {"cxgld", "quantCiXinGuLianDieHasJiaYang", &AppConfig::quantCiXinGuLianDieHasJiaYang, true},
};

static_assert(sizeof(kSettings) / sizeof(kSettings[0]) == 53, "one entry per setting");

std::string localPath(const QString& path)
{
    return path.toLocal8Bit().toStdString();
}

} // namespace

AppConfig::AppConfig()
    : binding(QString::fromLatin1(kSettingsFile))
{
    load();
}

AppConfig::~AppConfig()
{
    save();
}

void AppConfig::load()
{
    // On a first start the settings folder may be missing too.
    QDir().mkpath(QFileInfo(binding.path).path());
    const std::string file = localPath(binding.path);
    IniFile ini(file);
    if (ini.damaged()) {
        if (setDamagedFileAside()) {
            ini.load(file);
        } else {
            // what cannot be set aside is neither read nor ever rewritten
            ini.load(std::string());
            binding.path.clear();
        }
    }
    for (const Setting& setting : kSettings) {
        std::visit([&](auto member) { this->*member = ini.getValue(setting.section, setting.key, this->*member); },
                   setting.field);
    }
    // A first start, or a file with nothing in it, writes every setting at
    // once, so that the file a killed run leaves is whole too.
    if (!binding.path.isEmpty() && QFileInfo(binding.path).size() == 0)
        storeFields(ini);
    // `ini` rewrites the file in its normalised form when it goes out of scope
}

bool AppConfig::setDamagedFileAside()
{
    // beside the copies set aside before, which stay as they are
    const QString kept = setAside(binding.path, QStringLiteral(".bad"));
    const bool moved = !kept.isEmpty();
    // the user finds the files by the whole path; the log lies beside them
    const QString shownPath = QFileInfo(binding.path).absoluteFilePath();
    if (moved) {
        qWarning("%s cannot be read whole: kept as %s, every setting takes its default", qPrintable(binding.path),
                 qPrintable(kept));
        damageNote = QStringLiteral("设置文件 %1 无法完整读取,已另存为 %2,所有设置恢复为默认值")
                         .arg(shownPath, QFileInfo(kept).absoluteFilePath());
    } else {
        qWarning("%s cannot be read whole nor be set aside: every setting takes its default, the file stays as it is",
                 qPrintable(binding.path));
        damageNote = QStringLiteral("设置文件 %1 无法完整读取,所有设置恢复为默认值,该文件保持原样,不会被改写")
                         .arg(shownPath);
    }
    return moved;
}

void AppConfig::save() const
{
    if (binding.path.isEmpty())
        return;
    // Reading first keeps whatever this record does not own: other sections,
    // comments, blank lines and the [dcz] entries as the user wrote them.
    IniFile ini(localPath(binding.path));
    storeFields(ini);
    ini.close();
}

void AppConfig::storeFields(IniFile& ini) const
{
    for (const Setting& setting : kSettings) {
        if (!setting.saved)
            continue;
        std::visit([&](auto member) { ini.setValue(setting.section, setting.key, this->*member); }, setting.field);
    }
}
