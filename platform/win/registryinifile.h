#pragma once
// The user's part of the registry, read and written as an INI file is: key Key's
// subkey Section is the registry file's section "[HKEY_CURRENT_USER\Key\Section]".

#include "platform/rtl/inifile.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/types.h"

class TRegistryIniFile {
public:
    // Key as "Software\Maker\Program", with or without backslashes at its ends.
    explicit TRegistryIniFile(const String& Key);

    String ReadString(const String& Section, const String& Ident, const String& Default) const;
    // "Ident=Value" lines of the subkey, in the order they were written.
    void ReadSectionValues(const String& Section, TStrings& Strings) const;
    // Raises EInOutError when the registry file cannot be written.
    void WriteString(const String& Section, const String& Ident, const String& Value);
    void EraseSection(const String& Section);

private:
    String Heading(const String& Section) const;

    String FKey;
    TIniFile FFile;
};

// The registry file written to: the program directory's unless SetRegistryFilePath chose another.
String RegistryFilePath();
// Chooses the registry file (empty: the program directory's again); returns the previous choice.
String SetRegistryFilePath(const String& Path);
