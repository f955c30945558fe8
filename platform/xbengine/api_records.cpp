// Navigation in natural order, record images, appends, deletion and
// table maintenance.

#include <cstring>

#include "platform/xbengine/apiguard.h"
#include "platform/xbengine/settings.h"
#include "platform/xbengine/workareas.h"

namespace {

Table& Current() { return Areas().Current(); }

// For the calls that look at the current record or write it: an append
// waiting for its first write stays waiting.
Table& AsIs() { return Areas().CurrentAsIs(); }

// Runs a whole-table operation, telling the gauge function its start and end.
XBBOOL Maintain(void (Table::*operation)())
{
    return Guarded<XBBOOL>(0, [&] {
        XBGAUGEFUNC gauge = EngineSettings().Gauge;
        if (gauge)
            gauge(0);
        (Current().*operation)();
        if (gauge)
            gauge(100);
        return 1;
    });
}

}  // namespace

extern "C" {

void xb_Go(XBLONG recno)
{
    GuardedVoid([&] { Current().Go(recno); });
}

void xb_GoTop(void)
{
    GuardedVoid([] { Current().GoTop(); });
}

void xb_GoBottom(void)
{
    GuardedVoid([] { Current().GoBottom(); });
}

void xb_Skip(XBLONG count)
{
    GuardedVoid([&] { Current().Skip(count); });
}

// With no table in the area both ends answer true, so that every
// "until the end" loop of a caller stops after a failed open.
XBBOOL xb_Bof(void)
{
    return Guarded<XBBOOL>(1, [] { return AsIs().Bof() ? 1 : 0; });
}

XBBOOL xb_Eof(void)
{
    return Guarded<XBBOOL>(1, [] { return AsIs().Eof() ? 1 : 0; });
}

XBLONG xb_RecNo(void)
{
    return Guarded<XBLONG>(0, [] { return AsIs().RecNo(); });
}

XBLONG xb_RecCount(void)
{
    return Guarded<XBLONG>(0, [] { return AsIs().RecCount(); });
}

XBLONG xb_Count(void)
{
    return Guarded<XBLONG>(0, [] { return Current().Count(); });
}

// The rank of the current record's key over the keys of the active order
// (record number over record count in natural order); 1 at end of file and
// with no table in the area.
double xb_OrderPosGet(void)
{
    return Guarded<double>(1, [] {
        Table& table = Current();
        Integer count = table.OrderKeyCount();
        if (count == 0)
            return 0.0;
        return table.Eof() ? 1.0 : double(table.OrderRank()) / count;
    });
}

void xb_OrderPosSet(double position)
{
    GuardedVoid([&] {
        Table& table = Current();
        Integer count = table.OrderKeyCount();
        if (count == 0) {
            table.Go(0);
            return;
        }
        double rank = position * count + 0.5;
        table.GoToRank(rank < 1 ? 1 : rank > count ? count : Integer(rank));
    });
}

XBLONG xb_OrderRecNo(void)
{
    return Guarded<XBLONG>(0, [] { return Current().OrderRank(); });
}

XBLONG xb_GetRecord(char* buf)
{
    return Guarded<XBLONG>(0, [&] {
        // The image handed out is the record as the file has it.
        const String& image = Current().Record();
        std::memcpy(buf, image.data(), image.size());
        return XBLONG(image.size());
    });
}

XBBOOL xb_PutRecord(const char* buf)
{
    return Guarded<XBBOOL>(0, [&] {
        AsIs().PutRecord(buf);
        return 1;
    });
}

XBBOOL xb_AppendBlank(void)
{
    return Guarded<XBBOOL>(0, [] {
        Current().AppendBlank();
        return 1;
    });
}

XBBOOL xb_Append(void) { return xb_AppendBlank(); }

XBBOOL xb_Commit(void)
{
    return Guarded<XBBOOL>(0, [] {
        Current().Commit();
        return 1;
    });
}

XBBOOL xb_Delete(void)
{
    return Guarded<XBBOOL>(0, [] {
        Current().SetDeleteMark(true);
        return 1;
    });
}

XBBOOL xb_Recall(void)
{
    return Guarded<XBBOOL>(0, [] {
        Current().SetDeleteMark(false);
        return 1;
    });
}

XBBOOL xb_Deleted(void)
{
    return Guarded<XBBOOL>(0, [] { return AsIs().Deleted() ? 1 : 0; });
}

XBBOOL xb_Pack(void) { return Maintain(&Table::Pack); }

XBBOOL xb_Zap(void) { return Maintain(&Table::Zap); }

XBLONG xb_RecSize(void)
{
    return Guarded<XBLONG>(0, [] { return XBLONG(AsIs().RecordLength()); });
}

}  // extern "C"
