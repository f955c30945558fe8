// Creating tables, copying their structure and records, and whole-file operations.

#include "platform/rtl/fileops.h"
#include "platform/rtl/sharelocks.h"
#include "tables/drodset.h"
#include "tables/droerror.h"

namespace {
constexpr const char* NoPendingField = "Must call CreateNew before CreateField";
constexpr const char* NoPendingExec = "Must call CreateNew before CreateExec";
constexpr const char* BadFieldName = "Invalid field name. Field names must begin with a letter";

bool IsAsciiLetter(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); }

// The table file a creation writes: the name with ".DBF" when it has no extension.
String TableFileOf(const String& Name) { return ExtractFileExt(Name).empty() ? Name + ".DBF" : Name; }
}  // namespace

bool TDaroruTable::CreateNew(const String& FileName, SmallInt TableType, SmallInt FieldCount)
{
    if (FAccessMethod == amLocal)
        FAlias = GetUniqueAliasName(FileName);
    const String name = NormalizePath(FileName);
    String dir = ExtractFilePath(name);
    // The server resolves a DatabaseName itself.
    if (dir.empty() && FAccessMethod == amLocal)
        dir = PathFromAlias();
    dir = IncludeTrailingPathDelimiter(dir);
    const String fullName = dir + ExtractFileName(name);
    // Another open of the target would lose its table under it.
    if (FAccessMethod == amLocal && sharelocks::FileInUse(ResolvePath(TableFileOf(fullName))))
        Raise("Table is in use.\rFile: " + TableFileOf(fullName));
    const XBSHORT area = cs_CreateNew(fullName.c_str(), FAlias.c_str(), TableType, FieldCount);
    FWorkArea = static_cast<SmallInt>(-area);
    return FWorkArea < 0;
}

XBSHORT TDaroruTable::cs_CreateNew(const char* Path, const char* Alias, XBSHORT Type, XBSHORT FieldCount)
{
    if (FAccessMethod != amServer)
        return TDaroruDispatch::cs_CreateNew(Path, Alias, Type, FieldCount);
    return ServerConnection()->ap_CreateNew(ServerFileOf(Path).c_str(), Alias, Type, FieldCount);
}

void TDaroruTable::CreateField(const String& Name, const String& Type, SmallInt Length, SmallInt Decimals)
{
    if (FWorkArea >= 0 && FErrorFunc == -1)
        Raise(NoPendingField);
    cs_Select(static_cast<XBSHORT>(-FWorkArea));
    if (Name.empty() || !IsAsciiLetter(Name[0]))
        Raise(BadFieldName);
    cs_CreateField(Name.c_str(), Type.c_str(), Length, Decimals);
}

int TDaroruTable::CreateExec()
{
    if (FWorkArea >= 0 && FErrorFunc == -1)
        Raise(NoPendingExec);
    cs_Select(static_cast<XBSHORT>(-FWorkArea));
    FWorkArea = 0;
    const bool ok = cs_CreateExec();
    cs_Close();
    if (FErrorFunc == -1)
        CheckWrite(ok, "create the table");
    return ok ? -1 : 0;
}

int TDaroruTable::CreateFrom(const String& FileName, const String& StructFile, SmallInt TableType)
{
    if (!cs_FileExists(StructFile))
        Raise(drotext::TableMissing + StructFile);
    if (Active()) {
        InternalClose();
        InternalInitFieldDefs();
    }
    const String alias = GetUniqueAliasName(FileName).substr(0, 10);
    const bool ok = cs_CreateFrom(FileName.c_str(), alias.c_str(), StructFile.c_str(), TableType);
    const XBSHORT area = cs_WorkArea(alias.c_str());
    if (area > 0) {
        cs_Select(area);
        cs_Close();
    }
    return ok ? -1 : 0;
}

int TDaroruTable::CopyStructure(const String& FileName)
{
    const bool wasActive = Active();
    if (!wasActive)
        Open();
    bool ok = false;
    if (Select()) {
        const String alias = GetUniqueAliasName(FileName);
        ok = cs_CopyStructure(FileName.c_str(), alias.c_str());
        if (FErrorFunc == -1 && !ok) {
            const String reason = XbeLastErrorText();
            if (!wasActive)
                Close();
            Raise("Unable to copy the table structure" + (reason.empty() ? String() : ": " + reason));
        }
    }
    if (!wasActive)
        Close();
    return ok ? -1 : 0;
}

bool TDaroruTable::CopyStructureExtended(const String& FileName)
{
    const bool wasActive = Active();
    if (!wasActive)
        Open();
    bool result = false;
    if (Select()) {
        const XBSHORT own = FWorkArea;
        const int count = cs_FieldCount();
        const String alias = GetUniqueAliasName(FileName);
        const XBSHORT area = cs_CreateNew(FileName.c_str(), alias.c_str(),
                                          static_cast<XBSHORT>(DaroruTableType(FTableType)), 4);
        if (area > 0) {
            cs_CreateField("FIELD_NAME", "C", 10, 0);
            cs_CreateField("FIELD_TYPE", "C", 1, 0);
            cs_CreateField("FIELD_LEN", "N", 5, 0);
            cs_CreateField("FIELD_DEC", "N", 3, 0);
        }
        if (cs_CreateExec()) {
            for (int i = 1; i <= count; ++i) {
                cs_Select(own);
                const char* raw = cs_FieldName(static_cast<XBSHORT>(i));
                const String name = raw ? raw : "";
                const char* typeText = cs_FieldType(name.c_str());
                const String type = typeText ? typeText : "";
                const XBLONG width = cs_FieldWidth(name.c_str());
                const XBLONG decimals = cs_FieldDecimals(name.c_str());
                // The new table's records, whatever the store of this one holds.
                cs_Select(area);
                TDaroruDispatch::cs_AppendBlank();
                TDaroruDispatch::cs_Replace("FIELD_NAME", 1024, name.c_str());
                TDaroruDispatch::cs_Replace("FIELD_TYPE", 1024, type.c_str());
                TDaroruDispatch::cs_Replace("FIELD_LEN", 1, &width);
                TDaroruDispatch::cs_Replace("FIELD_DEC", 1, &decimals);
                cs_Commit();
            }
            cs_Select(area);
            cs_Close();
            cs_Select(own);
            result = true;
        }
    }
    if (!wasActive)
        Close();
    return result;
}

int TDaroruTable::CopyFile(const String& FileName)
{
    return Select() && cs_CopyFile(FileName.c_str()) ? -1 : 0;
}

int TDaroruTable::CopyFileText(const String& FileName, SmallInt Format)
{
    return Select() && cs_CopyFileText(FileName.c_str(), Format) ? -1 : 0;
}

int TDaroruTable::AppendFrom(const String& FileName, SmallInt SourceType, const String& Condition)
{
    CheckWritable();
    if (!Select())
        return 0;
    BeginScroll();
    const int result = cs_AppendFrom(FileName.c_str(), SourceType, Condition.c_str());
    cs_Commit();
    FCountNeedsRefresh = true;
    Resync({});
    EndScroll();
    return result;
}

String TDaroruTable::GetIndexExt()
{
    switch (FTableType) {
    case ttSXNTX: return ".NTX";
    case ttSXNSX: return ".NSX";
    default: return ".CDX";
    }
}

String TDaroruTable::GetMemoExt()
{
    switch (FTableType) {
    case ttSXNTX: return ".DBT";
    case ttSXNSX: return ".SMT";
    default: return ".FPT";
    }
}

void TDaroruTable::DeleteTable()
{
    Close();
    const String name = GetFullTableName();
    SetIndexName("");
    // Another open of the table keeps all its files.
    if (FAccessMethod == amLocal && sharelocks::FileInUse(ResolvePath(name)))
        Raise("Table is in use.\rFile: " + name);
    if (!cs_DeleteFile(name)) {
        // A table that is not there is nothing to refuse; one that stays is.
        if (cs_FileExists(name))
            Raise("Unable to delete table.\rFile: " + name);
        return;
    }
    const String memo = ChangeFileExt(name, GetMemoExt());
    if (cs_FileExists(memo))
        cs_DeleteFile(memo);
    if (FTableType != ttSXNTX) {
        const String index = ChangeFileExt(name, GetIndexExt());
        if (cs_FileExists(index))
            cs_DeleteFile(index);
    }
}

void TDaroruTable::EmptyTable()
{
    const WordBool wasExclusive = FExclusive;
    const bool wasActive = Active();
    if (!wasExclusive) {
        if (wasActive)
            Close();
        SetExclusive(WordTrue);
    }
    if (!Active())
        Open();
    // The table goes back as it was found, also when the zap fails.
    auto restore = [&] {
        if (wasActive && wasExclusive)
            return;
        Close();
        SetExclusive(wasExclusive);
        SetActive(wasActive);
    };
    try {
        Zap();
    } catch (...) {
        restore();
        throw;
    }
    restore();
}
