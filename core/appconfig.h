#pragma once

// The settings record: every parameter of a strategy or a page, read from
// "config/config.ini" when built and written back when destroyed. Dialogs and
// strategies read and change the fields in memory; nothing rereads the file
// during a run. Worker threads read the fields unlocked: each is one word,
// written whole.
//
// The [dcz] fields are read but never written back: their file entries stay
// as the user wrote them, and a change made in memory lasts until exit.

#include <QString>

class IniFile;

class AppConfig
{
public:
    // Reads "config/config.ini" of the working folder (a missing file,
    // section or key, or a value that does not read, keeps the default) and
    // rewrites it normalised; a missing or empty file is written with every
    // setting. A file that cannot be read as text at all is set aside under
    // the first free name of "config/config.ini.bad", "config/config.ini.bad.1",
    // "config/config.ini.bad.2" and so on (earlier copies stay), and every
    // setting takes its default.
    AppConfig();
    // Writes every field except the [dcz] ones back, keeping the file's other
    // sections, comments and blank lines.
    ~AppConfig();

    // A copy (a worker's snapshot of the settings) holds the values only: it
    // is bound to no file and writes nothing when destroyed. Assigning copies
    // the values and keeps the target's binding.
    AppConfig(const AppConfig&) = default;
    AppConfig& operator=(const AppConfig&) = default;

    // What the user must be told about the settings file found at start: empty
    // when it was read whole.
    const QString& damagedFileNote() const { return damageNote; }

    // [fibonacciNewStock]
    float fibonacciNewStockDelta = 1.2f;
    int fibonacciNewStockSpan = 5;
    int fibonacciNewStockMaxDays = 90;
    // [autodraw]
    int trendMinIntervalDay = 3;
    int trendMinSpan = 15;
    float trendDelta = 0.03f;
    float trendK = 0.05f;
    int trendMinPoints = 3;
    int trendNearDay = 3;
    int trendType = 3;
    // [stockBid]
    float bidMinPercent = -8.0f;
    float bidMaxPercent = 3.6f;
    float bidRatio = 0.093f;
    bool bidUseK = true;
    // [hotStock]
    bool fibonacciHotStock = false;
    int fibonacciHotStockDays = 20;
    float fibonacciHotStockVolRatio = 3.0f;
    float fibonacciHotStockDelta = 1.2f;
    int fibonacciHotStockSpan = 6;
    int fibonacciHotStockMaxFallDays = 9;
    int fibonacciHotStockMinSwing = 12;
    // [scanExport]
    bool scanListExport = false;
    // [hammer]
    float quantHammerFooter = 75;
    float quantHammerBody = 25;
    float quantHammerHead = 12;
    int quantHammerMaN = 21;
    float quantHammerVolume = 1.01f;
    float quantHammerMinSwing = 2.0f;
    int quantHammerNDayLow = 0;
    float quantHammerMaxIncrease = 3.6f;
    // [yty]
    int quantYangTunYinMaN = 6;
    int quantYangTunYinMaN2 = 21;
    float quantYangTunYinMinIncrease = 3.0f;
    float quantYangTunYinMaxIncrease = 6.0f;
    float quantYangTunYinMaxHead = 10;
    float quantYangTunYinMinPrice = 7.2f;
    float quantYangTunYinMaxPrice = 99.9f;
    float quantYangTunYinMinTradeVol = 1.1f;
    int quantYangTunYinUseKDJ = 1;
    // [dcz]: read only
    int quantDaoChuiZiMaN = 5;
    int quantDaoChuiZiMa2 = 21;
    float quantDaoChuiZiFooter = 5;
    float quantDaoChuiZiBody = 20;
    float quantDaoChuiZiHead = 70;
    float quantDaoChuiZiMinSwing = 3.6f;
    float quantDaoChuiZiMaxIncrease = 3.6f;
    float quantDaoChuiZiMaxIncrease2 = 4.8f;
    float quantDaoChuiZiMinTradeVol = 1.2f;
    int quantDaoChuiZiUseKDJ = 1;
    // [cxgsp]
    float quantCiXinGuShengPoMaxIncrease = 6.4f;
    // [cxgld]
    int quantCiXinGuLianDieN = 4;
    float quantCiXinGuLianDieDecease = 24;
    bool quantCiXinGuLianDieHasJiaYang = true;

private:
    // Copying yields an unbound value, see above.
    struct Binding
    {
        Binding() = default;
        explicit Binding(const QString& file) : path(file) {}
        Binding(const Binding&) {}
        Binding& operator=(const Binding&) { return *this; }
        QString path;
    };

    void load();
    void save() const;
    void storeFields(IniFile& ini) const;
    bool setDamagedFileAside();

    Binding binding;
    QString damageNote;
};
