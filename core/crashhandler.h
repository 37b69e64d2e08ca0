#pragma once

// Turns every fatal fault of the process (a fatal signal in any thread, an
// uncaught exception, a failed allocation, an abort) into one text dump in the
// folder "crash" of the working folder, named
// "vorel.YYYY-MM-DD-hh-mm-ss-ms-rr.dmp" (local time, milliseconds, a random
// number below 100), and ends the process with exit code 1.
//
// One instance is made before main() runs and stays installed for the whole
// process. SIGTERM and SIGINT are no crashes and are left to the program.

class CrashHandler
{
public:
    CrashHandler();
    virtual ~CrashHandler();

    CrashHandler(const CrashHandler&) = delete;
    CrashHandler& operator=(const CrashHandler&) = delete;

    // Writes one dump and returns. `reason` is a short text, `signal` and
    // `address` are 0 when the fault is no signal. Async-signal-safe.
    static void writeDump(const char* reason, int signal, const void* address);
};

// An empty folder of the program's own that a crash removes on its way out,
// as the orderly end would (the private runtime folder made in the temporary
// folder). The path is copied; an empty path forgets it. Call it from one
// thread, before other threads may crash.
void removeFolderOnCrash(const char* path);

// The handler's global instance lives in a static library, where the linker
// drops an object file nothing refers to. The program's main() calls this once
// (it does nothing else) so that the instance is linked in.
bool crashHandlerInstalled();
