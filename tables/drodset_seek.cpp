// Key searches, scopes and ranges on the active order, and the position in it.

#include "tables/drodset.h"
#include "tables/droerror.h"

void TDaroruTable::SyncToEngine(bool AtEnd)
{
    if (FSpeedMode || !FCursorOpen)
        return;
    SetRecordInfo(ActiveBuffer(), static_cast<std::uint32_t>(cs_RecNo()), AtEnd ? bfEOF : bfCurrent);
    Resync({});
}

bool TDaroruTable::SeekWith(const std::function<bool()>& Search, bool BottomWhenMissing)
{
    CheckOpen();
    CheckOrder();
    BeginScroll();
    Select();
    const bool found = Search();
    if (!found && BottomWhenMissing)
        cs_GoBottom();
    SyncToEngine(!found && !BottomWhenMissing);
    EndScroll();
    return found;
}

bool TDaroruTable::Seek(const String& Key)
{
    return SeekWith([&] { return cs_Seek(Key.c_str()); }, false);
}

bool TDaroruTable::SeekBin(const String& Key, int Length)
{
    return SeekWith([&] { return cs_SeekBin(Key.c_str(), static_cast<XBSHORT>(Length)); }, true);
}

bool TDaroruTable::FindKey(const ConstArg& Values)
{
    CheckOpen();
    CheckOrder();
    Select();
    const String key = Values.empty() ? String() : Values[0].KeyText();
    const int before = GetSXRecno();
    const bool found = cs_Seek(key.c_str());
    if (!found) {
        cs_Go(before);
        return false;
    }
    if (!FSpeedMode)
        SetRecordInfo(ActiveBuffer(), static_cast<std::uint32_t>(cs_RecNo()), bfCurrent);
    BeginScroll();
    Resync({});
    EndScroll();
    return true;
}

bool TDaroruTable::SetScope(const String& Low, const String& High)
{
    CheckOrder();
    CheckOpen();
    if (Active())
        CheckBrowseMode();
    const int recno = GetSXRecno();
    Select();
    const bool result = cs_SetScope(Low.c_str(), High.c_str());
    if (!cs_Eof()) {
        cs_Go(recno);
        cs_Skip(1);
        if (cs_Eof())
            cs_GoBottom();
        else
            cs_Skip(-1);
    }
    FCountNeedsRefresh = true;
    if (Active())
        SyncToEngine(cs_Eof());
    FScoped = !(Low + High).empty();
    return result;
}

bool TDaroruTable::SetRange(const ConstArg& Low, const ConstArg& High)
{
    return SetScope(Low.empty() ? String() : Low[0].KeyText(), High.empty() ? String() : High[0].KeyText());
}

void TDaroruTable::CancelRange() { SetScope("", ""); }

void TDaroruTable::SetScopeBegin(const String& Value)
{
    FScopeBegin = Value;
    if (FScoped)
        SetScope(FScopeBegin, FScopeEnd);
}

void TDaroruTable::SetScopeEnd(const String& Value)
{
    FScopeEnd = Value;
    if (FScoped)
        SetScope(FScopeBegin, FScopeEnd);
}

void TDaroruTable::SetScoped(bool Value)
{
    if (!Value) {
        if (FScoped)
            SetScope("", "");
        FScoped = false;
        return;
    }
    FScoped = SetScope(FScopeBegin, FScopeEnd) && !(FScopeBegin + FScopeEnd).empty();
}

double TDaroruTable::OrderPosGet() { return Select() ? cs_OrderPosGet() : 0; }

void TDaroruTable::OrderPosSet(double Position)
{
    if (!Select())
        return;
    cs_OrderPosSet(Position);
    SyncToEngine(false);
}

int TDaroruTable::OrderRecNo()
{
    if (!SelectForSxCall())
        return 0;
    return cs_OrderRecNo();
}
