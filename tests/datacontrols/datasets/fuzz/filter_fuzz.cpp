// Mutates filter texts from a fixed seed and installs each one on a library table
// over a real DBF file made by the engine: a text that installs must keep only
// records it accepts, and one that does not must say why and leave the filter in
// force as it was (the same records, the same handle). What compiles is also
// damaged in a few bytes and loaded and evaluated. Any crash, hang, sanitizer
// report or broken rule is a failure; refusals are expected.
// Usage: dwfilter_fuzz [iterations]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

#include "datacontrols/datasets/dwfilter.h"
#include "datacontrols/datasets/dwfiltereval.h"
#include "datacontrols/datasets/dwfilterinstall.h"
#include "datacontrols/datasets/wwtable.h"
#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "tables/xbe50.h"
#include "tests/support/tempdir.h"

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

String Mutate(String text, std::mt19937& rng)
{
    auto pick = [&](size_t n) {
        return n == 0 ? size_t {0} : std::uniform_int_distribution<size_t>(0, n - 1)(rng);
    };
    const int steps = 1 + static_cast<int>(pick(3));
    for (int s = 0; s < steps; ++s) {
        const size_t at = pick(text.size() + 1);
        switch (pick(5)) {
        case 0:
            if (!text.empty())
                text[pick(text.size())] = static_cast<char>(pick(256));
            break;
        case 1: text.insert(at, kPieces[pick(std::size(kPieces))]); break;
        case 2:
            if (at < text.size())
                text.erase(at, 1 + pick(std::min<size_t>(8, text.size() - at)));
            break;
        case 3: text.insert(at, " AND " + String(kSeeds[pick(std::size(kSeeds))])); break;
        default: text.insert(at, String(1 + pick(40), "(()\""[pick(4)])); break;
        }
        if (text.size() > 2048)
            text.resize(2048);
    }
    return text;
}

// The fuzzed table FUZZ, made in dir, which is returned: one field of each kind a DBF
// gives a filter, and rows with blank, extreme and high-byte values.
String MakeTable(const String& dir)
{
    TDaroruTable maker(nullptr);
    maker.CreateNew(dir + "FUZZ", 2, 8);
    const struct {
        const char *Name, *Type;
        int Width, Decimals;
    } fields[] = {{"ID", "C", 2, 0},  {"CITY", "C", 20, 0}, {"STATE", "C", 2, 0}, {"AMOUNT", "N", 10, 2},
                  {"QTY", "N", 4, 0}, {"PAID", "L", 1, 0},  {"DUE", "D", 8, 0},   {"NOTES", "M", 10, 0}};
    for (const auto& f : fields)
        maker.CreateField(f.Name, f.Type, SmallInt(f.Width), SmallInt(f.Decimals));
    maker.CreateExec();
    maker.SetDatabaseName(dir);
    maker.SetTableName("FUZZ");
    maker.Open();
    const std::vector<std::vector<String>> rows = {
            {"1", "BOSTON", "MA", "150.5", "3", "T", "03/15/2024", "memo"},
            {"2", "", "", "", "", "", "", ""},
            {"3", "\xFF\x80", "NY", "-1", "-999", "F", "12/31/1899", ""},
            {"4", "Salem", "NY", "99999.99", "9999", "T", "01/01/2100", "x"}};
    for (const auto& row : rows) {
        maker.Append();
        for (size_t i = 0; i < row.size(); ++i)
            if (!row[i].empty())
                maker.Fields()[int(i)]->SetAsString(row[i]);
        maker.Post();
    }
    maker.Close();
    return dir;
}

std::vector<String> Ids(TdwTable& Table)
{
    std::vector<String> ids;
    for (Table.First(); !Table.Eof(); Table.Next())
        ids.push_back(Table.FieldByName("ID")->AsString());
    return ids;
}

bool Broken(const char* Rule, const String& Text)
{
    std::fprintf(stderr, "%s: \"%s\"\n", Rule, Text.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const long iterations = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20000;
    TScriptedDialogs dialogs;
    ShortDateFormat = "mm/dd/yyyy";
    DateSeparator = '/';
    LoadDLL();
    const TempDir scratch("dwfilter-fuzz");
    const String dir = MakeTable(scratch.Path());
    bool broken = false;
    long compiled = 0, installed = 0, refused = 0, evaluated = 0;
    {
        TdwTable table(nullptr);
        table.SetDatabaseName(dir);
        table.SetTableName("FUZZ");
        table.Open();
        const std::vector<String> all = Ids(table);
        TdwFilterHandle handle = 0;
        std::mt19937 rng(20261211);
        std::vector<String> pool(std::begin(kSeeds), std::end(kSeeds));
        for (long i = 0; i < iterations && !broken; ++i) {
            const String text =
                    Mutate(pool[std::uniform_int_distribution<size_t>(0, pool.size() - 1)(rng)], rng);
            dialogs.Messages.clear();
            const std::vector<String> before = Ids(table);
            const TdwFilterHandle handleBefore = handle;
            if (!dwFilterInstall(text, &table, handle, false)) {
                ++refused;
                if (handle != handleBefore)
                    broken = Broken("a refused text changed the filter handle", text);
                if (Ids(table) != before)
                    broken = Broken("a refused text changed the records shown", text);
                if (dialogs.Messages.empty())
                    broken = Broken("a refused text said nothing", text);
                continue;
            }
            ++installed;
            const std::vector<String> shown = Ids(table);
            if (!std::includes(all.begin(), all.end(), shown.begin(), shown.end()))
                broken = Broken("an installed filter showed records the table does not hold", text);
            TdwFilterBlob blob = dwFilterCompile(text, &table);
            if (blob.empty())
                continue;
            ++compiled;
            if (pool.size() < 400)
                pool.push_back(text);
            for (int b = 0; b < 3; ++b)
                blob[std::uniform_int_distribution<size_t>(0, blob.size() - 1)(rng)] = std::uint8_t(rng());
            try {
                const TdwFilterPredicate predicate(blob, &table);
                for (table.First(); !table.Eof(); table.Next()) {
                    predicate.Accepts();
                    ++evaluated;
                }
            } catch (const Exception&) {
            }
        }
    }
    std::printf("%ld texts, %ld installed, %ld refused, %ld damaged blobs evaluated on %ld records\n",
                iterations, installed, refused, compiled, evaluated);
    return broken || installed == 0 || refused == 0 ? 1 : 0;
}
