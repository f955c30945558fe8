#include "tests/datacontrols/lookup/librarytable.h"

#include <algorithm>

#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwlocate.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/strutils.h"

String TLibraryTable::ActiveIndexFields() {
    const auto found = FIndexFields.find(IndexName());
    return found == FIndexFields.end() ? String() : found->second;
}

std::vector<String> TLibraryTable::IndexFieldList() {
    std::vector<String> fields;
    const String all = ActiveIndexFields();
    size_t start = 0;
    for (size_t end; (end = all.find(';', start)) != String::npos; start = end + 1)
        fields.push_back(all.substr(start, end - start));
    if (!all.empty()) fields.push_back(all.substr(start));
    return fields;
}

int TLibraryTable::MasterFieldCount() {
    const String masters = MasterFields();
    return masters.empty() ? 0 : static_cast<int>(std::count(masters.begin(), masters.end(), ';')) + 1;
}

String TLibraryTable::KeyOf(const std::vector<String>& Values) {
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

std::vector<String> TLibraryTable::MasterValues() {
    std::vector<String> values;
    TDataSet* master = MasterSource() ? MasterSource()->DataSet() : nullptr;
    String names = MasterFields();
    while (master && !names.empty()) {
        const String name = dwFirstFieldName(names);
        values.push_back(master->FieldByName(name)->AsString());
        const size_t next = names.find(';');
        names = next == String::npos ? String() : names.substr(next + 1);
    }
    return values;
}

bool TLibraryTable::CurrentBeginsWith(int Position, const String& Text) {
    const std::vector<String> fields = IndexFieldList();
    if (IsEmpty() || Position >= static_cast<int>(fields.size())) return false;
    const String current = UpperCase(FieldByName(fields[static_cast<size_t>(Position)])->AsString());
    return current.compare(0, Text.size(), UpperCase(Text)) == 0;
}

bool TLibraryTable::dwFindKey(const std::vector<String>& Values, int LastIndex) {
    const std::vector<String> fields = IndexFieldList();
    if (fields.empty() || LastIndex >= static_cast<int>(fields.size())) return false;
    TdwSearchInProgress searching(this);
    if (FNarrowSearch) dwCancelRange();
    const std::vector<String> values(Values.begin(), Values.begin() + LastIndex + 1);
    bool matches = !IsEmpty();
    for (size_t i = 0; matches && i < values.size(); ++i)
        matches = FieldByName(fields[i])->AsString() == values[i];
    return matches || Seek(KeyOf(values));
}

bool TLibraryTable::dwFindNearest(const String& Text, int IndexPosition) {
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
                             bool PartialMatch) {
    TdwSearchInProgress searching(this);
    return dwLocateValue(this, dwFirstFieldName(FieldNames), Value, CaseSensitive, PartialMatch);
}

bool TLibraryTable::SelectIndexForField(const String& FieldName) {
    const int skip = MasterFieldCount();
    for (const auto& [tag, fields] : FIndexFields) {
        String rest = fields;
        for (int i = 0; i < skip && !rest.empty(); ++i) {
            const size_t next = rest.find(';');
            rest = next == String::npos ? String() : rest.substr(next + 1);
        }
        if (!SameText(dwFirstFieldName(rest), dwFirstFieldName(FieldName))) continue;
        if (tag != IndexName()) {
            const TBookmark here = IsEmpty() ? TBookmark() : GetBookmark();
            SetIndexName(tag);
            CheckMasterRange();
            if (!here.empty()) GotoBookmark(here);
        }
        return true;
    }
    return false;
}

bool TLibraryTable::SelectIndexForSelected(const TStrings* Selected) {
    if (!Selected || Selected->Count() == 0) return false;
    const String line = Selected->Strings(0);
    return SelectIndexForField(line.substr(0, line.find('\t')));
}

void TLibraryTable::dwCancelRange() {
    CancelRange();
    CheckMasterRange();
}
