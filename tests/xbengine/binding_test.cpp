// The library as the table layer binds it: every listed function exported,
// nothing else of the engine visible, and the stubs and not-yet-wired calls
// failing cleanly with their codes.

#include <cstdio>
#include <functional>
#include <set>

#include <dlfcn.h>

#include "tests/xbengine/enginetest.h"

namespace {

class Binding : public EngineTest { };

std::set<std::string> ExportedNames()
{
    std::set<std::string> names;
    FILE* pipe = popen("nm -D --defined-only " XBE_LIBRARY_PATH, "r");
    char line[512];
    while (fgets(line, sizeof line, pipe)) {
        std::string text = line;
        std::size_t space = text.rfind(' ');
        names.insert(text.substr(space + 1, text.size() - space - 2));
    }
    pclose(pipe);
    return names;
}

TEST_F(Binding, ExportsExactlyTheListedFunctionsAndTheExtensions)
{
    std::set<std::string> expected = {"xbx_LastError", "xbx_LastErrorText", "xbx_FileInUse",
                                      "xbx_SetCacheBudget"};
    for (int i = 0; i < XbeNameCount; ++i)
        expected.insert(XbeNames[i].Name);
    EXPECT_EQ(ExportedNames(), expected);
}

TEST_F(Binding, StubsAndMisusedCallsFailWithTheirCodes)
{
    Create(Dir + "T", {{"A", "C", 1, 0}});
    struct Case {
        const char* What;
        std::function<bool()> Call;  // true when the call returned its failure value
        int Code;
    } cases[] = {
            {"xb_Encrypt",
             [&] {
                 char b[4];
                 return E.xb_Encrypt(b, "pw", 4) == 0;
             },
             XBE_E_UNSUPPORTED},
            {"xb_RYOFilterCreate", [&] { return E.xb_RYOFilterCreate() == 0; }, XBE_E_UNSUPPORTED},
            {"xb_FilterDlg", [&] { return std::string(E.xb_FilterDlg(0, "", "", 0)).empty(); },
             XBE_E_UNSUPPORTED},
            {"xb_Index", [&] { return E.xb_Index("X.IDX", "A", 0, 0, "") == 0; }, XBE_E_UNSUPPORTED},
            {"xb_IndexTag", [&] { return E.xb_IndexTag("", "1A", "A", 0, 0, "") == 0; }, XBE_E_EXPR},
            {"xb_IndexOpen", [&] { return E.xb_IndexOpen((Dir + "NONE.CDX").c_str()) == 0; },
             XBE_E_NOT_FOUND},
            {"xb_Seek", [&] { return E.xb_Seek("x") == 0; }, XBE_E_NO_ORDER},
            {"xb_SetScope", [&] { return E.xb_SetScope("a", "b") == 0; }, XBE_E_NO_ORDER},
            {"xb_Query", [&] { return E.xb_Query("1+2") == 0; }, XBE_E_EXPR},
            {"xb_SetOrder", [&] { return E.xb_SetOrder(1) == -1; }, XBE_E_BAD_ORDER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_TRUE(c.Call());
        EXPECT_EQ(E.xbx_LastError(), c.Code);
        EXPECT_STRNE(E.xbx_LastErrorText(), "");
    }
    // Natural order answers without an error.
    EXPECT_EQ(E.xb_TagArea("NAME"), 0);
    EXPECT_EQ(E.xb_IndexOrd(), 0);
    EXPECT_EQ(E.xb_SetOrder(0), 0);
    EXPECT_EQ(E.xbx_LastError(), 0);
}

std::vector<std::pair<int, std::string>> Reported;

void Reporter(int32_t code, const char* text, intptr_t arg) { Reported.emplace_back(code + int(arg), text); }

TEST_F(Binding, ErrorLevelsDecideWhatReachesTheErrorFunction)
{
    Reported.clear();
    EXPECT_EQ(E.xb_SetErrorFunc(Reporter, 1000), 0);
    EXPECT_EQ(E.xb_ErrorLevel(0), 1);
    E.xb_Use((Dir + "MISSING").c_str(), "", 0, 2);
    EXPECT_TRUE(Reported.empty());
    EXPECT_EQ(E.xbx_LastError(), XBE_E_NOT_FOUND);
    E.xb_ErrorLevel(1);
    E.xb_Use((Dir + "MISSING").c_str(), "", 0, 2);
    ASSERT_EQ(Reported.size(), 1u);
    EXPECT_EQ(Reported[0].first, 1000 + XBE_E_NOT_FOUND);
    EXPECT_NE(Reported[0].second.find("MISSING"), std::string::npos);
    EXPECT_EQ(E.xb_SetErrorFunc(nullptr, 0), -1);
}

TEST_F(Binding, SettingsAnswerThroughSysProp)
{
    EXPECT_EQ(E.xb_SysProp(1003, 1), 0);
    EXPECT_EQ(E.xb_SysProp(1002, 0), 1);
    E.xb_SetExact(0);
    EXPECT_EQ(E.xb_SysProp(1002, 0), 0);
    E.xb_SetDeleted(-1);
    EXPECT_NE(E.xb_SysProp(1006, 0), 0);
    E.xb_SysProp(1009, -1);
    EXPECT_EQ(E.xb_SysProp(1008, 0), 1);
    E.xb_SysProp(1009, 0);
    EXPECT_EQ(E.xb_SysProp(4242, 7), 0);
    EXPECT_EQ(E.xbx_LastError(), 0);
    EXPECT_EQ(E.xb_SetEpoch(1980), 1900);
}

}  // namespace
