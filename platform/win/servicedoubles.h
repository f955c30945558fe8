#pragma once
// Test doubles of the Windows services: each installs itself for its lifetime.

#include <map>
#include <vector>

#include "platform/win/hostinfo.h"
#include "platform/win/launcher.h"
#include "platform/win/registry.h"

class TMemoryRegistry : public TRegistryReader {
public:
    TMemoryRegistry() : FPrevious(SetRegistry(this)) {}
    ~TMemoryRegistry() override { SetRegistry(FPrevious); }
    TMemoryRegistry(const TMemoryRegistry&) = delete;
    TMemoryRegistry& operator=(const TMemoryRegistry&) = delete;

    void Set(const String& Key, const String& Name, const String& Value);
    String ReadMachineString(const String& Key, const String& Name) const override;

private:
    static String Normalize(const String& Key, const String& Name);
    std::map<String, String> FValues;
    const TRegistryReader* FPrevious;
};

class TFixedHostInfo : public THostInfo {
public:
    explicit TFixedHostInfo(const String& Name) : FName(Name), FPrevious(SetHostInfo(this)) {}
    ~TFixedHostInfo() override { SetHostInfo(FPrevious); }
    TFixedHostInfo(const TFixedHostInfo&) = delete;
    TFixedHostInfo& operator=(const TFixedHostInfo&) = delete;
    String ComputerName() const override { return FName; }

private:
    String FName;
    const THostInfo* FPrevious;
};

// Records what would have been started and answers as told.
class TRecordingLauncher : public TProcessLauncher {
public:
    struct TCall {
        String Program;
        std::vector<String> Args;
        bool Wait;
    };

    TRecordingLauncher() : FPrevious(SetLauncher(this)) {}
    ~TRecordingLauncher() override { SetLauncher(FPrevious); }
    TRecordingLauncher(const TRecordingLauncher&) = delete;
    TRecordingLauncher& operator=(const TRecordingLauncher&) = delete;

    int Run(const String& Program, const std::vector<String>& Args, bool Wait) override;
    bool ShellOpen(const String& Target) override;

    std::vector<TCall> Runs;
    std::vector<String> Opened;
    // What Run returns, and whether ShellOpen succeeds.
    int RunResult = 0;
    bool OpenResult = true;

private:
    TProcessLauncher* FPrevious;
};
