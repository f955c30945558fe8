// Compound index speed at 1k, 10k and 100k keys: bulk build, insert per key,
// seeks and ordered scans, on a file in the temporary directory. Keys are a
// 40-byte name like TOTTRANS's PAYEE tag.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "platform/xbengine/cdx/cdxcursor.h"
#include "platform/xbengine/cdx/cdxindexfile.h"
#include "tests/support/tempdir.h"

namespace {

constexpr int KeyLength = 40;

String Path()
{
    static const TempDir dir("cdx-bench");
    return dir / "BENCH.CDX";
}

String Name(std::mt19937& random)
{
    static const char* const words[] = {"SMITH", "JONES",  "ACME", "SUPPLY",
                                        "BROWN", "OFFICE", "CITY", "WATER"};
    String name = words[random() % 8];
    name += ' ';
    name += words[random() % 8];
    name += ' ';
    name += std::to_string(random() % 100000);
    return CdxCharacterKey(name, KeyLength);
}

std::vector<CdxKeyEntry> Entries(std::size_t count, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<CdxKeyEntry> entries;
    for (std::uint32_t recNo = 1; recNo <= count; ++recNo)
        entries.push_back({Name(random), recNo});
    return entries;
}

struct Fixture {
    explicit Fixture(std::size_t count)
        : File(CdxIndexFile::Create(std::make_unique<CdxFileStore>(Path(), CdxFileStore::Mode::Create))),
          Tag(File->CreateTag({"PAYEE", "PAYEE", "", CdxKeyType::Character, KeyLength, false, false, false}))
    {
        if (count)
            Tag.Build(Entries(count, 1));
    }
    ~Fixture() { std::filesystem::remove(Path()); }
    std::unique_ptr<CdxIndexFile> File;
    CdxTag& Tag;
};

void BulkBuild(benchmark::State& state)
{
    const auto entries = Entries(std::size_t(state.range(0)), 1);
    Fixture fixture(0);
    for (auto _ : state)
        fixture.Tag.Build(entries);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void InsertPerKey(benchmark::State& state)
{
    Fixture fixture(std::size_t(state.range(0)));
    std::mt19937 random(2);
    std::uint32_t recNo = std::uint32_t(state.range(0));
    for (auto _ : state)
        fixture.Tag.Insert(Name(random), ++recNo);
    state.SetItemsProcessed(state.iterations());
}

void Seek(benchmark::State& state)
{
    Fixture fixture(std::size_t(state.range(0)));
    const auto probes = Entries(1000, 1);
    CdxCursor cursor(fixture.Tag);
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(cursor.Seek(probes[i++ % probes.size()].Key.substr(0, 12)));
    state.SetItemsProcessed(state.iterations());
}

void OrderedScan(benchmark::State& state)
{
    Fixture fixture(std::size_t(state.range(0)));
    CdxCursor cursor(fixture.Tag);
    for (auto _ : state)
        for (bool more = cursor.First(); more; more = cursor.Next())
            benchmark::DoNotOptimize(cursor.RecNo());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BulkBuild)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(InsertPerKey)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Seek)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(OrderedScan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
