#include "platform/win/servicedoubles.h"

#include "platform/rtl/strutils.h"

String TMemoryRegistry::Normalize(const String& Key, const String& Name) {
    String key = Key;
    while (!key.empty() && key.back() == '\\') key.pop_back();
    return UpperCase(key) + "\n" + UpperCase(Name);
}

void TMemoryRegistry::Set(const String& Key, const String& Name, const String& Value) { FValues[Normalize(Key, Name)] = Value; }

String TMemoryRegistry::ReadMachineString(const String& Key, const String& Name) const {
    const auto it = FValues.find(Normalize(Key, Name));
    return it == FValues.end() ? String() : it->second;
}

int TRecordingLauncher::Run(const String& Program, const std::vector<String>& Args, bool Wait) {
    Runs.push_back({Program, Args, Wait});
    return RunResult;
}

bool TRecordingLauncher::ShellOpen(const String& Target) {
    Opened.push_back(Target);
    return OpenResult;
}
