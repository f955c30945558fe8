// Finding a recipient by name in a table of 1k, 10k and 100k records: record finding
// (dwLocateRecord) and the lookup combo's search of its typed text, each with an index
// on the name active (a key search) and without one (a scan). Each iteration looks up
// the next of 64 names spread through the file; reports searches per second.

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/benchtable.h"
#include "datacontrols/common/dwlocate.h"
#include "datacontrols/datasets/wwtable.h"
#include "datacontrols/lookup/dwdblook.h"
#include "platform/classes/object.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/forms.h"
#include "tables/drodset.h"
#include "tables/xbe50.h"

namespace {

// Before the window system starts: no display is needed.
[[maybe_unused]] const bool kOffscreen = setenv("QT_QPA_PLATFORM", "offscreen", 0) == 0;

std::string NameOf(int Index)
{
    char name[24];
    std::snprintf(name, sizeof name, "RECIPIENT %07d", Index);
    return name;
}

// RECIPS.DBF of Records recipients in a scratch directory of its own, in a shuffled
// order, with a tag on NAME; made once.
const std::string& TableDir(int Records)
{
    static std::map<int, std::string> made;
    std::string& dir = made[Records];
    if (!dir.empty())
        return dir;
    dir = ScratchDir("lookup-bench");
    std::vector<int> order(static_cast<size_t>(Records));
    for (int i = 0; i < Records; ++i)
        order[static_cast<size_t>(i)] = i + 1;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    std::vector<std::string> images;
    char image[40];
    for (const int i : order) {
        std::snprintf(image, sizeof image, " R%07d%-20s", i, NameOf(i).c_str());
        images.push_back(image);
    }
    MakeBenchTable(dir + "RECIPS.DBF", {{"ID", "C", 8, 0}, {"NAME", "C", 20, 0}}, images, "NAME");
    return dir;
}

// 64 names spread over the table, the same each run.
std::vector<String> Wanted(int Records)
{
    std::mt19937 random(11);
    std::vector<String> names;
    for (int i = 0; i < 64; ++i)
        names.push_back(NameOf(1 + static_cast<int>(random() % Records)));
    return names;
}

void OpenRecipients(TdwTable& Table, int Records, bool Indexed)
{
    Table.SetDatabaseName(TableDir(Records));
    Table.SetTableName("RECIPS");
    Table.SetIndexName(Indexed ? "NAME" : "");
    Table.Open();
}

void Report(benchmark::State& state, int Found)
{
    state.counters["found"] = double(Found);
    state.counters["searches_per_second"] =
            benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}

void LocateRecord(benchmark::State& state, bool Indexed)
{
    const int records = int(state.range(0));
    TdwTable table(nullptr);
    OpenRecipients(table, records, Indexed);
    const std::vector<String> names = Wanted(records);
    size_t next = 0;
    int found = 0;
    for (auto _ : state) {
        found += dwLocateRecord(dwMatchWhole, &table, "NAME", true, false, names[next++ % names.size()]);
    }
    Report(state, found);
}

void ComboSearch(benchmark::State& state, bool Indexed)
{
    const int records = int(state.range(0));
    TdwTable table(nullptr);
    OpenRecipients(table, records, Indexed);
    auto* form = Construct<TForm>(nullptr);
    auto* combo = new TdwDBCustomLookupCombo(form);
    combo->SetParent(form);
    combo->Selected()->Add("NAME\t20\tName");
    combo->SetLookupTable(&table);
    combo->SetLookupField("ID");
    const std::vector<String> names = Wanted(records);
    size_t next = 0;
    int found = 0;
    for (auto _ : state) {
        combo->SetText(names[next++ % names.size()]);
        combo->PerformSearch();
        found += combo->MatchFound();
    }
    Report(state, found);
    form->Free();
}

void LocateRecordIndexed(benchmark::State& state) { LocateRecord(state, true); }
void LocateRecordScan(benchmark::State& state) { LocateRecord(state, false); }
void ComboSearchIndexed(benchmark::State& state) { ComboSearch(state, true); }
void ComboSearchScan(benchmark::State& state) { ComboSearch(state, false); }

BENCHMARK(LocateRecordIndexed)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(LocateRecordScan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ComboSearchIndexed)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(ComboSearchScan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
