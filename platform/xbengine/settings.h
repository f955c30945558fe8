#pragma once
// The engine-wide settings.

#include <cstddef>

#include "platform/xbengine/xbe_types.h"

struct Settings {
    bool Deleted = false;  // hide delete-marked records while navigating
    bool SoftSeek = false;
    bool Exact = false;
    bool Century = false;    // four-digit years in date text
    int DateFormat = 0;      // 0 American .. 6 Spanish, 99 system
    int Epoch = 1900;        // two-digit years fall in [Epoch, Epoch + 99]
    int MemoBlockSize = 64;  // of memo files created from now on (setting value)
    int LockTimeout = 1;     // seconds; 0 one try; negative without limit
    // Each change of a table opened from now on reaches the disk in an order
    // that survives a power cut (see journal.h); off for scratch tables.
    bool DurableWrites = true;
    int StringType = 1;
    bool OptimisticBuffer = false;
    bool WriteBlobHeader = false;
    bool Translate = false;
    XBGAUGEFUNC Gauge = nullptr;  // progress of Pack and Zap
    // The memory one open table may keep of its files: two thirds for
    // records, a third for each index file's pages. The default holds a
    // table of 100,000 transactions and its six tags.
    std::size_t CacheBytes = std::size_t(96) << 20;

    std::size_t RecordCacheBytes() const { return CacheBytes / 3 * 2; }
    std::size_t IndexCacheBytes() const { return CacheBytes / 3; }

    // The memo block size in bytes that MemoBlockSize stands for.
    int MemoBlockBytes() const;
};

Settings& EngineSettings();
