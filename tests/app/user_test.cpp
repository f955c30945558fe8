#include "app/user.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/fileops.h"
#include "platform/rtl/streams.h"
#include "tests/support/tempdir.h"

namespace {

std::string Zeros(size_t n) { return std::string(n, '\0'); }

std::string Le(std::uint64_t value, int size)
{
    std::string bytes;
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>(value >> (8 * i));
    return bytes;
}

// A stored string: its 16-bit length, then its bytes.
std::string Stored(const std::string& text) { return Le(text.size(), 2) + text; }

// The record of a new object: 20 empty strings, the numbers and flags, ClientID.
const std::string EmptyRecord = Zeros(166);

// Offsets in a record whose 20 strings are empty.
constexpr size_t ValuesAt = 40, FloatsAt = 80, DoublesAt = 100, FlagsAt = 140, ExtraAt = 160;

class UserFile : public ::testing::Test {
protected:
    // The object is large (its read buffer), so it lives on the heap.
    static std::unique_ptr<TUser> NewUser() { return std::make_unique<TUser>(); }

    std::string SavedBytes(TUser& user, const std::string& name = "TOTUSER.USR")
    {
        user.Save(dir / name);
        return dir.Read(name);
    }
    std::unique_ptr<TUser> Loaded(const std::string& bytes)
    {
        auto user = NewUser();
        user->Load(dir.Write("LOADED.USR", bytes));
        return user;
    }

    TempDir dir;
};

// Every slot set, the unused ones included; text with bytes above 0x7F.
void FillEverySlot(TUser& user)
{
    for (size_t i = 0; i < user.Strings.size(); ++i)
        user.Strings[i] = std::string(i % 4, static_cast<char>('A' + i));
    user.LastRunDate = "12-31-2008";
    user.DataDir = "/srv/daten/\xC4rger\xFF/";
    for (size_t i = 0; i < user.Values.size(); ++i)
        user.Values[i] = static_cast<Integer>(i * 1000003) - 4000000;
    user.Floats = {-0.0f, 1.5f, -2.25f, 3.0e38f, 1.0e-40f};
    user.Doubles = {1.0 / 3.0, -1e300, 4.9e-324, 0.1, -7.0};
    for (size_t i = 0; i < user.Flags.size(); ++i)
        user.Flags[i] = (i % 3) == 1;
    user.ExtraValue = -123456789;
    user.ClientID = "08ACME";
}

void ExpectSameRecord(const TUser& got, const TUser& expected)
{
    EXPECT_EQ(got.Strings, expected.Strings);
    EXPECT_EQ(got.Values, expected.Values);
    for (size_t i = 0; i < got.Floats.size(); ++i)
        EXPECT_EQ(std::memcmp(&got.Floats[i], &expected.Floats[i], sizeof(float)), 0) << "float " << i;
    for (size_t i = 0; i < got.Doubles.size(); ++i)
        EXPECT_EQ(std::memcmp(&got.Doubles[i], &expected.Doubles[i], sizeof(double)), 0) << "double " << i;
    EXPECT_EQ(got.Flags, expected.Flags);
    EXPECT_EQ(got.ExtraValue, expected.ExtraValue);
    EXPECT_EQ(got.ClientID, expected.ClientID);
}

TEST_F(UserFile, KnownRecordsByteForByte)
{
    struct Case {
        const char* name;
        std::function<void(TUser&)> set;
        std::string bytes;
    };
    const Case cases[] = {
            {"new object", [](TUser&) {}, EmptyRecord},
            {"data directory only", [](TUser& u) { u.DataDir = "C:\\DATA\\"; },
             Zeros(2) + std::string("\x08\x00", 2) + "C:\\DATA\\" + Zeros(162)},
            {"client only", [](TUser& u) { u.ClientID = "08ACME"; },
             Zeros(164) + std::string("\x06\x00", 2) + "08ACME"},
            {"date, data directory and client",
             [](TUser& u) {
                 u.LastRunDate = "12-31-2008";
                 u.DataDir = "C:\\DATA\\";
                 u.ClientID = "08ACME";
             },
             std::string("\x0A\x00", 2) + "12-31-2008" + std::string("\x08\x00", 2) + "C:\\DATA\\" +
                     Zeros(36) + Zeros(124) + std::string("\x06\x00", 2) + "08ACME"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto user = NewUser();
        c.set(*user);
        std::string saved = SavedBytes(*user);
        EXPECT_EQ(saved, c.bytes);

        auto again = Loaded(saved);
        ExpectSameRecord(*again, *user);
        EXPECT_EQ(SavedBytes(*again, "AGAIN.USR"), c.bytes);
    }
    EXPECT_EQ(cases[3].bytes.size(), 190u);
}

TEST_F(UserFile, NamedSlotsSitWhereTheLayoutPutsThem)
{
    struct Case {
        const char* name;
        std::function<void(TUser&)> set;
        size_t offset;
        size_t replaced;  // bytes of the empty record the value takes the place of
        std::string bytes;
    };
    auto text = [](size_t slot) { return 2 * slot; };
    const Case cases[] = {
            {"LastRunDate", [](TUser& u) { u.LastRunDate = "X"; }, text(0), 2, Stored("X")},
            {"DataDir", [](TUser& u) { u.DataDir = "X"; }, text(1), 2, Stored("X")},
            {"MoneyProgramDir", [](TUser& u) { u.MoneyProgramDir = "X"; }, text(13), 2, Stored("X")},
            {"PayrollProgramDir", [](TUser& u) { u.PayrollProgramDir = "X"; }, text(14), 2, Stored("X")},
            {"LedgerProgramDir", [](TUser& u) { u.LedgerProgramDir = "X"; }, text(15), 2, Stored("X")},
            {"CustomerID", [](TUser& u) { u.CustomerID = "X"; }, text(16), 2, Stored("X")},
            {"Values[9]", [](TUser& u) { u.Values[9] = 0x01020304; }, ValuesAt + 36, 4, "\x04\x03\x02\x01"},
            {"RedCopyOffsetX", [](TUser& u) { u.RedCopyOffsetX = 1.5f; }, FloatsAt + 4, 4,
             std::string("\0\0\xC0\x3F", 4)},
            {"RedCopyOffsetY", [](TUser& u) { u.RedCopyOffsetY = -2.0f; }, FloatsAt + 8, 4,
             std::string("\0\0\0\xC0", 4)},
            {"Doubles[4]", [](TUser& u) { u.Doubles[4] = 1.0; }, DoublesAt + 32, 8,
             std::string("\0\0\0\0\0\0\xF0\x3F", 8)},
            {"StateAmount", [](TUser& u) { u.StateAmount = true; }, FlagsAt + 0, 1, "\x01"},
            {"PrintFederalCopy", [](TUser& u) { u.PrintFederalCopy = true; }, FlagsAt + 1, 1, "\x01"},
            {"PrintCopyC", [](TUser& u) { u.PrintCopyC = true; }, FlagsAt + 2, 1, "\x01"},
            {"PrintCopyB", [](TUser& u) { u.PrintCopyB = true; }, FlagsAt + 3, 1, "\x01"},
            {"PrintCopy1", [](TUser& u) { u.PrintCopy1 = true; }, FlagsAt + 4, 1, "\x01"},
            {"PrintCopy2", [](TUser& u) { u.PrintCopy2 = true; }, FlagsAt + 5, 1, "\x01"},
            {"NoLaserPrint", [](TUser& u) { u.NoLaserPrint = true; }, FlagsAt + 6, 1, "\x01"},
            {"Flags[19]", [](TUser& u) { u.Flags[19] = true; }, FlagsAt + 19, 1, "\x01"},
            {"ExtraValue", [](TUser& u) { u.ExtraValue = -2; }, ExtraAt, 4, "\xFE\xFF\xFF\xFF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto user = NewUser();
        c.set(*user);
        std::string expected = EmptyRecord;
        expected.replace(c.offset, c.replaced, c.bytes);
        EXPECT_EQ(SavedBytes(*user), expected);
    }
}

TEST_F(UserFile, EverySlotRoundTripsAndSavesTheSameBytes)
{
    auto user = NewUser();
    FillEverySlot(*user);
    std::string saved = SavedBytes(*user);

    auto loaded = Loaded(saved);
    ExpectSameRecord(*loaded, *user);
    EXPECT_EQ(SavedBytes(*loaded, "AGAIN.USR"), saved);
}

TEST_F(UserFile, FlagBytesOtherThanZeroOrOneReadAsTrueAndAreWrittenAsOne)
{
    std::string bytes = EmptyRecord;
    bytes[FlagsAt + 1] = '\x02';
    bytes[FlagsAt + 6] = '\xFF';
    auto user = Loaded(bytes);
    EXPECT_FALSE(user->StateAmount);
    EXPECT_TRUE(user->PrintFederalCopy);
    EXPECT_TRUE(user->NoLaserPrint);

    bytes[FlagsAt + 1] = '\x01';
    bytes[FlagsAt + 6] = '\x01';
    EXPECT_EQ(SavedBytes(*user), bytes);
}

TEST_F(UserFile, AZeroByteEndsAStringAndTheRecordReadsOn)
{
    std::string bytes = Zeros(2) + Stored(std::string("AB\0CD", 5)) + Zeros(36) + Zeros(124) + Stored("ACME");
    auto user = Loaded(bytes);
    EXPECT_EQ(user->DataDir, "AB");
    EXPECT_EQ(user->ClientID, "ACME");
}

TEST_F(UserFile, AFileThatCannotBeOpenedLeavesEveryMemberAsItWas)
{
    ForceDirectories(dir / "A_DIRECTORY.USR");
    for (const std::string& name :
         {dir / "MISSING.USR", dir / "A_DIRECTORY.USR", dir / "NO_SUCH_DIR/TOTUSER.USR"}) {
        SCOPED_TRACE(name);
        auto user = NewUser();
        FillEverySlot(*user);
        auto before = NewUser();
        FillEverySlot(*before);
        user->Load(name);
        ExpectSameRecord(*user, *before);
        EXPECT_EQ(user->Stream, nullptr);
    }
}

// Cut after every byte, a file gives the fields it holds whole; the field that
// is cut and every later one read as empty or zero, even over earlier values.
TEST_F(UserFile, EveryTruncationKeepsTheWholeFieldsAndEmptiesTheRest)
{
    auto full = NewUser();
    FillEverySlot(*full);
    const std::string bytes = SavedBytes(*full, "FULL.USR");

    // Bytes each field takes in the full file, and in a record where it is empty.
    std::vector<std::pair<size_t, size_t>> fields;
    for (const String& s : full->Strings)
        fields.push_back({2 + s.size(), 2});
    for (size_t size : {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 8, 8, 8, 8, 8})
        fields.push_back({size, size});
    for (size_t i = 0; i < full->Flags.size(); ++i)
        fields.push_back({1, 1});
    fields.push_back({4, 4});
    fields.push_back({2 + full->ClientID.size(), 2});
    size_t total = 0;
    for (auto [size, empty] : fields)
        total += size;
    ASSERT_EQ(total, bytes.size());

    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        std::string expected;
        size_t at = 0, i = 0;
        for (; i < fields.size() && at + fields[i].first <= cut; at += fields[i++].first)
            expected += bytes.substr(at, fields[i].first);
        for (; i < fields.size(); ++i)
            expected += Zeros(fields[i].second);

        auto user = NewUser();
        FillEverySlot(*user);
        user->Load(dir.Write("CUT.USR", bytes.substr(0, cut)));
        ExpectSameRecord(*user, *Loaded(expected));
        if (::testing::Test::HasFailure())
            break;
    }
}

TEST_F(UserFile, DamagedLengthsStopTheReadingThere)
{
    const std::string numbers = Zeros(124);
    std::string extra = numbers;
    extra.replace(ExtraAt - 40, 4, Le(7, 4));
    struct Case {
        const char* name;
        std::string bytes;
        std::string lastRunDate, dataDir, clientID;
        Integer extraValue;
    };
    const Case cases[] = {
            // What follows the damaged length would read as a whole record.
            {"negative length", Stored("A") + "\xFF\xFF" + Stored("C") + Zeros(34) + extra + Stored("ACME"),
             "A", "", "", 0},
            {"length past the end", Stored("A") + Le(0x7FFF, 2) + "BBBB", "A", "", "", 0},
            {"largest length, file ends at once", Le(0x7FFF, 2), "", "", "", 0},
            {"negative client length",
             Stored("A") + Stored("B") + Zeros(36) + extra + std::string("\x00\x80", 2) + "ACME", "A", "B",
             "", 7},
            {"client longer than the file",
             Stored("A") + Stored("B") + Zeros(36) + extra + Stored("ACME").substr(0, 5), "A", "B", "", 7},
            {"bytes after the record are ignored",
             Stored("A") + Stored("B") + Zeros(36) + extra + Stored("ACME") + "junk", "A", "B", "ACME", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto user = Loaded(c.bytes);
        EXPECT_EQ(user->LastRunDate, c.lastRunDate);
        EXPECT_EQ(user->DataDir, c.dataDir);
        EXPECT_EQ(user->ClientID, c.clientID);
        EXPECT_EQ(user->ExtraValue, c.extraValue);
        for (size_t i = 2; i < user->Strings.size(); ++i)
            EXPECT_EQ(user->Strings[i], "") << "string " << i;
    }
}

TEST_F(UserFile, AFailedSaveRaisesAndLeavesThePreviousFileWhole)
{
    auto old = NewUser();
    FillEverySlot(*old);
    const std::string previous = SavedBytes(*old);
    auto user = NewUser();
    user->ClientID = "NEW";
    {
        // Another program holds the file.
        TFileStream holder(dir / "TOTUSER.USR", fmOpenReadWrite | fmShareExclusive);
        EXPECT_THROW(user->Save(dir / "TOTUSER.USR"), EFCreateError);
    }
    EXPECT_EQ(dir.Read("TOTUSER.USR"), previous);
    EXPECT_EQ(ListFiles(dir.Path(), "*"), std::vector<String> {"TOTUSER.USR"})
            << "a half-written file was left";
    EXPECT_EQ(user->Stream, nullptr);

    EXPECT_THROW(user->Save(dir / "NO_SUCH_DIR/TOTUSER.USR"), EFCreateError);

    // The disk fills up part way through the record.
    {
        auto big = NewUser();
        big->DataDir = std::string(1000, 'd');
        rlimit limit;
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
        rlimit small = limit;
        small.rlim_cur = 100;
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        EXPECT_THROW(big->Save(dir / "TOTUSER.USR"), EFCreateError);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, oldHandler);
    }
    EXPECT_EQ(dir.Read("TOTUSER.USR"), previous);
    EXPECT_EQ(ListFiles(dir.Path(), "*"), std::vector<String> {"TOTUSER.USR"});

    // Once free, the shorter record replaces the longer one entirely.
    EXPECT_EQ(SavedBytes(*user), Zeros(164) + Stored("NEW"));
}

TEST_F(UserFile, AStringTooLongForTheFileIsCutAndTheRestKept)
{
    auto user = NewUser();
    user->DataDir = std::string(40000, 'x');
    user->ClientID = "ACME";
    std::string saved = SavedBytes(*user);
    EXPECT_EQ(saved.size(), 166u + 32767u + 4u);

    auto loaded = Loaded(saved);
    EXPECT_EQ(loaded->DataDir, std::string(32767, 'x'));
    EXPECT_EQ(loaded->ClientID, "ACME");
}

}  // namespace
