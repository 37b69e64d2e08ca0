#pragma once

// The market runs on China time. Every time-of-day rule (09:25, 14:50, 15:00,
// "today") reads the clock here, never the machine's local time, so that the
// rules hold on any machine and tests can drive them without waiting.

#include <QDateTime>

// The current time in Asia/Shanghai (or the time a test fixed).
QDateTime chinaNow();

// Fixes the clock at `when` (converted to China time); an invalid time goes
// back to the real clock.
void setChinaNow(const QDateTime& when);
