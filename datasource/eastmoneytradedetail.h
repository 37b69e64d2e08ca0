#pragma once

// The dragon-tiger trade detail of one date from the Eastmoney data host. The
// first argument is the date (both start and end of the range); no arguments,
// no URL.

#include <QStringList>

QStringList eastmoneyTradeDetailUrls(const QStringList& args);
