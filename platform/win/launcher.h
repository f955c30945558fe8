#pragma once
// Starting other programs: a program with its arguments, and a file or web address
// opened with the desktop's program for it.

#include <vector>

#include "platform/rtl/types.h"

class TProcessLauncher {
public:
    virtual ~TProcessLauncher() = default;
    // Starts Program (searched on the PATH) with Args, each passed as it stands. With
    // Wait, returns the program's exit code once it ends; without, 0 once it started.
    // -1 when the program cannot be started.
    virtual int Run(const String& Program, const std::vector<String>& Args, bool Wait) = 0;
    // Opens Target (a file or an address) with the desktop's program for it, without
    // waiting; false when no opener could be started.
    virtual bool ShellOpen(const String& Target) = 0;
};

class TSystemLauncher : public TProcessLauncher {
public:
    int Run(const String& Program, const std::vector<String>& Args, bool Wait) override;
    bool ShellOpen(const String& Target) override;
};

// The full name of Program on the PATH (or Program itself when it names a path);
// "" when there is none.
String FindProgram(const String& Program);

TProcessLauncher& Launcher();
// Installs Value (not owned; null restores the system's); returns the previous one.
TProcessLauncher* SetLauncher(TProcessLauncher* Value);
