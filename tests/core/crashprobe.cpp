// A program that dies in the way its argument names, for the crash dump tests.

#include "core/crashhandler.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <thread>

#include <sys/stat.h>

namespace {

void nullWrite()
{
    volatile int* volatile target = nullptr;
    *target = 1;
}

// Not a tail call: each level keeps a frame of its own until the stack is gone.
int recurse(int depth)
{
    volatile char frame[1024];
    frame[0] = char(depth);
    if (depth < 0)   // never: only keeps the compiler from calling this endless
        return 0;
    return recurse(depth + 1) + frame[0];
}

} // namespace

int main(int argc, char** argv)
{
    if (!crashHandlerInstalled())
        return 2;
    const char* mode = argc > 1 ? argv[1] : "";
    // as the program's private runtime folder: a crash takes it away
    ::mkdir("runtime", 0700);
    removeFolderOnCrash("runtime");
    if (!std::strcmp(mode, "segv")) {
        nullWrite();
    } else if (!std::strcmp(mode, "thread-segv")) {
        std::thread worker(nullWrite);
        worker.join();
    } else if (!std::strcmp(mode, "throw")) {
        throw std::runtime_error("probe exception");
    } else if (!std::strcmp(mode, "thread-throw")) {
        std::thread worker([] { throw std::logic_error("probe exception in a thread"); });
        worker.join();
    } else if (!std::strcmp(mode, "abort")) {
        std::abort();
    } else if (!std::strcmp(mode, "fpe")) {
        std::raise(SIGFPE);
    } else if (!std::strcmp(mode, "overflow")) {
        return recurse(0);
    } else if (!std::strcmp(mode, "oom")) {
        void* p = ::operator new(std::size_t(1) << 62);
        std::printf("%p\n", p);
    } else if (!std::strcmp(mode, "term")) {
        std::raise(SIGTERM);
    }
    return 0;
}
