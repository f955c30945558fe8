#include "tests/datacontrols/lookup/librarytable.h"

#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwlocate.h"
#include "datacontrols/lookup/dwdblook.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/strutils.h"

String TLibraryTable::ActiveIndexFields()
{
    const auto found = FIndexFields.find(IndexName());
    return found == FIndexFields.end() ? String() : found->second;
}

std::vector<String> TLibraryTable::IndexFieldList() { return dwSplitFieldNames(ActiveIndexFields()); }

String TLibraryTable::KeyOf(const std::vector<String>& Values)
{
    const std::vector<String> fields = IndexFieldList();
    String key;
    for (size_t i = 0; i < Values.size(); ++i) {
        String part = Values[i];
        if (i + 1 < Values.size() && i < fields.size()) {
            const int width = FieldByName(fields[i])->Size();
            part.resize(static_cast<size_t>(width), ' ');
        }
        key += part;
    }
    return key;
}

std::vector<String> TLibraryTable::MasterValues()
{
    std::vector<String> values;
    TDataSet* master = MasterSource() ? MasterSource()->DataSet() : nullptr;
    for (const String& name : master ? dwSplitFieldNames(MasterFields()) : std::vector<String>())
        values.push_back(master->FieldByName(name)->AsString());
    return values;
}

bool TLibraryTable::CurrentBeginsWith(int Position, const String& Text)
{
    const std::vector<String> fields = IndexFieldList();
    if (IsEmpty() || Position >= static_cast<int>(fields.size()))
        return false;
    const String current = UpperCase(FieldByName(fields[static_cast<size_t>(Position)])->AsString());
    return current.compare(0, Text.size(), UpperCase(Text)) == 0;
}

bool TLibraryTable::dwFindKey(const std::vector<String>& Values, int LastIndex)
{
    const std::vector<String> fields = IndexFieldList();
    if (fields.empty() || LastIndex >= static_cast<int>(fields.size()))
        return false;
    TdwSearchInProgress searching(this);
    if (FNarrowSearch)
        dwCancelRange();
    const std::vector<String> values(Values.begin(), Values.begin() + LastIndex + 1);
    bool matches = !IsEmpty();
    for (size_t i = 0; matches && i < values.size(); ++i)
        matches = FieldByName(fields[i])->AsString() == values[i];
    return matches || Seek(KeyOf(values));
}

bool TLibraryTable::dwFindNearest(const String& Text, int IndexPosition)
{
    TdwSearchInProgress searching(this);
    std::vector<String> values = MasterValues();
    values.resize(static_cast<size_t>(IndexPosition));
    values.push_back(Text);
    const String key = KeyOf(values);
    if (FNarrowSearch) {
        if (Text.empty()) {
            dwCancelRange();
            return false;
        }
        const std::vector<String> fields = IndexFieldList();
        String high = Text;
        high.resize(static_cast<size_t>(FieldByName(fields[static_cast<size_t>(IndexPosition)])->Size()),
                    '\xFF');
        values.back() = high;
        ++Narrowings;
        SetScope(key, KeyOf(values));
        First();
    } else {
        Seek(key);
    }
    return CurrentBeginsWith(IndexPosition, Text);
}

bool TLibraryTable::dwLocate(const String& Value, const String& FieldNames, bool CaseSensitive,
                             bool PartialMatch)
{
    TdwSearchInProgress searching(this);
    return dwLocateValue(this, dwFirstFieldName(FieldNames), Value, CaseSensitive, PartialMatch);
}

bool TLibraryTable::SelectIndexForField(const String& FieldName)
{
    const int skip = static_cast<int>(dwSplitFieldNames(MasterFields()).size());
    for (const auto& [tag, fields] : FIndexFields) {
        const std::vector<String> names = dwSplitFieldNames(fields);
        const String rest =
                static_cast<int>(names.size()) > skip ? names[static_cast<size_t>(skip)] : String();
        if (!SameText(rest, dwFirstFieldName(FieldName)))
            continue;
        if (tag != IndexName()) {
            const TBookmark here = IsEmpty() ? TBookmark() : GetBookmark();
            SetIndexName(tag);
            CheckMasterRange();
            if (!here.empty())
                GotoBookmark(here);
        }
        return true;
    }
    return false;
}

bool TLibraryTable::SelectIndexForSelected(const TStrings* Selected)
{
    if (!Selected || Selected->Count() == 0)
        return false;
    const String line = Selected->Strings(0);
    return SelectIndexForField(line.substr(0, line.find('\t')));
}

void TLibraryTable::dwCancelRange()
{
    CancelRange();
    CheckMasterRange();
}
