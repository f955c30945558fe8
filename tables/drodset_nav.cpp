// Navigation, posting and deletion.

#include <cmath>
#include <cstring>

#include "platform/db/dberror.h"
#include "platform/rtl/strutils.h"
#include "platform/xbengine/xbe50.h"
#include "tables/drodset.h"
#include "tables/droerror.h"

namespace {
constexpr std::uint32_t NoRecord = 0xFFFFFFFF;
}

TGetResult TDaroruTable::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck)
{
    cs_Select(FWorkArea);
    TGetResult result = grOK;
    bool accepted = false;
    do {
        if (FAccessMethod == amServer && !FCachedUpdates) {
            result = ServerFetch(Buffer, GetMode, accepted);
            continue;
        }
        const XBLONG prev = FAtFirst || FAtLast ? 0 : cs_RecNo();
        result = grOK;
        switch (GetMode) {
        case gmCurrent:
            if (cs_Bof() && cs_Eof())
                result = grEOF;
            else if (cs_Eof() && FEOFAction == eaMoveLast) {
                cs_GoBottom();
                if (cs_Eof())
                    result = grEOF;
            }
            break;
        case gmNext:
            if (FAtFirst)
                cs_GoTop();
            else
                cs_Skip(1);
            if (cs_Eof() || cs_RecNo() == prev) {
                cs_GoBottom();
                result = grEOF;
            }
            break;
        case gmPrior:
            if (FAtLast)
                cs_GoBottom();
            else
                cs_Skip(-1);
            if (cs_Bof() || cs_RecNo() == prev) {
                cs_GoTop();
                result = grBOF;
            }
            break;
        }
        FCurrentRecNo = static_cast<std::uint32_t>(cs_RecNo());
        InternalInitRecord(Buffer);
        if (result == grOK) {
            cs_GetRecord(FScratch.data());
            accepted = TakeRecord(Buffer);
            // A rejected record: the current one is gone; otherwise read on in the same direction.
            if (!accepted && GetMode == gmCurrent)
                result = grEOF;
        }
        if (result == grError && DoCheck)
            Raise(drotext::EmptyTable);
        FAtFirst = FAtLast = false;
    } while (!accepted && result == grOK);
    return result;
}

TGetResult TDaroruTable::ServerFetch(TRecordBuffer Buffer, TGetMode GetMode, bool& Accepted)
{
    XBLONG recNo = 0;
    TGetResult result = ServerConnection()->ap_TraverseTable(FAtFirst, FAtLast, FEOFAction == eaMoveLast,
                                                             GetMode, recNo, FScratch.data(), FRecordSize);
    // A connection that is gone has been reported once; the table just ends.
    if (result == grError && !ServerConnection()->Connected())
        result = GetMode == gmPrior ? grBOF : grEOF;
    FCurrentRecNo = static_cast<std::uint32_t>(recNo);
    InternalInitRecord(Buffer);
    Accepted = false;
    if (result == grOK) {
        Accepted = TakeRecord(Buffer);
        if (!Accepted && GetMode == gmCurrent)
            result = grEOF;
    }
    FAtFirst = FAtLast = false;
    return result;
}

bool TDaroruTable::TakeRecord(TRecordBuffer Buffer)
{
    ReadXBEToNative(Buffer);
    SetRecordInfo(Buffer, FCurrentRecNo, bfCurrent);
    GetCalcFields(Buffer);
    if (!FiltersRecords())
        return true;
    bool accepted = true;
    const TDataSetState saved = SetTempState(dsFilter);
    FFilterBuffer = Buffer;
    try {
        accepted = AcceptRecord();
    } catch (...) {
    }
    RestoreState(saved);
    FFilterBuffer = nullptr;
    return accepted;
}

bool TDaroruTable::AcceptRecord()
{
    bool accepted = true;
    OnFilterRecord(this, accepted);
    return accepted;
}

void TDaroruTable::InternalFirst()
{
    if (Select()) {
        cs_GoTop();
        cs_Skip(-1);
    }
    FAtFirst = true;
}

void TDaroruTable::InternalLast()
{
    if (Select()) {
        cs_GoBottom();
        cs_Skip(1);
    }
    FAtLast = true;
}

void TDaroruTable::InternalSetToRecord(TRecordBuffer Buffer)
{
    cs_Select(FWorkArea);
    cs_Go(static_cast<XBLONG>(RecNoOf(Buffer)));
}

void TDaroruTable::InternalGotoBookmark(const void* Bookmark)
{
    std::uint32_t recno = 0;
    std::memcpy(&recno, Bookmark, sizeof recno);
    // The resync that follows starts from the active buffer's record.
    SetRecordInfo(ActiveBuffer(), recno, bfCurrent);
    cs_Select(FWorkArea);
    cs_Go(static_cast<XBLONG>(recno));
}

int TDaroruTable::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2)
{
    if (Bookmark1.size() < 4 || Bookmark2.size() < 4)
        return 2;
    std::uint32_t a = 0, b = 0;
    std::memcpy(&a, Bookmark1.data(), 4);
    std::memcpy(&b, Bookmark2.data(), 4);
    return a == b ? 0 : a < b ? -1 : 1;
}

void TDaroruTable::Resync(TResyncMode Mode)
{
    if (FCursorOpen && !FSpeedMode) {
        cs_Select(FWorkArea);
        cs_Go(GetSXRecno());
    }
    TDataSet::Resync(Mode);
}

void TDaroruTable::InternalRefresh() { Resync({}); }

int TDaroruTable::GetRecordCount()
{
    if (FCountNeedsRefresh || FCachedCount == -1)
        RefreshCount();
    return FCachedCount;
}

int TDaroruTable::GetRecNo()
{
    if (FWorkArea <= 0 || !FCursorOpen)
        return 0;
    cs_Select(FWorkArea);
    UpdateCursorPos();
    if (FCachedUpdates || cs_IndexOrd() == 0 || FTableType == ttSXNTX)
        return cs_RecNo();
    if (FCountNeedsRefresh || FCachedCount == -1)
        RefreshCount();
    // Rounded: the product of a fraction and the count is rarely a whole number.
    return static_cast<int>(std::lround(cs_OrderPosGet() * FCachedCount));
}

void TDaroruTable::SetRecNo(int Value)
{
    if (FWorkArea <= 0 || !FCursorOpen)
        return;
    CheckBrowseMode();
    cs_Select(FWorkArea);
    if (FCachedUpdates || cs_IndexOrd() == 0)
        cs_Go(Value);
    else if (GetRecordCount() > 0)
        cs_OrderPosSet(static_cast<double>(Value) / FCachedCount);
    SetRecordInfo(ActiveBuffer(), static_cast<std::uint32_t>(cs_RecNo()), bfCurrent);
    Resync({});
}

bool TDaroruTable::IsSequenced() const { return FTableType != ttSXNTX && FSequenced; }

bool TDaroruTable::GetBOF()
{
    if (FSpeedMode && FWorkArea > 0) {
        cs_Select(FWorkArea);
        if (cs_Bof())
            return true;
    }
    return TDataSet::GetBOF();
}

bool TDaroruTable::GetEOF()
{
    if (FWorkArea > 0) {
        cs_Select(FWorkArea);
        if (cs_Eof())
            return true;
    }
    return TDataSet::GetEOF();
}

bool TDaroruTable::GetDaroruBOF()
{
    if (FWorkArea <= 0)
        return false;
    if (!FSpeedMode)
        return GetBOF();
    cs_Select(FWorkArea);
    return cs_Bof();
}

bool TDaroruTable::GetDaroruEOF()
{
    if (FWorkArea <= 0)
        return false;
    if (!FSpeedMode)
        return GetEOF();
    cs_Select(FWorkArea);
    return cs_Eof();
}

void TDaroruTable::DaroruGetRecord(char* Buffer)
{
    if (Select())
        cs_GetRecord(Buffer);
}

bool TDaroruTable::SelectForSxCall()
{
    if (!Select())
        return false;
    if (!FSpeedMode && State() != dsCalcFields && FCursorOpen) {
        CursorPosChanged();
        UpdateCursorPos();
    }
    return true;
}

void TDaroruTable::BeginScroll()
{
    if (FSpeedMode)
        return;
    CheckBrowseMode();
    DoBeforeScroll();
}

void TDaroruTable::EndScroll()
{
    if (!FSpeedMode)
        DoAfterScroll();
}

void TDaroruTable::Go(int RecordNumber)
{
    if (FWorkArea <= 0)
        return;
    if (FSpeedMode) {
        cs_Select(FWorkArea);
        cs_Go(RecordNumber);
        return;
    }
    BeginScroll();
    SetRecordInfo(ActiveBuffer(), static_cast<std::uint32_t>(RecordNumber), bfCurrent);
    Resync({});
    EndScroll();
}

void TDaroruTable::GoTop()
{
    if (FWorkArea <= 0)
        return;
    if (!FSpeedMode) {
        First();
        return;
    }
    cs_Select(FWorkArea);
    cs_GoTop();
}

void TDaroruTable::GoBottom()
{
    if (FWorkArea <= 0)
        return;
    if (!FSpeedMode) {
        Last();
        return;
    }
    cs_Select(FWorkArea);
    cs_GoBottom();
}

void TDaroruTable::Skip(int Count)
{
    if (FWorkArea <= 0)
        return;
    if (!FSpeedMode) {
        MoveBy(Count);
        return;
    }
    cs_Select(FWorkArea);
    cs_Skip(Count);
}

int TDaroruTable::MoveBy(int Distance)
{
    if (!FSpeedMode)
        return TDataSet::MoveBy(Distance);
    Skip(Distance);
    return Distance;
}

void TDaroruTable::Next()
{
    if (FSpeedMode)
        Skip(1);
    else
        TDataSet::Next();
}

void TDaroruTable::Prior()
{
    if (FSpeedMode)
        Skip(-1);
    else
        TDataSet::Prior();
}

void TDaroruTable::DoBeforeEdit()
{
    TDataSet::DoBeforeEdit();
    if (!Select())
        return;
    const std::uint32_t recno = FSpeedMode ? static_cast<std::uint32_t>(cs_RecNo()) : RecNoOf(ActiveBuffer());
    FCurrentRecNo = recno;
    if (!cs_Rlock(static_cast<XBLONG>(recno)) && FErrorFunc == -1) {
        // A server connection that is gone was reported when it went: the edit
        // fails for that reason, not for a lock nobody refused.
        if (FAccessMethod == amServer && !ServerConnection()->Connected() &&
            !ServerConnection()->LastError().empty())
            Raise(ServerConnection()->LastError());
        Raise("Record Lock Failure. May be locked by another user or task.");
    }
    if (recno == NoRecord)
        return;
    // Editing starts from the record as it is now stored.
    cs_Go(static_cast<XBLONG>(recno));
    cs_GetRecord(FScratch.data());
    ReadXBEToNative(ActiveBuffer());
}

void TDaroruTable::DoBeforeInsert()
{
    TDataSet::DoBeforeInsert();
    if (Select())
        FSavedRecNo = BufferedRecordCount() > 0 ? RecNoOf(ActiveBuffer()) : 0;
}

void TDaroruTable::DoAfterInsert()
{
    if (State() == dsInsert) {
        cs_Select(FWorkArea);
        SetRecordInfo(ActiveBuffer(), NoRecord, bfEOF);
    }
    TDataSet::DoAfterInsert();
}

void TDaroruTable::DoAfterCancel()
{
    if (Select()) {
        if (cs_Locked(cs_RecNo()))
            cs_Unlock(0);
        if (FSavedRecNo > 0 && FSavedRecNo != NoRecord) {
            SetRecordInfo(ActiveBuffer(), FSavedRecNo, bfCurrent);
            FSavedRecNo = 0;
            Resync({});
        }
    }
    TDataSet::DoAfterCancel();
}

void TDaroruTable::DoAfterScroll()
{
    if (FCursorOpen && FWorkArea > 0 && BufferedRecordCount() > 0) {
        CursorPosChanged();
        UpdateCursorPos();
    }
    TDataSet::DoAfterScroll();
}

void TDaroruTable::WriteBlobs()
{
    for (TField* field : Fields()) {
        TDrBlobEntry* entry = field->IsBlob() ? GetBlobData(field) : nullptr;
        if (!entry || entry->Modified != 0xFF)
            continue;
        const String name = field->FieldName();
        const char* data = entry->Data ? entry->Data : "";
        if (field->DataType() == ftMemo)
            CheckWrite(cs_Replace(name.c_str(), 0x0C00, data), "write the memo");
        else if (cs_PutBlob(name.c_str(), data, entry->Length) != entry->Length)
            Raise("Blob Write Error");
    }
}

void TDaroruTable::InternalPost()
{
    if (!Select())
        return;
    TRecordBuffer buffer = ActiveBuffer();
    if (State() == dsInsert && !FBlankAppended) {
        // Convert first: a value that cannot be stored must not leave a blank record.
        String probe = FScratch;
        NativeToImage(buffer, probe);
        CheckWrite(cs_AppendBlank(), "append a record");
        try {
            WriteNativeToXBE(buffer);
        } catch (...) {
            cs_Delete();
            cs_Unlock(0);
            throw;
        }
    } else {
        WriteNativeToXBE(buffer);
    }
    WriteBlobs();
    FBlankAppended = false;
    cs_Unlock(0);
    if (!FSpeedMode) {
        // The engine finds the record where its order puts it now; a cached record keeps its position.
        if (!FCachedUpdates) {
            cs_Skip(-1);
            if (!cs_Bof())
                cs_Skip(1);
        }
        SetRecordInfo(buffer, static_cast<std::uint32_t>(cs_RecNo()), cs_Eof() ? bfEOF : bfCurrent);
    }
    FSavedRecNo = 0;
    FCountNeedsRefresh = true;
}

void TDaroruTable::InternalAddRecord(TRecordBuffer Buffer, bool /*Append*/)
{
    if (FReadOnly && FErrorFunc == -1)
        Raise(dbtext::DataSetReadOnly);
    if (!Select())
        return;
    String probe = FScratch;
    NativeToImage(Buffer, probe);
    CheckWrite(cs_AppendBlank(), "append a record");
    WriteNativeToXBE(Buffer);
    cs_Commit();
}

void TDaroruTable::InternalDelete()
{
    if (FReadOnly && FErrorFunc == -1)
        Raise(dbtext::DataSetReadOnly);
    if (IsEmpty() && FErrorFunc == -1)
        Raise(drotext::EmptyTable);
    if (!SelectForSxCall())
        return;
    const char* condition = cs_IndexCondition();
    const bool vanishes = Pos("DELETED()", UpperCase(condition ? condition : "")) > 0 ||
                          cs_SysProp(XBE_PROP_DELETED, 0) != 0;
    if (vanishes) {
        const XBLONG n = cs_RecNo();
        cs_Skip(1);
        const XBLONG next = cs_Eof() ? 0 : cs_RecNo();
        cs_Go(n);
        CheckWrite(cs_Delete(), "delete the record");
        if (next > 0)
            cs_Go(next);
        else
            cs_GoBottom();
    } else {
        CheckWrite(cs_Delete(), "delete the record");
    }
    if (!FSpeedMode)
        SetRecordInfo(ActiveBuffer(), static_cast<std::uint32_t>(cs_RecNo()), cs_Eof() ? bfEOF : bfCurrent);
    FCountNeedsRefresh = true;
    Resync({});
}

void TDaroruTable::Delete()
{
    // A pending edit is posted first; an insert is only cancelled, as for any data set.
    if (Active() && State() == dsEdit)
        CheckBrowseMode();
    TDataSet::Delete();
}
