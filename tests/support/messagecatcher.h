#pragma once

// Tests of pages that report through modal message boxes: the box would block
// the test, so a short timer closes each one and keeps what it said.

#include "widgets/vorelstockmsgbox.h"

#include <QApplication>
#include <QLabel>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Closes every message box that opens and remembers "title|text" of each.
class MessageCatcher : public QObject
{
public:
    MessageCatcher()
    {
        connect(&timer, &QTimer::timeout, this, [this]() {
            auto* box = qobject_cast<VorelStockMsgBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            QStringList texts;
            for (QLabel* label : box->findChildren<QLabel*>())
                texts << label->text();
            seen << box->windowTitle() + "|" + texts.join(QString());
            box->done(0);
        });
        timer.start(5);
    }
    QStringList seen;

private:
    QTimer timer;
};
