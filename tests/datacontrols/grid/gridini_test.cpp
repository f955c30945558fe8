// The grid's column layout kept in an INI file.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/db/field.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/inifile.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/win/registryinifile.h"
#include "tests/datacontrols/grid/gridfixture.h"
#include "tests/support/formtesting.h"

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
    EXPECT_EQ((std::vector<String> {"NAME1\t20\tName\tF", "CITY\t8\tTown\tT"}), Lines());
    EXPECT_EQ(Grid->GetFields(1)->FieldName(), "CITY");
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(GridIniTest, ABadOrMissingSectionLeavesTheListAsItWas)
{
    SetLines({"ID\t5\tNumber"});
    Grid->LoadIniAttributes();
    EXPECT_EQ((std::vector<String> {"ID\t5\tNumber"}), Lines()) << "no section";

    TIniFile ini(Dir + "layout.ini");
    ini.WriteString("ClientFormGrid1", "NAME1", "20;;Name");
    ini.WriteString("ClientFormGrid1", "CITY", "8,Town");
    Grid->LoadIniAttributes();
    EXPECT_EQ((std::vector<String> {"ID\t5\tNumber"}), Lines());
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Key Delimiter Not Found");

    // With TFields the columns are the fields': the list is only cleared.
    Grid->SetUseTFields(true);
    Grid->LoadIniAttributes();
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(Dialogs.Messages.size(), 2u);
    EXPECT_GT(Grid->GetFieldCount(), 2);
}

TEST_F(GridIniTest, CheckNewFieldsKeepsColumnsTheFileLacks)
{
    TIniFile ini(Dir + "layout.ini");
    ini.WriteString("ClientFormGrid1", "NAME1", "20;;Name;;F");
    SetLines({"ID\t5\tNumber", "name1\t9\tOld"});
    Grid->IniAttributes()->SetCheckNewFields(true);
    Grid->LoadIniAttributes();
    EXPECT_EQ((std::vector<String> {"NAME1\t20\tName\tF", "ID\t5\tNumber"}), Lines());
}

TEST_F(GridIniTest, FileProblemsAreReported)
{
    Grid->IniAttributes()->SetFileName(Dir + "nosuchdir/layout.ini");
    Grid->SaveIniAttributes();
    Grid->IniAttributes()->SetFileName(Dir + "layout.ini");
    Grid->IniAttributes()->SetDelimiter("");
    Grid->LoadIniAttributes();
    Grid->IniAttributes()->SetDelimiter(";;");
    Grid->IniAttributes()->SetFileName("");
    Grid->IniAttributes()->SetSaveToRegistry(true);
    Grid->SaveIniAttributes();
    ASSERT_EQ(Dialogs.Messages.size(), 3u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Directory does not exist");
    EXPECT_EQ(Dialogs.Messages[1].Text, "Key delimiter required");
    EXPECT_EQ(Dialogs.Messages[2].Text, "FileName required when saving to registry");
    EXPECT_FALSE(FileExists(RegistryFilePath()));
}

// The registry here is the registry file: the layout goes under the user's key that
// FileName names, the file's own sections untouched.
TEST_F(GridIniTest, ALayoutSavedToTheRegistryLoadsAgain)
{
    const String previous = SetRegistryFilePath(Dir + "REGISTRY.INI");
    TIniFile(Dir + "REGISTRY.INI").WriteString("HKEY_LOCAL_MACHINE\\SOFTWARE\\KORVANE", "GLPath", "/srv/gl/");
    Grid->IniAttributes()->SetSaveToRegistry(true);
    Grid->IniAttributes()->SetFileName("\\Software\\Korvane\\Totamund\\");
    SetLines({"NAME1\t20\tName", "CITY\t8\tTown\tT", "ID\t6\tNumber"});
    Grid->SaveIniAttributes();
    const TIniFile registry(Dir + "REGISTRY.INI");
    const String key = "HKEY_CURRENT_USER\\Software\\Korvane\\Totamund\\ClientFormGrid1";
    EXPECT_EQ(registry.ReadString(key, "CITY", ""), "8;;Town;;T");
    EXPECT_EQ(registry.ReadString("HKEY_LOCAL_MACHINE\\SOFTWARE\\KORVANE", "GLPath", ""), "/srv/gl/");
    EXPECT_FALSE(FileExists(Dir + "layout.ini"));

    SetLines({"ZIP\t10\tZip"});
    Grid->LoadIniAttributes();
    EXPECT_EQ((std::vector<String> {"NAME1\t20\tName\tF", "CITY\t8\tTown\tT", "ID\t6\tNumber\tF"}), Lines());
    EXPECT_EQ(Grid->GetFields(2)->FieldName(), "ID");
    EXPECT_TRUE(Dialogs.Messages.empty());
    SetRegistryFilePath(previous);
}

TEST_F(GridIniTest, TheDefaultFileIsTheExecutablesNameWithIni)
{
    Grid->IniAttributes()->SetFileName("");
    // The test program's name has no extension: the whole name stays.
    EXPECT_EQ(Grid->IniAttributes()->FileName(), "datacontrols_tests.ini");
}

TEST_F(GridIniTest, AnEnabledGridLoadsWhenItsWindowFirstShowsAndSavesWhenItGoes)
{
    TIniFile(Dir + "layout.ini").WriteString("ClientFormGrid1", "CITY", "8;;Town;;F");
    Grid->SetDataSource(nullptr);
    Grid->IniAttributes()->SetEnabled(true);
    Grid->SetDataSource(Source);
    EXPECT_TRUE(Lines().empty()) << "opening the link loads nothing";
    ShowForm(Form);
    EXPECT_EQ((std::vector<String> {"CITY\t8\tTown\tF"}), Lines());
    EXPECT_EQ(Grid->GetFields(0)->FieldName(), "CITY");
    TIniFile(Dir + "layout.ini").WriteString("ClientFormGrid1", "ZIP", "10;;Zip;;F");
    Form->Hide();
    ShowForm(Form);
    EXPECT_EQ(Lines().size(), 1u) << "only the first showing loads";
    SetLines({"ID\t6\tNumber"});
    Grid->Free();
    Grid = nullptr;
    EXPECT_EQ(TIniFile(Dir + "layout.ini").ReadString("ClientFormGrid1", "ID", ""), "6;;Number;;F");
}

}  // namespace
