#pragma once
// Test doubles of the Windows services: each installs itself for its lifetime.

#include <map>
#include <vector>

#include "platform/win/hostinfo.h"
#include "platform/win/launcher.h"
#include "platform/win/rawprinter.h"
#include "platform/win/registry.h"

class TMemoryRegistry : public TRegistryReader {
public:
    TMemoryRegistry() : FPrevious(SetRegistry(this)) { }
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
    explicit TFixedHostInfo(const String& Name) : FName(Name), FPrevious(SetHostInfo(this)) { }
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

    TRecordingLauncher() : FPrevious(SetLauncher(this)) { }
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

// A print system that keeps the raw documents it is sent. Only the names in Printers
// open; with Refusal set, every document is refused at its end with that reason.
class TRecordingRawPrinting : public TRawPrintService {
public:
    struct TDocument {
        String Printer;
        String Name;
        std::vector<String> Writes;
        bool Accepted = false;
        String Bytes() const;
    };

    TRecordingRawPrinting() : FPrevious(SetRawPrinting(this)) { }
    ~TRecordingRawPrinting() override { SetRawPrinting(FPrevious); }
    TRecordingRawPrinting(const TRecordingRawPrinting&) = delete;
    TRecordingRawPrinting& operator=(const TRecordingRawPrinting&) = delete;

    std::unique_ptr<TRawPrinterHandle> OpenPrinter(const String& Name) override;

    std::vector<String> Printers = {"Laser"};
    String Refusal;
    std::vector<String> OpenRequests;  // every name asked for, known or not
    std::vector<TDocument> Documents;  // every document started, accepted or not

private:
    class THandle;
    TRawPrintService* FPrevious;
};
