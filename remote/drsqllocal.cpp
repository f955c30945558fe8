#include "remote/drsqllocal.h"

#include "platform/rtl/datetime.h"
#include "remote/drotables.h"
#include "remote/drsqlobj.h"
#include "remote/params.h"

Variant SqlParamValue(const TParam& Param)
{
    if (Param.IsNull())
        return Variant::Null();
    switch (Param.DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc: return Variant(Param.AsInteger());
    case ftBoolean: return Variant(Param.AsBoolean());
    case ftFloat:
    case ftCurrency:
    case ftBCD: return Variant(Param.AsFloat());
    case ftDate:
    case ftDateTime: return Variant::FromDate(Param.AsDateTime());
    default: return Variant(Param.AsString());
    }
}

namespace {

int Prepare(TDaroruConnection*, TSQLObj* Statement, const String& TableList, const String& Path, bool Deleted,
            bool Century, int MemoBlockSize, int DateFormat, const TParams* Params, int& Code, String& Msg)
{
    Code = 0;
    std::vector<localsql::TTableRef> tables;
    try {
        tables = ParseTableList(TableList);
    } catch (const std::exception& e) {
        Code = 1;
        Msg = e.what();
        return 0;
    }
    localsql::TParams values;
    if (Params)
        for (int i = 0; i < Params->Count(); ++i)
            values.emplace_back(Params->Items(i).Name(), SqlParamValue(Params->Items(i)));
    LoadDLL();
    if (!XbeLoaded()) {
        Code = 1;
        Msg = XbeLoadFailureText;
        return 0;
    }
    localsql::TSettings settings;
    settings.HideDeleted = Deleted;
    auto prepared = localsql::TStatement::Prepare({&Xbe(), XbeLastErrorText}, Path, tables, settings,
                                                  std::move(values), Msg);
    if (!prepared) {
        Code = 1;
        return 0;
    }
    Statement->Settings = TSQLSettings {Deleted, Century, DateFormat, MemoBlockSize};
    Statement->SetStatement(std::move(prepared));
    Statement->Prepared = true;
    return 1;
}

// The engine statement of a prepared TSQLObj, or null.
localsql::TStatement* Of(TSQLObj* Statement) { return Statement ? Statement->Statement() : nullptr; }

void OpenSQL(TSQLObj* Statement, const String& Sql, int& V1, int& V2, int& V3, int& V4, String& Msg)
{
    V1 = V2 = V3 = V4 = 0;
    localsql::TStatement* s = Of(Statement);
    if (!s) {
        V1 = 1;
        Msg = "The statement is not prepared";
        return;
    }
    V1 = s->Open(Sql, Msg);
    if (V1 == 0) {
        V2 = s->RecordCount();
        V3 = s->RecordSize();
        V4 = static_cast<int>(s->Columns().size());
    }
}

void GetStructure(TSQLObj* Statement, TStream& Stream)
{
    if (localsql::TStatement* s = Of(Statement))
        s->WriteStructure(Stream);
}

void GetRecord(TSQLObj* Statement, int First, int Count, TStream& Stream)
{
    if (localsql::TStatement* s = Of(Statement))
        s->WriteRows(First, Count, Stream);
}

void ExecSQL(TSQLObj* Statement, const String& Sql, int& Code, String& Msg)
{
    localsql::TStatement* s = Of(Statement);
    Code = s ? s->Exec(Sql, Msg) : 1;
    if (!s)
        Msg = "The statement is not prepared";
}

void CloseSQL(TSQLObj* Statement)
{
    if (localsql::TStatement* s = Of(Statement))
        s->Close();
}

void ReadBlobData(TSQLObj* Statement, int Field, int Row, TStream& Stream)
{
    if (localsql::TStatement* s = Of(Statement))
        s->WriteBlob(Field, Row, Stream);
}

int RecCount(TSQLObj* Statement)
{
    localsql::TStatement* s = Of(Statement);
    return s ? s->RecordCount() : 0;
}

void Refresh(TSQLObj* Statement)
{
    String message;
    if (localsql::TStatement* s = Of(Statement))
        s->Refresh(message);
}

}  // namespace

const TSqlFunctions& LocalSqlLibrary()
{
    static const TSqlFunctions library {Prepare,  OpenSQL,      GetStructure, GetRecord, ExecSQL,
                                        CloseSQL, ReadBlobData, RecCount,     Refresh};
    return library;
}
