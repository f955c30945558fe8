#include "platform/rtl/fileops.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/rtl/streams.h"
#include "tests/support/tempdir.h"

namespace {

using Names = std::vector<String>;

TEST(FileOpsTest, PathFunctions)
{
    struct Case {
        String Path, FilePath, FileDir, FileName, FileExt, NoExt;
    };
    const Case cases[] = {
            {"/data/client.dbf", "/data/", "/data", "client.dbf", ".dbf", "/data/client"},
            {"C:\\DATA\\CLIENT.DBF", "C:/DATA/", "C:/DATA", "CLIENT.DBF", ".DBF", "C:/DATA/CLIENT"},
            {"a.b/readme", "a.b/", "a.b", "readme", "", "a.b/readme"},
            {"name.tar.gz", "", "", "name.tar.gz", ".gz", "name.tar"},
            {"/dir/", "/dir/", "/dir", "", "", "/dir/"},
            {"/file", "/", "/", "file", "", "/file"},
            {"\\\\server\\\\share\\x", "/server/share/", "/server/share", "x", "", "/server/share/x"},
            {"", "", "", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.Path), c.FilePath) << c.Path;
        EXPECT_EQ(ExtractFileDir(c.Path), c.FileDir) << c.Path;
        EXPECT_EQ(ExtractFileName(c.Path), c.FileName) << c.Path;
        EXPECT_EQ(ExtractFileExt(c.Path), c.FileExt) << c.Path;
        EXPECT_EQ(ChangeFileExt(c.Path, ""), c.NoExt) << c.Path;
    }
    EXPECT_EQ(ChangeFileExt("/a.b/client", ".CDX"), "/a.b/client.CDX");
    EXPECT_EQ(ChangeFileExt("client.dbf", ".FPT"), "client.FPT");

    struct Trailing {
        String Path, Included, Excluded;
    };
    const Trailing trailing[] = {
            {"/data", "/data/", "/data"},
            {"/data/", "/data/", "/data"},
            {"C:\\DATA\\", "C:/DATA/", "C:/DATA"},
            {"/", "/", "/"},
            {"", "", ""},
    };
    for (const Trailing& t : trailing) {
        EXPECT_EQ(IncludeTrailingPathDelimiter(t.Path), t.Included) << t.Path;
        EXPECT_EQ(ExcludeTrailingPathDelimiter(t.Path), t.Excluded) << t.Path;
    }
}

TEST(FileOpsTest, ExpandFileName)
{
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    String here = IncludeTrailingPathDelimiter(cwd);
    struct Case {
        String Path, Expanded;
    };
    const Case cases[] = {
            {"/a/b/../c/./d.txt", "/a/c/d.txt"}, {"/a/b/..", "/a/"}, {"/../x", "/x"}, {"\\a\\\\b\\", "/a/b/"},
            {"sub/f.txt", here + "sub/f.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandFileName(c.Path), c.Expanded) << c.Path;
}

class ResolveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write("Data.Files/Client/clientlist.dbf", "x");
        dir.Write("Data.Files/Client/CLIENT.CDX", "x");
        dir.Write("Data.Files/exact", "x");
        dir.Write("Data.Files/EXACT", "x");
    }
    TempDir dir;
};

TEST_F(ResolveTest, FindsEachComponentIgnoringCase)
{
    String root = dir.Path();
    struct Case {
        String Given, Resolved;
    };
    const Case cases[] = {
            {"data.files/CLIENT/CLIENTLIST.DBF", "Data.Files/Client/clientlist.dbf"},
            {"DATA.FILES\\client\\client.cdx", "Data.Files/Client/CLIENT.CDX"},
            {"data.files/client/", "Data.Files/Client/"},
            {"data.files/Exact", "Data.Files/EXACT"},  // several spellings: the first in byte order
            {"data.files/exact", "Data.Files/exact"},  // the exact spelling wins
            {"data.files/client/NEW.DBF", "Data.Files/Client/NEW.DBF"},
            {"data.files/MISSING/Sub/X.DBF", "Data.Files/MISSING/Sub/X.DBF"},
            {"data.files/client/clientlist.dbf/x", "Data.Files/Client/clientlist.dbf/x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolvePath(root + c.Given), root + c.Resolved) << c.Given;

    EXPECT_TRUE(FileExists(root + "DATA.FILES/CLIENT/CLIENTLIST.DBF"));
    EXPECT_FALSE(FileExists(root + "DATA.FILES/CLIENT"));
    EXPECT_TRUE(DirectoryExists(root + "data.files\\client\\"));
    EXPECT_FALSE(DirectoryExists(root + "data.files/client/clientlist.dbf"));
    EXPECT_EQ(FileSize(root + "data.files/client/CLIENTLIST.dbf"), 1);
    EXPECT_EQ(FileSize(root + "nothing"), -1);
    TDateTime age = 0;
    EXPECT_TRUE(FileAge(root + "data.files/exact", age));
    EXPECT_GT(age, 40000.0);
    EXPECT_FALSE(FileAge(root + "nothing", age));
}

TEST_F(ResolveTest, OperationsUseTheExistingName)
{
    String root = dir.Path();
    EXPECT_TRUE(
            CopyFile(root + "DATA.FILES/CLIENT/CLIENTLIST.DBF", root + "data.files/client/Copy.dbf", true));
    EXPECT_EQ(dir.Read("Data.Files/Client/Copy.dbf"), "x");
    EXPECT_TRUE(RenameFile(root + "DATA.FILES/CLIENT/COPY.DBF", root + "data.files/client/Moved.dbf"));
    EXPECT_EQ(dir.Read("Data.Files/Client/Moved.dbf"), "x");
    EXPECT_TRUE(DeleteFile(root + "DATA.FILES/CLIENT/MOVED.DBF"));
    EXPECT_EQ(dir.Read("Data.Files/Client/Moved.dbf"), "<missing>");
    EXPECT_FALSE(DeleteFile(root + "DATA.FILES/CLIENT/MOVED.DBF"));

    EXPECT_TRUE(
            RenameFile(root + "data.files/client/clientlist.dbf", root + "data.files/client/CLIENTLIST.DBF"));
    EXPECT_EQ(ListFiles(root + "data.files/client", "*.dbf"), Names {"CLIENTLIST.DBF"});
}

TEST(FileOpsTest, CopyFileReplacesOrKeeps)
{
    TempDir dir;
    dir.Write("src.txt", "new contents");
    dir.Write("dst.txt", "old");
    ::chmod((dir / "src.txt").c_str(), 0640);

    EXPECT_FALSE(CopyFile(dir / "src.txt", dir / "dst.txt", true));
    EXPECT_EQ(dir.Read("dst.txt"), "old");
    EXPECT_TRUE(CopyFile(dir / "src.txt", dir / "dst.txt", false));
    EXPECT_EQ(dir.Read("dst.txt"), "new contents");
    struct stat st;
    ASSERT_EQ(::stat((dir / "dst.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    EXPECT_FALSE(CopyFile(dir / "none.txt", dir / "x.txt", false));
    EXPECT_FALSE(CopyFile(dir / "src.txt", dir / "no/dir/x.txt", false));
    EXPECT_FALSE(CopyFile(dir.Path(), dir / "x.txt", false));
    // Nothing half-written is left behind.
    EXPECT_EQ(ListFiles(dir.Path(), "*", lkAll), (Names {"dst.txt", "src.txt"}));
}

TEST(FileOpsTest, DirectoriesAreMadeAndRemoved)
{
    TempDir dir;
    EXPECT_TRUE(ForceDirectories(dir / "a/b/c/"));
    EXPECT_TRUE(DirectoryExists(dir / "a/b/c"));
    EXPECT_TRUE(ForceDirectories(dir / "A/B/d"));  // existing parts found ignoring case
    EXPECT_TRUE(DirectoryExists(dir / "a/b/d"));
    EXPECT_FALSE(CreateDir(dir / "x/y"));
    EXPECT_TRUE(CreateDir(dir / "x"));
    EXPECT_FALSE(CreateDir(dir / "X"));  // exists already
    dir.Write("file", "");
    EXPECT_FALSE(ForceDirectories(dir / "file/sub"));
    EXPECT_FALSE(RemoveDir(dir / "a/b"));  // not empty
    EXPECT_TRUE(RemoveDir(dir / "A/B/C/"));
    EXPECT_FALSE(DirectoryExists(dir / "a/b/c"));
    EXPECT_FALSE(ForceDirectories(""));
    EXPECT_TRUE(SyncDirectory(dir / "A/B/"));
    EXPECT_FALSE(SyncDirectory(dir / "a/b/c"));  // removed
    EXPECT_FALSE(SyncDirectory(dir / "file"));   // not a directory
}

TEST(FileOpsTest, PatternMatching)
{
    struct Case {
        String Name, Pattern;
        bool Matches;
    };
    const Case cases[] = {
            {"CLIENT01", "*.", true},
            {"client.dbf", "*.", false},
            {"PRN1.PRN", "PRN*.PRN", true},
            {"prn22.prn", "PRN*.PRN", true},
            {"PRN.PRN", "PRN*.PRN", true},
            {"PRN1.TXT", "PRN*.PRN", false},
            {"XPRN1.PRN", "PRN*.PRN", false},
            {"a.b.c", "*.c", true},
            {"abc", "a?c", true},
            {"ac", "a?c", false},
            {"README", "*.*", true},
            {"x.y", "*.*", true},
            {"PRN7", "PRN*.", true},
            {"PRN7.X", "PRN*.", false},
            {"anything", "*", true},
            {"\xE9t\xE9.txt", "\xC9T\xC9.TXT", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesPattern(c.Name, c.Pattern), c.Matches) << c.Name << " ~ " << c.Pattern;
}

TEST(FileOpsTest, ListFilesByPatternAndKind)
{
    TempDir dir;
    for (const char* name : {"CLIENT01/x", "client02/x", "Backup.old/x"})
        dir.Write(name, "");
    for (const char* name : {"PRN1.PRN", "prn2.prn", "PRN3.TXT", "NOEXT", "b.dbf"})
        dir.Write(name, "");

    EXPECT_EQ(ListFiles(dir.Path(), "*.", lkDirectories), (Names {"CLIENT01", "client02"}));
    EXPECT_EQ(ListFiles(dir.Path(), "*.", lkFiles), (Names {"NOEXT"}));
    EXPECT_EQ(ListFiles(dir.Path(), "PRN*.PRN"), (Names {"PRN1.PRN", "prn2.prn"}));
    EXPECT_EQ(ListFiles(dir.Path(), "*", lkDirectories), (Names {"Backup.old", "CLIENT01", "client02"}));
    EXPECT_EQ(ListFiles(ExcludeTrailingPathDelimiter(dir.Path()), "*.DBF"), (Names {"b.dbf"}));
    EXPECT_TRUE(ListFiles(dir / "missing", "*").empty());
}

TEST(FileOpsTest, ProgramDirIsTheExecutablesDirectory)
{
    String dir = ProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_EQ(dir.front(), '/');
    EXPECT_TRUE(FileExists(ProgramFileName()));
    EXPECT_EQ(ExtractFilePath(ProgramFileName()), dir);
    EXPECT_EQ(ExtractFileName(ProgramFileName()), "rtl_tests");
}

}  // namespace

TEST(DirectoryWritable, ProbesWithoutLeavingAFile)
{
    const std::string dir = ::testing::TempDir() + "writable/";
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(DirectoryWritable(dir));
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    EXPECT_FALSE(DirectoryWritable(dir + "missing"));
    std::filesystem::remove_all(dir);
}
