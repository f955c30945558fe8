#pragma once
// The data locks one work area holds on its DBF: record locks, the file
// lock and the header lock of appends. The file lock covers the header byte
// and every record byte, so while it is held no lock inside its range is
// released on its own: that would open a gap in it.

#include <map>
#include <vector>

#include "platform/rtl/sharelocks.h"
#include "platform/rtl/types.h"

class TableFile;

// Takes lock, retrying every 20 ms for timeoutSeconds (0: one try,
// negative: waits without limit).
bool AcquireWithin(sharelocks::OfdLock& lock, int handle, Int64 offset, Int64 length, int timeoutSeconds);

class LockManager {
public:
    explicit LockManager(TableFile& file) : FFile(file) { }

    bool LockRecord(Integer rec, int timeoutSeconds);
    void UnlockRecord(Integer rec);
    bool LockFile(int timeoutSeconds);
    // Releases every record lock and the file lock.
    void UnlockAll();

    bool HoldsRecord(Integer rec) const { return HoldsFile() || FRecords.count(rec) > 0; }
    bool HoldsFile() const { return FFileLock.Held(); }
    int RecordCount() const { return int(FRecords.size()); }
    std::vector<Integer> Records() const;

    bool LockHeader(int timeoutSeconds);
    void UnlockHeader();

private:
    TableFile& FFile;
    std::map<Integer, sharelocks::OfdLock> FRecords;
    // Record locks given up while the file lock covers them, released with it.
    std::vector<sharelocks::OfdLock> FCovered;
    sharelocks::OfdLock FFileLock;
    sharelocks::OfdLock FHeaderLock;
};
