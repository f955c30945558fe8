#include "platform/xbengine/tabledefinition.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

#include "platform/rtl/datetime.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/sharelocks.h"
#include "platform/xbengine/engineerror.h"
#include "platform/xbengine/journal.h"
#include "platform/xbengine/memofile.h"
#include "platform/xbengine/tablefile.h"
#include "platform/xbengine/tablepaths.h"
#include "platform/xbengine/xbe50.h"

namespace {

bool ValidName(const String& name)
{
    if (name.empty() || name.size() > MaxFieldName)
        return false;
    char first = name[0] | 0x20;
    if (first < 'a' || first > 'z')
        return false;
    for (char c : name) {
        char lower = c | 0x20;
        if (!((lower >= 'a' && lower <= 'z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    }
    return true;
}

const char* const SiblingExtensions[] = {".CDX", ".FPT", ".DBT"};

// A file written under a temporary name and moved into place at the end.
class PendingFile {
public:
    explicit PendingFile(const String& target) : FTarget(target)
    {
        String dir = ExtractFilePath(target);
        FTemp = dir + "." + target.substr(dir.size()) + ".new-" + std::to_string(::getpid());
    }
    ~PendingFile()
    {
        if (!FDone)
            ::unlink(FTemp.c_str());
    }
    const String& Temp() const { return FTemp; }
    void Commit()
    {
        if (::rename(FTemp.c_str(), FTarget.c_str()) != 0)
            throw EEngineError(XBE_E_IO, "Cannot write " + FTarget + ": " + std::strerror(errno));
        FDone = true;
    }

private:
    String FTarget;
    String FTemp;
    bool FDone = false;
};

}  // namespace

void TableDefinition::AddField(const String& name, const String& type, int length, int decimals)
{
    auto refuse = [&](const String& why) {
        Failed = true;
        throw EEngineError(XBE_E_FIELD, "Invalid field " + name + ": " + why);
    };
    if (int(Fields.size()) >= Announced)
        refuse("more fields than the " + std::to_string(Announced) + " announced");
    if (!ValidName(name))
        refuse("a name has 1 to 10 letters, digits or \"_\" and begins with a letter");
    FieldDef field;
    field.Name = name;
    for (char& c : field.Name)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    for (const FieldDef& other : Fields)
        if (other.Name == field.Name)
            refuse("the name is already defined");
    field.Type = type.empty() ? ' ' : char(type[0] >= 'a' && type[0] <= 'z' ? type[0] - 32 : type[0]);
    field.Width = length;
    field.Decimals = 0;
    switch (field.Type) {
    case 'C':
        if (length < 1 || length > 65535)
            refuse("a character field is 1 to 65535 wide");
        break;
    case 'N':
    case 'F':
        if (length < 1 || length > 20)
            refuse("a numeric field is 1 to 20 wide");
        if (decimals < 0 || (decimals > 0 && decimals > length - 2))
            refuse("the decimals do not fit the width");
        field.Decimals = decimals;
        break;
    case 'D': field.Width = 8; break;
    case 'L': field.Width = 1; break;
    case 'M': field.Width = 10; break;
    default: refuse("unknown field type \"" + type + "\"");
    }
    Fields.push_back(field);
}

void RequireNotInUse(const String& dbfPath)
{
    String candidates[] = {dbfPath, tablepaths::Sibling(dbfPath, SiblingExtensions[0]),
                           tablepaths::Sibling(dbfPath, SiblingExtensions[1]),
                           tablepaths::Sibling(dbfPath, SiblingExtensions[2])};
    for (const String& file : candidates)
        if (sharelocks::FileInUse(file))
            throw EEngineError(XBE_E_IN_USE, "The file is in use: " + file);
}

void WriteEmptyTable(const String& dbfPath, int tableType, const std::vector<FieldDef>& fields,
                     int memoBlockSize)
{
    DbfHeader header;
    header.Fields = fields;
    header.Layout();
    if (header.RecordLength > 65535)
        throw EEngineError(XBE_E_LIMIT, "The record is longer than 65535 bytes: " + dbfPath);
    bool memo = header.HasMemoFields();
    header.Version = memo ? (tableType == 1 ? 0x83 : 0xF5) : 0x03;
    DecodeDate(Date(), header.Year, header.Month, header.Day);
    std::vector<Byte> bytes = header.Encode();
    bytes.push_back(0x1A);

    PendingFile dbf(dbfPath);
    {
        TableFile file;
        file.Create(dbf.Temp());
        file.WriteAt(0, bytes.data(), bytes.size());
    }
    MemoKind kind = header.MemoFormat(tableType);
    String memoPath = tablepaths::Sibling(dbfPath, kind == MemoKind::Dbt ? ".DBT" : ".FPT");
    PendingFile memoFile(memoPath);
    if (memo) {
        MemoFile created;
        created.Create(memoFile.Temp(), kind, memoBlockSize);
    }
    dbf.Commit();
    if (memo)
        memoFile.Commit();
    for (const char* ext : SiblingExtensions) {
        String stale = tablepaths::Sibling(dbfPath, ext);
        if (!(memo && stale == memoPath))
            ::unlink(stale.c_str());
    }
    // A change left by a table of the same name must not be rolled back into this one.
    ::unlink(Journal::PathOf(dbfPath).c_str());
}
