// The test server's SQL requests: each prepared statement is one statement of
// the local SQL engine over the served directory, numbered per server.

#include "platform/rtl/strutils.h"
#include "remote/drotables.h"
#include "remote/drsqllocal.h"
#include "remote/params.h"
#include "remote/wire.h"
#include "tables/xbe50.h"
#include "tests/support/testserver.h"

namespace {

String H8(Int64 Value) { return Wire::Hex(Value, 8); }

class TReader {
public:
    explicit TReader(const String& Text) : FText(Text) { }
    String Take(size_t Count)
    {
        if (Count > FText.size() - FAt)
            throw EConvertError("The request is cut short");
        const String piece = FText.substr(FAt, Count);
        FAt += Count;
        return piece;
    }
    int Hex(size_t Digits) { return Wire::ParseHex(Take(Digits)); }
    bool YN() { return Take(1) == "Y"; }
    bool AtEnd() const { return FAt >= FText.size(); }
    String Rest() { return Take(FText.size() - FAt); }

private:
    const String& FText;
    size_t FAt = 0;
};

String Stream(const std::function<void(TStream&)>& Fill)
{
    TStringStream stream;
    Fill(stream);
    return stream.DataString();
}

}  // namespace

String TTestServer::Sql(const TFrame& Frame)
{
    TReader a(Frame.Payload);
    const int code = StrToIntDef(Frame.Code, -1);
    if (code == 800) {
        const String directory = DirectoryOf(TrimRight(a.Take(255)));
        a.Take(1 + 8);
        localsql::TSettings settings;
        settings.HideDeleted = a.YN();
        settings.ReadOnly = a.YN();
        a.Take(8);
        const int length = a.Hex(8);
        const String count = a.Take(8);
        const std::vector<localsql::TTableRef> tables = ParseTableList(count + a.Take(size_t(length)));
        localsql::TParams params;
        while (!a.AtEnd()) {
            const int size = a.Hex(8);
            const auto type = static_cast<TFieldType>(a.Hex(2));
            const auto direction = static_cast<TParamType>(a.Hex(2));
            TParam param(Trim(a.Take(20)), type, direction);
            param.SetData(a.Take(size_t(size)));
            params.emplace_back(param.Name(), SqlParamValue(param));
        }
        String message;
        auto statement = localsql::TStatement::Prepare({&Xbe(), XbeLastErrorText}, directory, tables,
                                                       settings, std::move(params), message);
        if (!statement)
            return H8(0) + H8(1) + message;
        FStatements[++FStatementCount] = std::move(statement);
        return H8(FStatementCount) + H8(0);
    }
    const auto found = FStatements.find(a.Hex(8));
    if (found == FStatements.end())
        return code == 802 || code == 803 ? H8(1) + H8(0) + H8(0) + H8(0) + "No such statement" : String();
    localsql::TStatement& statement = *found->second;
    String message;
    switch (code) {
    case 801: FStatements.erase(found); return String();
    case 802: {
        const int error = statement.Open(a.Rest(), message);
        return H8(error) + H8(statement.RecordCount()) + H8(statement.RecordSize()) +
               H8(Int64(statement.Columns().size())) + message;
    }
    case 803: {
        const int error = statement.Exec(a.Rest(), message);
        return H8(error) + message;
    }
    case 804: statement.Close(); return String();
    case 805: return H8(statement.RecordCount());
    case 806: return Stream([&](TStream& S) { statement.WriteStructure(S); });
    case 807: {
        const int first = a.Hex(8);
        const int count = a.Hex(8);
        return Stream([&](TStream& S) { statement.WriteRows(first, count, S); });
    }
    case 808: {
        const int field = a.Hex(8);
        const int row = a.Hex(8);
        return Stream([&](TStream& S) { statement.WriteBlob(field, row, S); });
    }
    case 809: statement.Refresh(message); return String();
    default: return String();
    }
}
