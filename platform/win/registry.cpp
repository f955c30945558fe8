#include "platform/win/registry.h"

#include "platform/rtl/fileops.h"
#include "platform/rtl/inifile.h"

namespace {

const TRegistryReader* Current = nullptr;

}  // namespace

String TRegistryFile::ReadMachineString(const String& Key, const String& Name) const
{
    String key = Key;
    while (!key.empty() && (key.back() == '\\' || key.back() == '/'))
        key.pop_back();
    while (!key.empty() && key.front() == '\\')
        key.erase(0, 1);
    const TIniFile file(FFileName);
    return file.ReadString("HKEY_LOCAL_MACHINE\\" + key, Name, String());
}

const TRegistryReader& Registry()
{
    if (Current)
        return *Current;
    static const TRegistryFile file(ProgramDir() + RegistryFileName);
    return file;
}

const TRegistryReader* SetRegistry(const TRegistryReader* Reader)
{
    const TRegistryReader* previous = Current;
    Current = Reader;
    return previous;
}
