// Opening and closing the work area, and the field definitions.

#include <fstream>

#include "platform/db/fieldkinds.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/twodigityear.h"
#include "platform/xbengine/xbe50.h"
#include "tables/drodset.h"
#include "tables/droenv.h"
#include "tables/droerror.h"
#include "tables/drosearch.h"

namespace {

// The text-to-date window that places two-digit years in [Epoch, Epoch + 99].
int TableTwoDigitYearWindow(int CurrentYear, int Epoch)
{
    const int window = CurrentYear - Epoch;
    return window > 0 ? window : TableCenturyWindow(CurrentYear, Epoch);
}

TDaroruOpenFailure OpenFailureOf(int EngineCode)
{
    switch (EngineCode) {
    case XBE_E_IN_USE:
    case XBE_E_LOCK: return TDaroruOpenFailure::InUse;
    case XBE_E_BAD_HEADER:
    case XBE_E_CORRUPT_DATA: return TDaroruOpenFailure::Damaged;
    case XBE_E_CORRUPT_INDEX: return TDaroruOpenFailure::IndexDamaged;
    default: return TDaroruOpenFailure::Other;
    }
}

}  // namespace

bool TDaroruTable::Select()
{
    if (FWorkArea <= 0)
        return false;
    cs_Select(FWorkArea);
    return true;
}

void TDaroruTable::CheckOpen() const
{
    if (FWorkArea <= 0)
        Raise(drotext::ClosedTable);
}

void TDaroruTable::CheckTableType()
{
    GetDataPath();
    const String file = GetFullTableName();
    std::ifstream in(ResolvePath(file), std::ios::binary);
    char version = 0;
    if (!in || !in.get(version))
        return;
    const auto byte = static_cast<unsigned char>(version);
    String memoExt;
    switch (byte) {
    case 0x83:
    case 0x86:
        FTableType = ttSXNTX;
        memoExt = ".DBT";
        break;
    case 0xF5:
    case 0xF6:
    case 0x30:
        FTableType = ttSXFOX;
        memoExt = ".FPT";
        break;
    case 0xE5:
    case 0xE6:
        FTableType = ttSXNSX;
        memoExt = ".SMT";
        break;
    default: return;
    }
    const String memo = ChangeFileExt(file, memoExt);
    if (byte != 0x30 && !FileExists(memo))
        Raise("Associated MEMO file does not exist.\rFile: " + UpperCase(memo));
}

void TDaroruTable::SetToDaroruEnv()
{
    TDaroruSearchObject search;
    auto* env = dynamic_cast<TDaroruEnv*>(search.SearchFirstComponent("TDaroruEnv"));
    if (!env)
        return;
    FEpoch = env->Epoch();
    FErrorLevel = env->GetErrorLevel();
    FCountNeedsRefresh = env->CountNeedsRefresh() != 0;
    FErrorFunc = env->ErrorFunc();
    FCentury = env->Century();
    TDaroruConnection* server = env->DaroruConnection();
    if (env->ApplyTo() == TDaroruApplyTo {atServer} && server && server->Connected()) {
        server->ap_EnvSettings(env->Epoch(), env->DateFormat(), env->MemoBlockSize(), env->Deleted() != 0,
                               env->Century() != 0, env->SoftSeek() != 0, env->Exact() != 0);
        return;
    }
    if (env->ApplyTo() != TDaroruApplyTo {atLocal})
        return;
    LoadDLL();
    static constexpr XBSHORT DateCodes[] = {0, 1, 2, 3, 4, 5, 6, 99};
    XBE_CALL(xb_SetDeleted, env->Deleted());
    XBE_CALL(xb_SetDateFormat, DateCodes[env->DateFormat()]);
    XBE_CALL(xb_SetEpoch, static_cast<XBWORD>(env->Epoch()));
    XBE_CALL(xb_SetCentury, env->Century());
    XBE_CALL(xb_SetSoftSeek, env->SoftSeek());
    XBE_CALL(xb_SetExact, env->Exact());
    XBE_CALL(xb_SetMemoBlockSize, static_cast<XBWORD>(env->MemoBlockSize()));
    XBE_CALL(xb_ErrorLevel, static_cast<XBSHORT>(env->GetErrorLevel()));
}

void TDaroruTable::OpenTable()
{
    FWorkArea = 0;
    if (FTableName.empty() && FErrorFunc == -1)
        Raise(Name() + " : " + "Missing TableName property");
    if (FAccessMethod == amLocal)
        LoadDLL();
    FAlias = GetUniqueAliasName(FTableName);
    if (FAccessMethod == amLocal)
        CheckTableType();
    const XBSHORT type = static_cast<XBSHORT>(DaroruTableType(FTableType));
    const XBSHORT mode = FExclusive ? 2 : FReadOnly ? 1 : 0;
    SetToDaroruEnv();
    const String fullName = GetFullTableName();
    if (FAccessMethod == amLocal) {
        if (!GetExists() && FErrorFunc == -1)
            throw EDaroruOpenError(drotext::TableMissing + fullName, TDaroruOpenFailure::Missing, fullName,
                                   String());
        XBE_CALL(xb_SetCentury, FCentury);
        XBE_CALL(xb_SetEpoch, static_cast<XBWORD>(FEpoch));
    }
    int year = 0, month = 0, day = 0;
    DecodeDate(Date(), year, month, day);
    TwoDigitYearCenturyWindow = TableTwoDigitYearWindow(year, FEpoch);
    int engineCode = 0;
    String engineReason;
    if (FAccessMethod == amLocal) {
        if (FErrorFunc == -1)
            XBE_CALL(xb_ErrorLevel, 0);
        FWorkArea = XBE_CALL(xb_Use, (GetDataPath() + ExtractFileName(NormalizePath(FTableName))).c_str(),
                             FAlias.c_str(), mode, type);
        engineCode = XbeLastError();
        engineReason = XbeLastErrorText();
        XBE_CALL(xb_ErrorLevel, static_cast<XBSHORT>(FErrorLevel));
        // The engine opens a table whose structural index it could not open and
        // warns; every change written then would miss the index, so the table
        // stays shut until the index is rebuilt (or free again). So does a
        // table whose damage the engine found and could not put right (a
        // record count the file does not hold, a change it could not roll back).
        if (FWorkArea > 0 && (engineCode == XBE_E_CORRUPT_INDEX || engineCode == XBE_E_IN_USE ||
                              engineCode == XBE_E_CORRUPT_DATA)) {
            cs_Select(FWorkArea);
            cs_Close();
            FWorkArea = 0;
        }
    } else {
        // The server names the work area itself, by the same rule.
        FWorkArea = ServerConnection()->ap_Use(ServerFileOf(FTableName).c_str(), FAlias.c_str(), mode, type);
    }
    if (FWorkArea <= 0) {
        FWorkArea = 0;
        if (FErrorFunc != -1)
            return;
        if (FAccessMethod == amLocal)
            throw EDaroruOpenError("Unable to open table.\rFile: " + fullName +
                                           (engineReason.empty() ? String() : "\r" + engineReason),
                                   OpenFailureOf(engineCode), fullName, engineReason);
        if (FDaroruConnection &&
            (FDaroruConnection->UserName().empty() || FDaroruConnection->Password().empty()))
            Raise("Must include User Name and Password to open table through the Daroru Database Server");
        Raise("Unable to open table.\rFile: " + fullName);
    }
    cs_Select(FWorkArea);
    FFieldCount = cs_FieldCount();
    FEncrypted = cs_IsEncrypted(1);
    if (!FPassword.empty())
        cs_SetPassword(FPassword.c_str());
    cs_SetTurboRead(FTurboRead);
    if (!FIndexName.empty()) {
        const String name = FIndexName;
        FIndexName.clear();
        SetIndexName(name);
    }
    ActivateIndexes();
    FIndexDefs.SetUpdated(false);
    UpdateIndexDefs();
    FCountNeedsRefresh = true;
    FLockListStale = true;
    FRecordSize = cs_RecSize();
    // The engine's own answers: with CachedUpdates the table's would come from the store.
    FCachedCount = TDaroruDispatch::cs_RecCount();
    SetLenCachedItem(FCachedCount);
    const char* condition = TDaroruDispatch::cs_IndexCondition();
    FIndexCondition = condition ? condition : "";
}

void TDaroruTable::InternalOpen()
{
    ClearCachedItem();
    if (Active())
        Close();
    if (FAccessMethod == amServer) {
        if (!ServerConnection()->Connected()) {
            FWorkArea = 0;
            Raise("Not connected");
        }
    }
    FOpening = true;
    try {
        InternalInitFieldDefs();
    } catch (...) {
        FOpening = false;
        throw;
    }
    if (FWorkArea <= 0) {
        FOpening = false;
        return;  // an installed error function heard about it: the open ends quietly
    }
    if (DefaultFields())
        CreateFields();
    BindFields(true);
    FCurrentRecNo = 0;

    // Record buffer: the fields, the calculated fields, the blob entries, the record information.
    FBlobIndex.assign(FFieldInfos.size(), -1);
    int offset = 0;
    FBlobCount = 0;
    for (TField* field : Fields()) {
        if (field->FieldNo() <= 0)
            continue;
        TFieldInfo& info = InfoOf(field);
        info.BufferOffset = offset;
        offset += 1 + field->DataSize();
        if (field->IsBlob())
            FBlobIndex[field->FieldNo() - 1] = FBlobCount++;
    }
    FFieldAreaSize = offset;
    const int blobStart = (FFieldAreaSize + CalcFieldsSize() + 7) / 8 * 8;
    FRecInfoOffset = blobStart + FBlobCount * static_cast<int>(sizeof(TDrBlobEntry));
    FScratch.assign(static_cast<size_t>(FRecordSize > 0 ? FRecordSize : 1), ' ');
    FCursorOpen = true;
    SetBookmarkSize(4);

    cs_Select(FWorkArea);
    if (Filtered())
        cs_Query(Filter().c_str());
    ApplyMasterScope();
    cs_Select(FWorkArea);
    cs_GoTop();
    FAtFirst = true;
    RefreshDataSources();
    FOpening = false;
}

void TDaroruTable::InternalClose()
{
    FDataPath.clear();
    FCursorOpen = false;
    BindFields(false);
    FScratch.clear();
    if (DefaultFields())
        DestroyFields();
    FFieldInfos.clear();
    FBlobIndex.clear();
    if (FWorkArea > 0) {
        cs_Select(FWorkArea);
        cs_Close();
        FWorkArea = 0;
    }
}

void TDaroruTable::InternalInitFieldDefs()
{
    if (FWorkArea <= 0)
        OpenTable();
    if (FWorkArea <= 0)
        return;
    FFieldInfos.clear();
    FieldDefs()->Clear();
    cs_Select(FWorkArea);
    const int count = cs_FieldCount();
    for (int i = 1; i <= count; ++i) {
        const char* fieldName = cs_FieldName(i);
        const String name = fieldName ? fieldName : "";
        const char* typeText = cs_FieldType(name.c_str());
        const char letter = typeText && *typeText ? typeText[0] : ' ';
        auto info = std::make_unique<TFieldInfo>();
        info->RecordOffset = cs_FieldOffset(name.c_str()) - 1;
        info->Width = cs_FieldWidth(name.c_str());
        info->Decimals = cs_FieldDecimals(name.c_str());
        TFieldType type = ftUnknown;
        int size = 0;
        switch (letter) {
        case 'C':
            type = ftString;
            size = info->Width;
            break;
        case 'D': type = ftDate; break;
        case 'I': type = ftInteger; break;
        case 'L': type = ftBoolean; break;
        case 'M': type = ftMemo; break;
        case 'N': type = info->Decimals <= 0 && info->Width <= 4 ? ftSmallint : ftFloat; break;
        case 'B':
        case 'G':
        case 'P': type = ftBlob; break;
        default: break;
        }
        FFieldInfos.push_back(std::move(info));
        if (type != ftUnknown)
            FieldDefs()->Add(name, type, size, false)->SetFieldNo(i);
    }
    if (!FCursorOpen && !FOpening) {
        cs_Select(FWorkArea);
        cs_Close();
        FWorkArea = 0;
    }
}

void TDaroruTable::CreateFields()
{
    if (FWorkArea <= 0)
        return;
    cs_Select(FWorkArea);
    TDataSet::CreateFields();
    for (TField* field : Fields()) {
        auto* number = dynamic_cast<TFloatField*>(field);
        if (!number || field->FieldNo() <= 0)
            continue;
        const TFieldInfo& info = InfoOf(field);
        String format = "0";
        if (info.Decimals > 0)
            format += "." + String(static_cast<size_t>(info.Decimals), '0');
        number->SetDisplayFormat(format);
        number->SetPrecision(info.Width + 1);
    }
}

TFieldInfo& TDaroruTable::InfoOf(const TField* Field) const { return *FFieldInfos[Field->FieldNo() - 1]; }
