// Files to and from the server, name lists, stored procedures and the stored
// procedure component.

#include <fstream>

#include "platform/rtl/fileops.h"
#include "remote/drostor.h"
#include "tests/remote/remotefixture.h"

namespace {
String Slurp(const String& Path)
{
    std::ifstream in(Path, std::ios::binary);
    return String(std::istreambuf_iterator<char>(in), {});
}

void Spit(const String& Path, const String& Bytes)
{
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

String StreamText(TStream* Stream)
{
    if (!Stream)
        return "(none)";
    String text(static_cast<size_t>(Stream->Size()), '\0');
    Stream->ReadBuffer(text.data(), Stream->Size());
    return text;
}
}  // namespace

TEST_F(ServerTest, FilesGoToTheServerAndComeBackByteForByte)
{
    Connect();
    const String local = Dir + "local/";
    std::filesystem::create_directories(local);
    String content;
    for (int i = 0; i < 100000; ++i)
        content += static_cast<char>(i * 7);
    Spit(local + "report.bin", content);

    EXPECT_EQ(Connection->FileSend(Dir, local + "report.bin", ""), 100000);
    Sync();
    EXPECT_TRUE(Slurp(Dir + "report.bin") == content);
    EXPECT_TRUE(Connection->FileExists(Dir, "report.bin"));
    EXPECT_EQ(Connection->FileLength(Dir, "..\\report.bin"), 100000);  // only the name part travels

    EXPECT_EQ(Connection->FileReceive(Dir, "report.bin", local + "copy.bin"), 100000);
    EXPECT_TRUE(Slurp(local + "copy.bin") == content);

    Spit(local + "empty.txt", "");
    Server->ClearFrames();
    EXPECT_EQ(Connection->FileSend(Dir, local + "empty.txt", "renamed.txt"), 0);
    Sync();
    EXPECT_EQ(Last("0037").Payload, PadRight(Dir, 255, ' ') + PadRight("renamed.txt", 255, ' '));
    EXPECT_TRUE(Connection->DeleteFile(Dir, "renamed.txt"));
    EXPECT_FALSE(Connection->FileExists(Dir, "renamed.txt"));
    EXPECT_FALSE(Connection->FileExists("", "renamed.txt"));  // no request at all

    EXPECT_EQ(Connection->FileSend(Dir, local + "missing.txt", ""), 0);
    EXPECT_EQ(Errors, std::vector<String> {"[DaroruConnection.FileSend] No such file or directory"});
}

TEST_F(ServerTest, NameListsComeBackAsTheServerWroteThem)
{
    Connect();
    Spit(Dir + "B.DBF", "x");
    Spit(Dir + "A.DBF", "x");
    Spit(Dir + "notes.txt", "x");
    Connection->SetDatabaseName(Dir);
    EXPECT_EQ(StreamText(Connection->GetTableNames()), "A.DBF\r\nB.DBF\r\n");
    EXPECT_EQ(Last("0040").Payload, Dir);
    EXPECT_EQ(StreamText(Connection->FindFiles(Dir, "*")), "A.DBF\r\nB.DBF\r\nnotes.txt\r\n");
    EXPECT_EQ(StreamText(Connection->GetDataBaseNames()), "DATA\r\n");
    Connection->GetIndexNames("A", 2);
    EXPECT_EQ(Last("0046").Payload, PadRight(Dir, 255, ' ') + PadRight("A", 255, ' ') + "2");

    Reply("0062", "ANNA\r\nBEN\r\n");
    TStringList users;
    users.Add("old");
    Connection->GetUserNames(users);
    EXPECT_EQ(users.Count(), 2);
    EXPECT_EQ(users[1], "BEN");
    EXPECT_NEAR(Connection->GetServerDateTime(), 45000.5, 1e-9);
    EXPECT_TRUE(Connection->ap_tps_BeginTransaction());
    EXPECT_TRUE(Connection->ap_tps_Commit());
    Reply("0702", "N");
    EXPECT_FALSE(Connection->ap_tps_RollBack());
}

namespace {
// Every parameter type with a value the server changes predictably.
TParams AllTypes()
{
    TParams params;
    params.CreateParam(ftString, "NAME", ptInputOutput).SetAsString("smith");
    params.CreateParam(ftInteger, "COUNT", ptInputOutput).SetAsInteger(21);
    params.CreateParam(ftFloat, "AMOUNT", ptInputOutput).SetAsFloat(1.25);
    params.CreateParam(ftBoolean, "ACTIVE", ptInputOutput).SetAsBoolean(false);
    params.CreateParam(ftSmallint, "CODE", ptInput).SetAsInteger(-7);
    params.CreateParam(ftDate, "HIRED", ptInput).SetAsDateTime(39448);  // 1 January 2008
    params.CreateParam(ftDateTime, "STAMP", ptInput).SetAsDateTime(39448.75);
    params.CreateParam(ftTime, "AT", ptInput).SetAsDateTime(0.5);
    params.CreateParam(ftCurrency, "FEE", ptOutput).SetAsFloat(3.5);
    params.CreateParam(ftBlob, "DATA", ptInput).SetData(String("\0\1\2", 3));
    return params;
}
}  // namespace

TEST_F(ServerTest, StoredProcedureParametersOfEveryTypeRoundTrip)
{
    Connect();
    Connection->SetDatabaseName("DATA");
    Connection->SetProcName("TOTALS");
    Connection->ProcParams() = AllTypes();
    Server->ClearFrames();
    Connection->ExecProc();
    const auto frames = Server->Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].Code, "0045");
    EXPECT_EQ(frames[1].Code, "0042");
    EXPECT_EQ(frames[1].Payload, PadRight("DATA", 255, ' ') + PadRight("TOTALS", 255, ' '));
    // The first record as it travels: size, type, direction, name, value.
    EXPECT_EQ(frames[0].Payload.substr(510, 32 + 6), "00000006"
                                                     "01"
                                                     "03" + PadRight("NAME", 20, ' ') +
                                                             String("smith\0", 6));

    const TParams& out = Connection->ProcParams();
    ASSERT_EQ(out.Count(), 10);
    EXPECT_EQ(out.ParamByName("NAME").AsString(), "SMITH");
    EXPECT_EQ(out.ParamByName("COUNT").AsInteger(), 42);
    EXPECT_DOUBLE_EQ(out.ParamByName("AMOUNT").AsFloat(), 2.5);
    EXPECT_TRUE(out.ParamByName("ACTIVE").AsBoolean());
    EXPECT_EQ(out.ParamByName("CODE").AsInteger(), -7);
    EXPECT_EQ(out.ParamByName("HIRED").AsDateTime(), 39448);
    EXPECT_DOUBLE_EQ(out.ParamByName("STAMP").AsDateTime(), 39448.75);
    EXPECT_DOUBLE_EQ(out.ParamByName("AT").AsDateTime(), 0.5);
    EXPECT_DOUBLE_EQ(out.ParamByName("FEE").AsFloat(), 7);
    EXPECT_EQ(out.ParamByName("DATA").Data(), String("\0\1\2", 3));
    EXPECT_EQ(out.ParamByName("FEE").ParamType(), ptOutput);
    EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(ServerTest, ParameterBlocksEndExactlyAndRefuseCutRecords)
{
    Connect();
    const String record = "00000004"
                          "03"
                          "01" +
                          PadRight("N", 20, ' ') + String("\5\0\0\0", 4);
    Server->AddProcedure("P", record + "00000000" + record);
    TParams* params = Connection->GetParams("P");
    ASSERT_NE(params, nullptr);
    EXPECT_EQ(params->Count(), 2);
    EXPECT_EQ(params->Items(1).AsInteger(), 5);

    Server->AddProcedure("CUT", record.substr(0, 20));
    Connection->GetParams("CUT");
    EXPECT_EQ(Errors, std::vector<String> {"[DaroruConnection.InternalGetParams] InternalGetParams"});

    Errors.clear();
    TParams named;
    named.CreateParam(ftInteger, String(21, 'N'), ptInput).SetAsInteger(1);
    Connection->SetParams("P", named);
    EXPECT_EQ(Errors, std::vector<String> {"[DaroruConnection.SetParams] SetParams"});

    TDaroruServerConnection idle(nullptr);
    idle.OnError = Connection->OnError;
    idle.ExecProc();
    EXPECT_EQ(Errors.back(), "[DaroruConnection.ExecProc] DaroruConnection not connected");
}

TEST_F(ServerTest, TheStoredProcedureComponentRunsOnceUntilActiveIsReset)
{
    TDaroruStoredProc proc(nullptr);
    auto message = [&] {
        try {
            proc.ExecProc();
        } catch (const EDaroruStoredProc& e) {
            return e.Message();
        }
        return String("ran");
    };
    EXPECT_EQ(message(), "No DaroruConnection specified");
    EXPECT_FALSE(proc.Active());
    proc.SetDaroruConnection(Connection.get());
    EXPECT_EQ(message(), "Not connected");
    Connect();
    EXPECT_EQ(message(), "ProcName is empty!");

    TParams described;
    described.CreateParam(ftInteger, "COUNT", ptInputOutput);
    Server->AddProcedure("DOUBLE", "00000004"
                                   "03"
                                   "03" + PadRight("COUNT", 20, ' ') +
                                           String(4, '\0'));
    proc.SetProcName("DOUBLE");
    ASSERT_EQ(proc.ProcParams().Count(), 1);  // the server's description
    proc.ProcParams().Items(0).SetAsInteger(5);
    EXPECT_EQ(message(), "ran");
    EXPECT_TRUE(proc.Active());
    EXPECT_EQ(proc.ProcParams().ParamByName("COUNT").AsInteger(), 10);
    Server->ClearFrames();
    EXPECT_EQ(message(), "ran");  // still active: nothing runs
    EXPECT_TRUE(Server->Frames("0042").empty());
    EXPECT_EQ(proc.ProcParams().ParamByName("COUNT").AsInteger(), 10);
    proc.SetActive(false);
    EXPECT_EQ(message(), "ran");  // again, with the values it got back
    EXPECT_EQ(Server->Frames("0042").size(), 1u);
    EXPECT_EQ(proc.ProcParams().ParamByName("COUNT").AsInteger(), 20);

    proc.SetProcName("OTHER");
    EXPECT_FALSE(proc.Active());
    Connection.reset();  // the component hears that its connection went
    EXPECT_EQ(proc.DaroruConnection(), nullptr);
}

// The size of a parameter record: the value's bytes must be in the block.
TEST_F(ServerTest, AParameterSizeBeyondItsBlockIsRefused)
{
    Connect();
    const String rest = "03"
                        "03" +
                        PadRight("COUNT", 20, ' ') + String("\x2A\0\0\0", 4);
    for (const auto& [size, count] : std::vector<std::pair<String, int>> {{"00000004", 1},
                                                                          {"00000003", -1},
                                                                          {"00000005", -1},
                                                                          {"7FFFFFFF", -1},
                                                                          {"FFFFFFFF", -1},
                                                                          {"-0000001", -1},
                                                                          {"0000000G", -1}}) {
        SCOPED_TRACE(size);
        Errors.clear();
        Reply("0044", size + rest);
        TParams* params = Connection->GetParams("P");
        ASSERT_NE(params, nullptr);
        if (count > 0) {
            EXPECT_EQ(params->Count(), count);
            EXPECT_EQ(params->ParamByName("COUNT").AsInteger(), 42);
            EXPECT_TRUE(Errors.empty());
        } else {
            EXPECT_EQ(Errors, std::vector<String> {"[DaroruConnection.InternalGetParams] InternalGetParams"});
        }
        EXPECT_TRUE(Connection->Active());
    }
}
