#include "core/startuplisting.h"

#include "core/fileutils.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Lowers the calling thread's share of the processor by ten steps of
// niceness (to 19 at most): where the processors are all busy, or there is
// one, the thread still runs, but the start of the window goes first.
void yieldToTheWindow()
{
    const id_t thread = id_t(::syscall(SYS_gettid));
    errno = 0;
    const int niceness = ::getpriority(PRIO_PROCESS, thread);
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, thread, niceness + 10 > 19 ? 19 : niceness + 10);
}

} // namespace

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
    yieldToTheWindow();
    QMap<QString, QString> found = tidyHistoryFolder(folder, names, startedAt, [this] { return isInterruptionRequested(); });
    {
        QMutexLocker lock(&mutex);
        files = std::move(found);
        done = true;
    }
    emit listed();
}
