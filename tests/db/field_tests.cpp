// Fields: null rules, conversions both ways, display and edit text, and the
// display settings that data links follow.

#include <gtest/gtest.h>

#include <tuple>

#include "platform/db/fieldkinds.h"
#include "platform/db/indexdefs.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/floattext.h"
#include "tests/db/dbfixture.h"

namespace {

std::vector<MemColumn> AllTypes()
{
    return {{"S", ftString, 10}, {"SI", ftSmallint}, {"I", ftInteger}, {"F", ftFloat},
            {"C", ftCurrency},   {"B", ftBoolean},   {"D", ftDate},    {"M", ftMemo}};
}

// An open set of every field type, inserting one record.
struct Inserting {
    Inserting()
    {
        ds.Open();
        ds.Insert();
    }
    TField* operator[](const char* name) { return ds.FieldByName(name); }
    TMemDataSet ds {nullptr, AllTypes()};
};

}  // namespace

TEST(Fields, DefaultFieldsFollowTheDefinitions)
{
    TMemDataSet ds(nullptr, AllTypes());
    ds.Open();
    EXPECT_TRUE(ds.DefaultFields());
    // Numbers sit on the right of their column, everything else on the left.
    const std::vector<std::tuple<const char*, const char*, TAlignment>> classes = {
            {"S", "TStringField", taLeftJustify},    {"SI", "TSmallintField", taRightJustify},
            {"I", "TIntegerField", taRightJustify},  {"F", "TFloatField", taRightJustify},
            {"C", "TCurrencyField", taRightJustify}, {"B", "TBooleanField", taLeftJustify},
            {"D", "TDateField", taLeftJustify},      {"M", "TMemoField", taLeftJustify}};
    for (auto [name, className, alignment] : classes) {
        SCOPED_TRACE(name);
        TField* field = ds.FieldByName(name);
        EXPECT_EQ(field->ClassName(), className);
        EXPECT_EQ(field->Alignment(), alignment);
        EXPECT_EQ(field->DisplayLabel(), name);
        EXPECT_EQ(field->FieldNo(), field->Index() + 1);
    }
    EXPECT_EQ(ds.FieldByName("S")->DisplayWidth(), 10);
    EXPECT_EQ(ds.FieldByName("s"), ds.FieldByName("S"));
    EXPECT_TRUE(ds.FieldByName("M")->IsBlob());
    ds.Close();
    EXPECT_EQ(ds.FieldCount(), 0);
}

TEST(Fields, UnknownFieldNamesRaise)
{
    TMemDataSet ds(nullptr, AllTypes());
    ds.SetName("Clients");
    ds.Open();
    EXPECT_EQ(ds.FindField("NOPE"), nullptr);
    try {
        ds.FieldByName("NOPE");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Clients: Field 'NOPE' not found");
    }
    EXPECT_THROW(ds.GetFieldList("S;NOPE"), EDatabaseError);
    EXPECT_EQ(ds.GetFieldList("I; S"), (std::vector<TField*> {ds.FieldByName("I"), ds.FieldByName("S")}));
}

TEST(Fields, NullRules)
{
    Inserting rec;
    for (const char* name : {"S", "SI", "I", "F", "C", "B", "D", "M"}) {
        SCOPED_TRACE(name);
        TField* field = rec[name];
        EXPECT_TRUE(field->IsNull());
        EXPECT_EQ(field->AsString(), "");
        EXPECT_EQ(field->DisplayText(), "");
        EXPECT_EQ(field->Text(), "");
        EXPECT_TRUE(VarIsNull(field->Value()));
    }
    // "" makes a number, date or Boolean null, but is a value for a string.
    struct Case {
        const char* name;
        const char* text;
    };
    for (Case c : {Case {"SI", "7"}, Case {"I", "7"}, Case {"F", "7"}, Case {"C", "7"}, Case {"B", "True"},
                   Case {"D", "07/04/2008"}}) {
        SCOPED_TRACE(c.name);
        rec[c.name]->SetAsString(c.text);
        EXPECT_FALSE(rec[c.name]->IsNull());
        rec[c.name]->SetAsString("");
        EXPECT_TRUE(rec[c.name]->IsNull());
        rec[c.name]->SetAsString(c.text);
        rec[c.name]->SetValue(Variant::Null());
        EXPECT_TRUE(rec[c.name]->IsNull());
    }
    rec["S"]->SetAsString("");
    EXPECT_FALSE(rec["S"]->IsNull());
    rec["S"]->Clear();
    EXPECT_TRUE(rec["S"]->IsNull());
}

TEST(Fields, ConversionsBothWays)
{
    struct Case {
        const char* field;
        std::function<void(TField*)> set;
        const char* asString;
        std::function<void(TField*)> check;
    };
    const std::vector<Case> cases = {
            {"S", [](TField* f) { f->SetAsInteger(-12); }, "-12",
             [](TField* f) { EXPECT_EQ(f->AsInteger(), -12); }},
            {"S", [](TField* f) { f->SetAsFloat(0.25); }, "0.25",
             [](TField* f) { EXPECT_DOUBLE_EQ(f->AsFloat(), 0.25); }},
            {"S", [](TField* f) { f->SetAsBoolean(true); }, "T",
             [](TField* f) { EXPECT_TRUE(f->AsBoolean()); }},
            {"S", [](TField* f) { f->SetAsString("yes"); }, "yes",
             [](TField* f) { EXPECT_TRUE(f->AsBoolean()); }},
            {"S", [](TField* f) { f->SetAsString("abcdefghijklm"); }, "abcdefghij", nullptr},
            {"S", [](TField* f) { f->SetAsString("07/04/2008"); }, "07/04/2008",
             [](TField* f) { EXPECT_EQ(f->AsDateTime(), EncodeDate(2008, 7, 4)); }},
            {"SI", [](TField* f) { f->SetAsString("-32768"); }, "-32768",
             [](TField* f) { EXPECT_EQ(f->AsInteger(), -32768); }},
            {"I", [](TField* f) { f->SetAsFloat(2.5); }, "3",
             [](TField* f) { EXPECT_DOUBLE_EQ(f->AsFloat(), 3); }},
            {"I", [](TField* f) { f->SetAsFloat(-2.5); }, "-3", nullptr},
            {"I", [](TField* f) { f->SetValue(Variant(Int64 {123456})); }, "123456",
             [](TField* f) { EXPECT_EQ(f->Value(), Variant(123456)); }},
            {"F", [](TField* f) { f->SetAsString("1234.5"); }, "1234.5",
             [](TField* f) { EXPECT_EQ(f->AsInteger(), 1235); }},
            {"F", [](TField* f) { f->SetAsInteger(7); }, "7",
             [](TField* f) { EXPECT_EQ(f->Value(), Variant(7.0)); }},
            {"F", [](TField* f) { f->SetAsFloat(0.1 + 0.2); }, "0.3", nullptr},
            {"C", [](TField* f) { f->SetValue(Variant(Currency::FromDouble(12.5))); }, "12.5",
             [](TField* f) { EXPECT_DOUBLE_EQ(f->AsFloat(), 12.5); }},
            {"B", [](TField* f) { f->SetAsString("t"); }, "True",
             [](TField* f) { EXPECT_TRUE(f->AsBoolean()); }},
            {"B", [](TField* f) { f->SetAsString("FALSE"); }, "False",
             [](TField* f) { EXPECT_FALSE(f->AsBoolean()); }},
            {"B", [](TField* f) { f->SetValue(Variant(true)); }, "True",
             [](TField* f) { EXPECT_EQ(f->Value(), Variant(true)); }},
            {"D", [](TField* f) { f->SetAsString("12/31/2008"); }, "12/31/2008",
             [](TField* f) { EXPECT_EQ(f->AsDateTime(), EncodeDate(2008, 12, 31)); }},
            {"D", [](TField* f) { f->SetAsDateTime(EncodeDate(2009, 1, 2) + 0.75); }, "01/02/2009",
             [](TField* f) { EXPECT_EQ(f->AsFloat(), EncodeDate(2009, 1, 2)); }},
            {"D", [](TField* f) { f->SetAsDateTime(EncodeDate(1899, 12, 30)); }, "12/30/1899", nullptr},
            {"D", [](TField* f) { f->SetValue(Variant::FromDate(EncodeDate(2001, 2, 3))); }, "02/03/2001",
             [](TField* f) { EXPECT_EQ(f->Value().AsDateTime(), EncodeDate(2001, 2, 3)); }},
            {"M", [](TField* f) { f->SetAsString("line 1\r\nline 2"); }, "line 1\r\nline 2", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(String(c.field) + " " + c.asString);
        Inserting rec;
        c.set(rec[c.field]);
        EXPECT_EQ(rec[c.field]->AsString(), c.asString);
        if (c.check)
            c.check(rec[c.field]);
        // The value survives the trip through storage.
        rec.ds.Post();
        EXPECT_EQ(rec[c.field]->AsString(), c.asString);
    }
}

TEST(Fields, DateNativeValueIsTheDayOrdinal)
{
    // Day 1 is 0001-01-01, as ordinal day counts of the proleptic calendar go.
    struct Case {
        int year, month, day;
        Integer ordinal;
    };
    for (Case c : {Case {1, 1, 1, 1}, Case {1899, 12, 30, 693594}, Case {2000, 1, 1, 730120},
                   Case {2008, 12, 31, 733407}}) {
        SCOPED_TRACE(c.year);
        Inserting rec;
        rec["D"]->SetAsDateTime(EncodeDate(c.year, c.month, c.day));
        Integer native = 0;
        ASSERT_TRUE(rec["D"]->GetData(&native));
        EXPECT_EQ(native, c.ordinal);
        EXPECT_EQ(rec["D"]->AsDateTime(), EncodeDate(c.year, c.month, c.day));
    }
}

TEST(Fields, ConversionsThatCannotBeMadeRaise)
{
    Inserting rec;
    EXPECT_THROW(rec["I"]->SetAsString("12a"), EConvertError);
    EXPECT_THROW(rec["F"]->SetAsString("1,5"), EConvertError);
    EXPECT_THROW(rec["D"]->SetAsString("13/45/2008"), EConvertError);
    EXPECT_THROW(rec["B"]->SetAsString("maybe"), EDatabaseError);
    EXPECT_THROW(rec["SI"]->SetAsInteger(40000), EDatabaseError);
    EXPECT_THROW(rec["I"]->SetAsFloat(1e12), EDatabaseError);
    EXPECT_THROW(rec["I"]->AsBoolean(), EDatabaseError);
    EXPECT_THROW(rec["B"]->SetAsFloat(1), EDatabaseError);
    try {
        rec["D"]->AsInteger();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Field 'D' cannot be used as Integer");
    }
    // A refused value leaves the field as it was.
    EXPECT_TRUE(rec["I"]->IsNull());
    EXPECT_TRUE(rec["SI"]->IsNull());
}

TEST(Fields, DisplayAndEditTextThroughFormats)
{
    struct Case {
        const char* displayFormat;
        const char* editFormat;
        double value;
        const char* displayText;
        const char* text;
    };
    const std::vector<Case> cases = {
            {"$#,.00", "", 1234567.891, "$1,234,567.89", "$1,234,567.89"},
            {"$#,.00", "0.00", 1234.5, "$1,234.50", "1234.50"},
            {"$#,.00", "", -42.125, "-$42.13", "-$42.13"},
            {"#.00", "", 12.345, "12.35", "12.35"},
            {"#.00", "", 0.5, ".50", ".50"},
            {"########", "", 1234.5, "1235", "1235"},
            {"########", "", 98765432.4, "98765432", "98765432"},
            {"0.00", "", 7, "7.00", "7.00"},
            {"", "", 1234.5, "1234.5", "1234.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.displayFormat + String(" ") + FloatToStr(c.value));
        Inserting rec;
        auto* field = static_cast<TFloatField*>(rec["F"]);
        field->SetDisplayFormat(c.displayFormat);
        field->SetEditFormat(c.editFormat);
        field->SetAsFloat(c.value);
        EXPECT_EQ(field->DisplayText(), c.displayText);
        EXPECT_EQ(field->Text(), c.text);
    }
}

TEST(Fields, CurrencyAndDateDisplayText)
{
    Inserting rec;
    rec["C"]->SetAsFloat(1234.5);
    EXPECT_EQ(rec["C"]->DisplayText(), "$1,234.50");
    EXPECT_EQ(rec["C"]->Text(), "1234.50");
    rec["C"]->SetAsFloat(-0.5);
    EXPECT_EQ(rec["C"]->DisplayText(), "-$0.50");

    rec["D"]->SetAsString("7/4/2008");
    EXPECT_EQ(rec["D"]->DisplayText(), "07/04/2008");
    EXPECT_EQ(rec["D"]->Text(), "07/04/2008");
    static_cast<TDateField*>(rec["D"])->SetDisplayFormat("mmmm d, yyyy");
    EXPECT_EQ(rec["D"]->DisplayText(), "July 4, 2008");
    EXPECT_EQ(rec["D"]->Text(), "07/04/2008");
}

TEST(Fields, TextEventsReplaceTheConversion)
{
    Inserting rec;
    TField* field = rec["I"];
    field->OnGetText = [](TField* f, String& text, bool display) {
        text = (display ? "#" : "") + (f->IsNull() ? String("none") : f->AsString());
    };
    field->OnSetText = [](TField* f, const String& text) { f->SetAsInteger(StrToInt(text) * 2); };
    EXPECT_EQ(field->DisplayText(), "#none");
    field->SetText("21");
    EXPECT_EQ(field->AsInteger(), 42);
    EXPECT_EQ(field->Text(), "42");
    EXPECT_EQ(field->DisplayText(), "#42");
}

TEST(Fields, ValidateSeesTheNewValueAndCanRefuseIt)
{
    NumberedSet set(3);
    TField* amount = set.ds.FieldByName("AMOUNT");
    std::vector<String> seen;
    amount->OnValidate = [&](TField* f) {
        seen.push_back(f->AsString());
        if (f->AsFloat() < 0)
            throw EDatabaseError("no negative amounts");
    };
    int changes = 0;
    amount->OnChange = [&](TField* f) {
        ++changes;
        seen.push_back("changed to " + f->AsString());
    };
    set.ds.Edit();
    amount->SetAsFloat(5);
    EXPECT_THROW(amount->SetAsFloat(-1), EDatabaseError);
    EXPECT_EQ(amount->AsFloat(), 5);
    amount->Clear();
    EXPECT_EQ(seen, (std::vector<String> {"5", "changed to 5", "-1", "", "changed to "}));
    EXPECT_EQ(changes, 2);
}

TEST(Fields, DisplaySettingsAndIndexReachTheLinks)
{
    NumberedSet set(3);
    TField* name = set.ds.FieldByName("NAME");
    TField* id = set.ds.FieldByName("ID");

    name->SetIndex(0);
    EXPECT_EQ(set.ds.Log, (std::vector<String> {"link:LayoutChanged"}));
    EXPECT_EQ(set.ds.Fields()[0], name);
    EXPECT_EQ(set.ds.Fields()[1], id);
    EXPECT_EQ(id->Index(), 1);
    EXPECT_EQ(name->FieldNo(), 2);  // the record layout does not move

    set.ds.FieldByName("AMOUNT")->SetIndex(99);  // past the end: to the end
    EXPECT_EQ(set.ds.FieldByName("AMOUNT")->Index(), 2);
    id->SetIndex(5);
    EXPECT_EQ(id->Index(), 2);

    set.ds.Log.clear();
    name->SetVisible(false);
    name->SetVisible(false);
    name->SetDisplayLabel("Client~name");
    name->SetDisplayWidth(25);
    static_cast<TFloatField*>(set.ds.FieldByName("AMOUNT"))->SetDisplayFormat("#.00");
    name->SetAlignment(taCenter);
    name->SetAlignment(taCenter);
    name->SetIndex(0);  // already there
    EXPECT_EQ(set.ds.Log, std::vector<String>(5, "link:LayoutChanged"));
    EXPECT_EQ(name->Alignment(), taCenter);
    EXPECT_EQ(name->DisplayLabel(), "Client~name");
    EXPECT_EQ(name->DisplayWidth(), 25);

    // While controls are disabled the layout changes are told once at the end.
    set.ds.Log.clear();
    set.ds.DisableControls();
    id->SetIndex(0);
    name->SetVisible(true);
    set.ds.EnableControls();
    EXPECT_EQ(set.ds.Log, (std::vector<String> {"link:LayoutChanged"}));
    EXPECT_EQ(set.ds.Fields()[0], id);
}

TEST(Fields, MemoDataStayWithTheirRecord)
{
    TMemDataSet ds(nullptr, {{"ID", ftInteger}, {"NOTE", ftMemo}});
    ds.Open();
    ds.AddRows({{"1", "first note"}, {"2", ""}, {"3", String(5000, 'x')}});
    TField* note = ds.FieldByName("NOTE");
    EXPECT_EQ(note->AsString(), "first note");
    EXPECT_EQ(static_cast<TBlobField*>(note)->BlobSize(), 10);
    ds.Next();
    EXPECT_TRUE(note->IsNull());
    ds.Next();
    EXPECT_EQ(note->AsString(), String(5000, 'x'));

    ds.Edit();
    note->SetAsString("replaced");
    EXPECT_EQ(note->AsString(), "replaced");
    ds.Cancel();
    EXPECT_EQ(note->AsString(), String(5000, 'x'));

    TStringStream source("from a stream");
    ds.Edit();
    static_cast<TBlobField*>(note)->LoadFromStream(source);
    ds.Post();
    TStringStream copy;
    static_cast<TBlobField*>(note)->SaveToStream(copy);
    EXPECT_EQ(copy.DataString(), "from a stream");
}

TEST(Definitions, FieldAndIndexDefinitionsAreFoundByNameIgnoringCase)
{
    TMemDataSet ds(nullptr, AllTypes());
    TFieldDefs& defs = *ds.FieldDefs();
    EXPECT_FALSE(defs.Updated());
    defs.Update();  // asks the data set without opening it
    EXPECT_TRUE(defs.Updated());
    ASSERT_EQ(defs.Count(), 8);
    EXPECT_EQ(defs.IndexOf("d"), 6);
    EXPECT_EQ(defs.Find("s")->Size(), 10);
    EXPECT_EQ(defs.Find("M")->FieldNo(), 8);
    EXPECT_FALSE(ds.Active());
    EXPECT_THROW(defs.Find("NOPE"), EDatabaseError);

    TIndexDefs indexes(&ds);
    indexes.Add("ID", "I", {ixPrimary, ixUnique});
    TIndexDef* byName = indexes.Add("NAME", "", {ixExpression, ixCaseInsensitive});
    byName->SetExpression("UPPER(S)");
    EXPECT_EQ(indexes.IndexOf("name"), 1);
    EXPECT_TRUE(indexes.Find("id")->Options().Contains(ixUnique));
    EXPECT_EQ(indexes.Find("Name")->Expression(), "UPPER(S)");
    try {
        indexes.Find("DATE");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Index 'DATE' not found");
    }
}
