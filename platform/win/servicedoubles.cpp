#include "platform/win/servicedoubles.h"

#include <algorithm>

#include "platform/rtl/strutils.h"

String TMemoryRegistry::Normalize(const String& Key, const String& Name)
{
    String key = Key;
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    return UpperCase(key) + "\n" + UpperCase(Name);
}

void TMemoryRegistry::Set(const String& Key, const String& Name, const String& Value)
{
    FValues[Normalize(Key, Name)] = Value;
}

String TMemoryRegistry::ReadMachineString(const String& Key, const String& Name) const
{
    const auto it = FValues.find(Normalize(Key, Name));
    return it == FValues.end() ? String() : it->second;
}

int TRecordingLauncher::Run(const String& Program, const std::vector<String>& Args, bool Wait)
{
    Runs.push_back({Program, Args, Wait});
    return RunResult;
}

bool TRecordingLauncher::ShellOpen(const String& Target)
{
    Opened.push_back(Target);
    return OpenResult;
}

String TRecordingRawPrinting::TDocument::Bytes() const
{
    String bytes;
    for (const String& part : Writes)
        bytes += part;
    return bytes;
}

class TRecordingRawPrinting::THandle : public TRawPrinterHandle {
public:
    THandle(TRecordingRawPrinting& Owner, const String& Printer) : FOwner(Owner), FPrinter(Printer) { }

    bool StartDoc(const String& DocName) override
    {
        if (FDocument >= 0)
            return Fail("a document is already open");
        FOwner.Documents.push_back({FPrinter, DocName, {}, false});
        FDocument = static_cast<int>(FOwner.Documents.size()) - 1;
        return true;
    }
    bool Write(const String& Bytes) override
    {
        if (FDocument < 0)
            return Fail("no document is open");
        FOwner.Documents[static_cast<size_t>(FDocument)].Writes.push_back(Bytes);
        return true;
    }
    bool EndDoc() override
    {
        if (FDocument < 0)
            return Fail("no document is open");
        const size_t document = static_cast<size_t>(FDocument);
        FDocument = -1;
        if (!FOwner.Refusal.empty())
            return Fail(FOwner.Refusal);
        FOwner.Documents[document].Accepted = true;
        return true;
    }
    String LastError() const override { return FError; }

private:
    bool Fail(const String& Error)
    {
        FError = Error;
        return false;
    }

    TRecordingRawPrinting& FOwner;
    String FPrinter;
    int FDocument = -1;
    String FError;
};

std::unique_ptr<TRawPrinterHandle> TRecordingRawPrinting::OpenPrinter(const String& Name)
{
    OpenRequests.push_back(Name);
    if (std::find(Printers.begin(), Printers.end(), Name) == Printers.end())
        return nullptr;
    return std::make_unique<THandle>(*this, Name);
}
