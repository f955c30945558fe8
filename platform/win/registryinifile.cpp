#include "platform/win/registryinifile.h"

#include "platform/rtl/fileops.h"
#include "platform/win/registry.h"

namespace {

String ChosenPath;

String Trimmed(const String& Key)
{
    String key = Key;
    while (!key.empty() && (key.back() == '\\' || key.back() == '/'))
        key.pop_back();
    while (!key.empty() && (key.front() == '\\' || key.front() == '/'))
        key.erase(0, 1);
    return key;
}

}  // namespace

String RegistryFilePath() { return ChosenPath.empty() ? ProgramDir() + RegistryFileName : ChosenPath; }

String SetRegistryFilePath(const String& Path)
{
    String previous = ChosenPath;
    ChosenPath = Path;
    return previous;
}

TRegistryIniFile::TRegistryIniFile(const String& Key) : FKey(Trimmed(Key)), FFile(RegistryFilePath()) { }

String TRegistryIniFile::Heading(const String& Section) const
{
    return "HKEY_CURRENT_USER\\" + FKey + "\\" + Trimmed(Section);
}

String TRegistryIniFile::ReadString(const String& Section, const String& Ident, const String& Default) const
{
    return FFile.ReadString(Heading(Section), Ident, Default);
}

void TRegistryIniFile::ReadSectionValues(const String& Section, TStrings& Strings) const
{
    FFile.ReadSectionValues(Heading(Section), Strings);
}

void TRegistryIniFile::WriteString(const String& Section, const String& Ident, const String& Value)
{
    FFile.WriteString(Heading(Section), Ident, Value);
}

void TRegistryIniFile::EraseSection(const String& Section) { FFile.EraseSection(Heading(Section)); }
