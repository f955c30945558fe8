// Feeds the PCL renderer random bytes, damaged form pages and cut-off jobs,
// mutated with a fixed seed, checks that every page it records stays on its
// sheet and paints some of them. Any crash, hang or out-of-bounds access fails
// the run (under the sanitizers in CI). Argument: the number of rounds.

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/pcl/interpreter.h"
#include "platform/pcl/pagepainter.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/qt/qapp.h"
#include "tests/support/pclfixture.h"

namespace {

using pcltest::Esc;
using namespace std::string_literals;

// Pieces of the language that random splicing mixes in, so that the parser
// meets real commands with wrong values far more often than pure noise gives.
const std::vector<std::string> Fragments = {
        Esc("E"),
        Esc("&a"),
        Esc("*p"),
        Esc("*c"),
        Esc("(s"),
        Esc(")s"),
        Esc("*b"),
        Esc("*r"),
        Esc("*t"),
        Esc("&f0X"),
        Esc("&f1X"),
        Esc("%-12345X"),
        Esc("%1B"),
        Esc("%0A"),
        Esc("&l0E"),
        Esc("&u7200D"),
        "32767",
        "-32767",
        "0.00005",
        "W",
        "X",
        "Y",
        "r",
        "C",
        "\f",
        "\r\n",
        "@PJL\n",
        Esc("*b3M"),
        Esc("*b2M"),
        Esc("*r1A"),
        Esc("*b32767W"),
        Esc("(s64W"),
        Esc(")s64W"),
        Esc("*c5F"),
        Esc("(1X"),
        Esc("&p100X"),
};

std::string Mutate(std::string bytes, std::mt19937& random)
{
    const int edits = 1 + int(random() % 8);
    for (int i = 0; i < edits; ++i) {
        const std::size_t at = bytes.empty() ? 0 : random() % bytes.size();
        switch (random() % 6) {
        case 0:
            if (!bytes.empty())
                bytes[at] = char(random());
            break;
        case 1:
            if (!bytes.empty())
                bytes[at] = char(bytes[at] ^ (1 << (random() % 8)));
            break;
        case 2: bytes.insert(at, Fragments[random() % Fragments.size()]); break;
        case 3:
            if (!bytes.empty())
                bytes.erase(at, 1 + random() % 16);
            break;
        case 4:
            bytes.resize(at);  // cut off
            break;
        default: bytes.insert(at, 1, '\x1b'); break;
        }
    }
    return bytes;
}

std::string Noise(std::mt19937& random)
{
    std::string bytes(random() % 4096, '\0');
    for (char& b : bytes)
        b = char(random() % 3 == 0 ? 0x1B : random());
    return bytes;
}

bool Within(long long v, long long low, long long high) { return v >= low && v <= high; }

void Check(const std::vector<pcl::Page>& pages, const std::string& input)
{
    bool ok = pages.size() <= pcl::MaxPages;
    for (const pcl::Page& page : pages) {
        for (const pcl::Rule& r : page.Rules)
            ok = ok && r.Width > 0 && r.Height > 0 && Within(r.X, 0, page.Width) &&
                 Within(r.X + r.Width, 0, page.Width) && Within(r.Y, 0, page.Height) &&
                 Within(r.Y + r.Height, 0, page.Height);
        for (const pcl::GlyphRun& run : page.Runs)
            ok = ok && !run.Text.empty() && Within(run.X, 0, page.Width) && Within(run.Y, 0, page.Height);
        for (const pcl::Mark& m : page.Order) {
            const std::size_t size = m.Type == pcl::Mark::Kind::Rule   ? page.Rules.size()
                                     : m.Type == pcl::Mark::Kind::Text ? page.Runs.size()
                                                                       : page.Rasters.size();
            ok = ok && m.Index < size;
        }
    }
    if (!ok) {
        std::fprintf(stderr, "a page left its sheet for an input of %zu bytes\n", input.size());
        std::abort();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 1000;
    EnsureQApplication();
    std::mt19937 random(20081231);
    const std::vector<std::string> seeds = {pcltest::SampleFormPage(), pcltest::SampleOverlay(),
                                            Esc("*t300R") + Esc("*r1A") + Esc("*b2M") + Esc("*b4W") +
                                                    "\xFE\x33\x00\x80"s + Esc("*b3M") + Esc("*b2W") +
                                                    "\x01\x44" + Esc("*rB")};
    for (int round = 0; round < rounds; ++round) {
        const std::string input =
                round % 4 == 0 ? Noise(random) : Mutate(seeds[random() % seeds.size()], random);
        const auto pages = pcl::Interpret(input);
        Check(pages, input);
        if (round % 16 == 0)
            for (const pcl::Page& page : pages)
                pcl::RenderPage(page, 12);
    }
    std::printf("%d rounds\n", rounds);
    return 0;
}
