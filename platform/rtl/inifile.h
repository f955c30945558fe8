#pragma once
// TIniFile: a settings file of "[Section]" headings and "Key=Value" lines.
// Sections and keys are found ignoring case; the order of sections and keys,
// comment lines and blank lines stay as they are. A value is everything after
// the first "=" (";" included), blanks trimmed. Every change is written at
// once, through a temporary file renamed over the old one.

#include <functional>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "platform/rtl/types.h"

class TIniFile {
public:
    // Reads the file when it exists (found ignoring case); a missing file is empty.
    explicit TIniFile(const String& FileName);

    const String& FileName() const { return FFileName; }

    String ReadString(const String& Section, const String& Ident, const String& Default) const;
    // Decimal or "$"/"0x" hexadecimal; Default when missing or not a number.
    Integer ReadInteger(const String& Section, const String& Ident, Integer Default) const;
    // "0" is false, any other number true; Default when missing or not a number.
    bool ReadBool(const String& Section, const String& Ident, bool Default) const;
    // "." decimal point; Default when missing or not a number.
    double ReadFloat(const String& Section, const String& Ident, double Default) const;

    // Raise EInOutError when the file cannot be written.
    void WriteString(const String& Section, const String& Ident, const String& Value);
    void WriteInteger(const String& Section, const String& Ident, Integer Value);
    void WriteBool(const String& Section, const String& Ident, bool Value);  // "1" / "0"
    void WriteFloat(const String& Section, const String& Ident, double Value);

    // Keys of the section, in file order (Strings is cleared first).
    void ReadSection(const String& Section, TStrings& Strings) const;
    // Section names in file order.
    void ReadSections(TStrings& Strings) const;
    // "Key=Value" lines of the section.
    void ReadSectionValues(const String& Section, TStrings& Strings) const;
    bool SectionExists(const String& Section) const;
    bool ValueExists(const String& Section, const String& Ident) const;
    void EraseSection(const String& Section);
    void DeleteKey(const String& Section, const String& Ident);

    // Writes the file as it stands in memory.
    void UpdateFile();

private:
    struct IniLine {
        String Text;  // the line as read or written
        String Key;   // "" for headings, comments and blank lines
    };
    struct IniSection {
        String Heading;  // the line "[Name]" as it stands; "" for lines before the first heading
        String Name;
        std::vector<IniLine> Lines;
    };
    const IniSection* FindSection(const String& Name) const;
    IniSection* FindSection(const String& Name);
    const IniLine* FindKey(const String& Section, const String& Ident) const;
    void Load();
    // The keys of the section, or "Key=Value" lines, into Strings.
    void ListKeys(const String& Section, bool WithValues, TStrings& Strings) const;
    // Applies Edit and writes the file; when writing fails, memory stays as the file is.
    void Change(const std::function<void()>& Edit);

    String FFileName;
    std::vector<IniSection> FSections;
};
