// Record counts and numbers, locks, maintenance and direct engine writes.

#include <cstring>

#include "platform/db/fieldkinds.h"
#include "platform/rtl/datetime.h"
#include "tables/drodset.h"
#include "tables/droerror.h"
#include "tables/drojulian.h"

namespace {
constexpr const char* ExclusiveText = "Table must be opened in Exclusive mode to perform this operation";
}  // namespace

void TDaroruTable::RefreshCount()
{
    switch (FSequencedCount) {
    case scAll: FCachedCount = Select() ? cs_Count() : 0; break;
    case scFilterOnly: FCachedCount = Select() ? cs_QueryRecCount() : 0; break;
    case scRaw: FCachedCount = GetSXRecCount(); break;
    }
    FCountNeedsRefresh = false;
}

int TDaroruTable::GetSXRecCount() { return Select() ? cs_RecCount() : 0; }

int TDaroruTable::GetSXRecno()
{
    if (FWorkArea <= 0)
        return 0;
    if (FSpeedMode) {
        cs_Select(FWorkArea);
        return cs_RecNo();
    }
    TRecordBuffer buffer = State() == dsCalcFields ? CalcBuffer()
                           : BufferCount() > 0     ? ActiveBuffer()
                                                   : nullptr;
    return buffer ? static_cast<int>(RecNoOf(buffer)) : 0;
}

int TDaroruTable::RecSize()
{
    CheckOpen();
    Select();
    return cs_RecSize();
}

bool TDaroruTable::RLock(int Record)
{
    CheckOpen();
    Select();
    FLockListStale = true;
    return cs_Rlock(Record);
}

void TDaroruTable::Unlock(int Record)
{
    if (!Select())
        return;
    FLockListStale = true;
    cs_Unlock(Record);
}

bool TDaroruTable::Locked(int Record) { return SelectForSxCall() && cs_Locked(Record); }

int TDaroruTable::GetLockCount() { return SelectForSxCall() ? cs_LockCount() : 0; }

void TDaroruTable::Pack()
{
    CheckWritable();
    if (!FExclusive && FErrorFunc == -1)
        Raise(ExclusiveText);
    CheckOpen();
    Select();
    CheckWrite(cs_Pack(), "pack the table");
    FCountNeedsRefresh = true;
    Resync({});
}

void TDaroruTable::Zap()
{
    CheckWritable();
    if (!FExclusive && FErrorFunc == -1)
        Raise(ExclusiveText);
    if (!Select())
        return;
    CheckWrite(cs_Zap(), "empty the table");
    FCountNeedsRefresh = true;
    Resync({});
}

void TDaroruTable::Recall()
{
    CheckWritable();
    if (IsEmpty() && FErrorFunc == -1)
        Raise(drotext::EmptyTable);
    CheckOpen();
    SelectForSxCall();
    CheckWrite(cs_Recall(), "recall the record");
    Resync({});
}

void TDaroruTable::PutRecord(const char* Buffer)
{
    CheckWritable();
    if (!FSpeedMode)
        CheckEditing();
    CheckOpen();
    Select();
    CheckWrite(cs_PutRecord(Buffer), "write the record");
    Resync({});
}

void TDaroruTable::PutBlob(const String& FieldName, const void* Data, int Length)
{
    CheckWritable();
    if (!FSpeedMode) {
        CheckEditing();
        TDrBlobEntry* entry = GetBlobData(FieldByName(FieldName));
        if (!entry)
            Raise("Field '" + FieldName + "' is not a blob field");
        delete[] entry->Data;
        entry->Data = new char[static_cast<size_t>(Length) + 1];
        std::memcpy(entry->Data, Data, static_cast<size_t>(Length));
        entry->Data[Length] = 0;
        entry->Length = Length;
        entry->Modified = 0xFF;
        return;
    }
    if (FWorkArea <= 0)
        return;
    const TDataSetState state = State();
    if (state == dsEdit || state == dsInsert)
        Post();
    Select();
    if (cs_PutBlob(FieldName.c_str(), Data, Length) != Length)
        Raise("Blob Write Error");
    if (state == dsEdit || state == dsInsert)
        Edit();
}

void TDaroruTable::Replace(const String& FieldName, SmallInt Type, const void* Data)
{
    CheckWritable();
    if (!FSpeedMode)
        CheckEditing();
    if (FSpeedMode) {
        CheckOpen();
        Select();
        CheckWrite(cs_Replace(FieldName.c_str(), Type, Data), "replace the value");
        return;
    }
    TField* field = FieldByName(FieldName);
    const char* text = static_cast<const char*>(Data);
    switch (Type) {
    case 1:
    case 2: {
        std::int32_t value = 0;
        std::memcpy(&value, Data, sizeof value);
        field->SetAsInteger(value);
        break;
    }
    case 8: {
        double value = 0;
        std::memcpy(&value, Data, sizeof value);
        field->SetAsFloat(value);
        break;
    }
    case 32: {
        std::int32_t julian = 0;
        std::memcpy(&julian, Data, sizeof julian);
        field->SetAsDateTime(JulianToDT(julian));
        break;
    }
    case 128: field->SetAsBoolean(*text != 0); break;
    case 1024:
    case 1025:
    case 3072: field->SetAsString(text); break;
    case 1056: {
        const TDateTime date = StrToDate(String(text, strnlen(text, 11)));
        const std::int32_t days = static_cast<std::int32_t>(date) + DateDelta;
        SetFieldData(field, &days);
        break;
    }
    case 8192:
        if (auto* blob = dynamic_cast<TBlobField*>(field))
            blob->LoadFromFile(text);
        break;
    default: SetFieldData(field, Data); break;
    }
}

void TDaroruTable::KeyAdd(const String& Tag)
{
    CheckOpen();
    Select();
    cs_KeyAdd(Tag.c_str());
}

void TDaroruTable::KeyDrop(const String& Tag)
{
    if (SelectForSxCall())
        cs_KeyDrop(Tag.c_str());
}

String TDaroruTable::KeyData()
{
    if (!SelectForSxCall())
        return String();
    const char* key = cs_KeyData();
    return key ? key : "";
}

void TDaroruTable::SetTranslate(WordBool Value)
{
    CheckOpen();
    Select();
    cs_SetTranslate(Value);
    Resync({});
}

void TDaroruTable::SetRelation(int ChildArea, const String& KeyExpression)
{
    CheckOpen();
    Select();
    cs_SetRelation(ChildArea, KeyExpression.c_str());
}

void TDaroruTable::SetGaugeFunc(XBGAUGEFUNC Function)
{
    if (FAccessMethod == amLocal)
        XBE_CALL(xb_SetGaugeFunc, Function);
}

void TDaroruTable::SetGaugeHook(XBLONG Window)
{
    CheckOpen();
    Select();
    cs_SetGaugeHook(Window);
}

XBPROP TDaroruTable::SysProp(Word Property, XBPROP Value)
{
    if (FDaroruConnection && FDaroruConnection->Connected())
        return FDaroruConnection->ap_SysProp(static_cast<XBSHORT>(Property), Value);
    LoadDLL();
    return XBE_CALL(xb_SysProp, Property, Value);
}

void TDaroruTable::MemDealloc(void* Pointer)
{
    if (Select())
        cs_MemDealloc(Pointer);
}

int TDaroruTable::OpenMode() { return Select() ? cs_OpenMode() : 0; }

bool TDaroruTable::IsEncrypted(int Code)
{
    CheckOpen();
    Select();
    return cs_IsEncrypted(Code);
}
