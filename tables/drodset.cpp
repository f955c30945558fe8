#include "tables/drodset.h"

#include "platform/db/datasource.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "tables/datapath.h"
#include "tables/droenv.h"
#include "tables/droerror.h"
#include "tables/drosearch.h"

namespace text {
constexpr const char* TableOpen = "Cannot perform this operation on an open table";
}  // namespace text

TDaroruTable::TDaroruTable(TComponent* AOwner)
    : TDataSet(AOwner), FMasterLink(std::make_unique<TMasterDataLink>(this))
{
    FMasterLink->OnMasterChange = [this](TObject* Sender) { MasterChanged(Sender); };
    FMasterLink->OnMasterDisable = [this](TObject* Sender) { MasterDisabled(Sender); };
    FExtraIndexes.OnChange = [this](TStrings*) { ExtraIndexesChanged(); };
}

TDaroruTable::~TDaroruTable()
{
    // The buffers must be freed while this class is still whole.
    if (Active())
        Close();
    else if (FWorkArea > 0)
        InternalClose();
}

bool TDaroruTable::InheritsFrom(const String& name) const
{
    return SameText(name, "TDaroruTable") || TDataSet::InheritsFrom(name);
}

bool TDaroruDataSet::InheritsFrom(const String& name) const
{
    return SameText(name, "TDaroruDataSet") || TDaroruTable::InheritsFrom(name);
}

void TDaroruTable::Loaded()
{
    if (FAccessMethod == amLocal)
        LoadDLL();
    if (FDaroruConnection)
        FDaroruConnection->SetDatabaseName(FDatabaseName);
    TDataSet::Loaded();
}

void TDaroruTable::Notification(TComponent* AComponent, TOperation Operation)
{
    TDataSet::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDaroruConnection) {
        // The connection is being destroyed: nothing may be asked of it any
        // more, and the work area it served on the server ends with it.
        if (FAccessMethod == amServer)
            FWorkArea = 0;
        Close();
        FDaroruConnection = nullptr;
    }
    if (Operation == opRemove && AComponent == FDatabase)
        FDatabase = nullptr;
}

void TDaroruTable::Raise(const String& Message) const { throw EDaroruError(Message); }

TDaroruConnection* TDaroruTable::ServerConnection() const
{
    if (!FDaroruConnection)
        Raise(drotext::NoConnection);
    return FDaroruConnection;
}

void TDaroruTable::SetDaroruConnection(TDaroruConnection* Value)
{
    if (Value == FDaroruConnection)
        return;
    SetConnectionReference(this, FDaroruConnection, Value);
    if (ComponentState().Contains(csDesigning))
        FAccessMethod = Value ? amServer : amLocal;
}

void TDaroruTable::SetAccessMethod(TAccessMethod Value)
{
    if (Value == FAccessMethod)
        return;
    if (Active())
        Raise(drotext::AccessWhileActive);
    FAccessMethod = Value;
    if (Value == amLocal)
        LoadDLL();
}

void TDaroruTable::SetDatabaseName(const String& Value)
{
    if (Value == FDatabaseName)
        return;
    FDatabase = nullptr;
    FDatabaseName = Value;
    if (FDaroruConnection)
        FDaroruConnection->SetDatabaseName(Value);
    if (Active() && !FTableName.empty()) {
        if (FAccessMethod == amLocal)
            FDataPath = IncludeTrailingPathDelimiter(PathFromAlias());
        if (!GetExists())
            Close();
        UpdateFieldAndIndexDefs();
    }
    RefreshDataSources();
}

void TDaroruTable::RefreshDataSources()
{
    const std::vector<TDataSource*> sources = DataSources();
    for (TDataSource* source : sources)
        if (source->Enabled()) {
            source->SetEnabled(false);
            source->SetEnabled(true);
        }
}

void TDaroruTable::SetTableName(const String& Value)
{
    if (Value == FTableName)
        return;
    if (FWorkArea > 0)
        Raise(text::TableOpen);
    FTableName = Value;
    UpdateFieldAndIndexDefs();
}

void TDaroruTable::SetExclusive(WordBool Value)
{
    if ((Value != 0) != (FExclusive != 0) && FWorkArea > 0)
        Raise(text::TableOpen);
    FExclusive = Value;
}

void TDaroruTable::SetReadOnly(WordBool Value)
{
    if ((Value != 0) == (FReadOnly != 0))
        return;
    if (FWorkArea > 0)
        Raise(text::TableOpen);
    FReadOnly = Value;
}

void TDaroruTable::SetTableType(TDaroruTableType Value)
{
    if (Value == FTableType)
        return;
    FTableType = Value;
    UpdateFieldAndIndexDefs();
}

void TDaroruTable::SetTurboRead(WordBool Value)
{
    FTurboRead = Value;
    if (Select())
        cs_SetTurboRead(Value);
}

void TDaroruTable::SetPassword(const String& Value)
{
    FPassword = Value;
    if (Select()) {
        cs_SetPassword(Value.c_str());
        Resync({});
    }
}

void TDaroruTable::SetSpeedMode(WordBool Value)
{
    FSpeedMode = Value;
    if (!FCursorOpen)
        return;
    if (!Value) {
        cs_Select(FWorkArea);
        SetRecNoOf(ActiveBuffer(), static_cast<std::uint32_t>(cs_RecNo()));
        Resync({});
    } else {
        cs_Select(FWorkArea);
        cs_Go(RecNoOf(ActiveBuffer()));
    }
}

void TDaroruTable::SetSequenced(bool Value)
{
    if (Value == FSequenced)
        return;
    FSequenced = Value;
    if (SelectForSxCall())
        Resync({});
}

void TDaroruTable::UpdateFieldAndIndexDefs()
{
    FieldDefs()->Clear();
    if (Active()) {
        InternalInitFieldDefs();
        FIndexDefs.SetUpdated(false);
        UpdateIndexDefs();
    }
}

String TDaroruTable::GetVersion()
{
    String engine;
    if (FAccessMethod == amServer)
        engine = FDaroruConnection && FDaroruConnection->Connected() ? "C/S" : "VOZ ?.??.?? 32 bit";
    else {
        LoadDLL();
        const char* v = XBE_CALL(xb_Version);
        engine = v ? v : "";
    }
    return engine + ", " + GetDrDsVer();
}

String GetDrDsVer() { return "Daroru VCL 5.1.3.1, " + DateToStr(EncodeDate(2000, 5, 18)); }

// ---- where the table lies

String TDaroruTable::GetDataPath()
{
    String dir = ExtractFilePath(NormalizePath(FTableName));
    // The server resolves a DatabaseName itself.
    if (dir.empty())
        dir = FAccessMethod == amServer ? FDatabaseName : PathFromAlias();
    FDataPath = dir.empty() ? dir : IncludeTrailingPathDelimiter(dir);
    return FDataPath;
}

String TDaroruTable::PathFromAlias()
{
    return ResolveDataPath(FDatabaseName, [this] { return GetDatabase(); });
}

TDaroruDatabase* TDaroruTable::GetDatabase()
{
    if (FDatabase)
        return FDatabase;
    if (TDaroruDatabase* database = FindDatabaseByAlias(FDatabaseName)) {
        FDatabase = database;
        database->FreeNotification(this);
        return database;
    }
    String dir = FDatabaseName;
    if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/'))
        dir.pop_back();
    if (!FDatabaseName.empty() && !DirectoryExists(dir))
        Raise("Invalid DatabaseName value : " + FDatabaseName);
    return nullptr;
}

String UniqueAliasName(const String& Name, const std::function<bool(const String& Alias)>& InUse)
{
    if (Name.empty())
        return String();
    String alias = Copy(UpperCase(ExtractFileName(NormalizePath(Name))), 1, 8);
    alias = alias.substr(0, alias.find('.'));
    for (char& c : alias)
        if (c < 'A' || c > 'Z')
            c = '_';
    for (int n = 1; InUse(alias); ++n) {
        const String digits = IntToStr(n);
        alias = Copy(alias, 1, 8 - static_cast<int>(digits.size())) + digits;
    }
    return alias;
}

String TDaroruTable::GetUniqueAliasName(const String& Name)
{
    if (Name.empty())
        return String();
    if (FAccessMethod == amLocal)
        LoadDLL();
    return UniqueAliasName(Name, [this](const String& Alias) { return cs_WorkArea(Alias.c_str()) > 0; });
}

int TDaroruTable::DaroruTableType(TDaroruTableType Type)
{
    switch (Type) {
    case ttSXNTX: return 1;
    case ttSXNSX: return 3;
    default: return 2;
    }
}

String TDaroruTable::GetFullTableName()
{
    String name = ExtractFileName(NormalizePath(FTableName));
    if (ExtractFileExt(name).empty())
        name += ".DBF";
    return GetDataPath() + name;
}

bool TDaroruTable::GetExists() { return cs_FileExists(GetFullTableName()); }

bool TDaroruTable::cs_DeleteFile(const String& Name)
{
    if (FAccessMethod == amServer)
        return ServerConnection()->DeleteFile(ServerDirectoryOf(Name), Name);
    return DeleteFile(Name);
}

bool TDaroruTable::cs_FileExists(const String& Name)
{
    if (FAccessMethod == amServer)
        return ServerConnection()->FileExists(ServerDirectoryOf(Name), Name);
    return FileExists(Name);
}

String TDaroruTable::ServerDirectoryOf(const String& Path) const
{
    const String dir = ExtractFilePath(NormalizePath(Path));
    // The data path made of DatabaseName travels as DatabaseName itself.
    const bool ofDatabase = ExtractFilePath(NormalizePath(FTableName)).empty() &&
                            dir == IncludeTrailingPathDelimiter(FDatabaseName);
    return dir.empty() || ofDatabase ? FDatabaseName : dir;
}

String TDaroruTable::ServerFileOf(const String& Path) const
{
    const String dir = ServerDirectoryOf(Path);
    const String name = ExtractFileName(NormalizePath(Path));
    return dir.empty() || dir.back() == '/' || dir.back() == '\\' ? dir + name : dir + "\\" + name;
}

String PadRight(const String& Text, int Width, char Ch)
{
    return static_cast<int>(Text.size()) >= Width ? Text : Text + String(Width - Text.size(), Ch);
}

String IndexFileBaseName(const String& FileName)
{
    const String name = UpperCase(ExtractFileName(NormalizePath(FileName)));
    const auto dot = name.find('.');
    return dot == String::npos ? String() : name.substr(0, dot);
}
