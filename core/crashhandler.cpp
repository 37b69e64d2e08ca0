#include "core/crashhandler.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <exception>
#include <initializer_list>
#include <new>

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

// Everything on the way from a fatal signal to _exit() may run while the heap
// or a lock of the C library is broken: it uses only async-signal-safe calls,
// buffers on the stack, and no allocation.

namespace {

const int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// The main thread's handler stack: a stack overflow leaves no room on the
// faulting stack to run the handler.
constexpr size_t kAltStackSize = 64 * 1024;
alignas(16) char altStack[kAltStackSize];

// localtime_r takes a lock and may read files: the offset to local time is
// taken once at start-up instead. Mainland China keeps no daylight saving time.
long localOffsetSeconds = 0;

// The thread writing the dump; 0 while nobody is.
std::atomic<long> dumpingThread{0};

// Seconds the dump may take before the process ends regardless.
constexpr unsigned kDumpTimeLimit = 10;

// The folder removeFolderOnCrash named; empty when none.
char folderToRemove[PATH_MAX] = {};

class Line
{
public:
    void add(const char* text)
    {
        while (text && *text && length < sizeof(buffer))
            buffer[length++] = *text++;
    }
    // Decimal, at least `digits` digits, like printf's "%0<digits>d".
    void addNumber(long long value, int digits = 1)
    {
        char digitsBuffer[24];
        int count = 0;
        const bool negative = value < 0;
        unsigned long long rest = negative ? 0ull - static_cast<unsigned long long>(value) : value;
        do {
            digitsBuffer[count++] = char('0' + rest % 10);
            rest /= 10;
        } while (rest && count < 24);
        if (negative)
            add("-");
        for (int i = count; i < digits; ++i)
            add("0");
        while (count > 0 && length < sizeof(buffer))
            buffer[length++] = digitsBuffer[--count];
    }
    void addHex(uintptr_t value)
    {
        add("0x");
        char digitsBuffer[2 * sizeof(uintptr_t)];
        int count = 0;
        do {
            digitsBuffer[count++] = "0123456789abcdef"[value & 0xf];
            value >>= 4;
        } while (value);
        while (count > 0 && length < sizeof(buffer))
            buffer[length++] = digitsBuffer[--count];
    }
    const char* text()
    {
        buffer[length < sizeof(buffer) ? length : sizeof(buffer) - 1] = '\0';
        return buffer;
    }
    void writeTo(int fd) const
    {
        size_t done = 0;
        while (done < length) {
            const ssize_t n = ::write(fd, buffer + done, length - done);
            if (n <= 0)
                return;
            done += size_t(n);
        }
    }

private:
    char buffer[512];
    size_t length = 0;
};

struct CivilTime
{
    long long year;
    int month, day, hour, minute, second, millisecond;
};

// Days since 1970-01-01 to a calendar date (proleptic Gregorian), without the
// C library.
void civilFromDays(long long days, long long& year, int& month, int& day)
{
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    day = int(dayOfYear - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

CivilTime localTime(const timespec& now)
{
    const long long local = now.tv_sec + localOffsetSeconds;
    long long days = local / 86400;
    long long seconds = local % 86400;
    if (seconds < 0) {
        seconds += 86400;
        --days;
    }
    CivilTime t{};
    civilFromDays(days, t.year, t.month, t.day);
    t.hour = int(seconds / 3600);
    t.minute = int(seconds / 60 % 60);
    t.second = int(seconds % 60);
    t.millisecond = int(now.tv_nsec / 1000000);
    return t;
}

// rand() takes a lock; a mix of the clock and the process id serves for the
// two digits that keep dumps of the same millisecond apart.
int randomBelow100(const timespec& now, int attempt)
{
    unsigned long long x = static_cast<unsigned long long>(now.tv_nsec) ^ (static_cast<unsigned long long>(getpid()) << 20);
    x += static_cast<unsigned long long>(attempt) * 0x9e3779b97f4a7c15ull;
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdull;
    x ^= x >> 33;
    return int(x % 100);
}

// "crash/vorel.%04d-%02d-%02d-%02d-%02d-%02d-%02d-%02d.dmp"
void formatDumpName(Line& name, const CivilTime& t, int random)
{
    name.add("crash/vorel.");
    name.addNumber(t.year, 4);
    for (int part : {t.month, t.day, t.hour, t.minute, t.second, t.millisecond, random}) {
        name.add("-");
        name.addNumber(part, 2);
    }
    name.add(".dmp");
}

int openDumpFile()
{
    ::mkdir("crash", 0755);   // failing because it exists is fine; open tells the rest
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const CivilTime t = localTime(now);
    for (int attempt = 0; attempt < 8; ++attempt) {
        Line name;
        formatDumpName(name, t, randomBelow100(now, attempt));
        const int fd = ::open(name.text(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

const char* signalName(int signal)
{
    switch (signal) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGFPE: return "SIGFPE";
    case SIGILL: return "SIGILL";
    case SIGABRT: return "SIGABRT";
    default: return "signal";
    }
}

long currentThreadId()
{
    return long(::syscall(SYS_gettid));
}

[[noreturn]] void onDumpTimeLimit(int)
{
    ::_exit(1);
}

// Only the first fault writes a dump. A fault inside the dump writer ends the
// process at once; a fault of another thread meanwhile waits for the first
// thread to end the process.
void enterCrash()
{
    const long self = currentThreadId();
    long expected = 0;
    if (!dumpingThread.compare_exchange_strong(expected, self)) {
        if (expected == self)
            ::_exit(1);
        for (;;)
            ::pause();
    }
    // a dump writer stuck on a broken lock must not keep a dead process alive
    struct sigaction action {};
    action.sa_handler = onDumpTimeLimit;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGALRM, &action, nullptr);
    ::alarm(kDumpTimeLimit);
}

// rmdir is async-signal-safe; a folder that is not empty stays
[[noreturn]] void endCrash()
{
    if (folderToRemove[0])
        ::rmdir(folderToRemove);
    ::_exit(1);
}

void onFatalSignal(int signal, siginfo_t* info, void*)
{
    enterCrash();
    CrashHandler::writeDump(signalName(signal), signal, info ? info->si_addr : nullptr);
    endCrash();
}

[[noreturn]] void onTerminate()
{
    enterCrash();
    Line reason;
    reason.add("terminate");
    // Not a signal: naming the exception that got away is safe here.
    if (std::exception_ptr pending = std::current_exception()) {
        try {
            std::rethrow_exception(pending);
        } catch (const std::exception& e) {
            reason.add(": uncaught exception: ");
            reason.add(e.what());
        } catch (...) {
            reason.add(": uncaught exception of unknown type");
        }
    }
    CrashHandler::writeDump(reason.text(), 0, nullptr);
    endCrash();
}

void onOutOfMemory()
{
    enterCrash();
    CrashHandler::writeDump("failed allocation", 0, nullptr);
    endCrash();
}

void writeText(int fd, const char* text)
{
    Line line;
    line.add(text);
    line.writeTo(fd);
}

CrashHandler theCrashHandler;

} // namespace

CrashHandler::CrashHandler()
{
    ::tzset();
    const time_t now = ::time(nullptr);
    struct tm local {};
    if (::localtime_r(&now, &local))
        localOffsetSeconds = local.tm_gmtoff;

    // The first backtrace() loads the unwinder with malloc and dlopen, which
    // must not happen for the first time inside a signal handler.
    void* frame[1];
    ::backtrace(frame, 1);

    stack_t stack{};
    stack.ss_sp = altStack;
    stack.ss_size = kAltStackSize;
    ::sigaltstack(&stack, nullptr);

    struct sigaction action {};
    action.sa_sigaction = onFatalSignal;
    // SA_NODEFER: a fault inside the handler comes back to it and ends the
    // process with the promised exit code rather than the kernel's kill.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (int signal : kFatalSignals)
        ::sigaction(signal, &action, nullptr);

    std::set_terminate(onTerminate);
    std::set_new_handler(onOutOfMemory);
}

CrashHandler::~CrashHandler() = default;

void CrashHandler::writeDump(const char* reason, int signal, const void* address)
{
    const int fd = openDumpFile();
    if (fd < 0)
        return;
    Line head;
    head.add("reason: ");
    head.add(reason);
    head.add("\n");
    if (signal) {
        head.add("signal: ");
        head.addNumber(signal);
        head.add("\nfault address: ");
        head.addHex(reinterpret_cast<uintptr_t>(address));
        head.add("\n");
    }
    head.add("process: ");
    head.addNumber(::getpid());
    head.add("\nthread: ");
    head.addNumber(currentThreadId());
    head.add("\n");
    head.writeTo(fd);

    writeText(fd, "backtrace:\n");
    void* frames[128];
    const int count = ::backtrace(frames, 128);
    ::backtrace_symbols_fd(frames, count, fd);
    ::close(fd);
}

void removeFolderOnCrash(const char* path)
{
    const size_t length = path ? std::strlen(path) : 0;
    if (length == 0 || length >= sizeof(folderToRemove)) {
        folderToRemove[0] = '\0';
        return;
    }
    std::memcpy(folderToRemove, path, length);
    folderToRemove[length] = '\0';
}

bool crashHandlerInstalled()
{
    return true;
}
