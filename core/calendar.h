#pragma once

// The trading calendar: weekends and a built-in list of holidays are closed.

#include <QDate>

bool isNonTradingDay(const QDate& date);
QDate previousTradingDay(const QDate& date);
QDate nextTradingDay(const QDate& date);
