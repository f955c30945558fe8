// The engine environment against the recording fake engine.

#include <gtest/gtest.h>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "tables/droenv.h"
#include "tables/xbe50.h"
#include "tests/support/fakeengine.h"

namespace {

using Calls = std::vector<std::string>;

class EnvTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseFakeEngine();
        LoadDLL();
        Fake().Clear();
        SavedFormat = ShortDateFormat;
        SavedSeparator = DateSeparator;
    }
    void TearDown() override
    {
        ShortDateFormat = SavedFormat;
        DateSeparator = SavedSeparator;
        UseRealEngine();
    }
    TDaroruEnv Env {nullptr};
    String SavedFormat;
    char SavedSeparator = '/';
};

TEST_F(EnvTest, StartsWithTheDefaults)
{
    EXPECT_EQ(Env.ApplyTo(), TDaroruApplyTo {atLocal});
    EXPECT_EQ(Env.DateFormat(), dfWinDefault);
    EXPECT_EQ(Env.LockTimeOut(), 1);
    EXPECT_EQ(Env.MemoBlockSize(), 64);
    EXPECT_EQ(Env.Century(), WordTrue);
    EXPECT_EQ(Env.Epoch(), 1980);
    EXPECT_EQ(Env.ErrorFunc(), -1);
    EXPECT_TRUE(Env.AutoRefresh());
    EXPECT_FALSE(Env.Deleted() || Env.Exact() || Env.SoftSeek() || Env.OptimisticBuffer() ||
                 Env.CountNeedsRefresh());
}

TEST_F(EnvTest, WithNothingToApplyToEverySetterChangesNothing)
{
    Env.SetApplyTo({});
    Env.SetSoftSeek(WordTrue);
    Env.SetExact(WordTrue);
    Env.SetDeleted(WordTrue);
    Env.SetCentury(WordFalse);
    Env.SetDateFormat(dfGerman);
    Env.SetEpoch(1900);
    Env.SetLockTimeOut(5);
    Env.SetMemoBlockSize(512);
    EXPECT_EQ(Env.ErrorLevel(2), 0);
    EXPECT_FALSE(Env.SoftSeek() || Env.Exact() || Env.Deleted());
    EXPECT_EQ(Env.Century(), WordTrue);
    EXPECT_EQ(Env.DateFormat(), dfWinDefault);
    EXPECT_EQ(Env.Epoch(), 1980);
    EXPECT_EQ(Env.LockTimeOut(), 1);
    EXPECT_EQ(Env.MemoBlockSize(), 64);
    EXPECT_TRUE(Fake().Calls.empty());
}

TEST_F(EnvTest, UnchangedSwitchesArePushedOnlyWhereTheyMustBe)
{
    Env.SetSoftSeek(WordTrue);
    Env.SetSoftSeek(1);  // the same truth, another number
    Env.SetExact(WordTrue);
    Env.SetExact(WordTrue);
    Env.SetDeleted(WordTrue);
    Env.SetDeleted(WordTrue);
    Env.SetLockTimeOut(1);
    Env.SetMemoBlockSize(64);
    EXPECT_EQ(Fake().Calls,
              (Calls {"xb_SetSoftSeek(-1)", "xb_SetExact(-1)", "xb_SetDeleted(-1)", "xb_SetDeleted(-1)"}));
}

TEST_F(EnvTest, EpochIsClampedAndPushed)
{
    const std::pair<int, int> cases[] = {{0, 1900},    {50, 100},    {-5, 100},
                                         {3500, 2999}, {1980, 1980}, {2000, 2000}};
    for (auto [given, stored] : cases) {
        Fake().Clear();
        Env.SetEpoch(given);
        EXPECT_EQ(Env.Epoch(), stored) << given;
        EXPECT_EQ(Fake().Calls, (Calls {"xb_SetEpoch(" + std::to_string(stored) + ")"})) << given;
    }
}

TEST_F(EnvTest, SixteenBitSettingsOutOfRangeFailBeforeAnything)
{
    EXPECT_THROW(Env.SetLockTimeOut(40000), ERangeError);
    EXPECT_THROW(Env.SetMemoBlockSize(70000), ERangeError);
    EXPECT_THROW(Env.SetMemoBlockSize(-1), ERangeError);
    EXPECT_EQ(Env.LockTimeOut(), 1);
    EXPECT_EQ(Env.MemoBlockSize(), 64);
    EXPECT_TRUE(Fake().Calls.empty());
    Env.SetLockTimeOut(-1);
    EXPECT_EQ(Env.LockTimeOut(), -1);
    EXPECT_EQ(Fake().Calls, (Calls {"xb_SetLockTimeout(-1)"}));
}

TEST_F(EnvTest, DateFormatSetsTheEngineCodeAndTheShortDateFormat)
{
    struct Case {
        TDaroruDateFrmt Format;
        WordBool Century;
        const char* Short;
        char Separator;
        const char* Push;
    };
    const Case cases[] = {
            {dfGerman, WordTrue, "dd.mm.yyyy", '.', "xb_SetDateFormat(4)"},
            {dfGerman, WordFalse, "dd.mm.yy", '.', "xb_SetDateFormat(4)"},
            {dfAnsi, WordTrue, "yyyy.mm.dd", '.', "xb_SetDateFormat(1)"},
            {dfItalian, WordFalse, "dd-mm-yy", '-', "xb_SetDateFormat(5)"},
            {dfAmerican, WordTrue, "mm/dd/yyyy", '/', "xb_SetDateFormat(0)"},
            {dfWinDefault, WordTrue, "mm/dd/yyyy", '/', "xb_SetDateFormat(99)"},
    };
    for (const Case& c : cases) {
        Env.SetCentury(c.Century);
        Fake().Clear();
        Env.SetDateFormat(c.Format);
        EXPECT_EQ(ShortDateFormat, c.Short);
        EXPECT_EQ(DateSeparator, c.Separator);
        ASSERT_FALSE(Fake().Calls.empty());
        EXPECT_EQ(Fake().Calls.front(), c.Push);
    }
}

TEST_F(EnvTest, CenturyWidensOrNarrowsTheYear)
{
    ShortDateFormat = "yy.mm.dd";
    Env.SetCentury(WordTrue);
    EXPECT_EQ(ShortDateFormat, "yyyy.mm.dd");
    ShortDateFormat = "mm/dd/yyyy";
    Env.SetCentury(WordFalse);
    EXPECT_EQ(ShortDateFormat, "mm/dd/yy");
    EXPECT_EQ(Fake().Calls, (Calls {"xb_SetCentury(-1)", "xb_SetCentury(0)"}));
}

TEST_F(EnvTest, OptimisticBufferFollowsTheEngineAndOnlyTheLocalEngine)
{
    Fake().Results["xb_SysProp"] = 1;
    Env.SetOptimisticBuffer(WordTrue);
    EXPECT_EQ(Fake().Calls, (Calls {"xb_SysProp(1009,-1)", "xb_SysProp(1008,0)"}));
    EXPECT_EQ(Env.OptimisticBuffer(), WordTrue);
    Fake().Results["xb_SysProp"] = 0;
    Env.SetOptimisticBuffer(WordTrue);
    EXPECT_EQ(Env.OptimisticBuffer(), WordFalse);  // the engine refused
    Fake().Results["xb_SysProp"] = 1;
    Env.SetOptimisticBuffer(WordTrue);
    Env.SetApplyTo({atServer});
    EXPECT_EQ(Env.OptimisticBuffer(), WordFalse);
}

// Durable writes are on until switched off (for a scratch table opened
// next), and the setting holds what the engine answers.
TEST_F(EnvTest, DurableWritesAreOnByDefaultAndFollowTheEngine)
{
    EXPECT_EQ(Env.DurableWrites(), WordTrue);
    Fake().Results["xb_SysProp"] = 0;
    Env.SetDurableWrites(WordFalse);
    EXPECT_EQ(Fake().Calls, (Calls {"xb_SysProp(1011,0)", "xb_SysProp(1010,0)"}));
    EXPECT_EQ(Env.DurableWrites(), WordFalse);
    Fake().Results["xb_SysProp"] = 1;
    Env.SetDurableWrites(WordTrue);
    EXPECT_EQ(Env.DurableWrites(), WordTrue);
}

void IgnoreErrors(int32_t, const char*, intptr_t) { }

TEST_F(EnvTest, ErrorFunctionAndLevelGoToTheEngine)
{
    Fake().Results["xb_SetErrorFunc"] = 7;
    Fake().Results["xb_ErrorLevel"] = 1;
    EXPECT_EQ(Env.SetErrorFunc(IgnoreErrors, 3), 7);
    EXPECT_EQ(Env.ErrorFunc(), 7);
    EXPECT_EQ(Env.SetErrorFunc(nullptr, 0), 7);
    EXPECT_EQ(Env.ErrorFunc(), -1);
    EXPECT_EQ(Env.ErrorLevel(2), 1);
    EXPECT_EQ(Env.GetErrorLevel(), 2);
    EXPECT_EQ(Fake().Calls,
              (Calls {"xb_SetErrorFunc(ptr,3)", "xb_SetErrorFunc(null,0)", "xb_ErrorLevel(2)"}));
}

TEST(EnvLoading, LoadedLoadsTheEngineOnlyForTheLocalEngineAlone)
{
    UseFakeEngine();
    {
        TDaroruEnv both(nullptr);
        both.SetApplyTo({atLocal, atServer});
        both.Loaded();
        EXPECT_FALSE(XbeLoaded());
        TDaroruEnv local(nullptr);
        local.Loaded();
        EXPECT_TRUE(XbeLoaded());
    }
    UseRealEngine();
}

}  // namespace
