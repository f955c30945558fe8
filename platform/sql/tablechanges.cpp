#include "platform/sql/tablechanges.h"

#include <sqlite3.h>

#include "platform/rtl/strutils.h"
#include "platform/sql/xbasetable.h"
#include "platform/xbengine/xbe_functions.h"

namespace localsql {

namespace {

// The engine's codes for the kind of value xb_Replace is given.
constexpr XBSHORT ReplaceDouble = 8;
constexpr XBSHORT ReplaceMemoText = 3072;

}  // namespace

String TTableChanges::EngineError() const
{
    String text = FEngine.LastErrorText ? FEngine.LastErrorText() : String();
    return text.empty() ? String("the engine refused the operation") : text;
}

int TTableChanges::Lock(XBLONG RecNo, String& Message)
{
    const TXbeFunctions& f = *FEngine.Functions;
    f.xb_Select(FTable.Area);
    f.xb_Go(RecNo);
    if (f.xb_Rlock(RecNo))
        return SQLITE_OK;
    Message = "Record " + IntToStr(RecNo) + " of " + FTable.Alias +
              " is locked by another user: " + EngineError();
    return SQLITE_BUSY;
}

// Writes the values into the current record, which is locked: the bytes laid
// into the image first, then the numbers and memos through the engine.
int TTableChanges::Write(XBLONG RecNo, const std::vector<TStoredValue>& Values, String& Message)
{
    const TXbeFunctions& f = *FEngine.Functions;
    String image(size_t(FTable.RecordSize), ' ');
    bool laid = false;
    bool done = f.xb_GetRecord(image.data()) > 0;
    for (size_t i = 0; done && i < Values.size(); ++i)
        if (Values[i].Kind == TStoredValue::AsBytes) {
            const TFieldInfo& field = FTable.Fields[i];
            image.replace(size_t(field.Offset), size_t(field.Width), Values[i].Text);
            laid = true;
        }
    done = done && (!laid || f.xb_PutRecord(image.data()));
    for (size_t i = 0; done && i < Values.size(); ++i) {
        const char* name = FTable.Fields[i].Name.c_str();
        if (Values[i].Kind == TStoredValue::AsNumber)
            done = f.xb_Replace(name, ReplaceDouble, &Values[i].Number);
        else if (Values[i].Kind == TStoredValue::AsMemo)
            done = f.xb_Replace(name, ReplaceMemoText, Values[i].Text.c_str());
    }
    if (done && f.xb_Commit())
        return SQLITE_OK;
    Message = "Record " + IntToStr(RecNo) + " of " + FTable.Alias + " was not written: " + EngineError();
    return SQLITE_ERROR;
}

int TTableChanges::Update(XBLONG RecNo, const std::vector<TStoredValue>& Values, String& Message)
{
    if (int rc = Lock(RecNo, Message); rc != SQLITE_OK)
        return rc;
    const TXbeFunctions& f = *FEngine.Functions;
    TKept kept;
    kept.RecNo = RecNo;
    kept.Image.assign(size_t(FTable.RecordSize), ' ');
    int rc = f.xb_GetRecord(kept.Image.data()) > 0 ? SQLITE_OK : SQLITE_ERROR;
    for (size_t i = 0; rc == SQLITE_OK && i < Values.size(); ++i) {
        if (Values[i].Kind != TStoredValue::AsMemo)
            continue;
        char* memo = f.xb_GetMemo(FTable.Fields[i].Name.c_str(), 0);
        if (!memo) {
            rc = SQLITE_ERROR;
            break;
        }
        kept.Memos.emplace_back(i, String(memo));
        f.xb_MemDealloc(memo);
    }
    if (rc != SQLITE_OK)
        Message = "Record " + IntToStr(RecNo) + " of " + FTable.Alias + " cannot be read: " + EngineError();
    else {
        FKept.push_back(std::move(kept));
        rc = Write(RecNo, Values, Message);
    }
    f.xb_Unlock(RecNo);
    return rc;
}

int TTableChanges::Delete(XBLONG RecNo, String& Message)
{
    if (int rc = Lock(RecNo, Message); rc != SQLITE_OK)
        return rc;
    const TXbeFunctions& f = *FEngine.Functions;
    TKept kept;
    kept.RecNo = RecNo;
    kept.Image.assign(size_t(FTable.RecordSize), ' ');
    int rc = SQLITE_OK;
    if (f.xb_GetRecord(kept.Image.data()) <= 0 || !f.xb_Delete() || !f.xb_Commit()) {
        Message = "Record " + IntToStr(RecNo) + " of " + FTable.Alias + " was not deleted: " + EngineError();
        rc = SQLITE_ERROR;
    }
    FKept.push_back(std::move(kept));
    f.xb_Unlock(RecNo);
    return rc;
}

XBLONG TTableChanges::Insert(std::vector<TStoredValue> Values)
{
    FInserts.push_back(std::move(Values));
    const TXbeFunctions& f = *FEngine.Functions;
    f.xb_Select(FTable.Area);
    return f.xb_RecCount() + XBLONG(FInserts.size());
}

int TTableChanges::Append(String& Message)
{
    const TXbeFunctions& f = *FEngine.Functions;
    f.xb_Select(FTable.Area);
    std::vector<std::vector<TStoredValue>> inserts;
    inserts.swap(FInserts);
    for (TMark& mark : FMarks)
        mark.Inserts = 0;
    for (const std::vector<TStoredValue>& values : inserts) {
        if (!f.xb_AppendBlank()) {
            Message = "No record could be added to " + FTable.Alias + ": " + EngineError();
            return SQLITE_ERROR;
        }
        const XBLONG recno = f.xb_RecNo();
        FKept.push_back(TKept {recno, String(), {}});
        const int rc = Write(recno, values, Message);
        f.xb_Unlock(recno);
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}

// Writes a kept image back; a record this transaction appended is blanked and deleted, as no
// record can be taken out of the file.
int TTableChanges::Restore(const TKept& Kept, String& Message)
{
    if (int rc = Lock(Kept.RecNo, Message); rc != SQLITE_OK)
        return rc;
    const TXbeFunctions& f = *FEngine.Functions;
    const String image = Kept.Image.empty() ? "*" + String(size_t(FTable.RecordSize - 1), ' ') : Kept.Image;
    bool done = f.xb_PutRecord(image.data());
    for (const auto& [field, text] : Kept.Memos)
        done = done && f.xb_Replace(FTable.Fields[field].Name.c_str(), ReplaceMemoText, text.c_str());
    done = done && f.xb_Commit();
    f.xb_Unlock(Kept.RecNo);
    if (done)
        return SQLITE_OK;
    Message = "Record " + IntToStr(Kept.RecNo) + " of " + FTable.Alias +
              " could not be put back as it was: " + EngineError();
    return SQLITE_ERROR;
}

int TTableChanges::Undo(size_t Kept, String& Message)
{
    int result = SQLITE_OK;
    while (FKept.size() > Kept) {
        String problem;
        if (int rc = Restore(FKept.back(), problem); rc != SQLITE_OK && result == SQLITE_OK) {
            result = rc;
            Message = problem;
        }
        FKept.pop_back();
    }
    return result;
}

void TTableChanges::Savepoint(int Level)
{
    FMarks.resize(size_t(std::max(Level, 0)));
    FMarks.push_back(TMark {FKept.size(), FInserts.size()});
}

void TTableChanges::Release(int Level)
{
    if (size_t(Level) < FMarks.size())
        FMarks.resize(size_t(std::max(Level, 0)));
}

int TTableChanges::RollBackTo(int Level, String& Message)
{
    if (Level < 0 || size_t(Level) >= FMarks.size())
        return SQLITE_OK;
    const TMark mark = FMarks[size_t(Level)];
    FInserts.resize(std::min(FInserts.size(), mark.Inserts));
    return Undo(mark.Kept, Message);
}

void TTableChanges::Commit()
{
    FKept.clear();
    FInserts.clear();
    FMarks.clear();
}

int TTableChanges::RollBack(String& Message)
{
    FInserts.clear();
    FMarks.clear();
    return Undo(0, Message);
}

}  // namespace localsql
