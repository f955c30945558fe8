// Mutates expression texts from a fixed seed and compiles and evaluates each
// one. Any crash, hang or sanitizer report is a failure; refusals are expected.
// Usage: xbexpr_fuzz [iterations]

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "platform/xbengine/expr/datetext.h"
#include "platform/xbengine/expr/expression.h"
#include "tests/xbengine/expr/memorytable.h"

using namespace xbexpr;

namespace {

const char* const kSeeds[] = {
        "EMP_ID='A1'",
        "UPPER(NAME1)=\"SMITH                         \"",
        "(LEFT( DTOS(DATE), 4) = \"2024\") .and. (NUMBER=17)",
        "STR(ACCNO,10,2)+DTOS(DATE)",
        ".NOT.DELETED() .AND. PAID= .T.",
        "IIF(NUMBER > 0, ACCNO / NUMBER, -1) ** 2 % 7",
        "SUBSTR(NAME1, AT('m', NAME1), 3) $ [Smith] .OR. LAST - ID == 'x'",
        "CTOD(DTOC(DATE)) + 30 - DATE()",
        "PADL(ALLTRIM(STR(RECNO())), 8, '0') + REPLICATE('-', 3) + SPACE(2)",
        "ROUND(VAL(ID), -1) + INT(ABS(-2.5)) + YEAR(DATE) + MONTH(DATE) + DAY(DATE) + LEN(COMMENTS)",
        "DESCEND(LOWER(RTRIM(LTRIM(TRIM(NAME1))))) < CHR(ASC('A')) .AND. !EMPTY(CLIENT->NAME1)",
        "STRZERO(NUMBER, 6) <> RIGHT(PADR(EMP_ID, 10), 2) # 'x' != 'y'",
};

// Pieces that make mutations reach deeper than random bytes would.
const char* const kPieces[] = {
        "(",       ")",     ",",          "'",      "\"",    "[",        "]",        ".T.",    ".F.",
        ".AND.",   ".OR.",  ".NOT.",      "!",      "->",    "+",        "-",        "*",      "/",
        "%",       "^",     "**",         "=",      "==",    "<>",       "#",        "$",      "<",
        ">=",      "NAME1", "NUMBER",     "DATE",   "PAID",  "COMMENTS", "CLIENT->", "UPPER(", "STR(",
        "SUBSTR(", "IIF(",  "REPLICATE(", "SPACE(", "CTOD(", "DTOS(",    "0",        "1",      "99999999",
        ".5",      "-1",    "1e308",      "\0",     "\xFF",
};

String Mutate(String text, std::mt19937& rng)
{
    auto pick = [&](size_t n) {
        return n == 0 ? size_t {0} : std::uniform_int_distribution<size_t>(0, n - 1)(rng);
    };
    const int steps = 1 + static_cast<int>(pick(2));
    for (int s = 0; s < steps; ++s) {
        const size_t at = pick(text.size() + 1);
        switch (pick(6)) {
        case 0:
            if (!text.empty())
                text[pick(text.size())] = static_cast<char>(pick(256));
            break;
        case 1: {
            const char* piece = kPieces[pick(std::size(kPieces))];
            text.insert(at, piece, piece[0] == '\0' ? 1 : std::char_traits<char>::length(piece));
            break;
        }
        case 2:
            if (at < text.size())
                text.erase(at, 1 + pick(std::min<size_t>(8, text.size() - at)));
            break;
        case 3:
            if (at < text.size())
                text.insert(at, text.substr(at, 1 + pick(text.size() - at)));
            break;
        case 4: text.insert(at, kSeeds[pick(std::size(kSeeds))]); break;
        default: text.insert(at, String(1 + pick(300), "(()-!"[pick(5)])); break;
        }
        if (text.size() > 4096)
            text.resize(4096);
    }
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    const long iterations = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20000;
    MemoryTable table({{"ID", 'C', 8},
                       {"NAME1", 'C', 30},
                       {"LAST", 'C', 20},
                       {"ACCNO", 'N', 10, 2},
                       {"DATE", 'D', 8},
                       {"PAID", 'L', 1},
                       {"NUMBER", 'N', 6},
                       {"COMMENTS", 'M', 10},
                       {"EMP_ID", 'C', 8}});
    MemoryTable client({{"NAME1", 'C', 30}});
    client.Append({"Acme"});
    table.AddAlias("CLIENT", &client);
    table.today = JulianDay(2026, 12, 10);
    table.Append({"A1", "Smith", "Jones", "1234.50", "20240315", "T", "17", "memo", "A10"});
    table.Append({"", "", "", "", "", "", "", "", ""}, true);
    table.Append({"\xFF\x01", "*****", "x", "**********", "9999x231", "?", "-", "", "\x80"});

    std::mt19937 rng(20261210);
    // Texts that compiled are mutated further, so that mutations reach the evaluator.
    std::vector<String> pool(std::begin(kSeeds), std::end(kSeeds));
    long compiled = 0;
    for (long i = 0; i < iterations; ++i) {
        const size_t from = (i & 4) ? pool.size() : std::size(kSeeds);
        String text = Mutate(pool[std::uniform_int_distribution<size_t>(0, from - 1)(rng)], rng);
        table.settings.Exact = (i & 1) != 0;
        table.settings.Century = (i & 2) != 0;
        table.settings.DateFormat = static_cast<int>(i % 8);
        const auto expression = Expression::Compile(text, table);
        if (!expression)
            continue;
        ++compiled;
        if (pool.size() < 512)
            pool.push_back(text);
        else
            pool[std::uniform_int_distribution<size_t>(0, pool.size() - 1)(rng)] = text;
        for (std::int32_t rec = 1; rec <= table.Count(); ++rec) {
            table.Go(rec);
            Value value;
            expression->Evaluate(table, value);
            expression->EvaluateKey(table, value);
            expression->EvaluateText(table);
            expression->EvaluateLogical(table);
        }
    }
    std::printf("%ld texts, %ld compiled\n", iterations, compiled);
    return 0;
}
