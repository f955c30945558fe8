// Index orders over engine tables: tags built from the records and kept up
// to date by every write, ordered navigation with scopes and queries, seeks,
// and indexes that do not read.

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <tuple>

#include "tests/xbengine/enginetest.h"

namespace {

class Index : public EngineTest {
protected:
    // The visible records of the active order, as met going forward.
    std::vector<int> Sequence() { return VisibleForward(); }
    std::vector<int> ReverseSequence()
    {
        std::vector<int> seen = VisibleBackward();
        std::reverse(seen.begin(), seen.end());
        return seen;
    }
};

// The TOTTRANS layout with its six tags, made as a reindex makes them.
TEST_F(Index, SixTagsBuiltOnAFreshTablePersistAcrossReopen)
{
    const std::string table = Dir + "TOTTRANS.DBF";
    Create(table, {{"ACCNO", "N", 8, 2},
                   {"CATEGORY", "C", 20, 0},
                   {"SUBCAT", "C", 40, 0},
                   {"CHDESCR", "C", 40, 0},
                   {"PAYEE", "C", 40, 0},
                   {"DESCR", "C", 60, 0},
                   {"NOTE1", "C", 40, 0},
                   {"NOTE2", "C", 40, 0},
                   {"DATE", "D", 8, 0},
                   {"NUMBER", "N", 10, 0},
                   {"AMOUNT", "N", 10, 2},
                   {"FWT", "N", 10, 2},
                   {"SWT1", "N", 10, 2},
                   {"STATE_INC1", "N", 10, 2},
                   {"SWT2", "N", 10, 2},
                   {"STATE_INC2", "N", 10, 2},
                   {"EMP_ID", "C", 8, 0}});
    const char* payees[] = {"Water Board", "acme supply", "Acme Supply", "City Office", "Brown & Co"};
    for (int i = 0; i < 40; ++i)
        AppendTexts({{"ACCNO", std::to_string((i * 37) % 13 * 10.5)},
                     {"PAYEE", payees[i % 5]},
                     {"DESCR", "Item " + std::to_string(40 - i)},
                     {"NUMBER", std::to_string((i * 7919) % 1000)},
                     {"EMP_ID", "E" + std::to_string(i % 7)},
                     {"DATE", std::to_string(20240101 + (i * 3) % 28)}});
    const char* tags[] = {"ACCNO", "DESCR", "PAYEE", "NUMBER", "EMP_ID", "DATE"};
    for (int n = 0; n < 6; ++n)
        ASSERT_EQ(E.xb_IndexTag("", tags[n], tags[n], 0, 0, ""), n + 1) << E.xbx_LastErrorText();
    // The last tag made is the active order; the record stays.
    EXPECT_EQ(E.xb_IndexOrd(), 6);
    E.xb_Close();
    EXPECT_EQ(ReadBytes(table)[28] & 0x01, 0x01);

    // Each tag against the records sorted by its field, then by record number.
    auto expected = [&](const char* field) {
        std::vector<std::tuple<std::string, double, int>> rows;
        for (E.xb_SetOrder(0), E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1))
            rows.emplace_back(E.xb_GetTrimString(field),
                              E.xb_EvalNumeric(("VAL(STR(" + std::string(field) + "))").c_str()),
                              E.xb_RecNo());
        bool numeric = std::string(field) == "ACCNO" || std::string(field) == "NUMBER";
        std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
            return numeric ? std::get<1>(a) < std::get<1>(b) : std::get<0>(a) < std::get<0>(b);
        });
        std::vector<int> recnos;
        for (const auto& row : rows)
            recnos.push_back(std::get<2>(row));
        return recnos;
    };
    for (int mode : {2, 0}) {
        SCOPED_TRACE(mode);
        ASSERT_GT(E.xb_Use(table.c_str(), "", XBSHORT(mode), 2), 0);
        EXPECT_EQ(E.xbx_LastError(), 0);
        EXPECT_EQ(E.xb_SysProp(3000, 0), 6);
        EXPECT_EQ(E.xb_IndexOrd(), 0);
        for (int n = 0; n < 6; ++n) {
            SCOPED_TRACE(tags[n]);
            EXPECT_STREQ(E.xb_TagName(XBSHORT(n + 1)), tags[n]);
            EXPECT_EQ(E.xb_TagArea(std::string(tags[n]).c_str()), n + 1);
            std::vector<int> natural = expected(tags[n]);
            ASSERT_EQ(E.xb_SetOrder(XBSHORT(n + 1)), 0);
            EXPECT_STREQ(E.xb_IndexKey(), tags[n]);
            EXPECT_STREQ(E.xb_IndexKeyField(), tags[n]);
            EXPECT_STREQ(E.xb_IndexCondition(), "");
            EXPECT_EQ(E.xb_IndexType(), 1);
            EXPECT_EQ(std::string(E.xb_IndexName(XBSHORT(n + 1))), Dir + "TOTTRANS.CDX");
            EXPECT_EQ(Sequence(), natural);
            EXPECT_EQ(ReverseSequence(), natural);
        }
        EXPECT_EQ(E.xb_TagArea("payee"), 3);
        EXPECT_EQ(E.xb_TagArea("NOSUCH"), 0);
        EXPECT_EQ(E.xbx_LastError(), 0);
        E.xb_Close();
    }

    // Opening the structural index again changes nothing; then a pack.
    ASSERT_GT(E.xb_Use(table.c_str(), "", 2, 2), 0);
    E.xb_SetOrder(3);
    EXPECT_EQ(E.xb_IndexOpen((Dir + "TOTTRANS.CDX").c_str()), 3);
    EXPECT_EQ(E.xb_SysProp(3000, 0), 6);
    for (int rec : {1, 5, 6, 40}) {
        E.xb_Go(rec);
        E.xb_Delete();
    }
    ASSERT_NE(E.xb_Pack(), 0);
    EXPECT_EQ(E.xb_RecCount(), 36);
    for (int n = 1; n <= 6; ++n) {
        E.xb_SetOrder(XBSHORT(n));
        std::vector<int> natural = expected(tags[n - 1]);
        E.xb_SetOrder(XBSHORT(n));
        EXPECT_EQ(Sequence(), natural) << tags[n - 1];
    }
}

// A pack builds the tags from the records themselves: a table another
// program rewrote behind its index comes out of a pack with tags that follow
// the records, not the order the stale index held them in.
TEST_F(Index, APackBuildsTheTagsFromTheRecordsNotFromTheStaleIndex)
{
    const std::string table = Dir + "NAMES.DBF";
    Create(table, {{"NAME", "C", 12, 0}});
    ASSERT_GT(E.xb_IndexTag("", "NAME", "NAME", 0, 0, ""), 0) << E.xbx_LastErrorText();
    ASSERT_GT(E.xb_IndexTag("", "DESC", "NAME", 0, 1, ""), 0) << E.xbx_LastErrorText();
    std::mt19937 random(3);
    constexpr int Records = 600;
    for (int i = 0; i < Records; ++i)
        AppendTexts({{"NAME", "N" + std::to_string(random() % 400)}});
    E.xb_Close();

    // Every name changed in the file alone: the index still holds the old order.
    std::vector<std::string> names(Records);
    {
        std::fstream file(table, std::ios::in | std::ios::out | std::ios::binary);
        unsigned char head[12];
        file.read(reinterpret_cast<char*>(head), sizeof head);
        const long headerLength = head[8] | head[9] << 8, recordLength = head[10] | head[11] << 8;
        for (int i = 0; i < Records; ++i) {
            std::string name = "M" + std::to_string(random() % 400);
            name.resize(12, ' ');
            file.seekp(headerLength + i * recordLength + 1);
            file.write(name.data(), 12);
            names[std::size_t(i)] = name;
        }
    }

    ASSERT_GT(E.xb_Use(table.c_str(), "", 2, 2), 0) << E.xbx_LastErrorText();
    for (int rec : {2, 300, Records}) {
        E.xb_Go(rec);
        E.xb_Delete();
    }
    ASSERT_NE(E.xb_Pack(), 0) << E.xbx_LastErrorText();
    for (int rec : {Records, 300, 2})
        names.erase(names.begin() + (rec - 1));
    std::vector<int> ascending(names.size());
    for (std::size_t i = 0; i < ascending.size(); ++i)
        ascending[i] = int(i) + 1;
    std::stable_sort(ascending.begin(), ascending.end(),
                     [&](int a, int b) { return names[std::size_t(a - 1)] < names[std::size_t(b - 1)]; });
    E.xb_SetOrder(E.xb_TagArea("NAME"));
    EXPECT_EQ(Sequence(), ascending);
    E.xb_SetOrder(E.xb_TagArea("DESC"));
    EXPECT_EQ(ReverseSequence().size(), ascending.size());
    std::vector<int> descending = Sequence();
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(descending, ascending);
}

// A table of names, amounts, dates and flags under a reference model: every
// write through the engine, every tag compared with the model after each step.
TEST_F(Index, TagsFollowRandomWritesAndPacks)
{
    const std::string table = Dir + "PROP.DBF";
    Create(table, {{"NAME", "C", 12, 0}, {"AMOUNT", "N", 9, 2}, {"DATE", "D", 8, 0}, {"FLAG", "L", 1, 0}});
    struct Row {
        std::string Name;
        double Amount;
        int Date;  // yyyymmdd, 0 for empty
        bool Deleted;
    };
    struct Tag {
        const char* Name;
        const char* Key;
        const char* For;
        bool Descending;
    };
    const Tag tags[] = {{"NAME", "UPPER(NAME)", "", false},
                        {"AMOUNT", "AMOUNT", "", false},
                        {"DATE", "DATE", "", true},
                        {"BIG", "NAME", "AMOUNT > 500", false},
                        {"MIXED", "LEFT(NAME,3)+DTOS(DATE)", "", false}};
    for (const Tag& tag : tags)
        ASSERT_GT(E.xb_IndexTag("", tag.Name, tag.Key, 0, tag.Descending, tag.For), 0)
                << E.xbx_LastErrorText();

    std::vector<Row> rows;
    std::mt19937 random(20240607);
    auto name = [&] {
        static const char* const stems[] = {"smith", "Smith", "JONES", "brown", "Ames", "zed", ""};
        std::string text = stems[random() % 7];
        if (random() % 2)
            text += std::to_string(random() % 20);
        return text;
    };
    auto upper = [](std::string s) {
        for (char& c : s)
            c = char(std::toupper(static_cast<unsigned char>(c)));
        return s;
    };
    auto padded = [](std::string s, std::size_t n) {
        s.resize(n, ' ');
        return s;
    };
    auto expected = [&](int tag) {
        std::vector<std::pair<std::string, int>> keyed;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const Row& r = rows[i];
            char amount[32];
            std::snprintf(amount, sizeof amount, "%020.2f", r.Amount + 1e9);
            std::string date = r.Date ? std::to_string(r.Date) : "00000000";
            std::string key;
            switch (tag) {
            case 0: key = upper(padded(r.Name, 12)); break;
            case 1: key = amount; break;
            case 2: key = date; break;
            case 3:
                if (r.Amount <= 500)
                    continue;
                key = padded(r.Name, 12);
                break;
            default: key = padded(r.Name, 12).substr(0, 3) + (r.Date ? date : "        "); break;
            }
            keyed.emplace_back(key, int(i + 1));
        }
        std::sort(keyed.begin(), keyed.end());
        if (tags[tag].Descending)
            std::reverse(keyed.begin(), keyed.end());
        std::vector<int> recnos;
        for (const auto& k : keyed)
            recnos.push_back(k.second);
        return recnos;
    };
    auto compare = [&](const std::string& when) {
        for (int t = 0; t < 5; ++t) {
            E.xb_SetOrder(XBSHORT(t + 1));
            ASSERT_EQ(Sequence(), expected(t)) << when << ", tag " << tags[t].Name;
        }
    };
    auto write = [&](int recno, const Row& r) {
        E.xb_Go(recno);
        char amount[32];
        std::snprintf(amount, sizeof amount, "%.2f", r.Amount);
        ASSERT_NE(E.xb_Replace("NAME", 1024, r.Name.c_str()), 0);
        ASSERT_NE(E.xb_Replace("AMOUNT", 1024, amount), 0);
        ASSERT_NE(E.xb_Replace("DATE", 1024, r.Date ? std::to_string(r.Date).c_str() : ""), 0);
    };
    auto row = [&] {
        int date = random() % 5 ? 20230101 + int(random() % 12) * 100 + int(random() % 28) : 0;
        return Row {name(), double(int(random() % 200000) - 50000) / 100, date, false};
    };

    for (int step = 0; step < 400; ++step) {
        unsigned op = random() % 20;
        std::string what;
        if (rows.size() < 5 || op < 7) {
            // Some appended records stay blank.
            rows.push_back(op % 3 ? row() : Row {"", 0, 0, false});
            ASSERT_NE(E.xb_AppendBlank(), 0);
            if (op % 3)
                write(int(rows.size()), rows.back());
            what = "append";
        } else if (op < 13) {
            int at = int(random() % rows.size());
            Row changed = row();
            changed.Deleted = rows[std::size_t(at)].Deleted;
            if (random() % 3 == 0)
                changed.Name = rows[std::size_t(at)].Name;  // a replace that leaves some keys as they are
            rows[std::size_t(at)] = changed;
            write(at + 1, changed);
            what = "replace " + std::to_string(at + 1);
        } else if (op < 18) {
            int at = int(random() % rows.size());
            E.xb_Go(at + 1);
            bool deleted = !rows[std::size_t(at)].Deleted;
            ASSERT_NE(deleted ? E.xb_Delete() : E.xb_Recall(), 0);
            rows[std::size_t(at)].Deleted = deleted;
            what = deleted ? "delete" : "recall";
        } else {
            ASSERT_NE(E.xb_Pack(), 0);
            rows.erase(std::remove_if(rows.begin(), rows.end(), [](const Row& r) { return r.Deleted; }),
                       rows.end());
            what = "pack";
        }
        compare("step " + std::to_string(step) + " " + what);
        if (HasFatalFailure())
            return;
    }
    // The last record appended blank just before the table closes.
    ASSERT_NE(E.xb_AppendBlank(), 0);
    rows.push_back(Row {"", 0, 0, false});
    E.xb_Close();
    ASSERT_GT(E.xb_Use(table.c_str(), "", 2, 2), 0);
    compare("reopened");

    // Deleted records hidden: each order shows the live rows only.
    E.xb_SetDeleted(1);
    for (int t = 0; t < 5; ++t) {
        E.xb_SetOrder(XBSHORT(t + 1));
        std::vector<int> live;
        for (int recno : expected(t))
            if (!rows[std::size_t(recno - 1)].Deleted)
                live.push_back(recno);
        EXPECT_EQ(Sequence(), live) << tags[t].Name;
        EXPECT_EQ(E.xb_Count(), int(live.size())) << tags[t].Name;
    }
}

TEST_F(Index, SeeksByKeyTypeWithSoftSeekAndExact)
{
    Create(Dir + "SEEK",
           {{"NAME", "C", 10, 0}, {"AMOUNT", "N", 10, 2}, {"DATE", "D", 8, 0}, {"FLAG", "L", 1, 0}});
    for (const auto& row : std::vector<std::vector<std::string>> {{"SMITHERS", "123", "20240301", "T"},
                                                                  {"SMITH", "5.5", "20240115", "F"},
                                                                  {"JONES", "1000", "", "T"},
                                                                  {"BROWN", "-7", "20231231", "F"}})
        AppendTexts({{"NAME", row[0]}, {"AMOUNT", row[1]}, {"DATE", row[2]}, {"FLAG", row[3]}});
    for (const char* tag : {"NAME", "AMOUNT", "DATE", "FLAG"})
        ASSERT_GT(E.xb_IndexTag("", tag, tag, 0, 0, ""), 0) << E.xbx_LastErrorText();
    struct Case {
        const char* Tag;
        const char* Key;
        bool Exact, Soft;
        bool Found;
        int RecNo;  // afterwards; 0 for end of file
    } cases[] = {
            {"NAME", "SMITH", false, false, true, 2},
            {"NAME", "SMITHE", false, false, true, 1},
            {"NAME", "SMITH", true, false, true, 2},
            {"NAME", "SMITHERS  X", false, false, true, 1},  // cut to the key length
            {"NAME", "SMI", true, false, false, 0},
            {"NAME", "SMI", true, true, false, 2},
            {"NAME", "", false, false, true, 4},
            {"NAME", "K", false, false, false, 0},
            {"NAME", "K", false, true, false, 2},
            {"NAME", "Z", false, true, false, 0},
            {"AMOUNT", "123", false, false, true, 1},
            {"AMOUNT", "       123", false, false, true, 1},
            {"AMOUNT", "0000000123", true, false, true, 1},
            {"AMOUNT", "12", false, false, false, 0},
            {"AMOUNT", "12", false, true, false, 1},
            {"AMOUNT", "-7", false, false, true, 4},
            {"DATE", "20240115", false, false, true, 2},
            {"DATE", "01/15/24", false, false, false, 0},  // epoch 1900: 1924
            {"DATE", "01/15/2024", false, false, true, 2},
            {"DATE", "        ", false, false, true, 3},
            {"DATE", "20240116", false, true, false, 1},
            {"FLAG", "T", false, false, true, 1},
            {"FLAG", ".f.", false, false, true, 2},
            {"FLAG", "Y", true, false, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Tag) + " \"" + c.Key + "\" exact " + std::to_string(c.Exact) + " soft " +
                     std::to_string(c.Soft));
        E.xb_SetOrder(E.xb_TagArea(c.Tag));
        E.xb_SetExact(c.Exact);
        E.xb_SetSoftSeek(c.Soft);
        E.xb_GoTop();
        EXPECT_EQ(E.xb_Seek(c.Key) != 0, c.Found);
        EXPECT_EQ(E.xb_Found() != 0, c.Found);
        EXPECT_EQ(E.xb_Eof() ? 0 : E.xb_RecNo(), c.RecNo);
    }
    // A key whose records are hidden is not found.
    E.xb_SetExact(0);
    E.xb_SetSoftSeek(0);
    E.xb_SetOrder(E.xb_TagArea("NAME"));
    E.xb_Query("AMOUNT > 100");
    EXPECT_EQ(E.xb_Seek("SMITH"), 1);
    EXPECT_EQ(E.xb_RecNo(), 1);
    EXPECT_EQ(E.xb_Seek("JONES"), 1);
    EXPECT_EQ(E.xb_Seek("BROWN"), 0);
    EXPECT_NE(E.xb_Eof(), 0);
}

TEST_F(Index, ScopesPositionsAndConditionsInOrder)
{
    Create(Dir + "SCOPE", {{"CODE", "C", 6, 0}, {"N", "N", 4, 0}});
    const char* codes[] = {"B2", "A1", "C1", "A2", "B1", "A3", "C2", "B3"};
    for (int i = 0; i < 8; ++i)
        AppendTexts({{"CODE", codes[i]}, {"N", std::to_string(i + 1)}});
    ASSERT_EQ(E.xb_IndexTag("", "CODE", "CODE", 0, 0, ""), 1);
    ASSERT_EQ(E.xb_IndexTag("", "DOWN", "CODE", 0, 1, ""), 2);
    ASSERT_EQ(E.xb_IndexTag("", "ODD", "CODE", 0, 0, "N % 2 = 1"), 3);
    ASSERT_EQ(E.xb_IndexTag("", "FIRST", "LEFT(CODE,1)", 1, 0, ""), 4);

    // Each record in the whole order of its tag; a skip from any of them, in scope
    // or not, lands on the next (or previous) visible one in that order.
    const std::vector<int> ascending = {2, 4, 6, 5, 1, 8, 3, 7};
    const std::vector<int> descending(ascending.rbegin(), ascending.rend());
    const auto ExpectSkipsFromEveryRecord = [&](const std::vector<int>& whole,
                                                const std::vector<int>& visible) {
        const auto rank = [&](int recno) {
            return std::find(whole.begin(), whole.end(), recno) - whole.begin();
        };
        for (int from : whole) {
            SCOPED_TRACE("from " + std::to_string(from));
            auto next =
                    std::find_if(visible.begin(), visible.end(), [&](int v) { return rank(v) > rank(from); });
            E.xb_Go(from);
            E.xb_Skip(1);
            if (next == visible.end())
                EXPECT_NE(E.xb_Eof(), 0);
            else
                EXPECT_EQ(E.xb_RecNo(), *next);
            auto previous = std::find_if(visible.rbegin(), visible.rend(),
                                         [&](int v) { return rank(v) < rank(from); });
            E.xb_Go(from);
            E.xb_Skip(-1);
            if (previous == visible.rend())
                EXPECT_NE(E.xb_Bof(), 0);
            else
                EXPECT_EQ(E.xb_RecNo(), *previous);
        }
    };
    struct Case {
        int Order;
        const char* Low;
        const char* High;
        std::vector<int> Visible;
    } cases[] = {
            {1, "", "", {2, 4, 6, 5, 1, 8, 3, 7}},
            {1, "B", "B", {5, 1, 8}},
            {1, "A2", "B1", {4, 6, 5}},
            {1, "B2", "", {1, 8, 3, 7}},
            {1, "", "A9", {2, 4, 6}},
            {1, "D", "", {}},
            {2, "", "", {7, 3, 8, 1, 5, 6, 4, 2}},
            {2, "B", "B", {8, 1, 5}},
            {2, "A2", "B1", {5, 6, 4}},
            {3, "", "", {5, 1, 3, 7}},
            {3, "B2", "C", {1, 3, 7}},
            {4, "", "", {2, 1, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Order) + " " + c.Low + ".." + c.High);
        E.xb_SetOrder(XBSHORT(c.Order));
        ASSERT_NE(E.xb_SetScope(c.Low, c.High), 0);
        EXPECT_STREQ(E.xb_GetScope(0), c.Low);
        EXPECT_EQ(Sequence(), c.Visible);
        EXPECT_EQ(ReverseSequence(), c.Visible);
        EXPECT_EQ(E.xb_Count(), int(c.Visible.size()));
        if (c.Order <= 2)
            ExpectSkipsFromEveryRecord(c.Order == 1 ? ascending : descending, c.Visible);
        E.xb_SetScope(nullptr, nullptr);
    }
    EXPECT_EQ(E.xb_IndexType(), 2);
    EXPECT_STREQ(E.xb_IndexKeyField(), "CODE");
    EXPECT_EQ(E.xb_SysProp(3004, 0), 1);
    EXPECT_EQ(E.xb_SysProp(3002, 2), 1);
    EXPECT_STREQ(E.xb_TagName(3), "ODD");
    E.xb_SetOrder(3);
    EXPECT_STREQ(E.xb_IndexCondition(), "N % 2 = 1");

    // A query together with an order and a scope.
    E.xb_SetOrder(1);
    E.xb_SetScope("A", "B");
    ASSERT_NE(E.xb_Query("N > 3"), 0);
    EXPECT_EQ(E.xb_RecNo(), 4);
    EXPECT_EQ(Sequence(), (std::vector<int> {4, 6, 5, 8}));
    E.xb_Query("");
    E.xb_SetScope("", "");

    // Skips from a record that has no key in the order or is out of scope
    // move from where its key would be.
    E.xb_SetOrder(3);
    E.xb_Go(4);  // A2, no key in ODD
    E.xb_Skip(1);
    EXPECT_EQ(E.xb_RecNo(), 5);  // B1
    E.xb_Go(4);
    E.xb_Skip(-1);
    EXPECT_NE(E.xb_Bof(), 0);  // nothing in ODD sorts before A2: the first one, with BOF
    EXPECT_EQ(E.xb_RecNo(), 5);

    // Positions: rank over all keys of the order.
    E.xb_SetOrder(1);
    E.xb_Go(5);  // B1 is the fourth key
    EXPECT_EQ(E.xb_OrderRecNo(), 4);
    EXPECT_DOUBLE_EQ(E.xb_OrderPosGet(), 0.5);
    E.xb_OrderPosSet(0.75);
    EXPECT_EQ(E.xb_RecNo(), 8);  // B3, the sixth
    E.xb_Go(0);
    EXPECT_EQ(E.xb_OrderRecNo(), 0);
    EXPECT_DOUBLE_EQ(E.xb_OrderPosGet(), 1.0);

    // Writes move keys: the current record follows its new key.
    E.xb_Go(2);  // A1
    ASSERT_NE(E.xb_Replace("CODE", 1024, "C9"), 0);
    E.xb_Skip(-1);
    EXPECT_EQ(E.xb_RecNo(), 7);  // C2
    EXPECT_EQ(Sequence(), (std::vector<int> {4, 6, 5, 1, 8, 3, 7, 2}));

    // Closing the other indexes leaves the structural one; no order after.
    E.xb_CloseIndexes();
    EXPECT_EQ(E.xb_IndexOrd(), 0);
    EXPECT_EQ(E.xb_SysProp(3000, 0), 4);

    // A tag made again under its name replaces the old one, scope and all,
    // also while an appended record still waits for its keys.
    E.xb_SetOrder(1);
    E.xb_SetScope("A", "A");
    ASSERT_NE(E.xb_AppendBlank(), 0);
    XBSHORT order = E.xb_IndexTag("", "CODE", "N", 0, 1, "");
    ASSERT_EQ(order, E.xb_TagArea("CODE"));
    EXPECT_EQ(E.xb_SysProp(3000, 0), 4);
    EXPECT_STREQ(E.xb_GetScope(0), "");
    EXPECT_EQ(Sequence(), (std::vector<int> {8, 7, 6, 5, 4, 3, 2, 1, 9}));
}

TEST_F(Index, TagsAreRefusedForBadInputAndSharedTables)
{
    const std::string table = Dir + "BAD.DBF";
    Create(table, {{"NAME", "C", 250, 0}, {"N", "N", 4, 0}});
    AppendTexts({{"NAME", "x"}});
    struct Case {
        const char* Tag;
        const char* Key;
        const char* For;
        int Option;
        int Code;
    } cases[] = {
            {"LONG", "NAME", "", 0, XBE_E_EXPR},
            {"T", "LEFT(NAME,10)+", "", 0, XBE_E_EXPR},
            {"T", "N", "N", 0, XBE_E_EXPR},
            {"T", "N", "NOSUCH > 1", 0, XBE_E_EXPR},
            {"TOO_LONG_NAME", "N", "", 0, XBE_E_EXPR},
            {"T", "N", "", 2, XBE_E_UNSUPPORTED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Tag + std::string(" ") + c.Key);
        EXPECT_EQ(E.xb_IndexTag("", c.Tag, c.Key, XBSHORT(c.Option), 0, c.For), 0);
        EXPECT_EQ(E.xbx_LastError(), c.Code);
    }
    ASSERT_EQ(E.xb_IndexTag("", "T", "LEFT(NAME,240)", 0, 0, ""), 1);
    E.xb_Close();
    ASSERT_GT(E.xb_Use(table.c_str(), "", 0, 2), 0);
    EXPECT_EQ(E.xb_IndexTag("", "U", "N", 0, 0, ""), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_EXCLUSIVE);
    EXPECT_EQ(E.xb_Reindex(), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_EXCLUSIVE);
}

TEST_F(Index, AnIndexThatDoesNotReadLeavesTheTableUsable)
{
    const std::string table = Dir + "CORRUPT.DBF";
    Create(table, {{"NAME", "C", 10, 0}});
    for (const char* name : {"b", "a", "c"})
        AppendTexts({{"NAME", name}});
    ASSERT_EQ(E.xb_IndexTag("", "NAME", "NAME", 0, 0, ""), 1);
    E.xb_Close();
    const std::string cdx = Dir + "CORRUPT.CDX";
    std::vector<unsigned char> good = ReadBytes(cdx);

    // The tag's header page holds its key expression in its second half.
    std::size_t tagHeader = 0;
    for (std::size_t at = 1024; at + 5 <= good.size(); at += 512)
        if (std::equal(good.begin() + long(at), good.begin() + long(at) + 5, "NAME"))
            tagHeader = at - 512;
    ASSERT_NE(tagHeader, 0u);

    struct Damage {
        const char* What;
        std::function<void(std::vector<unsigned char>&)> Apply;
        bool Opens;  // the damage is met only when the tag is read
    } damages[] = {
            {"a header cut short", [](auto& b) { b.resize(100); }, false},
            {"a directory root outside the file",
             [](auto& b) {
                 b[0] = 0x00;
                 b[1] = 0xFE;
                 b[2] = 0xFF;
                 b[3] = 0x7F;
             },
             false},
            {"noise over the pages",
             [](auto& b) {
                 for (std::size_t i = 512; i < b.size(); ++i)
                     b[i] = (unsigned char)(i * 131);
             },
             false},
            {"a tag root outside the file",
             [&](auto& b) {
                 b[tagHeader + 1] = 0xFE;
                 b[tagHeader + 2] = 0xFF;
             },
             false},
            {"a root leaf linked to itself",
             [&](auto& b) {
                 std::size_t root = b[tagHeader] | b[tagHeader + 1] << 8 | b[tagHeader + 2] << 16;
                 std::copy(b.begin() + long(tagHeader), b.begin() + long(tagHeader) + 4,
                           b.begin() + long(root) + 8);
             },
             true},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.What);
        std::vector<unsigned char> bad = good;
        d.Apply(bad);
        WriteBytes(cdx, bad);
        E.xb_ErrorLevel(0);
        ASSERT_GT(E.xb_Use(table.c_str(), "", 0, 2), 0);
        if (d.Opens) {
            // A scan in its order stops at end of file with the corrupt-index code.
            ASSERT_EQ(E.xb_SysProp(3000, 0), 1);
            E.xb_SetOrder(1);
            E.xb_GoTop();
            int steps = 0, code = 0;
            while (!E.xb_Eof() && steps++ < 10) {
                E.xb_Skip(1);
                code = code ? code : E.xbx_LastError();
            }
            EXPECT_EQ(code, XBE_E_CORRUPT_INDEX);
            EXPECT_NE(E.xb_Eof(), 0);
        } else {
            // Left closed with a warning.
            EXPECT_EQ(E.xb_SysProp(3000, 0), 0);
        }
        // The table itself stays readable in natural order.
        E.xb_SetOrder(0);
        EXPECT_EQ(E.xb_Count(), 3);
        E.xb_GoBottom();
        EXPECT_EQ(E.xb_RecNo(), 3);
        E.xb_Close();
        if (!d.Opens) {
            // Opened by name it fails with the corrupt-index code.
            ASSERT_GT(E.xb_Use(table.c_str(), "", 0, 1), 0);
            EXPECT_EQ(E.xb_IndexOpen(cdx.c_str()), 0);
            EXPECT_EQ(E.xbx_LastError(), XBE_E_CORRUPT_INDEX);
            E.xb_Close();
        }
    }
    // A missing structural index is no error at all.
    std::remove(cdx.c_str());
    ASSERT_GT(E.xb_Use(table.c_str(), "", 0, 2), 0);
    EXPECT_EQ(E.xbx_LastError(), 0);
    EXPECT_EQ(E.xb_SysProp(3000, 0), 0);
}

}  // namespace

namespace {

TEST_F(Index, OtherIndexFilesOpenByNameAndFollowWritesWhileOpen)
{
    const std::string table = Dir + "NAMES.DBF";
    const std::string other = Dir + "BYCITY.CDX";
    Create(table, {{"NAME", "C", 10, 0}, {"CITY", "C", 10, 0}});
    for (const auto& [name, city] :
         std::vector<std::pair<std::string, std::string>> {{"b", "Oslo"}, {"a", "Rome"}})
        AppendTexts({{"NAME", name}, {"CITY", city}});
    ASSERT_EQ(E.xb_IndexTag("", "NAME", "NAME", 0, 0, ""), 1);
    ASSERT_EQ(E.xb_IndexTag(other.c_str(), "CITY", "CITY", 0, 0, ""), 2);
    EXPECT_EQ(std::string(E.xb_IndexName(2)), other);
    E.xb_Close();

    // Reopened, only the structural index comes back; the other is added by name.
    ASSERT_GT(E.xb_Use(table.c_str(), "", 2, 2), 0);
    EXPECT_EQ(E.xb_SysProp(3000, 0), 1);
    E.xb_SetOrder(1);
    EXPECT_EQ(E.xb_IndexOpen(other.c_str()), 1);
    EXPECT_EQ(E.xb_IndexOpen(other.c_str()), 1);
    EXPECT_EQ(E.xb_SysProp(3000, 0), 2);
    EXPECT_EQ(E.xb_TagArea("CITY"), 2);
    AppendTexts({{"NAME", "c"}, {"CITY", "Bonn"}});
    E.xb_SetOrder(2);
    EXPECT_EQ(Sequence(), (std::vector<int> {3, 1, 2}));
    E.xb_CloseIndexes();
    EXPECT_EQ(E.xb_SysProp(3000, 0), 1);
    EXPECT_EQ(E.xb_IndexOrd(), 0);
    E.xb_SetOrder(1);
    EXPECT_EQ(Sequence(), (std::vector<int> {2, 1, 3}));
    EXPECT_EQ(E.xb_IndexOpen((Dir + "BYCITY.IDX").c_str()), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_UNSUPPORTED);
}

}  // namespace
