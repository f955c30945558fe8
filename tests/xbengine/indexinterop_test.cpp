// Index files the engine writes, read by another xBase reader: every tag
// holds the keys of our own traversal, in the same order.

#include <random>

#include "tests/xbengine/enginetest.h"
#include "tests/xbengine/indexdump.h"

namespace {

// The day number of a "YYYYMMDD" date, as the index stores it.
double DayNumber(const std::string& dtos)
{
    int y = std::stoi(dtos.substr(0, 4)), m = std::stoi(dtos.substr(4, 2)), d = std::stoi(dtos.substr(6, 2));
    int a = (14 - m) / 12, year = y + 4800 - a, month = m + 12 * a - 3;
    return d + (153 * month + 2) / 5 + 365 * year + year / 4 - year / 100 + year / 400 - 32045;
}

std::string Trimmed(const std::string& text)
{
    std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

class IndexInterop : public EngineTest { };

TEST_F(IndexInterop, AnotherReaderSeesTheKeysOfEveryTagInOurOrder)
{
    const std::string table = Dir + "LEDGER.DBF";
    Create(table, {{"NAME", "C", 12, 0}, {"AMOUNT", "N", 9, 2}, {"DATE", "D", 8, 0}});
    struct TagCase {
        const char* Tag;
        const char* Key;
        const char* For;
        const char* DumpType;
    };
    // PLAIN, AMOUNT and DATE are over one field alone: their keys are read
    // from the record without evaluating an expression, the others' are not.
    const TagCase tags[] = {{"NAME", "UPPER(NAME)", "", "char"},
                            {"PLAIN", "NAME", "", "char"},
                            {"AMOUNT", "AMOUNT", "", "num"},
                            {"DATE", "DATE", "", "num"},
                            {"LIVE", "NAME", ".NOT.DELETED()", "char"}};
    for (const TagCase& tag : tags)
        ASSERT_GT(E.xb_IndexTag("", tag.Tag, tag.Key, 0, 0, tag.For), 0)
                << tag.Tag << ": " << E.xbx_LastErrorText();

    // Enough records for several levels of pages, changed before and after a pack.
    std::mt19937 random(11);
    auto appendSome = [&](int count) {
        for (int i = 0; i < count; ++i)
            AppendTexts({{"NAME", (random() % 2 ? "n" : "N") + std::to_string(random() % 500)},
                         {"AMOUNT", std::to_string((int(random() % 2000001) - 1000000) / 100.0)},
                         {"DATE", std::to_string(19900101 + int(random() % 35) * 10000 +
                                                 int(random() % 12) * 100 + int(random() % 28))}});
    };
    auto changeSome = [&](int count) {
        for (int i = 0; i < count; ++i) {
            E.xb_Go(XBLONG(1 + random() % E.xb_RecCount()));
            if (random() % 3 == 0) {
                E.xb_Delete();
                continue;
            }
            ASSERT_NE(E.xb_Replace("NAME", 1024, ("R" + std::to_string(random() % 700)).c_str()), 0);
            ASSERT_NE(E.xb_Replace("AMOUNT", 1024, std::to_string(int(random() % 5000) / 10.0).c_str()), 0);
        }
    };
    appendSome(900);
    changeSome(300);
    ASSERT_NE(E.xb_Pack(), 0) << E.xbx_LastErrorText();
    appendSome(300);
    changeSome(200);
    E.xb_Close();

    ASSERT_GT(E.xb_Use(table.c_str(), "", 2, 2), 0) << E.xbx_LastErrorText();
    std::size_t deleted = 0;
    for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1))
        deleted += E.xb_Deleted() ? 1 : 0;
    ASSERT_GT(deleted, 0u);
    for (const TagCase& tag : tags) {
        SCOPED_TRACE(tag.Tag);
        XBSHORT order = E.xb_TagArea(tag.Tag);
        ASSERT_GT(order, 0);
        E.xb_SetOrder(order);
        IndexDumpLines ours;
        for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1))
            ours.emplace_back(E.xb_KeyData(), std::uint32_t(E.xb_RecNo()));
        IndexDumpLines theirs = IndexDump(Dir + "LEDGER.CDX", tag.Tag, tag.DumpType);
        // The conditional tag leaves the deleted records out.
        ASSERT_EQ(ours.size(), std::size_t(E.xb_RecCount()) - (*tag.For ? deleted : 0));
        ASSERT_EQ(theirs.size(), ours.size());
        for (std::size_t i = 0; i < ours.size(); ++i) {
            ASSERT_EQ(theirs[i].second, ours[i].second) << "entry " << i;
            const std::string& key = ours[i].first;
            if (std::string(tag.DumpType) == "char")
                ASSERT_EQ(theirs[i].first, Trimmed(key)) << "entry " << i;
            else if (std::string(tag.Tag) == "DATE")
                ASSERT_EQ(DumpNumber(theirs[i].first), DayNumber(key)) << "entry " << i;
            else
                ASSERT_EQ(DumpNumber(theirs[i].first), DumpNumber(Trimmed(key))) << "entry " << i;
        }
    }
}

}  // namespace
