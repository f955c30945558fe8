// Appends of N records to the transactions table with its six tags, opened
// exclusive (as a client's own tables are) and shared (as the client list
// is), each record written as the table layer writes it: an append, then the
// whole record. Besides the time per append, the counters give the bytes and
// write calls per append that reach the kernel (from /proc/self/io), which
// show what the rollback journal adds to each append.

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/benchsupport.h"
#include "bench/kernelwrites.h"
#include "platform/xbengine/xbe50.h"

namespace {

// The record images of n transactions, built before any timing.
std::vector<std::string> Images(int n)
{
    std::mt19937 random(7);
    std::vector<std::string> images;
    for (int i = 1; i <= n; ++i)
        images.push_back(TransactionImage(i, random));
    return images;
}

// An empty transactions table with its six tags, closed.
void CreateTable(const std::string& path)
{
    xb_CloseAll();
    XBSHORT area = xb_CreateNew(path.c_str(), "", 2, XBSHORT(TransactionColumns.size()));
    xb_Select(area);
    for (const Column& c : TransactionColumns)
        xb_CreateField(c.Name, c.Type, XBSHORT(c.Width), XBSHORT(c.Decimals));
    if (!xb_CreateExec())
        std::fprintf(stderr, "cannot create %s: %s\n", path.c_str(), xbx_LastErrorText());
    for (const char* field : TransactionTags)
        xb_IndexTag("", field, field, 0, 0, "");
    xb_CloseAll();
}

// range(0) records appended to a fresh table opened in mode range(1).
void AppendWithSixTags(benchmark::State& state)
{
    static const std::string dir = ScratchDir("xbe-append-bench");
    int n = int(state.range(0));
    XBSHORT mode = XBSHORT(state.range(1));
    std::string path = dir + "TOTTRANS" + std::to_string(n) + ".DBF";
    std::vector<std::string> images = Images(n);
    KernelWrites total;
    for (auto _ : state) {
        state.PauseTiming();
        CreateTable(path);
        xb_Use(path.c_str(), "", mode, 2);
        KernelWrites before = Written();
        state.ResumeTiming();
        for (const std::string& image : images) {
            xb_AppendBlank();
            xb_PutRecord(image.data());
        }
        state.PauseTiming();
        KernelWrites after = Written();
        total.Bytes += after.Bytes - before.Bytes;
        total.Calls += after.Calls - before.Calls;
        total.UserSeconds += after.UserSeconds - before.UserSeconds;
        if (xb_RecCount() != n)
            state.SkipWithError("appends failed");
        xb_CloseAll();
        state.ResumeTiming();
    }
    double appends = double(n) * double(state.iterations());
    state.counters["us_per_append"] = benchmark::Counter(
            double(n) * 1e-6, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["bytes_written_per_append"] = double(total.Bytes) / appends;
    state.counters["writes_per_append"] = double(total.Calls) / appends;
    state.counters["user_us_per_append"] = total.UserSeconds * 1e6 / appends;
}

// range(0) records of a table opened in mode range(1) rewritten in random
// order with new values, the keys of all six tags changing in each.
void UpdateWithSixTags(benchmark::State& state)
{
    static const std::string dir = ScratchDir("xbe-update-bench");
    int n = int(state.range(0));
    XBSHORT mode = XBSHORT(state.range(1));
    std::string path = dir + "TOTTRANS" + std::to_string(n) + ".DBF";
    CreateTable(path);
    xb_Use(path.c_str(), "", 2, 2);
    for (const std::string& image : Images(n)) {
        xb_AppendBlank();
        xb_PutRecord(image.data());
    }
    xb_CloseAll();
    std::vector<std::string> images = Images(n);
    std::mt19937 random(11);
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        order[std::size_t(i)] = i + 1;
    std::shuffle(order.begin(), order.end(), random);
    xb_Use(path.c_str(), "", mode, 2);
    KernelWrites before = Written();
    bool swapped = false;
    for (auto _ : state) {
        // Each pass gives every record another record's values, or its own back.
        swapped = !swapped;
        for (int recno : order) {
            xb_Go(recno);
            if (!xb_PutRecord(images[std::size_t(swapped ? n - recno : recno - 1)].data()))
                state.SkipWithError("update failed");
        }
    }
    KernelWrites after = Written();
    xb_CloseAll();
    double updates = double(n) * double(state.iterations());
    state.counters["us_per_update"] = benchmark::Counter(
            double(n) * 1e-6, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["bytes_written_per_update"] = double(after.Bytes - before.Bytes) / updates;
    state.counters["writes_per_update"] = double(after.Calls - before.Calls) / updates;
    state.counters["user_us_per_update"] = (after.UserSeconds - before.UserSeconds) * 1e6 / updates;
}

}  // namespace

// Exclusive (2) and shared (0) opens.
BENCHMARK(AppendWithSixTags)
        ->ArgsProduct({{1000, 10000, 100000}, {2, 0}})
        ->ArgNames({"records", "mode"})
        ->Unit(benchmark::kMillisecond);
BENCHMARK(UpdateWithSixTags)
        ->ArgsProduct({{1000, 10000}, {2, 0}})
        ->ArgNames({"records", "mode"})
        ->Unit(benchmark::kMillisecond);
