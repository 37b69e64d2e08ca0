#pragma once

// The seven signal rules of the back-test, one function each: is bar `index`
// of a stock's daily series a buy signal under the given settings? Each gives
// 0 for a signal and -1 for none (too few bars, an index outside the series,
// a missing extreme or a failed condition). The checkers of the back-test ask
// them, and nothing here touches a widget or the application object.
//
// A rule judges bar `index` from the prices of bars 0 to index only: a
// back-test that let later prices decide whether an earlier day was a signal
// would report gains nobody could have had. (The new-stock losing streak
// still asks for a history of more than ten days.)

#include "core/appconfig.h"
#include "core/stock.h"

#include <QVector>

// 锤子线: a long lower shadow under a small body at a low close on calm volume ([hammer]).
int hammerSignal(const QVector<Stock>& bars, int index, const AppConfig& settings);
// 阳吞阴: a rising bar that engulfs a falling one below the averages ([yty]).
int yangTunYinSignal(const QVector<Stock>& bars, int index, const AppConfig& settings);
// 倒锤子: a long upper shadow over a small body below the averages ([dcz]).
int daoChuiZiSignal(const QVector<Stock>& bars, int index, const AppConfig& settings);
// 次新股升破: a new stock closing above the high before its first average turn.
int ciXinGuTuPoSignal(const QVector<Stock>& bars, int index, const AppConfig& settings);
// 次新股连跌: a new stock falling several days in a row from its first turn on ([cxgld]).
int ciXinGuLianDieSignal(const QVector<Stock>& bars, int index, const AppConfig& settings);
// 放量涨停: one rising bar through three close averages.
int fangLiangZhangTingSignal(const QVector<Stock>& bars, int index, const AppConfig& settings);
// 首次突破布林上轨混合一阳穿二线: the first close above the upper Bollinger band by a bar crossing the averages.
int bollYiYangChuan2Signal(const QVector<Stock>& bars, int index, const AppConfig& settings);

// The limit on the summed fall of the losing streak, as a negative percent.
// Files written by hand hold the setting positive (the shipped default is 24)
// or negative (what the dialog stores); either way it means a fall of that
// size, so its sign is ignored.
float losingStreakFallLimit(float stored);
