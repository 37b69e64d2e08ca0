#pragma once

// The one listing of data/ at start-up, on a thread of its own so that the
// main window never waits for a large folder. It removes the copies that
// writes interrupted before the program started left behind, and keeps the
// daily history files for the file scan that starts with the program.

#include <QDateTime>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QThread>

class StartupListing final : public QThread
{
    Q_OBJECT
public:
    // Lists `folder` once started, where the files named `names` (a regular
    // expression, as removeInterruptedWrites takes it) are written; copies
    // changed from now on are left alone, since they belong to writes under
    // way.
    StartupListing(const QString& folder, const QString& names, QObject* parent = nullptr);
    // Asks the listing to end early and waits for it.
    ~StartupListing() override;

    // The history files, path as key and value; empty until the listing is
    // done.
    QMap<QString, QString> historyFiles() const;

    // Runs `slot` on the thread of `receiver` once the listing is done;
    // queued at once when it is done already.
    template <class Slot>
    void whenDone(QObject* receiver, Slot slot)
    {
        QMutexLocker lock(&mutex);
        if (done)
            QMetaObject::invokeMethod(receiver, slot, Qt::QueuedConnection);
        else
            connect(this, &StartupListing::listed, receiver, slot, Qt::QueuedConnection);
    }

signals:
    void listed();

protected:
    void run() override;

private:
    const QString folder;
    const QString names;
    const QDateTime startedAt;
    mutable QMutex mutex;
    bool done = false;
    QMap<QString, QString> files;
};
