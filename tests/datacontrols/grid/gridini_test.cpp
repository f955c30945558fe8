// The grid's column layout kept in an INI file.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/db/field.h"
#include "platform/rtl/inifile.h"
#include "platform/vcl/scripteddialogs.h"
#include "tests/datacontrols/grid/gridfixture.h"

namespace {

class GridIniTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        Form->SetName("ClientForm");
        Grid->SetName("Grid1");
        Grid->SetUseTFields(false);
        Grid->IniAttributes()->SetFileName(Dir + "layout.ini");
    }
    void SetLines(std::initializer_list<const char*> Lines)
    {
        TStringList lines;
        for (const char* line : Lines)
            lines.Add(line);
        Grid->SetSelected(&lines);
    }
    std::vector<String> Lines()
    {
        std::vector<String> lines;
        for (int i = 0; i < Grid->Selected()->Count(); ++i)
            lines.push_back(Grid->Selected()->Strings(i));
        return lines;
    }

    TScriptedDialogs Dialogs;
};

TEST_F(GridIniTest, TheColumnListRoundTripsThroughTheFile)
{
    SetLines({"NAME1\t20\tName", "CITY\t8\tTown\tT"});
    Grid->SaveIniAttributes();
    TIniFile ini(Dir + "layout.ini");
    EXPECT_EQ(Grid->IniAttributes()->SectionName(), "ClientFormGrid1");
    EXPECT_EQ(ini.ReadString("ClientFormGrid1", "NAME1", ""), "20;;Name;;F");
    EXPECT_EQ(ini.ReadString("ClientFormGrid1", "CITY", ""), "8;;Town;;T");

    SetLines({"ID\t5\tNumber"});
    Grid->LoadIniAttributes();
    EXPECT_EQ((std::vector<String>{"NAME1\t20\tName\tF", "CITY\t8\tTown\tT"}), Lines());
    EXPECT_EQ(Grid->GetFields(1)->FieldName(), "CITY");
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(GridIniTest, ABadOrMissingSectionLeavesTheListAsItWas)
{
    SetLines({"ID\t5\tNumber"});
    Grid->LoadIniAttributes();
    EXPECT_EQ((std::vector<String>{"ID\t5\tNumber"}), Lines()) << "no section";

    TIniFile ini(Dir + "layout.ini");
    ini.WriteString("ClientFormGrid1", "NAME1", "20;;Name");
    ini.WriteString("ClientFormGrid1", "CITY", "8,Town");
    Grid->LoadIniAttributes();
    EXPECT_EQ((std::vector<String>{"ID\t5\tNumber"}), Lines());
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Key Delimiter Not Found");
}

TEST_F(GridIniTest, CheckNewFieldsKeepsColumnsTheFileLacks)
{
    TIniFile ini(Dir + "layout.ini");
    ini.WriteString("ClientFormGrid1", "NAME1", "20;;Name;;F");
    SetLines({"ID\t5\tNumber", "name1\t9\tOld"});
    Grid->IniAttributes()->SetCheckNewFields(true);
    Grid->LoadIniAttributes();
    EXPECT_EQ((std::vector<String>{"NAME1\t20\tName\tF", "ID\t5\tNumber"}), Lines());
}

TEST_F(GridIniTest, FileProblemsAreReported)
{
    Grid->IniAttributes()->SetFileName(Dir + "nosuchdir/layout.ini");
    Grid->SaveIniAttributes();
    Grid->IniAttributes()->SetFileName(Dir + "layout.ini");
    Grid->IniAttributes()->SetDelimiter("");
    Grid->LoadIniAttributes();
    ASSERT_EQ(Dialogs.Messages.size(), 2u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Directory does not exist");
    EXPECT_EQ(Dialogs.Messages[1].Text, "Key delimiter required");
}

TEST_F(GridIniTest, TheDefaultFileIsTheExecutablesNameWithIni)
{
    Grid->IniAttributes()->SetFileName("");
    // The test program's name has no extension: the whole name stays.
    EXPECT_EQ(Grid->IniAttributes()->FileName(), "datacontrols_tests.ini");
}

TEST_F(GridIniTest, AnEnabledGridLoadsWhenItOpensAndSavesWhenItGoes)
{
    TIniFile(Dir + "layout.ini").WriteString("ClientFormGrid1", "CITY", "8;;Town;;F");
    Grid->SetDataSource(nullptr);
    Grid->IniAttributes()->SetEnabled(true);
    Grid->SetDataSource(Source);
    EXPECT_EQ((std::vector<String>{"CITY\t8\tTown\tF"}), Lines());
    SetLines({"ID\t6\tNumber"});
    Grid->Free();
    Grid = nullptr;
    EXPECT_EQ(TIniFile(Dir + "layout.ini").ReadString("ClientFormGrid1", "ID", ""), "6;;Number;;F");
}

}  // namespace
