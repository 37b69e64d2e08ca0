#pragma once

// The single entry point for notification mail. Results: 0 sent; -1 connecting
// or logging in failed; -2 sending failed; anything else an unknown state.

#include <QString>

int sendMail(const QString& subject, const QString& body, int flag);
