#pragma once

// The application object as the program makes it, for the tests of what app/
// adds to it (the add-on host, the K-line window, the information pages' first
// searches, the error box): app/'s steps are installed first, as main() does.
// The other tests run under a plain VorelApplication, which has none of them.

#include "app/applicationparts.h"
#include "core/vorelapplication.h"

class ProgramApplication final : public VorelApplication
{
public:
    ProgramApplication(int& argc, char** argv)
        : VorelApplication(withPartsInstalled(argc), argv)
    {
    }

private:
    // The steps must be in place before the base's constructor, which runs
    // the first of them.
    static int& withPartsInstalled(int& argc)
    {
        installApplicationParts();
        return argc;
    }
};
