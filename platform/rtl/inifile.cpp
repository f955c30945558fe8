#include "platform/rtl/inifile.h"

#include "platform/rtl/fileops.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"

namespace {

// The value of a "Key=Value" line: trimmed, one pair of surrounding quotes removed.
String LineValue(const String& Text)
{
    String value = Trim(Text.substr(Text.find('=') + 1));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    return value;
}

void CheckText(const String& Text, const char* What, const char* Forbidden)
{
    if (Text.find_first_of(Forbidden) != String::npos || Text.find('\0') != String::npos)
        throw EConvertError(String("Invalid ") + What + " for a settings file: \"" + Text + "\"");
}

// Section and key names are found ignoring case, Windows-1252 letters too.
bool SameName(const String& A, const String& B) { return AnsiUpperCase(A) == AnsiUpperCase(B); }

}  // namespace

TIniFile::TIniFile(const String& FileName) : FFileName(ResolvePath(FileName)) { Load(); }

void TIniFile::Load()
{
    FSections.clear();
    FSections.push_back(IniSection {});
    if (!FileExists(FFileName))
        return;
    TStringList lines;
    lines.LoadFromFile(FFileName);
    for (int i = 0; i < lines.Count(); ++i) {
        String text = lines[i];
        String trimmed = Trim(text);
        if (!trimmed.empty() && trimmed[0] == '[') {
            size_t close = trimmed.find(']');
            String name = Trim(trimmed.substr(1, close == String::npos ? String::npos : close - 1));
            FSections.push_back(IniSection {text, name, {}});
            continue;
        }
        size_t eq = trimmed.find('=');
        bool isKey = !trimmed.empty() && trimmed[0] != ';' && eq != String::npos;
        FSections.back().Lines.push_back(IniLine {text, isKey ? TrimRight(trimmed.substr(0, eq)) : String()});
    }
}

void TIniFile::UpdateFile()
{
    String bytes;
    for (const IniSection& section : FSections) {
        if (!section.Heading.empty())
            bytes += section.Heading + "\r\n";
        for (const IniLine& line : section.Lines)
            bytes += line.Text + "\r\n";
    }
    if (!WriteFileAtomically(FFileName, bytes))
        throw EInOutError("Cannot write the settings file \"" + FFileName + "\"");
}

void TIniFile::Change(const std::function<void()>& Edit)
{
    std::vector<IniSection> saved = FSections;
    try {
        Edit();
        UpdateFile();
    } catch (...) {
        FSections = std::move(saved);
        throw;
    }
}

const TIniFile::IniSection* TIniFile::FindSection(const String& Name) const
{
    // Lines before the first heading belong to no section.
    for (size_t i = 1; i < FSections.size(); ++i)
        if (SameName(FSections[i].Name, Trim(Name)))
            return &FSections[i];
    return nullptr;
}

TIniFile::IniSection* TIniFile::FindSection(const String& Name)
{
    return const_cast<IniSection*>(static_cast<const TIniFile*>(this)->FindSection(Name));
}

const TIniFile::IniLine* TIniFile::FindKey(const String& Section, const String& Ident) const
{
    const IniSection* section = FindSection(Section);
    if (!section || Ident.empty())
        return nullptr;
    for (const IniLine& line : section->Lines)
        if (!line.Key.empty() && SameName(line.Key, Trim(Ident)))
            return &line;
    return nullptr;
}

String TIniFile::ReadString(const String& Section, const String& Ident, const String& Default) const
{
    const IniLine* line = FindKey(Section, Ident);
    return line ? LineValue(line->Text) : Default;
}

Integer TIniFile::ReadInteger(const String& Section, const String& Ident, Integer Default) const
{
    return StrToIntDef(ReadString(Section, Ident, String()), Default);
}

bool TIniFile::ReadBool(const String& Section, const String& Ident, bool Default) const
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

double TIniFile::ReadFloat(const String& Section, const String& Ident, double Default) const
{
    return StrToFloatDef(ReadString(Section, Ident, String()), Default);
}

void TIniFile::WriteString(const String& Section, const String& Ident, const String& Value)
{
    // A line break would end the line early and make up lines of its own.
    CheckText(Section, "section name", "\r\n]");
    CheckText(Ident, "key", "\r\n=");
    CheckText(Value, "value", "\r\n");
    // A key must read back as a key, not as a comment or a heading.
    String key = Trim(Ident);
    if (key.empty() || key[0] == ';' || key[0] == '[')
        throw EConvertError("Invalid key for a settings file: \"" + Ident + "\"");
    Change([&] {
        IniSection* section = FindSection(Section);
        if (!section) {
            FSections.push_back(IniSection {"[" + Trim(Section) + "]", Trim(Section), {}});
            section = &FSections.back();
        }
        for (IniLine& line : section->Lines) {
            if (!line.Key.empty() && SameName(line.Key, Trim(Ident))) {
                line.Text = line.Key + "=" + Value;
                return;
            }
        }
        // After the section's last non-blank line, so blank lines keep separating sections.
        auto at = section->Lines.end();
        while (at != section->Lines.begin() && Trim((at - 1)->Text).empty())
            --at;
        section->Lines.insert(at, IniLine {Trim(Ident) + "=" + Value, Trim(Ident)});
    });
}

void TIniFile::WriteInteger(const String& Section, const String& Ident, Integer Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

void TIniFile::WriteBool(const String& Section, const String& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TIniFile::WriteFloat(const String& Section, const String& Ident, double Value)
{
    WriteString(Section, Ident, FloatToStr(Value));
}

void TIniFile::ReadSection(const String& Section, TStrings& Strings) const
{
    ListKeys(Section, false, Strings);
}

void TIniFile::ReadSectionValues(const String& Section, TStrings& Strings) const
{
    ListKeys(Section, true, Strings);
}

void TIniFile::ListKeys(const String& Section, bool WithValues, TStrings& Strings) const
{
    Strings.BeginUpdate();
    Strings.Clear();
    if (const IniSection* section = FindSection(Section))
        for (const IniLine& line : section->Lines)
            if (!line.Key.empty())
                Strings.Add(WithValues ? line.Key + "=" + LineValue(line.Text) : line.Key);
    Strings.EndUpdate();
}

void TIniFile::ReadSections(TStrings& Strings) const
{
    Strings.BeginUpdate();
    Strings.Clear();
    for (size_t i = 1; i < FSections.size(); ++i)
        Strings.Add(FSections[i].Name);
    Strings.EndUpdate();
}

bool TIniFile::SectionExists(const String& Section) const { return FindSection(Section) != nullptr; }

bool TIniFile::ValueExists(const String& Section, const String& Ident) const
{
    return FindKey(Section, Ident) != nullptr;
}

void TIniFile::EraseSection(const String& Section)
{
    const IniSection* section = FindSection(Section);
    if (!section)
        return;
    Change([&] { FSections.erase(FSections.begin() + (section - FSections.data())); });
}

void TIniFile::DeleteKey(const String& Section, const String& Ident)
{
    IniSection* section = FindSection(Section);
    const IniLine* line = FindKey(Section, Ident);
    if (!line)
        return;
    Change([&] { section->Lines.erase(section->Lines.begin() + (line - section->Lines.data())); });
}
