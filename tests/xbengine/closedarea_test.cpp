// Calls on a work area that holds no table: never opened, after a failed open
// and after a close. Each records "no table" and answers as an empty area, so
// no caller's loop waits on it forever.

#include <cstring>
#include <functional>

#include "tests/xbengine/enginetest.h"

namespace {

struct ClosedCall {
    const char* Name;
    std::function<double(XbeBinding&)> Call;
    double Answer;
};

double Text(const char* text) { return double(std::strlen(text)); }

const ClosedCall ClosedCalls[] = {
        // The ends: both true, whatever the caller walks towards.
        {"xb_Eof", [](XbeBinding& e) { return double(e.xb_Eof()); }, 1},
        {"xb_Bof", [](XbeBinding& e) { return double(e.xb_Bof()); }, 1},
        {"xb_OrderPosGet", [](XbeBinding& e) { return e.xb_OrderPosGet(); }, 1},
        // Navigation does nothing.
        {"xb_GoTop", [](XbeBinding& e) { return e.xb_GoTop(), 0.0; }, 0},
        {"xb_GoBottom", [](XbeBinding& e) { return e.xb_GoBottom(), 0.0; }, 0},
        {"xb_Go", [](XbeBinding& e) { return e.xb_Go(1), 0.0; }, 0},
        {"xb_Skip forward", [](XbeBinding& e) { return e.xb_Skip(1), 0.0; }, 0},
        {"xb_Skip back", [](XbeBinding& e) { return e.xb_Skip(-1), 0.0; }, 0},
        {"xb_OrderPosSet", [](XbeBinding& e) { return e.xb_OrderPosSet(0.5), 0.0; }, 0},
        {"xb_Seek", [](XbeBinding& e) { return double(e.xb_Seek("A")); }, 0},
        {"xb_Locate", [](XbeBinding& e) { return double(e.xb_Locate(".T.", 1, 0)); }, 0},
        {"xb_Locate continuing", [](XbeBinding& e) { return double(e.xb_Locate(".T.", 1, 1)); }, 0},
        {"xb_Found", [](XbeBinding& e) { return double(e.xb_Found()); }, 0},
        // Positions and counts: nothing to visit.
        {"xb_RecNo", [](XbeBinding& e) { return double(e.xb_RecNo()); }, 0},
        {"xb_RecCount", [](XbeBinding& e) { return double(e.xb_RecCount()); }, 0},
        {"xb_Count", [](XbeBinding& e) { return double(e.xb_Count()); }, 0},
        {"xb_OrderRecNo", [](XbeBinding& e) { return double(e.xb_OrderRecNo()); }, 0},
        {"xb_Deleted", [](XbeBinding& e) { return double(e.xb_Deleted()); }, 0},
        // Reads answer empty.
        {"xb_GetRecord",
         [](XbeBinding& e) {
             char image[64] = {};
             return double(e.xb_GetRecord(image));
         },
         0},
        {"xb_RecSize", [](XbeBinding& e) { return double(e.xb_RecSize()); }, 0},
        {"xb_FieldCount", [](XbeBinding& e) { return double(e.xb_FieldCount()); }, 0},
        {"xb_GetString", [](XbeBinding& e) { return Text(e.xb_GetString("NAME")); }, 0},
        {"xb_GetDouble", [](XbeBinding& e) { return e.xb_GetDouble("NAME"); }, 0},
        {"xb_EvalString", [](XbeBinding& e) { return Text(e.xb_EvalString("NAME")); }, 0},
        // Writes change nothing and say so.
        {"xb_AppendBlank", [](XbeBinding& e) { return double(e.xb_AppendBlank()); }, 0},
        {"xb_PutRecord", [](XbeBinding& e) { return double(e.xb_PutRecord(" X")); }, 0},
        {"xb_Replace", [](XbeBinding& e) { return double(e.xb_Replace("NAME", 1024, "X")); }, 0},
        {"xb_Delete", [](XbeBinding& e) { return double(e.xb_Delete()); }, 0},
        {"xb_Recall", [](XbeBinding& e) { return double(e.xb_Recall()); }, 0},
        {"xb_Commit", [](XbeBinding& e) { return double(e.xb_Commit()); }, 0},
        {"xb_Pack", [](XbeBinding& e) { return double(e.xb_Pack()); }, 0},
        {"xb_Zap", [](XbeBinding& e) { return double(e.xb_Zap()); }, 0},
        {"xb_Rlock", [](XbeBinding& e) { return double(e.xb_Rlock(1)); }, 0},
        {"xb_Flock", [](XbeBinding& e) { return double(e.xb_Flock()); }, 0},
};

enum class HowClosed { NeverOpened, FailedOpen, Closed };

class ClosedArea : public EngineTest, public testing::WithParamInterface<HowClosed> {
protected:
    // A table of one record "KEEP", then the area left without a table.
    void LeaveAreaEmpty()
    {
        Create(Dir + "T", {{"NAME", "C", 10, 0}});
        AppendTexts({{"NAME", "KEEP"}});
        E.xb_CloseAll();
        switch (GetParam()) {
        case HowClosed::NeverOpened: E.xb_Select(5); break;
        case HowClosed::FailedOpen: ASSERT_EQ(E.xb_Use((Dir + "MISSING").c_str(), "", 0, 2), 0); break;
        case HowClosed::Closed:
            ASSERT_GT(E.xb_Use((Dir + "T").c_str(), "", 0, 2), 0) << E.xbx_LastErrorText();
            E.xb_Close();
            break;
        }
    }
};

TEST_P(ClosedArea, EveryCallRecordsNoTableAndAnswersEmpty)
{
    ASSERT_NO_FATAL_FAILURE(LeaveAreaEmpty());
    for (const ClosedCall& c : ClosedCalls) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Call(E), c.Answer);
        EXPECT_EQ(E.xbx_LastError(), XBE_E_NO_AREA) << E.xbx_LastErrorText();
    }
    // The table the writes might have reached is as it was.
    ASSERT_GT(E.xb_Use((Dir + "T").c_str(), "", 0, 2), 0) << E.xbx_LastErrorText();
    EXPECT_EQ(E.xb_RecCount(), 1);
    E.xb_Go(1);
    EXPECT_EQ(Trim("NAME"), "KEEP");
    EXPECT_EQ(E.xb_Deleted(), 0);
}

TEST_P(ClosedArea, SkipLoopUntilEndOfFileEnds)
{
    ASSERT_NO_FATAL_FAILURE(LeaveAreaEmpty());
    int steps = 0;
    for (E.xb_GoTop(); !E.xb_Eof() && steps < 1000; E.xb_Skip(1))
        ++steps;
    EXPECT_EQ(steps, 0);
    for (E.xb_GoBottom(); !E.xb_Bof() && steps < 1000; E.xb_Skip(-1))
        ++steps;
    EXPECT_EQ(steps, 0);
}

std::string CaseName(const testing::TestParamInfo<HowClosed>& info)
{
    switch (info.param) {
    case HowClosed::NeverOpened: return "NeverOpened";
    case HowClosed::FailedOpen: return "FailedOpen";
    case HowClosed::Closed: break;
    }
    return "Closed";
}

INSTANTIATE_TEST_SUITE_P(Areas, ClosedArea,
                         testing::Values(HowClosed::NeverOpened, HowClosed::FailedOpen, HowClosed::Closed),
                         CaseName);

}  // namespace
