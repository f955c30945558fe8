// The engine requests: each argument encoding as the server reads it, each
// reply decoding, and the refusals that keep the stream and the caller safe.

#include <cstring>

#include "tests/remote/remotefixture.h"

namespace {
String S(const String& Text, int Width) { return PadRight(Text, Width, ' '); }
String str(const char* Text) { return Text ? Text : "(null)"; }

struct RequestCase {
    const char* What;
    std::function<String(TDaroruServerConnection&)> Call;  // the result as text
    String Code;
    String Payload;
    const char* Reply;  // null: the request wants none
    String Result;
};
}  // namespace

TEST_F(ServerTest, EachArgumentEncodingAndReplyDecoding)
{
    const std::vector<RequestCase> cases = {
            {"T and text", [](auto& c) { return str(c.ap_GetString("NAME")); }, "0491", "NAME", "Smith   ",
             "Smith   "},
            {"S255 file, S255 alias, D, D and hex",
             [](auto& c) { return std::to_string(c.ap_Use("DATA\\CUST.DBF", "CUST", 1, 2)); }, "0468",
             S("DATA\\CUST.DBF", 255) + S("CUST", 255) + "12", " A ", "10"},
            {"field list", [](auto& c) { return str(c.ap_GetFields()); }, "0582", "", "NAME,CITY",
             "NAME,CITY"},
            {"field list set",
             [](auto& c) {
                 c.ap_SetFields("NAME,CITY");
                 return String("-");
             },
             "0583", "NAME,CITY", nullptr, "-"},
            {"index count", [](auto& c) { return std::to_string(c.ap_IndexCount()); }, "0527", "", "3", "3"},
            {"index descending", [](auto& c) { return std::to_string(c.ap_IndexDescending()); }, "0528", "",
             " 1 ", "1"},
            {"page", [](auto& c) { return str(c.ap_GetPage(2)); }, "0617", "0002", "page two", "page two"},
            {"S10, S10, N10, N10 awaited",
             [](auto& c) {
                 c.ap_CreateField("NAME", "C", 30, 0);
                 return String("-");
             },
             "0560", S("NAME", 10) + S("C", 10) + S("30", 10) + S("0", 10), "", "-"},
            {"S255, S255, H1, H8 and small",
             [](auto& c) { return std::to_string(c.ap_CreateNew("NEW", "DATA", 2, 12)); }, "0562",
             S("NEW", 255) + S("DATA", 255) + "2" + "0000000C", "3", "3"},
            {"H8 of a negative count",
             [](auto& c) {
                 c.ap_Skip(-1);
                 return String("-");
             },
             "0509", "FFFFFFFF", nullptr, "-"},
            {"H8 awaited",
             [](auto& c) {
                 c.ap_Go(10);
                 return String("-");
             },
             "0493", "0000000A", "", "-"},
            {"H4 and decimal small", [](auto& c) { return std::to_string(c.ap_SetOrder(2)); }, "0507", "0002",
             "1", "1"},
            {"D and Y", [](auto& c) { return std::to_string(c.ap_Rlock(7)); }, "0502", "7", "Y", "1"},
            {"Y is the whole reply", [](auto& c) { return std::to_string(c.ap_Bof()); }, "0476", "", "YES",
             "0"},
            {"Y1 is the first character", [](auto& c) { return std::to_string(c.ap_Seek("SMITH")); }, "0503",
             "SMITH", "YES", "1"},
            {"YN, YN, T and a blank-padded record number",
             [](auto& c) { return std::to_string(c.ap_Locate("NAME='X'", 1, 0)); }, "0529", "YNNAME='X'",
             "        42", "42"},
            {"locate not found", [](auto& c) { return std::to_string(c.ap_Locate("X", 0, 0)); }, "0529",
             "NNX", "0", "0"},
            {"tdec", [](auto& c) { return std::to_string(c.ap_RecCount()); }, "0470", "", "  12 ", "12"},
            {"dec", [](auto& c) { return std::to_string(c.ap_RecNo()); }, "0500", "", "5", "5"},
            {"hex date", [](auto& c) { return std::to_string(c.ap_GetDateJulian("D")); }, "0483", "D",
             "2451545", std::to_string(0x2451545)},
            {"float with a comma", [](auto& c) { return std::to_string(c.ap_GetDouble("AMT")); }, "0485",
             "AMT", "12,5", std::to_string(12.5)},
            {"H8 and T", [](auto& c) { return str(c.ap_GetMemo("NOTES", 60)); }, "0489", "0000003CNOTES",
             "memo text", "memo text"},
            {"FloatToStr",
             [](auto& c) {
                 c.ap_OrderPosSet(0.25);
                 return String("-");
             },
             "0558", "0.25", "", "-"},
            {"environment in one request",
             [](auto& c) {
                 c.ap_EnvSettings(1950, 1, 64, true, false, true, false);
                 return String("-");
             },
             "0621",
             "079E0001"
             "0040"
             "YNYN",
             "", "-"},
            {"trimmed tag", [](auto& c) { return std::to_string(c.ap_KeyAdd(" ID ")); }, "0496", "ID", "Y",
             "1"},
            {"system property kept", [](auto& c) { return std::to_string(c.ap_SysProp(2000, 5)); }, "0563",
             "000007D0"
             "00000005",
             " 5", "5"},
            {"system property mapped", [](auto& c) { return std::to_string(c.ap_SysProp(2116, 5)); }, "0563",
             "00000844"
             "00000000",
             "0", "0"},
            {"system property low byte", [](auto& c) { return std::to_string(c.ap_SysProp(1001, 0x100)); },
             "0563",
             "000003E9"
             "00000000",
             "0", "0"},
    };
    Connect();
    for (const RequestCase& c : cases) {
        SCOPED_TRACE(c.What);
        Errors.clear();
        Server->ClearFrames();
        if (c.Reply)
            Reply(c.Code, c.Reply);
        else
            Server->On(c.Code, [](TTestServer::TSession&, const TTestServer::TFrame&) { return true; });
        EXPECT_EQ(c.Call(*Connection), c.Result);
        Connection->ClientXmit("0053", "", true);  // in step: the next reply is the server name
        ASSERT_EQ(String(Connection->ServerName()), "Test server");
        const auto frame = Last(c.Code);
        EXPECT_EQ(frame.Payload, c.Payload);
        EXPECT_TRUE(Errors.empty()) << Errors.front();
    }
}

TEST_F(ServerTest, ReplyFailuresReportOnceUnderTheRequestsName)
{
    Connect();
    Reply("0500", "5 ");
    EXPECT_EQ(Connection->ap_RecNo(), 0);
    Reply("0610", "40000");
    EXPECT_EQ(Connection->ap_FieldCount(), 0);
    Reply("0616", "x");
    EXPECT_EQ(Connection->ap_FieldWidth("NAME"), 0);
    Reply("0503", "");
    EXPECT_FALSE(Connection->ap_Seek("X"));  // silently
    Reply("0529", "");
    EXPECT_EQ(Connection->ap_Locate("X", 0, 0), 0);
    EXPECT_EQ(Errors, (std::vector<String> {"[DaroruConnection.RecNo] RecNo",
                                            "[DaroruConnection.FieldCount] FieldCount",
                                            "[FieldType] FieldWidth", "[DaroruConnection.Locate] Locate"}));
}

TEST_F(ServerTest, FieldsThatWouldOverflowAreRefusedBeforeAnythingIsSent)
{
    Connect();
    Server->ClearFrames();
    Connection->ap_CreateField("LONGFIELDNAME", "C", 10, 0);
    Connection->ap_Use(String(256, 'X').c_str(), "A", 0, 2);
    EXPECT_TRUE(Server->Frames("0560").empty());
    EXPECT_TRUE(Server->Frames("0468").empty());
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[0],
              "[DaroruConnection.CreateField] 'LONGFIELDNAME' is longer than its field of 10 characters");
    EXPECT_TRUE(Connection->Active());
}

TEST_F(ServerTest, TheSelectedWorkAreaIsCachedUntilAFailureOrAReconnect)
{
    Connect();
    Server->ClearFrames();
    EXPECT_EQ(Connection->ap_Select(3), 0);
    EXPECT_EQ(Connection->ap_Select(3), 3);  // nothing sent
    EXPECT_EQ(Server->Frames("0504").size(), 1u);
    EXPECT_EQ(Last("0504").Payload, "0003");
    Connection->SetActive(false);
    Connect();
    Connection->ap_Select(3);  // a new connection has no area selected
    EXPECT_EQ(Server->Frames("0504").size(), 2u);

    Server->On("0504", [](TTestServer::TSession& S, const TTestServer::TFrame&) {
        S.Close();
        return true;
    });
    Connection->ap_Select(4);
    Connect();
    Server->On("0504", nullptr);
    Connection->ap_Select(4);
    EXPECT_EQ(Server->Frames("0504").size(), 4u);
}

TEST_F(ServerTest, SettingsOfAnInactiveConnectionSendNothingAndReportNothing)
{
    Connection->ap_SetDeleted(1);
    Connection->ap_SetSoftSeek(1);
    EXPECT_EQ(Connection->ap_SysProp(2000, 5), 0);
    EXPECT_TRUE(Errors.empty());
    Connection->ap_GoTop();
    EXPECT_EQ(Errors, std::vector<String> {"[DaroruConection.ClientXmit] Not connected"});
}

TEST_F(ServerTest, BinaryRequestsSendTheValueBytesOfEveryTypeCode)
{
    Connect();
    Server->ClearFrames();
    const XBLONG julian = 2460000;
    const double amount = 12.5;
    Connection->ap_Replace("HIRED", 32, &julian);
    Connection->ap_Replace("AMT", 8, &amount);
    Connection->ap_Replace("PHOTO", 8192, "/tmp/photo.jpg");
    Connection->ap_Replace("FLAG", 4096, "ignored");
    Sync();
    const auto frames = Server->Frames("0501");
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].Payload, S("HIRED", 10) + "0020" + String(reinterpret_cast<const char*>(&julian), 4));
    EXPECT_EQ(frames[1].Payload, S("AMT", 10) + "0008" + String(reinterpret_cast<const char*>(&amount), 8));
    EXPECT_EQ(frames[2].Payload, S("PHOTO", 10) + "2000" + "/tmp/photo.jpg");
    EXPECT_EQ(frames[3].Payload, S("FLAG", 10) + "1000");

    Server->On("0498", [](TTestServer::TSession&, const TTestServer::TFrame&) { return true; });
    Reply("0624", "1F");
    EXPECT_EQ(Connection->ap_PutBlob("PIC", "abc", 3), 31);
    EXPECT_EQ(Last("0498").Payload, S("PIC", 10) + "00000003abc");
}

TEST_F(ServerTest, PayloadsLargerThanTheCallersBufferAreRefused)
{
    Connect();
    Reply("0514", "8");
    EXPECT_EQ(Connection->ap_Select(1), 0);
    Reply("0515", "0123456789");  // ten bytes for an 8-byte record
    char record[8] = {};
    EXPECT_EQ(Connection->ap_GetRecord(record), 0);
    EXPECT_EQ(String(record, 8), String(8, '\0'));
    Reply("0481", "4");
    Reply("0480", "123456");
    char blob[4] = {};
    EXPECT_EQ(Connection->ap_GetBlob("PIC", blob), 0);
    Reply("0589", "1");
    Reply("0588", String(8, '\1'));
    XBLONG locks[1] = {};
    Connection->ap_DBRlockList(locks);
    EXPECT_EQ(locks[0], 0);
    ASSERT_EQ(Errors.size(), 3u);
    EXPECT_EQ(Errors[0], "[DaroruConnection.GetRecord] Record of 10 bytes where the table's records have 8");
    EXPECT_TRUE(Connection->Active());

    Reply("0515", "01234567");
    EXPECT_EQ(Connection->ap_GetRecord(record), 8);
    EXPECT_EQ(String(record, 8), "01234567");
}

// The blob length and lock count the caller sized its buffer by belong to a
// work area (and field): another area's are never taken for them.
TEST_F(ServerTest, ALengthAskedBeforeHoldsForItsOwnWorkAreaAndField)
{
    Connect();
    Connection->ap_Select(1);
    char blob[8] = {};
    Reply("0481", "8");
    Reply("0480", "12345678");
    EXPECT_EQ(Connection->ap_GetBlobLength("PIC"), 8);
    EXPECT_EQ(Connection->ap_GetBlob("PIC", blob), 8);
    EXPECT_EQ(Server->Frames("0481").size(), 1u);

    // The next record's blob is longer than the buffer sized for the last one.
    Connection->ap_Skip(1);
    Reply("0480", "123456789012");
    EXPECT_EQ(Connection->ap_GetBlob("PIC", blob), 0);
    // A field of the same name in another work area: its own length is asked.
    Connection->ap_Select(2);
    Reply("0481", "12");
    char larger[12] = {};
    EXPECT_EQ(Connection->ap_GetBlob("PIC", larger), 12);
    EXPECT_EQ(Server->Frames("0481").size(), 2u);
    Errors.clear();

    // A lock count of another work area says nothing of this one's.
    XBLONG locks[2] = {};
    Reply("0589", "2");
    EXPECT_EQ(Connection->ap_LockCount(), 2);
    Connection->ap_Select(3);
    Reply("0589", "1");
    Reply("0588", String(2 * sizeof(XBLONG), '\1'));
    Connection->ap_DBRlockList(locks);
    EXPECT_EQ(locks[0], 0);
    EXPECT_EQ(Server->Frames("0589").size(), 2u);
    EXPECT_EQ(Errors, std::vector<String> {"[DaroruConnection.DBRLockList] Lock list of " +
                                           std::to_string(2 * sizeof(XBLONG)) + " bytes for 1 locks"});
}

TEST_F(ServerTest, TraverseTableWithoutAReplyIsAFailure)
{
    Connect();
    char record[4] = {};
    XBLONG recno = -1;
    Reply("0591", "0"
                  "00000005"
                  "abcd");
    EXPECT_EQ(Connection->ap_TraverseTable(true, false, 0, gmNext, recno, record, 4), grOK);
    EXPECT_EQ(recno, 5);
    EXPECT_EQ(String(record, 4), "abcd");
    EXPECT_EQ(Last("0591").Payload, "YN01");
    Reply("0591", "2"
                  "00000006");  // the end: no record, nothing copied
    EXPECT_EQ(Connection->ap_TraverseTable(false, false, 1, gmNext, recno, record, 4), grEOF);
    EXPECT_EQ(recno, 6);
    EXPECT_EQ(String(record, 4), "abcd");
    EXPECT_EQ(Last("0591").Payload, "NN11");
    EXPECT_TRUE(Errors.empty());
    for (const char* reply : {"",
                              "0"
                              "00000007"
                              "abcdef",
                              "0"
                              "00000007"
                              "ab"}) {
        Reply("0591", reply);
        EXPECT_EQ(Connection->ap_TraverseTable(true, false, 0, gmNext, recno, record, 4), grError);
        EXPECT_EQ(String(record, 4), "abcd");
    }
}
