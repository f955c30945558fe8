// Navigation in the order of an index tag: the visible records are those
// with a key inside the order's scope that pass the deleted setting, the
// query and the filter; seeks and the rank of a record in the order.

#include "platform/xbengine/engineerror.h"
#include "platform/xbengine/errorstate.h"
#include "platform/xbengine/settings.h"
#include "platform/xbengine/table.h"
#include "platform/xbengine/xbe50.h"

namespace {

// The smallest text above every text that begins with prefix; "" when none is.
String Successor(String prefix)
{
    while (!prefix.empty() && Byte(prefix.back()) == 0xFF)
        prefix.pop_back();
    if (!prefix.empty())
        prefix.back() = char(Byte(prefix.back()) + 1);
    return prefix;
}

// In an order the records lie scattered over the table, so a walk waits for
// each one to come from memory; the record a few entries on is fetched while
// this one is used.
void PrefetchAhead(const TableFile& file, const DbfHeader& header, const CdxCursor& cursor, bool forward,
                   Integer recCount)
{
    constexpr std::size_t Distance = 4;
    Integer recno = Integer(cursor.RecNoAhead(forward, Distance));
    if (recno >= 1 && recno <= recCount)
        file.PrefetchMapped(header.HeaderLength + Int64(recno - 1) * header.RecordLength,
                            std::size_t(header.RecordLength));
}

}  // namespace

bool Table::OrderWalk(bool forward)
{
    TableOrders::Order& order = *FOrders->Active();
    CdxCursor& cursor = FOrders->Cursor();
    bool ascending = forward != order.Tag->Descending();
    bool toScope = false;
    for (bool valid = cursor.Valid(); valid; valid = forward ? cursor.Next() : cursor.Prev()) {
        int side = order.ScopeSide(cursor.Key());
        // A key short of the scope: the walk goes on from the scope's first key,
        // not through every key before it.
        if (!toScope && ((ascending && side < 0) || (!ascending && side > 0))) {
            toScope = true;
            OrderStart(!forward);
            if (!cursor.Valid())
                return false;
            side = order.ScopeSide(cursor.Key());
        }
        if ((ascending && side > 0) || (!ascending && side < 0))
            return false;
        if (side != 0)
            continue;
        Integer recno = Integer(cursor.RecNo());
        // A key past the records is damage, not one to step over: an append
        // would give its number to a record with another key. (The count is
        // read again first: another open may have just appended.)
        if (recno < 1 || (recno > FRecCount && recno > ReadCounts().Readable()))
            throw ECdxCorrupt("Index tag " + order.Tag->Name() + " refers to record " +
                              std::to_string(recno) + ", which is not in " + FPath +
                              "; reindex the table to rebuild it");
        if (Visible(recno))
            return true;
    }
    return false;
}

void Table::OrderStart(bool bottom)
{
    TableOrders::Order& order = *FOrders->Active();
    CdxCursor& cursor = FOrders->Cursor();
    bool descending = order.Tag->Descending();
    if (!bottom && !descending && !order.Low.empty()) {
        cursor.Seek(order.Low);
    } else if (!bottom && descending && !order.High.empty()) {
        cursor.Seek(order.High);
    } else if (bottom && !descending && !order.High.empty()) {
        String above = Successor(order.High);
        if (above.empty() || (cursor.Seek(above), !cursor.Valid()))
            cursor.Last();
        else
            cursor.Prev();
    } else if (bottom) {
        cursor.Last();
    } else {
        cursor.First();
    }
}

void Table::OrderEdge(bool bottom)
{
    TableOrders::Access access(*FOrders, false);
    ReadHeaderCount();
    OrderStart(bottom);
    if (OrderWalk(!bottom))
        LoadCurrent(Integer(FOrders->Cursor().RecNo()));
    else
        ToEof(true);
}

bool Table::CursorBeside(bool forward)
{
    TableOrders::Order& order = *FOrders->Active();
    CdxCursor& cursor = FOrders->Cursor();
    String key = *FOrders->KeyOf(order, FRecord, FRecNo, true);
    bool on = cursor.Valid() && cursor.RecNo() == std::uint32_t(FRecNo) && cursor.Key() == key;
    if (on || cursor.GoTo(key, std::uint32_t(FRecNo)))
        return forward ? cursor.Next() : cursor.Prev();
    // The record has no entry: the cursor stands on the entry that follows
    // its key in ascending order, if any.
    bool after = cursor.Valid();
    if (!order.Tag->Descending())
        return forward ? after : after ? cursor.Prev() : cursor.Last();
    return forward ? (after ? cursor.Next() : cursor.First()) : after;
}

void Table::OrderSkip(Int64 count)
{
    // A skip over what the caches hold needs no lock while nothing changed.
    LocklessFirst([&](bool lockless) { OrderSkipWith(count, lockless); });
}

void Table::OrderSkipWith(Int64 count, bool lockless)
{
    TableOrders::Access access(*FOrders, false, lockless);
    ReadHeaderCount();
    CdxCursor& cursor = FOrders->Cursor();
    bool forward = count > 0;
    bool found;
    if (FEof) {
        OrderStart(true);
        found = OrderWalk(false);
    } else {
        found = CursorBeside(forward) && OrderWalk(forward);
    }
    for (Int64 steps = (forward ? count : -count) - 1; found && steps > 0; --steps)
        found = (forward ? cursor.Next() : cursor.Prev()) && OrderWalk(forward);
    if (found) {
        PrefetchAhead(FFile, FHeader, cursor, forward, FRecCount);
        LoadCurrent(Integer(cursor.RecNo()));
    } else if (forward)
        ToEof(false);
    else
        BeforeFirst();
}

bool Table::Seek(const String& text)
{
    TableOrders::Order* order = FOrders->Active();
    if (!order)
        throw EEngineError(XBE_E_NO_ORDER, "A seek needs an index order: " + FPath);
    Found = false;
    bool found = false;
    InOrder([&] { LocklessFirst([&](bool lockless) { found = SeekInOrder(*order, text, lockless); }); });
    return found;
}

bool Table::SeekInOrder(TableOrders::Order& order, const String& text, bool lockless)
{
    TableOrders::Access access(*FOrders, false, lockless);
    Found = false;
    ReadHeaderCount();
    String key = FOrders->SeekKey(order, text, EngineSettings().Exact);
    CdxCursor& cursor = FOrders->Cursor();
    for (cursor.Seek(key); cursor.KeyStartsWith(key); cursor.Next()) {
        Integer recno = Integer(cursor.RecNo());
        if (order.ScopeSide(cursor.Key()) == 0 && recno >= 1 && recno <= FRecCount && Visible(recno)) {
            Found = true;
            break;
        }
    }
    if (Found || (EngineSettings().SoftSeek && OrderWalk(true)))
        LoadCurrent(Integer(cursor.RecNo()));
    else
        ToEof(false);
    return Found;
}

Integer Table::OrderKeyCount()
{
    if (!OrderUsed())
        return RecCount();
    TableOrders::Access access(*FOrders, false);
    return Integer(FOrders->Active()->Tag->Count());
}

Integer Table::OrderRank()
{
    if (FEof)
        return 0;
    if (!OrderUsed())
        return FRecNo;
    TableOrders::Access access(*FOrders, false);
    TableOrders::Order& order = *FOrders->Active();
    CdxCursor& cursor = FOrders->Cursor();
    String key = *FOrders->KeyOf(order, FRecord, FRecNo, true);
    bool on = cursor.Valid() && cursor.RecNo() == std::uint32_t(FRecNo) && cursor.Key() == key;
    if (!on && !cursor.GoTo(key, std::uint32_t(FRecNo)) && !cursor.Valid())
        return Integer(order.Tag->Count());
    return Integer(cursor.Position()) + 1;
}

void Table::GoToRank(Integer rank)
{
    if (!OrderUsed()) {
        Go(rank);
        return;
    }
    TableOrders::Access access(*FOrders, false);
    ReadHeaderCount();
    CdxCursor& cursor = FOrders->Cursor();
    if (rank >= 1 && cursor.GoToPosition(std::uint32_t(rank - 1)) &&
        cursor.RecNo() <= std::uint32_t(FRecCount))
        LoadCurrent(Integer(cursor.RecNo()));
    else
        ToEof(false);
}
