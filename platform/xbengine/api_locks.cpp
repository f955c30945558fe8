// Record and file locks of the selected work area.

#include <algorithm>

#include "platform/xbengine/apiguard.h"
#include "platform/xbengine/workareas.h"

extern "C" {

XBBOOL xb_Rlock(XBLONG rec)
{
    return Guarded<XBBOOL>(0, [&] {
        if (!Areas().Current().RLock(rec))
            throw EEngineError(XBE_E_LOCK, "Record " + std::to_string(rec) + " cannot be locked");
        return 1;
    });
}

void xb_Unlock(XBLONG rec)
{
    GuardedVoid([&] { Areas().Current().Unlock(rec); });
}

XBBOOL xb_Locked(XBLONG rec)
{
    return Guarded<XBBOOL>(0, [&] { return Areas().Current().Locked(rec) ? 1 : 0; });
}

XBBOOL xb_Flock(void)
{
    return Guarded<XBBOOL>(0, [] {
        if (!Areas().Current().FLock())
            throw EEngineError(XBE_E_LOCK, "The table cannot be locked");
        return 1;
    });
}

XBSHORT xb_LockCount(void)
{
    return Guarded<XBSHORT>(0, [] { return XBSHORT(Areas().Current().Locks().RecordCount()); });
}

void xb_DBRlockList(XBLONG* buf)
{
    GuardedVoid([&] {
        std::vector<Integer> records = Areas().Current().Locks().Records();
        std::copy(records.begin(), records.end(), buf);
    });
}

}  // extern "C"
