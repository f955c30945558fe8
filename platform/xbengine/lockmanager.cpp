#include "platform/xbengine/lockmanager.h"

#include <chrono>
#include <thread>

#include "platform/xbengine/tablefile.h"

namespace {

// The file lock: the header byte and every record byte below it.
constexpr Int64 FileLockStart = 1;
constexpr Int64 FileLockLength = sharelocks::HeaderOffset;

}  // namespace

bool AcquireWithin(sharelocks::OfdLock& lock, int handle, Int64 offset, Int64 length, int timeoutSeconds)
{
    using sharelocks::LockKind;
    if (timeoutSeconds < 0) {
        lock.Acquire(handle, offset, LockKind::Exclusive, length);
        return true;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (!lock.TryAcquire(handle, offset, LockKind::Exclusive, length)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool LockManager::LockRecord(Integer rec, int timeoutSeconds)
{
    if (FRecords.count(rec))
        return true;
    sharelocks::OfdLock lock;
    if (!HoldsFile() &&
        !AcquireWithin(lock, FFile.Handle(), sharelocks::RecordOffset(rec), 1, timeoutSeconds))
        return false;
    FRecords.emplace(rec, std::move(lock));
    return true;
}

void LockManager::UnlockRecord(Integer rec)
{
    auto found = FRecords.find(rec);
    if (found == FRecords.end())
        return;
    if (HoldsFile())
        FCovered.push_back(std::move(found->second));
    FRecords.erase(found);
}

bool LockManager::LockFile(int timeoutSeconds)
{
    return HoldsFile() ||
           AcquireWithin(FFileLock, FFile.Handle(), FileLockStart, FileLockLength, timeoutSeconds);
}

void LockManager::UnlockAll()
{
    FRecords.clear();
    FCovered.clear();
    FFileLock.Release();
}

std::vector<Integer> LockManager::Records() const
{
    std::vector<Integer> records;
    for (const auto& entry : FRecords)
        records.push_back(entry.first);
    return records;
}

bool LockManager::LockHeader(int timeoutSeconds)
{
    return HoldsFile() ||
           AcquireWithin(FHeaderLock, FFile.Handle(), sharelocks::HeaderOffset, 1, timeoutSeconds);
}

void LockManager::UnlockHeader() { FHeaderLock.Release(); }
