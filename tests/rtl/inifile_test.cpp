#include "platform/rtl/inifile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/rtl/streams.h"
#include "tests/support/tempdir.h"

namespace {

const char* const Sample = "; settings of the program\r\n"
                           "[Paths]\r\n"
                           "Data=/srv/data/\r\n"
                           "Backup = /srv/backup/ \r\n"
                           "\r\n"
                           "[Printer]\r\n"
                           "; the form printer\r\n"
                           "Name=Laser; second floor\r\n"
                           "Copies=2\r\n"
                           "Quoted=\"  padded  \"\r\n"
                           "\r\n"
                           "[Flags]\r\n"
                           "Color=0\r\n";

TEST(IniFileTest, ReadsIgnoringCase)
{
    TempDir dir;
    dir.Write("program.ini", Sample);
    TIniFile ini(dir / "PROGRAM.INI");
    EXPECT_EQ(ini.ReadString("paths", "DATA", "?"), "/srv/data/");
    EXPECT_EQ(ini.ReadString("Paths", "Backup", "?"), "/srv/backup/");
    EXPECT_EQ(ini.ReadString("Printer", "Name", "?"), "Laser; second floor");
    EXPECT_EQ(ini.ReadString("Printer", "Quoted", "?"), "  padded  ");
    EXPECT_EQ(ini.ReadString("Printer", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Nowhere", "Data", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Printer", "; the form printer", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("Printer", "Copies", 1), 2);
    EXPECT_EQ(ini.ReadInteger("Printer", "Name", 7), 7);
    EXPECT_FALSE(ini.ReadBool("Flags", "Color", true));
    EXPECT_TRUE(ini.ReadBool("Flags", "Missing", true));
    EXPECT_TRUE(ini.SectionExists("FLAGS"));
    EXPECT_FALSE(ini.SectionExists("Other"));
    EXPECT_TRUE(ini.ValueExists("printer", "copies"));
    EXPECT_FALSE(ini.ValueExists("Paths", "Copies"));

    TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(list.CommaText(), "Paths,Printer,Flags");
    ini.ReadSection("Printer", list);
    EXPECT_EQ(list.CommaText(), "Name,Copies,Quoted");
    ini.ReadSectionValues("Paths", list);
    EXPECT_EQ(list.Text(), "Data=/srv/data/\r\nBackup=/srv/backup/\r\n");
}

TEST(IniFileTest, WritesKeepOrderAndComments)
{
    TempDir dir;
    dir.Write("program.ini", Sample);
    {
        TIniFile ini(dir / "program.ini");
        ini.WriteString("printer", "COPIES", "3");
        ini.WriteString("Printer", "Tray", "2; lower");
        ini.WriteInteger("New", "Count", -5);
        ini.WriteBool("Flags", "Color", true);
        ini.WriteFloat("New", "Rate", 0.125);
        ini.DeleteKey("Paths", "backup");
        ini.DeleteKey("Paths", "absent");
    }
    EXPECT_EQ(dir.Read("program.ini"), "; settings of the program\r\n"
                                       "[Paths]\r\n"
                                       "Data=/srv/data/\r\n"
                                       "\r\n"
                                       "[Printer]\r\n"
                                       "; the form printer\r\n"
                                       "Name=Laser; second floor\r\n"
                                       "Copies=3\r\n"
                                       "Quoted=\"  padded  \"\r\n"
                                       "Tray=2; lower\r\n"
                                       "\r\n"
                                       "[Flags]\r\n"
                                       "Color=1\r\n"
                                       "[New]\r\n"
                                       "Count=-5\r\n"
                                       "Rate=0.125\r\n");

    TIniFile again(dir / "program.ini");
    EXPECT_EQ(again.ReadString("Printer", "Tray", ""), "2; lower");
    EXPECT_EQ(again.ReadInteger("new", "count", 0), -5);
    EXPECT_DOUBLE_EQ(again.ReadFloat("New", "Rate", 0), 0.125);
    again.EraseSection("printer");
    EXPECT_FALSE(TIniFile(dir / "program.ini").SectionExists("Printer"));
}

TEST(IniFileTest, NewFileAndBadInput)
{
    TempDir dir;
    TIniFile ini(dir / "fresh.ini");
    EXPECT_EQ(ini.ReadString("A", "B", "none"), "none");
    ini.WriteString("Main", "Key", "value");
    EXPECT_EQ(dir.Read("fresh.ini"), "[Main]\r\nKey=value\r\n");

    // A line break in a value would make up lines of its own.
    EXPECT_THROW(ini.WriteString("Main", "Key", "a\r\n[Evil]"), EConvertError);
    EXPECT_THROW(ini.WriteString("Main", "K=ey", "x"), EConvertError);
    EXPECT_THROW(ini.WriteString("Ma]in", "Key", "x"), EConvertError);
    EXPECT_THROW(ini.WriteString("Main", " ", "x"), EConvertError);
    EXPECT_THROW(ini.WriteString("Main", ";note", "x"), EConvertError);
    EXPECT_EQ(dir.Read("fresh.ini"), "[Main]\r\nKey=value\r\n");
}

TEST(IniFileTest, WritesAreAtomic)
{
    TempDir dir;
    dir.Write("keep.ini", "[A]\r\nx=1\r\n");
    ::chmod((dir / "keep.ini").c_str(), 0640);
    TIniFile ini(dir / "keep.ini");
    ini.WriteString("A", "y", "2");
    struct stat st;
    ASSERT_EQ(::stat((dir / "keep.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    // A file held open by another user is left as it is, and the write says so.
    {
        TFileStream holder(dir / "keep.ini", fmOpenRead);
        EXPECT_THROW(ini.WriteString("A", "z", "3"), EInOutError);
    }
    EXPECT_FALSE(ini.ValueExists("A", "z"));
    EXPECT_EQ(dir.Read("keep.ini"), "[A]\r\nx=1\r\ny=2\r\n");
    TIniFile nowhere(dir / "no/such/dir/x.ini");
    EXPECT_THROW(nowhere.WriteString("A", "x", "1"), EInOutError);
}

}  // namespace
