#include "core/startuplisting.h"

#include "core/fileutils.h"

StartupListing::StartupListing(const QString& folder, const QString& names, QObject* parent)
    : QThread(parent), folder(folder), names(names), startedAt(QDateTime::currentDateTime())
{
}

StartupListing::~StartupListing()
{
    requestInterruption();
    wait();
}

QMap<QString, QString> StartupListing::historyFiles() const
{
    QMutexLocker lock(&mutex);
    return files;
}

void StartupListing::run()
{
    QMap<QString, QString> found = tidyHistoryFolder(folder, names, startedAt, [this] { return isInterruptionRequested(); });
    {
        QMutexLocker lock(&mutex);
        files = std::move(found);
        done = true;
    }
    emit listed();
}
