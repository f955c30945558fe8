// The grid's column layout in an INI file.

#include <memory>
#include <optional>

#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwstrings.h"
#include "datacontrols/common/wwintl.h"
#include "datacontrols/grid/wwdbgrid.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/inifile.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/forms.h"
#include "platform/win/registryinifile.h"

namespace {

std::vector<String> Split(const String& Text, const String& Delimiter)
{
    std::vector<String> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = Text.find(Delimiter, start);
        parts.push_back(Text.substr(start, at == String::npos ? String::npos : at - start));
        if (at == String::npos)
            return parts;
        start = at + Delimiter.size();
    }
}

String Joined(const std::vector<String>& Parts, const String& Delimiter)
{
    String text;
    for (size_t i = 0; i < Parts.size(); ++i)
        text += (i ? Delimiter : String()) + Parts[i];
    return text;
}

// The layout's section: in the INI file, or the registry key's subkey.
class TLayoutStore {
public:
    explicit TLayoutStore(TdwIniAttributes* Attributes)
    {
        if (Attributes->SaveToRegistry())
            FRegistry.emplace(Attributes->FileName());
        else
            FIni.emplace(Attributes->FileName());
    }
    void EraseSection(const String& Section)
    {
        FRegistry ? FRegistry->EraseSection(Section) : FIni->EraseSection(Section);
    }
    void WriteString(const String& Section, const String& Ident, const String& Value)
    {
        FRegistry ? FRegistry->WriteString(Section, Ident, Value) : FIni->WriteString(Section, Ident, Value);
    }
    void ReadSectionValues(const String& Section, TStrings& Strings) const
    {
        FRegistry ? FRegistry->ReadSectionValues(Section, Strings)
                  : FIni->ReadSectionValues(Section, Strings);
    }

private:
    std::optional<TIniFile> FIni;
    std::optional<TRegistryIniFile> FRegistry;
};

}  // namespace

String TdwIniAttributes::FileName() const
{
    if (!FFileName.empty())
        return FFileName;
    if (!dwIntl()->IniFileName().empty())
        return dwIntl()->IniFileName();
    if (FSaveToRegistry)
        return String();
    // A name without an extension keeps the whole name.
    const String exe = ExtractFileName(Application->ExeName());
    const String base = exe.find('.') == String::npos ? exe : dwExtractFileBaseName(exe);
    return base + ".ini";
}

String TdwIniAttributes::SectionName() const
{
    if (!FSectionName.empty())
        return FSectionName;
    TCustomForm* form = FGrid->ParentForm();
    return (form ? form->Name() : String()) + FGrid->Name();
}

void TdwDBGrid::CreateWnd()
{
    TdwCustomDBGrid::CreateWnd();
    if (!FIniAttributes.Enabled() || FIniLoaded)
        return;
    FIniLoaded = true;
    LoadIniAttributes();
}

TdwDBGrid::~TdwDBGrid()
{
    if (FIniAttributes.Enabled()) {
        try {
            SaveIniAttributes();
        } catch (const Exception&) {
            // A layout that cannot be written is not worth failing the form's close for.
        }
    }
}

bool TdwDBGrid::CheckIniFile(bool Quiet)
{
    String message;
    const String dir = ExtractFilePath(FIniAttributes.FileName());
    if (FIniAttributes.SaveToRegistry() && FIniAttributes.FileName().empty())
        message = "FileName required when saving to registry";
    else if (!FIniAttributes.SaveToRegistry() && !dir.empty() && !DirectoryExists(dir))
        message = "Directory does not exist";
    else if (FIniAttributes.Delimiter().empty())
        message = "Key delimiter required";
    if (message.empty())
        return true;
    if (!Quiet)
        MessageDlg(message, mtWarning, {mbOK}, 0);
    return false;
}

void TdwDBGrid::SaveIniAttributes()
{
    if (!CheckIniFile(ComponentState().Contains(csDestroying)))
        return;
    const String& delimiter = FIniAttributes.Delimiter();
    const String section = FIniAttributes.SectionName();
    TLayoutStore ini(&FIniAttributes);
    TDataSet* dataSet = DataLink()->DataSet();
    const int columns = UseTFields() ? GetFieldCount() : Selected()->Count();
    if (columns > 0)
        ini.EraseSection(section);
    for (int i = 0; i < columns; ++i) {
        if (UseTFields()) {
            TField* field = GetFields(i);
            if (!field || !dataSet)
                continue;
            const bool readOnly = field->ReadOnly() || IsColumnReadOnly(i);
            ini.WriteString(section, field->FieldName(),
                            IntToStr(field->DisplayWidth()) + delimiter + field->DisplayLabel() + delimiter +
                                    (readOnly ? "T" : "F"));
        } else {
            std::vector<String> tokens = LineTokens(Selected()->Strings(i));
            tokens.resize(std::max<size_t>(tokens.size(), 3));
            const String flag = tokens.size() >= 4 ? tokens[3] : String("F");
            ini.WriteString(section, tokens[0], tokens[1] + delimiter + tokens[2] + delimiter + flag);
        }
    }
}

void TdwDBGrid::LoadIniAttributes()
{
    if (!CheckIniFile(false))
        return;
    const String& delimiter = FIniAttributes.Delimiter();
    TStringList kept;
    kept.Assign(*Selected());
    const TLayoutStore ini(&FIniAttributes);
    TStringList pairs;
    ini.ReadSectionValues(FIniAttributes.SectionName(), pairs);
    if (pairs.Count() == 0)
        return;
    TStringList loaded;
    for (int i = 0; i < pairs.Count(); ++i) {
        const String pair = pairs.Strings(i);
        const size_t eq = pair.find('=');
        const String name = pair.substr(0, eq);
        const String value = eq == String::npos ? String() : pair.substr(eq + 1);
        if (value.find(delimiter) == String::npos) {
            MessageDlg("Key Delimiter Not Found", mtWarning, {mbOK}, 0);
            // The list goes; without TFields, whose columns it names, the one the grid had comes back.
            Selected()->Clear();
            if (!UseTFields())
                Selected()->Assign(kept);
            return;
        }
        loaded.Add(name + "\t" + Joined(Split(value, delimiter), "\t"));
    }
    if (FIniAttributes.CheckNewFields()) {
        for (int i = 0; i < kept.Count(); ++i) {
            const String name = dwTextBeforeChar(kept.Strings(i) + "\t", '\t');
            int line = 0;
            if (!dwFindSelectedLine(&loaded, name, line))
                loaded.Add(kept.Strings(i));
        }
    }
    Selected()->Assign(loaded);
    if (DataLink()->Active())
        ApplySelected();
}
