// Loading and binding the engine library, and the table's dispatch of engine
// calls, against the recording fake engine and the real library.

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "tables/drodset.h"
#include "tables/droerror.h"
#include "tables/xbe50.h"
#include "tests/support/fakeengine.h"

namespace {

using Calls = std::vector<std::string>;

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseFakeEngine();
        SetXbeLoadFailureHandler([this](const String& message) { Messages.push_back(message); });
    }
    void TearDown() override
    {
        SetXbeLoadFailureHandler(nullptr);
        UseRealEngine();
    }
    std::vector<String> Messages;
};

TEST_F(BindingTest, MissingLibraryShowsTheMessageAtEveryTryAndCallsNothing)
{
    Fake().Loadable = false;
    LoadDLL();
    LoadDLL();
    EXPECT_EQ(Messages, (std::vector<String> {XbeLoadFailureText, XbeLoadFailureText}));
    EXPECT_STREQ(XbeLoadFailureText, "DARORU: Unable to load required XBE50.DLL");
    EXPECT_EQ(Fake().Opens, 2);
    EXPECT_FALSE(XbeLoaded());
    EXPECT_TRUE(Fake().Calls.empty());
    // An operation that needs the engine after the failed load ends with an error, not a crash.
    EXPECT_THROW(XBE_CALL(xb_GoTop), EDaroruError);
    UnloadDLL();
    EXPECT_EQ(Fake().Closes, 0);
}

TEST_F(BindingTest, FirstLoadMakesTheTwoSetUpCallsAndLaterLoadsNothing)
{
    LoadDLL();
    ASSERT_TRUE(XbeLoaded());
    EXPECT_EQ(Fake().Calls, (Calls {"xb_SetStringType(1)", "xb_SysProp(1009,0)"}));
    LoadDLL();
    EXPECT_EQ(Fake().Opens, 1);
    EXPECT_EQ(Fake().Calls.size(), 2u);
    UnloadDLL();
    EXPECT_EQ(Fake().Closes, 1);
}

TEST_F(BindingTest, MissingExportStopsBindingAndItsSlotIsNeverCalled)
{
    Fake().Missing = {"xb_Locate"};
    try {
        LoadDLL();
        FAIL() << "no assertion failure";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message().rfind("Assertion failure", 0), 0u) << e.Message();
        EXPECT_NE(e.Message().find("xbe50"), String::npos) << e.Message();
        EXPECT_NE(e.Message().find("xb_Locate"), String::npos) << e.Message();
    }
    EXPECT_TRUE(XbeLoaded());
    XBE_CALL(xb_GoTop);  // bound before the missing name
    EXPECT_EQ(Fake().Calls, (Calls {"xb_GoTop()"}));
    EXPECT_THROW(XBE_CALL(xb_Locate, "X", 0, 0), EDaroruError);
    EXPECT_THROW(XBE_CALL(xb_Zap), EDaroruError);  // after it: never bound
    LoadDLL();
    EXPECT_EQ(Fake().Opens, 1);
}

TEST(RealEngineBinding, EveryListedFunctionIsExportedAndBound)
{
    UseRealEngine();
    LoadDLL();
    ASSERT_TRUE(XbeLoaded()) << XbeLibraryFileName();
#define XBE_FUNCTION(name, result, parameters, tier) EXPECT_NE(Xbe().xb_##name, nullptr) << "xb_" #name;
#include "platform/xbengine/xbe_functions.def"
#undef XBE_FUNCTION
}

class DispatchTest : public FakeEngineTest {
protected:
    TDaroruTable Table {nullptr};
};

TEST_F(DispatchTest, AnyNonZeroEngineTruthReadsAsTrue)
{
    const std::pair<long long, bool> cases[] = {{1, true}, {2, true}, {-5, true}, {-1, true}, {0, false}};
    for (auto [engine, expected] : cases) {
        Fake().Results["xb_Found"] = engine;
        EXPECT_EQ(Table.cs_Found(), expected) << engine;
    }
    // Counts pass through unchanged.
    Fake().Results["xb_RecCount"] = 2;
    EXPECT_EQ(Table.cs_RecCount(), 2);
}

TEST_F(DispatchTest, EngineReceivesTheArgumentsInOrder)
{
    Table.cs_Replace("AMOUNT", 1024, "12.5");
    Table.cs_Go(7);
    Table.cs_OrderPosSet(0.25);
    EXPECT_EQ(Fake().Calls, (Calls {"xb_Replace(\"AMOUNT\",1024,ptr)", "xb_Go(7)", "xb_OrderPosSet(0.25)"}));
}

class RecordingConnection : public TDaroruConnection {
public:
    using TDaroruConnection::TDaroruConnection;
    bool Connected() const override { return true; }
    XBBOOL ap_Seek(const char* key) override
    {
        Requests.push_back(String("Seek ") + key);
        return 3;
    }
    void ap_Go(XBLONG recno) override { Requests.push_back("Go " + std::to_string(recno)); }
    std::vector<String> Requests;
};

TEST_F(DispatchTest, ServerAccessSendsTheCallToTheConnectionInstead)
{
    RecordingConnection connection(nullptr);
    Table.SetAccessMethod(amServer);
    EXPECT_THROW(Table.cs_Go(1), EDaroruError);  // no connection yet
    Table.SetDaroruConnection(&connection);
    Table.cs_Go(4);
    EXPECT_TRUE(Table.cs_Seek("AB"));
    EXPECT_EQ(connection.Requests, (std::vector<String> {"Go 4", "Seek AB"}));
    EXPECT_TRUE(Fake().Calls.empty());
    Table.SetDaroruConnection(nullptr);
}

TEST_F(DispatchTest, ServerOpenNeedsAConnectedConnection)
{
    Table.SetTableName("CLIENT");
    Table.SetAccessMethod(amServer);
    try {
        Table.Open();
        FAIL();
    } catch (const EDaroruError& e) {
        EXPECT_EQ(e.Message(), "No DaroruConnection specified");
    }
    TDaroruConnection idle(nullptr);
    Table.SetDaroruConnection(&idle);
    try {
        Table.Open();
        FAIL();
    } catch (const EDaroruError& e) {
        EXPECT_EQ(e.Message(), "Not connected");
    }
    EXPECT_FALSE(Table.Active());
    Table.SetDaroruConnection(nullptr);
}

}  // namespace
