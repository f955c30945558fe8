// Mutates the pages of a small valid index from a fixed seed and uses every
// tag of each result. A damaged file may raise the corrupt-index error and
// nothing else: no crash, no other exception, no endless walk, no growth of
// the file beyond what the round's writes store. Run under the sanitizers in CI.

#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/xbengine/cdx/cdxcursor.h"
#include "platform/xbengine/cdx/cdxerror.h"
#include "tests/xbengine/cdx/cdxsample.h"

namespace {

constexpr int DefaultRounds = 3000;
constexpr std::uint32_t StepLimit = 100000;
// A round's inserts, deletes and rebuilds need far fewer new pages than this.
constexpr std::uint64_t GrowthCap = 256 * CdxPageSize;

// Walks a tag one way; false when the walk does not end.
bool Walk(CdxTag& tag, bool forward)
{
    CdxCursor cursor(tag);
    std::uint32_t steps = 0;
    for (bool more = forward ? cursor.First() : cursor.Last(); more;
         more = forward ? cursor.Next() : cursor.Prev())
        if (++steps > StepLimit)
            return false;
    return true;
}

enum class Outcome { Done, EndlessWalk, Grown };

Outcome Exercise(std::vector<Byte> bytes, std::mt19937& random)
{
    const std::uint64_t start = bytes.size();
    auto file = CdxOpenSample(std::move(bytes));
    for (CdxTag* tag : file->Tags()) {
        const std::size_t length = std::size_t(tag->KeyLength());
        tag->Count();
        if (!Walk(*tag, true) || !Walk(*tag, false))
            return Outcome::EndlessWalk;
        CdxCursor cursor(*tag);
        cursor.Seek(String(length, char(random())));
        if (cursor.Valid())
            cursor.Position();
        cursor.GoToPosition(random() % 500);
        for (int i = 0; i < 20; ++i) {
            String key(length, char('0' + random() % 10));
            tag->Insert(key, random() % 1000);
            tag->Delete(key, random() % 1000);
        }
        if (random() % 8 == 0)
            tag->Build({{String(length, 'Q'), 1}, {String(length, 'R'), 2}});
        if (!Walk(*tag, true))
            return Outcome::EndlessWalk;
    }
    return file->Store().Length() > start + GrowthCap ? Outcome::Grown : Outcome::Done;
}

}  // namespace

// An optional argument gives the number of rounds and the seed, for longer runs by hand.
int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : DefaultRounds;
    const std::vector<Byte> sample = CdxSampleBytes();
    std::mt19937 random(argc > 2 ? std::uint32_t(std::atol(argv[2])) : 1210);
    int corrupt = 0;
    for (int round = 0; round < rounds; ++round) {
        std::vector<Byte> bytes = sample;
        // A few bytes changed, mostly in the page headers where links and counts live.
        int changes = 1 + int(random() % 6);
        for (int i = 0; i < changes; ++i) {
            std::size_t page = random() % (bytes.size() / CdxPageSize);
            std::size_t at = page * CdxPageSize + (random() % 2 ? random() % 32 : random() % CdxPageSize);
            bytes[at] = random() % 3 ? Byte(random()) : Byte(bytes[at] ^ (1u << (random() % 8)));
        }
        if (random() % 50 == 0)
            bytes.resize(random() % bytes.size());
        try {
            Outcome outcome = Exercise(std::move(bytes), random);
            if (outcome != Outcome::Done) {
                std::fprintf(stderr, "round %d: %s\n", round,
                             outcome == Outcome::Grown ? "the file grew past the cap" : "a walk did not end");
                return 1;
            }
        } catch (const ECdxCorrupt&) {
            ++corrupt;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "round %d: unexpected error: %s\n", round, e.what());
            return 1;
        }
    }
    std::printf("%d rounds, %d reported as corrupt\n", rounds, corrupt);
    return 0;
}
