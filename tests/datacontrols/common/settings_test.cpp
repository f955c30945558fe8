#include <gtest/gtest.h>

#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwfieldsettings.h"
#include "datacontrols/common/dwpicturemasks.h"
#include "datacontrols/common/wwintl.h"
#include "platform/db/datasource.h"
#include "platform/rtl/datetime.h"
#include "tests/datacontrols/common/publishing.h"

namespace {

std::vector<MemColumn> ClientColumns()
{
    return {{"ID", ftString, 6},
            {"NAME", ftString, 30},
            {"ZIP", ftString, 10},
            {"AMOUNT", ftFloat},
            {"STATE", ftString, 2}};
}

TEST(dwPictureMasks, ReadingLines)
{
    struct Case {
        std::vector<String> Lines;
        const char* Field;
        const char* Mask;
        bool AutoFill, UseInGrid;
    } cases[] = {
            {{}, "ZIP", "", true, true},
            {{"Amount\t###\tt\tT"}, "AMOUNT", "###", false, true},
            {{"Zip\t#####"}, "Zip", "#####", false, false},
            {{"A\t#\tT\tT", "a\t##\tF\tF"}, "A", "#", true, true},
            {{"Other\t#\tF\tF"}, "A", "", true, true},
    };
    for (const Case& c : cases) {
        TPublishingDataSet ds(nullptr);
        for (const String& line : c.Lines)
            ds.PictureMasks.Add(line);
        const TdwFieldPictureMask mask = dwGetFieldPictureMask(&ds, c.Field);
        EXPECT_EQ(mask.Mask, c.Mask) << c.Field;
        EXPECT_EQ(mask.AutoFill, c.AutoFill) << c.Field;
        EXPECT_EQ(mask.UseInGrid, c.UseInGrid) << c.Field;
    }
    // An object that publishes no list has no masks.
    TComponent plain(nullptr);
    EXPECT_EQ(dwGetFieldPictureMask(&plain, "ZIP").Mask, "");
    EXPECT_TRUE(dwGetFieldPictureMask(nullptr, "ZIP").UseInGrid);
}

TEST(dwPictureMasks, WritingLines)
{
    TPublishingDataSet ds(nullptr);
    ds.PictureMasks.Add("Zip\t#####\tF\tT");
    ds.PictureMasks.Add("State\t&&\tT\tT");

    // Only the mask is set: both flags keep their values; the name is matched ignoring case.
    dwPutFieldPictureMask(&ds, "ZIP", "#####[-####]", true, true, true, false, false);
    dwPutFieldPictureMask(&ds, "zip", "#####-####", false, false, true, true, true);
    EXPECT_EQ(ds.PictureMasks[0], "zip\t#####-####\tF\tF");
    // Only a flag is set: the mask stays.
    dwPutFieldPictureMask(&ds, "State", "", true, false, false, false, true);
    EXPECT_EQ(ds.PictureMasks[1], "State\t&&\tT\tF");
    // An empty mask deletes the line.
    dwPutFieldPictureMask(&ds, "ZIP", "", false, false, true, true, true);
    ASSERT_EQ(ds.PictureMasks.Count(), 1);
    EXPECT_EQ(ds.PictureMasks[0], "State\t&&\tT\tF");
    // A new field: nothing for an empty mask, a full line for a mask.
    dwPutFieldPictureMask(&ds, "ID", "", true, true, true, true, true);
    EXPECT_EQ(ds.PictureMasks.Count(), 1);
    dwPutFieldPictureMask(&ds, "ID", "*#", true, true, true, true, false);
    EXPECT_EQ(ds.PictureMasks[1], "ID\t*#\tF\tT");

    TComponent plain(nullptr);
    dwPutFieldPictureMask(&plain, "ID", "*#", true, true, true, true, true);  // no list: no effect, no error
}

TEST(dwPictureMasks, PassingAMask)
{
    EXPECT_TRUE(dwPassesPictureMask("###", ""));
    EXPECT_TRUE(dwPassesPictureMask("###", "123"));
    EXPECT_FALSE(dwPassesPictureMask("###", "12"));
    EXPECT_FALSE(dwPassesPictureMask("###", "1234"));
    EXPECT_FALSE(dwPassesPictureMask("#####[-####]", "12345-"));
    EXPECT_TRUE(dwPassesPictureMask("&&", "ab"));
    // A malformed mask passes no text: a post under it cannot go through unchecked.
    for (const char* malformed : {"{#", "[#", "#}", "*"})
        EXPECT_FALSE(dwPassesPictureMask(malformed, "1")) << malformed;
}

class dwValidation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ds.Open();
        ds.Insert();
        ds.FieldByName("ZIP")->SetDisplayLabel("Zip Code");
        ds.PictureMasks.Add("ZIP\t#####\tT\tT");
        ds.PictureMasks.Add("STATE\t&&\tT\tT");
    }
    TPublishingDataSet ds {nullptr, ClientColumns()};
};

TEST_F(dwValidation, FirstFailingFieldRaisesAfterTheEvent)
{
    ds.FieldByName("ZIP")->SetAsString("12a45");
    ds.FieldByName("STATE")->SetAsString("1");
    std::vector<String> told;
    try {
        dwValidateWithMasks(&ds, [&](TDataSet* DataSet, TField* Field) {
            EXPECT_EQ(DataSet, &ds);
            told.push_back(Field->FieldName());
        });
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Invalid characters. Field : Zip Code");
    }
    EXPECT_EQ(told, std::vector<String> {"ZIP"});
}

TEST_F(dwValidation, ReadOnlyAndEmptyAndPassingFieldsPost)
{
    ds.FieldByName("ZIP")->SetAsString("12345");
    dwValidateWithMasks(&ds, nullptr);
    ds.FieldByName("STATE")->SetAsString("1");
    ds.FieldByName("STATE")->SetReadOnly(true);
    dwValidateWithMasks(&ds, nullptr);
    ds.FieldByName("STATE")->SetReadOnly(false);
    EXPECT_THROW(dwValidateWithMasks(&ds, nullptr), EDatabaseError);
}

TEST_F(dwValidation, MessageFollowsTheLibraryText)
{
    const String saved = dwIntl()->UserMessages().PictureValidateError;
    dwIntl()->UserMessages().PictureValidateError = "Bad: ";
    ds.FieldByName("STATE")->SetAsString("12");
    try {
        dwValidateWithMasks(&ds, nullptr);
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Bad: STATE");
    }
    dwIntl()->UserMessages().PictureValidateError = saved;
}

TEST(dwControlTypes, Lines)
{
    TPublishingDataSet ds(nullptr);
    ds.ControlType.Add("Flag;CheckBox;Yes;No");
    ds.ControlType.Add("Amount;Combo;A");
    ds.ControlType.Add("Amount;LookupCombo;" + String(300, 'p'));
    ds.ControlType.Add("Kind;Bare");

    TdwFieldControlType type = dwGetFieldControlType(&ds, "Flag");
    EXPECT_EQ(type.TypeWord, "CheckBox");
    EXPECT_EQ(type.Parameters, "Yes;No");
    type = dwGetFieldControlType(&ds, "Amount");  // the later line wins, parameters cut
    EXPECT_EQ(type.TypeWord, "LookupCombo");
    EXPECT_EQ(type.Parameters, String(255, 'p'));
    type = dwGetFieldControlType(&ds, "Kind");
    EXPECT_EQ(type.TypeWord, "Bare");
    EXPECT_EQ(type.Parameters, "");
    type = dwGetFieldControlType(&ds, "amount");  // names compare exactly
    EXPECT_EQ(type.TypeWord, "");
    EXPECT_EQ(dwGetFieldControlType(nullptr, "Flag").TypeWord, "");

    EXPECT_TRUE(dwIsCustomControlType("combo"));
    EXPECT_TRUE(dwIsCustomControlType("CUSTOMEDIT"));
    EXPECT_TRUE(dwIsCustomControlType("LookupCombo"));
    EXPECT_FALSE(dwIsCustomControlType("CheckBox"));
}

TEST(dwControlTypes, RichEditBlob)
{
    TPublishingDataSet ds(nullptr, {{"NOTES", ftMemo}, {"NOTESX", ftMemo}, {"MEMO", ftMemo}});
    ds.ControlType.Add("NOTESX;RichEditX");
    ds.ControlType.Add("MEMO;Memo");
    ds.Open();
    EXPECT_FALSE(dwIsRichEditField(ds.FieldByName("NOTES")));
    EXPECT_TRUE(dwIsRichEditField(ds.FieldByName("NOTESX")));
    EXPECT_FALSE(dwIsRichEditField(ds.FieldByName("MEMO")));
}

TEST(dwPublishedSettings, OwnersAndDefaults)
{
    TPublishingDataSet ds(nullptr);
    TDataSource source(nullptr);
    source.SetDataSet(&ds);
    TPublishingControl control;
    ASSERT_TRUE(dwSetControlDataSource(&control, &source));
    EXPECT_EQ(dwGetControlDataSource(&control), &source);

    EXPECT_EQ(dwGetPictureMasksOwner(&control, nullptr), &ds);
    EXPECT_EQ(dwGetControlInfoOwner(&control, nullptr), &ds);
    control.PictureMaskFromDataSet = false;
    EXPECT_EQ(dwGetPictureMasksOwner(&control, nullptr), &control);
    EXPECT_EQ(dwGetControlInfoOwner(&control, nullptr), &ds);
    // A data set that publishes no list leaves the control's own.
    TMemDataSet plainSet(nullptr);
    EXPECT_EQ(dwGetControlInfoOwner(&control, &plainSet), &control);

    ASSERT_TRUE(dwSetControlDataField(&control, "ZIP"));
    EXPECT_EQ(dwGetControlDataField(&control), "ZIP");
    EXPECT_FALSE(dwSetBorderStyleProp(&control, true));

    TComponent plain(nullptr);
    EXPECT_EQ(dwGetPictureMasksList(&plain), nullptr);
    EXPECT_EQ(dwGetControlTypeList(nullptr), nullptr);
    EXPECT_TRUE(dwGetControlInfoInDataSet(&plain));
    EXPECT_TRUE(dwGetPictureMaskFromDataSet(&plain));
    EXPECT_FALSE(dwGetWantReturns(&plain));
    EXPECT_EQ(dwGetCursorLocation(&plain), 0);
    EXPECT_EQ(dwGetTableNameProp(&plain), "");
    EXPECT_EQ(dwGetMasterSource(&plain), nullptr);
    EXPECT_FALSE(dwGetOnInvalidValue(&plain));
    EXPECT_FALSE(dwSetControlDataSource(&plain, &source));

    bool called = false;
    ds.OnInvalidValue = [&](TDataSet*, TField*) { called = true; };
    dwGetOnInvalidValue (&ds)(&ds, nullptr);
    EXPECT_TRUE(called);
}

TEST(dwPublishedSettings, FilterOptions)
{
    TPublishingDataSet published(nullptr);
    EXPECT_EQ(dwGetFilterOptions(&published), (TdwOnFilterOptions {ofoEnabled, ofoShowHourGlass}));
    dwSetFilterEnabled(&published, false);
    EXPECT_EQ(published.OnFilterOptions, TdwOnFilterOptions {ofoShowHourGlass});
    dwSetFilterEnabled(&published, true);
    EXPECT_EQ(published.OnFilterOptions, (TdwOnFilterOptions {ofoEnabled, ofoShowHourGlass}));

    // A data set without the options answers from its Filtered flag, and ignores the setter.
    TMemDataSet plain(nullptr);
    EXPECT_EQ(dwGetFilterOptions(&plain), TdwOnFilterOptions {});
    plain.SetFiltered(true);
    EXPECT_EQ(dwGetFilterOptions(&plain), TdwOnFilterOptions {ofoEnabled});
    dwSetFilterEnabled(&plain, false);
    EXPECT_TRUE(plain.Filtered());
}

TEST(dwLookupSettings, SpecsAndLinks)
{
    TPublishingDataSet ds(nullptr, {{"ID", ftString, 6},
                                    {"STATE", ftString, 2},
                                    {"STATENAME", ftString, 20},
                                    {"CITY", ftString, 20}});
    ds.LookupFields.Add("CITY;DATA;CITIES;NAME");  // four parts: ignored
    ds.LookupLinks.Add("ID;ID");
    ds.LookupFields.Add("STATENAME;GEO;STATES.DBF;FULLNAME;STATECODE");
    ds.LookupLinks.Add("STATE;CODE");
    ds.Open();

    const TdwLookupFieldSpec entry = dwGetLookupFieldSpec(ds.FieldByName("STATENAME"));
    EXPECT_EQ(entry.DatabaseName, "GEO");
    EXPECT_EQ(entry.TableName, "STATES.DBF");
    EXPECT_EQ(entry.ResultField, "FULLNAME");
    EXPECT_EQ(entry.LinksLine, "STATE;CODE");

    const TdwLookupFieldSpec none = dwGetLookupFieldSpec(ds.FieldByName("CITY"));
    EXPECT_EQ(none.DatabaseName, "DATA");
    EXPECT_EQ(none.TableName, "");
    EXPECT_EQ(none.LinksLine, "");

    EXPECT_EQ(dwGetLookupLinksLine(&ds, "STATENAME"), "STATE;CODE");
    EXPECT_EQ(dwGetLookupLinksLine(&ds, "statename"), "");  // display field names compare exactly
    EXPECT_EQ(dwGetLookupResultField(&ds, "STATENAME"), "FULLNAME");
    EXPECT_EQ(dwGetLookupResultField(&ds, "CITY"), "");
}

TEST(dwLookupSettings, PurgeDropsLinesOfMissingFields)
{
    TPublishingDataSet ds(nullptr, {{"ID", ftString, 6}, {"STATE", ftString, 2}});
    ds.Open();
    TStringList fields, links, masks;
    fields.SetText("GONE;a;b;c;d\nstate;a;b;c;d\nLOST;a;b;c;d\n");
    links.SetText("g;g\nSTATE;CODE\nl;l\n");
    masks.SetText("ID;x\nOLD;y\n");
    dwPurgeMissingFieldEntries(&ds, &fields, &links, &masks);
    EXPECT_EQ(fields.Text(), "state;a;b;c;d\r\n");
    EXPECT_EQ(links.Text(), "STATE;CODE\r\n");
    EXPECT_EQ(masks.Text(), "ID;x\r\n");
}

TEST(dwFieldHelpers, ExistenceKindsAndLabels)
{
    TPublishingDataSet ds(nullptr, ClientColumns());
    ds.Open();
    EXPECT_TRUE(dwFieldExists(&ds, "zip"));
    EXPECT_FALSE(dwFieldExists(&ds, "ZIP4"));
    EXPECT_FALSE(dwFieldExists(nullptr, "ZIP"));
    ds.FieldByName("ID")->SetDisplayLabel("Reference~Number");
    EXPECT_EQ(dwFieldNameFromDisplayLabel(&ds, "reference number"), "ID");
    EXPECT_EQ(dwFieldNameFromDisplayLabel(&ds, "Reference~number"), "ID");
    EXPECT_EQ(dwFieldNameFromDisplayLabel(&ds, "zip"), "ZIP");
    EXPECT_EQ(dwFieldNameFromDisplayLabel(&ds, "Reference"), "");
    EXPECT_FALSE(dwIsCalcOrLookupField(ds.FieldByName("ID")));

    EXPECT_TRUE(dwIsNumericFieldType(ftAutoInc));
    EXPECT_TRUE(dwIsNumericFieldType(ftCurrency));
    EXPECT_FALSE(dwIsNumericFieldType(ftBCD));
    EXPECT_FALSE(dwIsNumericFieldType(ftString));
    EXPECT_FALSE(dwIsIndexableFieldType(ftBlob));
    EXPECT_FALSE(dwIsIndexableFieldType(ftVarBytes));
    EXPECT_TRUE(dwIsIndexableFieldType(ftMemo));
    EXPECT_TRUE(dwIsIndexableFieldType(ftDate));
}

TEST(dwFieldHelpers, TextSuitsType)
{
    struct Case {
        TFieldType Type;
        const char* Text;
        bool Suits;
    } cases[] = {
            {ftInteger, "-5", true},
            {ftInteger, "5.0", false},
            {ftSmallint, "", true},
            {ftFloat, "1.5", true},
            {ftCurrency, "1.5x", false},
            {ftBCD, "2", true},
            {ftDate, "2/30/2009", false},
            {ftDate, "2/28/2009", true},
            {ftTime, "9:30 pm", true},
            {ftTime, "9:30 xm", false},
            {ftDateTime, "1/2/2008", true},
            {ftDateTime, "1/2/2008 10:30", true},
            {ftDateTime, "1/2/2008 x", false},
            {ftString, "anything", true},
            {ftBoolean, "maybe", true},
    };
    const String format = ShortDateFormat;
    ShortDateFormat = "M/d/yyyy";
    for (const Case& c : cases)
        EXPECT_EQ(dwTextSuitsFieldType(c.Text, c.Type), c.Suits) << c.Text << " type " << c.Type;
    ShortDateFormat = format;

    TPublishingDataSet ds(nullptr, {{"N", ftInteger}, {"S", ftString, 5}, {"D", ftDate}});
    ds.Open();
    EXPECT_TRUE(dwFieldAcceptsText(ds.FieldByName("N"), ""));
    EXPECT_FALSE(dwIsSearchableText(ds.FieldByName("N"), ""));
    EXPECT_FALSE(dwIsSearchableText(ds.FieldByName("D"), ""));
    EXPECT_TRUE(dwIsSearchableText(ds.FieldByName("S"), ""));
    EXPECT_TRUE(dwIsSearchableText(ds.FieldByName("N"), "12"));
    EXPECT_FALSE(dwIsSearchableText(ds.FieldByName("N"), "1x"));
}

TEST(dwSelectedLists, ApplyAndBuild)
{
    TPublishingDataSet ds(nullptr, ClientColumns());
    ds.Open();
    TStringList lines;
    lines.Add("NOPE\t5\tMissing");
    lines.Add("name\t25\tClient~Name");
    lines.Add("ID\t8\tID");
    dwApplySelectedToFields(&ds, &lines);

    EXPECT_EQ(ds.FieldByName("NAME")->Index(), 0);
    EXPECT_EQ(ds.FieldByName("ID")->Index(), 1);
    EXPECT_EQ(ds.FieldByName("NAME")->DisplayWidth(), 25);
    EXPECT_EQ(ds.FieldByName("NAME")->DisplayLabel(), "Client~Name");
    EXPECT_FALSE(ds.FieldByName("ZIP")->Visible());
    EXPECT_FALSE(ds.FieldByName("AMOUNT")->Visible());
    EXPECT_FALSE(ds.ControlsDisabled());

    TStringList built;
    built.Add("stale");
    dwFieldsToSelected(&ds, &built);
    EXPECT_EQ(built.Text(), "NAME\t25\tClient~Name\r\nID\t8\tID\r\n");

    int index = -1;
    EXPECT_TRUE(dwFindSelectedLine(&built, "id", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(dwFindSelectedLine(&built, "ZIP", index));
}

}  // namespace
