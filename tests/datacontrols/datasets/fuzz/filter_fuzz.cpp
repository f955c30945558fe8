// Mutates filter texts from a fixed seed, compiles each one and evaluates what
// compiles over every record; damages compiled blobs and loads and evaluates them.
// Any crash, hang or sanitizer report is a failure; refusals are expected.
// Usage: dwfilter_fuzz [iterations]

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "datacontrols/datasets/dwfilter.h"
#include "datacontrols/datasets/dwfiltereval.h"
#include "platform/rtl/exceptions.h"
#include "platform/vcl/scripteddialogs.h"
#include "tests/db/memdataset.h"

namespace {

const char* const kSeeds[] = {
        "CITY = \"BOSTON\"",
        "AMOUNT > 100 AND STATE = \"NY\"",
        "(QTY) - (1) >= (COUNT)",
        "QTY = 1 OR AMOUNT = 2.5 AND PAID = T",
        "DUE < \"03/15/2024\" or PAID = \"false\"",
        "((AMOUNT) * (2) / (4)) <> (QTY)",
        "(CITY) + \"x\" = (STATE)",
        "NOTES = \"memo\"",
};

const char* const kPieces[] = {"(",    ")",     "\"",   "=",     "<>",    "<=",          ">=",     "<",
                               ">",    "==",    "AND",  "OR",    " and ", " or ",        "+",      "-",
                               "*",    "/",     "CITY", "STATE", "QTY",   "PAID",        "AMOUNT", "COUNT",
                               "DUE",  "NOTES", "T",    "1.5",   "-1",    "99999999999", "\t",     " ",
                               "\xFF", "\x92",  "`",    "@#$!",  "\"\"",  "1/2/3"};

String Mutate(String text, std::mt19937& rng) {
    auto pick = [&](size_t n) {
        return n == 0 ? size_t {0} : std::uniform_int_distribution<size_t>(0, n - 1)(rng);
    };
    const int steps = 1 + static_cast<int>(pick(3));
    for (int s = 0; s < steps; ++s) {
        const size_t at = pick(text.size() + 1);
        switch (pick(5)) {
        case 0:
            if (!text.empty()) text[pick(text.size())] = static_cast<char>(pick(256));
            break;
        case 1: text.insert(at, kPieces[pick(std::size(kPieces))]); break;
        case 2:
            if (at < text.size()) text.erase(at, 1 + pick(std::min<size_t>(8, text.size() - at)));
            break;
        case 3: text.insert(at, " AND " + String(kSeeds[pick(std::size(kSeeds))])); break;
        default: text.insert(at, String(1 + pick(40), "(()\""[pick(4)])); break;
        }
        if (text.size() > 2048) text.resize(2048);
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const long iterations = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20000;
    TScriptedDialogs dialogs;
    TMemDataSet data(nullptr, {{"CITY", ftString, 20},
                               {"STATE", ftString, 2},
                               {"AMOUNT", ftFloat},
                               {"QTY", ftSmallint},
                               {"COUNT", ftInteger},
                               {"PAID", ftBoolean},
                               {"DUE", ftDate},
                               {"NOTES", ftMemo}});
    data.Open();
    data.AddRows({{"BOSTON", "MA", "150.5", "3", "70000", "True", "03/15/2024", "memo"},
                  {"", "", "", "", "", "", "", ""},
                  {"\xFF\x80", "NY", "-1", "-32768", "-1", "False", "12/31/1899", ""}});
    data.Refresh();

    std::mt19937 rng(20261211);
    std::vector<String> pool(std::begin(kSeeds), std::end(kSeeds));
    long compiled = 0, evaluated = 0;
    for (long i = 0; i < iterations; ++i) {
        const String text = Mutate(pool[std::uniform_int_distribution<size_t>(0, pool.size() - 1)(rng)], rng);
        dialogs.Messages.clear();
        TdwFilterBlob blob;
        try {
            blob = dwFilterCompile(text, &data);
        } catch (const EConvertError&) {
            continue;
        }
        if (blob.empty()) continue;
        ++compiled;
        if (pool.size() < 400) pool.push_back(text);
        // The blob as compiled, then damaged in a few bytes.
        for (int damage = 0; damage < 2; ++damage) {
            if (damage == 1)
                for (int b = 0; b < 3; ++b)
                    blob[std::uniform_int_distribution<size_t>(0, blob.size() - 1)(rng)] =
                            static_cast<std::uint8_t>(rng());
            try {
                const TdwFilterPredicate predicate(blob, &data);
                for (data.First(); !data.Eof(); data.Next()) {
                    predicate.Accepts();
                    ++evaluated;
                }
            } catch (const Exception&) { }
        }
    }
    std::printf("%ld texts, %ld compiled, %ld evaluations\n", iterations, compiled, evaluated);
    return compiled > 0 ? 0 : 1;
}
