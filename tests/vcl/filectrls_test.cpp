// Choosing a directory with the directory list, its file list and the drive box.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>

#include "platform/vcl/controls/filectrls.h"
#include "platform/vcl/forms/forms.h"
#include "tests/support/tempdir.h"

using ::testing::ElementsAre;

namespace {

class FileControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Scratch.emplace("vcl-files");
        Dir = Scratch->Root();
        for (const char* sub : {"Beta", "alpha", ".hidden"})
            std::filesystem::create_directories(Dir + "/" + sub);
        for (const char* file : {"a.DBF", "b.txt", "noext", ".secret"})
            std::ofstream(Dir + "/" + file) << "x";
        Form = Construct<TForm>(nullptr);
        Dirs = new TDirectoryListBox(Form);
        Dirs->SetParent(Form);
        Files = new TFileListBox(Form);
        Files->SetParent(Form);
        Dirs->SetFileList(Files);
        Dirs->OnChange = [this](TObject*) { Changes.push_back(Dirs->Directory()); };
    }
    void TearDown() override
    {
        Form->Free();
        Scratch.reset();
    }

    std::vector<String> FileNames() const
    {
        std::vector<String> names;
        for (int i = 0; i < Files->Count(); ++i)
            names.push_back(Files->Items(i));
        return names;
    }

    std::optional<TempDir> Scratch;
    String Dir;
    TForm* Form = nullptr;
    TDirectoryListBox* Dirs = nullptr;
    TFileListBox* Files = nullptr;
    std::vector<String> Changes;
};

TEST_F(FileControlsTest, ListsAncestorsThenSubdirectoriesWithoutHiddenOnes)
{
    Dirs->SetDirectory(Dir + "/");
    EXPECT_EQ(Dirs->Directory(), Dir);
    EXPECT_THAT(Changes, ElementsAre(Dir));
    EXPECT_EQ(Dirs->GetItemPath(0), "/");
    const int count = Dirs->Count();
    ASSERT_GE(count, 3);
    EXPECT_EQ(Dirs->GetItemPath(count - 3), Dir);
    EXPECT_EQ(Dirs->GetItemPath(count - 2), Dir + "/alpha");
    EXPECT_EQ(Dirs->GetItemPath(count - 1), Dir + "/Beta");
    EXPECT_THAT(FileNames(), ElementsAre("a.DBF", "b.txt", "noext"));
}

TEST_F(FileControlsTest, OpeningALineMovesTheFileListToo)
{
    Dirs->SetDirectory(Dir);
    std::ofstream(Dir + "/alpha/inside.dat") << "x";
    Dirs->OpenItem(Dirs->Count() - 2);
    EXPECT_EQ(Dirs->Directory(), Dir + "/alpha");
    EXPECT_THAT(FileNames(), ElementsAre("inside.dat"));
    Dirs->OpenItem(0);
    EXPECT_EQ(Dirs->Directory(), "/");
    EXPECT_EQ(Files->Directory(), "/");
}

TEST_F(FileControlsTest, MaskChoosesTheFilesAndAMissingDirectoryIsRefused)
{
    Dirs->SetDirectory(Dir);
    Files->SetMask("*.dbf");
    EXPECT_THAT(FileNames(), ElementsAre("a.DBF"));
    EXPECT_THROW(Dirs->SetDirectory(Dir + "/missing"), EInvalidOperation);
    EXPECT_EQ(Dirs->Directory(), Dir);
    EXPECT_THROW(Dirs->GetItemPath(Dirs->Count()), ERangeError);
}

TEST_F(FileControlsTest, DriveBoxStartsAtTheRootAndMovesTheDirectoryList)
{
    auto* drives = new TDriveComboBox(Form);
    drives->SetParent(Form);
    drives->SetDirList(Dirs);
    Dirs->SetDirectory(Dir);
    EXPECT_EQ(drives->Drive(), "/");
    Dirs->Free();
    EXPECT_EQ(drives->DirList(), nullptr);
    Dirs = nullptr;
}

}  // namespace
