#include "platform/rtl/streams.h"

#include <gtest/gtest.h>

#include "platform/rtl/sharelocks.h"
#include "tests/support/tempdir.h"

namespace {

TEST(MemoryStreamTest, GrowsSeeksAndReads)
{
    TMemoryStream stream;
    String chunk(1000, 'x');
    for (int i = 0; i < 100; ++i)
        stream.WriteBuffer(chunk.data(), static_cast<Int64>(chunk.size()));
    EXPECT_EQ(stream.Size(), 100000);
    EXPECT_EQ(stream.Position(), 100000);

    // Writing past the end leaves zeros in the gap.
    stream.Seek(10, soFromEnd);
    stream.WriteBuffer("ab", 2);
    EXPECT_EQ(stream.Size(), 100012);
    EXPECT_EQ(stream.Memory()[100005], 0);
    EXPECT_EQ(stream.Memory()[100010], 'a');

    EXPECT_EQ(stream.Seek(-2, soFromCurrent), 100010);
    char two[2];
    stream.ReadBuffer(two, 2);
    EXPECT_EQ(String(two, 2), "ab");
    EXPECT_EQ(stream.Read(two, 2), 0);
    EXPECT_THROW(stream.Seek(-1, soFromBeginning), EStreamError);

    stream.SetSize(5);
    EXPECT_EQ(stream.Position(), 5);
    stream.Clear();
    EXPECT_EQ(stream.Size(), 0);
}

TEST(MemoryStreamTest, ShortTransfersRaise)
{
    TStringStream stream("abc");
    char buffer[8];
    EXPECT_THROW(stream.ReadBuffer(buffer, 4), EReadError);
    stream.SetPosition(0);
    EXPECT_EQ(stream.Read(buffer, 8), 3);
    stream.SetPosition(1);
    EXPECT_EQ(stream.ReadString(10), "bc");
    stream.WriteString("de");
    EXPECT_EQ(stream.DataString(), "abcde");
}

TEST(FileStreamTest, CreateWriteReadBack)
{
    TempDir dir;
    {
        TFileStream out(dir / "data.bin", fmCreate);
        out.WriteBuffer("hello world", 11);
        out.SetSize(5);
        EXPECT_EQ(out.Size(), 5);
        EXPECT_EQ(out.Position(), 5);
    }
    EXPECT_EQ(dir.Read("data.bin"), "hello");
    {
        TFileStream io(dir / "DATA.BIN", fmOpenReadWrite);
        EXPECT_EQ(io.FileName(), dir / "data.bin");
        io.Seek(0, soFromEnd);
        io.WriteBuffer("!", 1);
        io.SetPosition(0);
        char buffer[6];
        io.ReadBuffer(buffer, 6);
        EXPECT_EQ(String(buffer, 6), "hello!");
        EXPECT_THROW(io.ReadBuffer(buffer, 1), EReadError);
    }
    // fmCreate empties an existing file.
    {
        TFileStream again(dir / "data.bin", fmCreate);
    }
    EXPECT_EQ(dir.Read("data.bin"), "");
}

TEST(FileStreamTest, OpenFailuresSayWhy)
{
    TempDir dir;
    try {
        TFileStream in(dir / "none.dat", fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + dir / "none.dat" + "\". No such file or directory");
    }
    EXPECT_THROW(TFileStream(dir / "no/dir/x.dat", fmCreate), EFCreateError);
    EXPECT_THROW(TFileStream(dir.Path(), fmOpenRead), EFOpenError);
}

TEST(FileStreamTest, OpensHoldTheFileAgainstOthers)
{
    TempDir dir;
    String name = dir.Write("table.dbf", "x");
    {
        TFileStream shared(name, fmOpenRead | fmShareDenyNone);
        EXPECT_TRUE(sharelocks::FileInUse(name));
        TFileStream another(name, fmOpenRead | fmShareDenyWrite);
        EXPECT_THROW(TFileStream(name, fmOpenReadWrite | fmShareExclusive), EFOpenError);
        // Creating over an open file must not empty it.
        EXPECT_THROW(TFileStream(name, fmCreate), EFCreateError);
        EXPECT_EQ(dir.Read("table.dbf"), "x");
    }
    EXPECT_FALSE(sharelocks::FileInUse(name));
    {
        TFileStream exclusive(name, fmOpenReadWrite | fmShareExclusive);
        EXPECT_THROW(TFileStream(name, fmOpenRead), EFOpenError);
    }
    TFileStream after(name, fmOpenRead);
}

TEST(StreamTest, CopyFromAndMemoryFiles)
{
    TempDir dir;
    TStringStream source("0123456789");
    TMemoryStream target;
    source.SetPosition(3);
    EXPECT_EQ(target.CopyFrom(source, 4), 4);
    EXPECT_EQ(String(reinterpret_cast<const char*>(target.Memory()), 4), "3456");
    source.SetPosition(8);
    EXPECT_EQ(target.CopyFrom(source, 0), 10);  // 0 copies everything
    EXPECT_EQ(target.Size(), 14);
    source.SetPosition(8);
    EXPECT_THROW(target.CopyFrom(source, 5), EReadError);

    target.SaveToFile(dir / "copy.bin");
    EXPECT_EQ(dir.Read("copy.bin"), "34560123456789");
    TMemoryStream loaded;
    loaded.WriteBuffer("old", 3);
    loaded.LoadFromFile(dir / "copy.bin");
    EXPECT_EQ(loaded.Size(), 14);
    EXPECT_EQ(loaded.Position(), 0);
}

}  // namespace
