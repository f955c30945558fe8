#include "platform/rtl/stringlist.h"

#include <gtest/gtest.h>

#include "platform/rtl/streams.h"
#include "tests/support/tempdir.h"

namespace {

std::vector<String> Items(const TStrings& List)
{
    std::vector<String> items;
    for (int i = 0; i < List.Count(); ++i)
        items.push_back(List[i]);
    return items;
}

using Texts = std::vector<String>;

TEST(StringListTest, UnsortedKeepsOrderAndChecksIndexes)
{
    TStringList list;
    list.Add("b");
    list.Add("a");
    list.Insert(1, "c");
    list.Insert(3, "d");
    EXPECT_EQ(Items(list), (Texts {"b", "c", "a", "d"}));
    list.Delete(0);
    list.Exchange(0, 2);
    EXPECT_EQ(Items(list), (Texts {"d", "a", "c"}));
    EXPECT_EQ(list.IndexOf("A"), 1);  // ignores case
    EXPECT_EQ(list.IndexOf("x"), -1);

    EXPECT_THROW(list.Get(3), EStringListError);
    EXPECT_THROW(list.Get(-1), EStringListError);
    EXPECT_THROW(list.Insert(5, "x"), EStringListError);
    EXPECT_THROW(list.Delete(3), EStringListError);
    try {
        list.Get(7);
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (7)");
    }
}

TEST(StringListTest, SortedListAppliesDuplicates)
{
    struct Case {
        TDuplicates Duplicates;
        Texts Expected;
    };
    for (const Case& c : {Case {dupIgnore, {"apple", "Banana", "cherry"}},
                          Case {dupAccept, {"apple", "banana", "Banana", "cherry"}}}) {
        TStringList list;
        list.SetSorted(true);
        list.SetDuplicates(c.Duplicates);
        for (const char* s : {"cherry", "Banana", "apple", "banana"})
            list.Add(s);
        EXPECT_EQ(Items(list), c.Expected) << c.Duplicates;
    }

    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupError);
    list.Add("b");
    EXPECT_THROW(list.Add("B"), EStringListError);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_THROW(list.Insert(0, "a"), EStringListError);
}

TEST(StringListTest, FindGivesMatchOrInsertionPoint)
{
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupAccept);
    for (const char* s : {"b", "d", "d", "d", "f"})
        list.Add(s);
    int index = -1;
    EXPECT_TRUE(list.Find("D", index));
    EXPECT_EQ(index, 1);  // the first of the duplicates
    EXPECT_FALSE(list.Find("e", index));
    EXPECT_EQ(index, 4);
    EXPECT_FALSE(list.Find("z", index));
    EXPECT_EQ(index, 5);
    EXPECT_EQ(list.IndexOf("f"), 4);
}

TEST(StringListTest, CaseSensitiveAndWindows1252Letters)
{
    TStringList list;
    list.Add("\xE9t\xE9");                    // été
    EXPECT_EQ(list.IndexOf("\xC9T\xC9"), 0);  // ÉTÉ
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("\xC9T\xC9"), -1);

    TStringList sorted;
    sorted.SetCaseSensitive(true);
    sorted.SetSorted(true);
    sorted.SetDuplicates(dupIgnore);
    for (const char* s : {"b", "B", "a"})
        sorted.Add(s);
    EXPECT_EQ(Items(sorted), (Texts {"B", "a", "b"}));
}

TEST(StringListTest, SettingSortedSortsAndCustomSortUsesIndexes)
{
    TStringList list;
    for (const char* s : {"10", "9", "100"})
        list.Add(s);
    list.CustomSort([](TStringList* l, int a, int b) { return std::stoi(l->Get(a)) - std::stoi(l->Get(b)); });
    EXPECT_EQ(Items(list), (Texts {"9", "10", "100"}));
    list.SetSorted(true);
    EXPECT_EQ(Items(list), (Texts {"10", "100", "9"}));
}

TEST(StringListTest, NamesAndValues)
{
    TStringList list;
    list.SetText("Path=C:\\DATA\r\nName = Smith\r\nplain\r\nEmpty=\r\nx=a=b\r\n");
    EXPECT_EQ(list.Names(0), "Path");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.Values("PATH"), "C:\\DATA");
    EXPECT_EQ(list.Values("Name"), "");  // the name is "Name " with its blank
    EXPECT_EQ(list.Values("Name "), " Smith");
    EXPECT_EQ(list.ValueFromIndex(4), "a=b");
    EXPECT_EQ(list.IndexOfName("empty"), 3);
    EXPECT_EQ(list.IndexOfName("plain"), -1);

    list.SetValues("path", "/data");
    EXPECT_EQ(list[0], "path=/data");
    list.SetValues("New", "1");
    EXPECT_EQ(list[list.Count() - 1], "New=1");
    list.SetValues("x", "");
    EXPECT_EQ(list.IndexOfName("x"), -1);
}

TEST(StringListTest, CommaTextQuotesAndRoundTrips)
{
    struct Case {
        Texts Items;
        String Comma;
    };
    const Case cases[] = {
            {{"a", "b", "c"}, "a,b,c"},
            {{"two words", "x"}, "\"two words\",x"},
            {{"say \"hi\"", "1,5"}, "\"say \"\"hi\"\"\",\"1,5\""},
            {{"a", "", "b"}, "a,,b"},
            {{""}, "\"\""},
            {{"tab\there"}, "\"tab\there\""},
            {{}, ""},
    };
    for (const Case& c : cases) {
        TStringList list;
        for (const String& s : c.Items)
            list.Add(s);
        EXPECT_EQ(list.CommaText(), c.Comma);
        TStringList back;
        back.SetCommaText(c.Comma);
        EXPECT_EQ(Items(back), c.Items) << c.Comma;
    }
}

TEST(StringListTest, CommaTextReading)
{
    struct Case {
        String Comma;
        Texts Items;
    };
    const Case cases[] = {
            {"  a , b  ", {"a", "b"}},  {"a b,c", {"a", "b", "c"}},  // unquoted blanks separate too
            {"a,", {"a", ""}},          {"\"unterminated, text", {"unterminated, text"}},
            {"\"ab\"cd", {"ab", "cd"}},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.SetCommaText(c.Comma);
        EXPECT_EQ(Items(list), c.Items) << c.Comma;
    }

    TStringList list;
    list.SetDelimiter(';');
    list.SetDelimitedText("a;b c;\"d;e\"");
    EXPECT_EQ(Items(list), (Texts {"a", "b", "c", "d;e"}));
    EXPECT_EQ(list.DelimitedText(), "a;b;c;\"d;e\"");
    EXPECT_EQ(list.CommaText(), "a,b,c,d;e");
}

TEST(StringListTest, TextLineEndings)
{
    struct Case {
        String Text;
        Texts Items;
    };
    const Case cases[] = {
            {"a\r\nb\r\n", {"a", "b"}},
            {"a\nb", {"a", "b"}},
            {"a\rb\r", {"a", "b"}},
            {"a\n\nb", {"a", "", "b"}},
            {"a\r\n\r\n", {"a", ""}},
            {"", {}},
            {"\n", {""}},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.SetText(c.Text);
        EXPECT_EQ(Items(list), c.Items) << c.Text;
    }
    TStringList list;
    list.SetText("a\nb");
    EXPECT_EQ(list.Text(), "a\r\nb\r\n");
}

TEST(StringListTest, UpdatesFireEventsOnce)
{
    TStringList list;
    String log;
    list.OnChanging = [&](TStrings* sender) {
        EXPECT_EQ(sender, &list);
        log += "<";
    };
    list.OnChange = [&](TStrings*) { log += ">"; };

    list.Add("a");
    EXPECT_EQ(log, "<>");

    log.clear();
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("b");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(log, "<");
    list.EndUpdate();
    EXPECT_EQ(log, "<>");

    log.clear();
    list.SetText("x\ny\nz");
    list.SetCommaText("p,q");
    TStringList other;
    other.Add("1");
    list.Assign(other);
    EXPECT_EQ(log, "<><><>");
    EXPECT_EQ(Items(list), Texts {"1"});
}

TEST(StringListTest, ObjectsTravelWithTheirItems)
{
    int a = 0, b = 0;
    auto* objectA = reinterpret_cast<TObject*>(&a);
    auto* objectB = reinterpret_cast<TObject*>(&b);
    TStringList list;
    list.AddObject("b", objectB);
    list.AddObject("a", objectA);
    list.SetSorted(true);
    EXPECT_EQ(list.Objects(0), objectA);
    EXPECT_EQ(list.IndexOfObject(objectB), 1);

    TStringList copy;
    copy.Assign(list);
    EXPECT_EQ(copy.Objects(1), objectB);
    EXPECT_TRUE(copy.Equals(list));
}

TEST(StringListTest, FilesKeepBytes)
{
    TempDir dir;
    TStringList list;
    list.Add("caf\xE9");  // café in Windows-1252
    list.Add("");
    list.Add("end");
    list.SaveToFile(dir / "list.txt");
    EXPECT_EQ(dir.Read("list.txt"), "caf\xE9\r\n\r\nend\r\n");

    dir.Write("unix.txt", "one\ntwo");
    TStringList loaded;
    loaded.LoadFromFile(dir / "UNIX.TXT");  // found ignoring case
    EXPECT_EQ(Items(loaded), (Texts {"one", "two"}));

    EXPECT_THROW(loaded.LoadFromFile(dir / "missing.txt"), EFOpenError);
    EXPECT_EQ(loaded.Count(), 2);
}

}  // namespace
