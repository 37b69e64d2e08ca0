#pragma once

// The standard add-on: a hammer-candle strategy. It asks the host for three
// indicators when the library is bound and reports every hammer day of a stock
// as a trade bought at the next day's open and sold at the following close.

#include "addon/vorelinterface.h"

class VorelAddonImpl final : public VorelAddon
{
public:
    void release() override;
    QString author() override;
    QString version() override;
    QString introduction() override;
    QString hint() override;
    int check(const QString& code, const QVector<Stock>& days) override;
};

extern "C" Q_DECL_EXPORT VorelAddon* get_vorel_interface(VorelAddonHost* host, int version);
