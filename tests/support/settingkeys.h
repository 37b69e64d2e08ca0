#pragma once

// Every key of the settings file beside the field of the settings record it
// fills, as a reader of the file expects them, and the field's value as text,
// so that a test can give every setting a value of its own and find each one
// where it belongs.

#include "core/appconfig.h"

#include <QString>

#include <iterator>
#include <type_traits>
#include <variant>

using SettingField = std::variant<float AppConfig::*, int AppConfig::*, bool AppConfig::*>;

struct SettingKey
{
    const char* section;
    const char* key;
    SettingField field;
};

inline const SettingKey kSettingKeys[] = {
    {"fibonacciNewStock", "fibonacciNewStockDelta", &AppConfig::fibonacciNewStockDelta},
    {"fibonacciNewStock", "fibonacciNewStockSpan", &AppConfig::fibonacciNewStockSpan},
    {"fibonacciNewStock", "fibonacciNewStockMaxDays", &AppConfig::fibonacciNewStockMaxDays},
    {"autodraw", "trendMinIntervalDay", &AppConfig::trendMinIntervalDay},
    {"autodraw", "trendMinSpan", &AppConfig::trendMinSpan},
    {"autodraw", "trendDelta", &AppConfig::trendDelta},
    {"autodraw", "trendK", &AppConfig::trendK},
    {"autodraw", "trendNearDay", &AppConfig::trendNearDay},
    {"autodraw", "trendMinPoints", &AppConfig::trendMinPoints},
    {"autodraw", "trendType", &AppConfig::trendType},
    {"stockBid", "bidMinPercent", &AppConfig::bidMinPercent},
    {"stockBid", "bidMaxPercent", &AppConfig::bidMaxPercent},
    {"stockBid", "bidRatio", &AppConfig::bidRatio},
    {"stockBid", "bidUseK", &AppConfig::bidUseK},
    {"hotStock", "fibonacciHotStock", &AppConfig::fibonacciHotStock},
    {"hotStock", "fibonacciHotStockDays", &AppConfig::fibonacciHotStockDays},
    {"hotStock", "fibonacciHotStockVolRatio", &AppConfig::fibonacciHotStockVolRatio},
    {"hotStock", "fibonacciHotStockDelta", &AppConfig::fibonacciHotStockDelta},
    {"hotStock", "fibonacciHotStockSpan", &AppConfig::fibonacciHotStockSpan},
    {"hotStock", "fibonacciHotStockMaxFallDays", &AppConfig::fibonacciHotStockMaxFallDays},
    {"hotStock", "fibonacciHotStockMinSwing", &AppConfig::fibonacciHotStockMinSwing},
    {"scanExport", "scanListExport", &AppConfig::scanListExport},
    {"hammer", "quantHammerFooter", &AppConfig::quantHammerFooter},
    {"hammer", "quantHammerBody", &AppConfig::quantHammerBody},
    {"hammer", "quantHammerHead", &AppConfig::quantHammerHead},
    {"hammer", "quantHammerMaN", &AppConfig::quantHammerMaN},
    {"hammer", "quantHammerVolume", &AppConfig::quantHammerVolume},
    {"hammer", "quantHammerMinSwing", &AppConfig::quantHammerMinSwing},
    {"hammer", "quantHammerNDayLow", &AppConfig::quantHammerNDayLow},
    {"hammer", "quantHammerMaxIncrease", &AppConfig::quantHammerMaxIncrease},
    {"yty", "quantYangTunYinMaN", &AppConfig::quantYangTunYinMaN},
    {"yty", "quantYangTunYinMaN2", &AppConfig::quantYangTunYinMaN2},
    {"yty", "quantYangTunYinMinIncrease", &AppConfig::quantYangTunYinMinIncrease},
    {"yty", "quantYangTunYinMaxIncrease", &AppConfig::quantYangTunYinMaxIncrease},
    {"yty", "quantYangTunYinMaxHead", &AppConfig::quantYangTunYinMaxHead},
    {"yty", "quantYangTunYinMinPrice", &AppConfig::quantYangTunYinMinPrice},
    {"yty", "quantYangTunYinMaxPrice", &AppConfig::quantYangTunYinMaxPrice},
    {"yty", "quantYangTunYinMinTradeVol", &AppConfig::quantYangTunYinMinTradeVol},
    {"yty", "quantYangTunYinUseKDJ", &AppConfig::quantYangTunYinUseKDJ},
    {"dcz", "quantDaoChuiZiMaN", &AppConfig::quantDaoChuiZiMaN},
    {"dcz", "quantDaoChuiZiMa2", &AppConfig::quantDaoChuiZiMa2},
    {"dcz", "quantDaoChuiZiHead", &AppConfig::quantDaoChuiZiHead},
    {"dcz", "quantDaoChuiZiBody", &AppConfig::quantDaoChuiZiBody},
    {"dcz", "quantDaoChuiZiFooter", &AppConfig::quantDaoChuiZiFooter},
    {"dcz", "quantDaoChuiZiMinSwing", &AppConfig::quantDaoChuiZiMinSwing},
    {"dcz", "quantDaoChuiZiMaxIncrease", &AppConfig::quantDaoChuiZiMaxIncrease},
    {"dcz", "quantDaoChuiZiMaxIncrease2", &AppConfig::quantDaoChuiZiMaxIncrease2},
    {"dcz", "quantDaoChuiZiMinTradeVol", &AppConfig::quantDaoChuiZiMinTradeVol},
    {"dcz", "quantDaoChuiZiUseKDJ", &AppConfig::quantDaoChuiZiUseKDJ},
    {"cxgsp", "quantCiXinGuShengPoMaxIncrease", &AppConfig::quantCiXinGuShengPoMaxIncrease},
    {"cxgld", "quantCiXinGuLianDieN", &AppConfig::quantCiXinGuLianDieN},
    {"cxgld", "quantCiXinGuLianDieDecease", &AppConfig::quantCiXinGuLianDieDecease},
    {"cxgld", "quantCiXinGuLianDieHasJiaYang", &AppConfig::quantCiXinGuLianDieHasJiaYang},
};

inline constexpr int kSettingKeyCount = int(std::size(kSettingKeys));

inline bool isSwitch(const SettingField& field)
{
    return std::holds_alternative<bool AppConfig::*>(field);
}

inline bool isWholeNumber(const SettingField& field)
{
    return std::holds_alternative<int AppConfig::*>(field);
}

// A field's value as a number: a switch is 1 or 0.
inline double fieldValue(const AppConfig& config, const SettingField& field)
{
    return std::visit([&](auto member) { return double(config.*member); }, field);
}

// Sets a field to `value`: a switch is on for anything but 0, a whole number
// takes the value's integer part.
inline void setFieldValue(AppConfig& config, const SettingField& field, double value)
{
    std::visit(
        [&](auto member) {
            using Value = std::decay_t<decltype(config.*member)>;
            if constexpr (std::is_same_v<Value, bool>)
                config.*member = value != 0;
            else
                config.*member = Value(value);
        },
        field);
}

// The name of the key that `field` is read from, for messages.
inline QString keyOf(const SettingField& field)
{
    for (const SettingKey& key : kSettingKeys) {
        if (key.field == field)
            return QString::fromLatin1(key.key);
    }
    return QStringLiteral("<no key>");
}
