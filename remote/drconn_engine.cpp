// The engine requests of the connection: one request per engine function,
// its arguments as text fields, its reply decoded.

#include <algorithm>
#include <cstring>

#include "platform/rtl/strutils.h"
#include "platform/xbengine/xbe50.h"
#include "remote/drconn_requests.h"

using namespace Wire;
using C = TDaroruServerConnection;

namespace {
String Str(const char* Text) { return Text ? Text : ""; }
String S255(const char* Text) { return Fixed(Str(Text), 255); }
String S10(const char* Text) { return Fixed(Str(Text), 10); }

// Argument texts.
#define ARGS(...) [&] { return String(__VA_ARGS__); }
const auto NoArgs = [] { return String(); };

// Reply decodings.
const auto AsY = [](const String& Reply) -> XBBOOL { return Y(Reply); };
const auto AsY1 = [](const String& Reply) -> XBBOOL { return Y1(Reply); };
const auto AsDec = [](const String& Reply) -> XBLONG { return ParseDec(Reply); };
const auto AsTDec = [](const String& Reply) -> XBLONG { return ParseTrimmedDec(Reply); };
const auto AsSmall = [](const String& Reply) -> XBSHORT { return ParseSmall(ParseTrimmedDec(Reply)); };
const auto AsSmallDec = [](const String& Reply) -> XBSHORT { return ParseSmall(ParseDec(Reply)); };
const auto AsHex = [](const String& Reply) -> XBLONG { return ParseHex(Reply); };
const auto AsFloat = [](const String& Reply) -> double { return ParseFloat(Reply); };
const auto Dropped = [](const String&) { return true; };
}  // namespace

// A text result: the reply, kept by Ask until the same request is made again.
#define TEXT [](const String& Reply) { return Reply; }

// ---- work areas and tables

XBSHORT C::ap_Select(XBSHORT area)
{
    if (area == FCurrentWorkArea)
        return area;
    const SmallInt previous = FCurrentWorkArea;
    // Until the server confirms, no area is known to be selected; a lock count
    // asked for another area says nothing about this one.
    FCurrentWorkArea = 0;
    FLastLockCount = -1;
    if (!Ask<bool>(Named("Select"), "0504", ARGS(Hex(area, 4)), Dropped))
        return 0;
    FCurrentWorkArea = area;
    return previous;
}

// The file as the server finds it (its directory or database name, then the
// file name) and the alias the work area is to have; the server names the area.
XBSHORT C::ap_Use(const char* file, const char* alias, XBSHORT mode, XBSHORT type)
{
    const XBSHORT area =
            Ask<XBSHORT>(Named("Use"), "0468", ARGS(S255(file) + S255(alias) + Dec(mode) + Dec(type)),
                         [](const String& Reply) { return ParseSmall(ParseHex(Trim(Reply))); });
    FCurrentWorkArea = 0;
    FRecordSizes.erase(area);
    return area;
}

XBSHORT C::ap_CreateNew(const char* file, const char* alias, XBSHORT type, XBSHORT fieldCount)
{
    const XBSHORT area =
            Ask<XBSHORT>(Named("CreateNew"), "0562",
                         ARGS(S255(file) + S255(alias) + Hex(type, 1) + Hex(fieldCount, 8)), AsSmall);
    FCurrentWorkArea = 0;
    return area;
}

void C::ap_CreateField(const char* name, const char* type, XBSHORT len, XBSHORT dec)
{
    Ask<bool>(Named("CreateField"), "0560", ARGS(S10(name) + S10(type) + N10(len) + N10(dec)), Dropped);
}

XBBOOL C::ap_CreateExec() { return Ask<XBBOOL>(Named("CreateExec"), "0559", NoArgs, AsY); }

void C::ap_Close()
{
    Ask<bool>(Named("Close"), "0523", NoArgs, Dropped);
    FRecordSizes.erase(FCurrentWorkArea);
    FCurrentWorkArea = 0;
}

void C::ap_CloseAll()
{
    Ask<bool>(Named("CloseAll"), "0565", NoArgs, Dropped);
    ForgetWorkAreas();
}

XBBOOL C::ap_CreateFrom(const char* file, const char* alias, const char* structFile, XBSHORT type)
{
    return Ask<XBBOOL>(Quiet("CreateFrom"), "0561",
                       ARGS(S255(file) + S255(alias) + S255(structFile) + N10(type)), AsY);
}

XBLONG C::ap_AppendFrom(const char* file, XBSHORT type, const char* forExpr)
{
    return Ask<XBLONG>(Quiet("AppendFrom"), "0474", ARGS(S255(file) + N10(type) + S255(forExpr)), AsY);
}

XBBOOL C::ap_CopyFile(const char* file)
{
    return Ask<XBBOOL>(Named("CopyFile"), "0535", ARGS(S255(file)), AsY);
}
XBBOOL C::ap_CopyFileText(const char* file, XBSHORT format)
{
    return Ask<XBBOOL>(Named("CopyFileText"), "0536", ARGS(S255(file) + Hex(format, 4)), AsY);
}
XBBOOL C::ap_CopyStructure(const char* file, const char* alias)
{
    return Ask<XBBOOL>(Named("CopyStructure"), "0622", ARGS(S255(file) + S255(alias)), AsY);
}
XBBOOL C::ap_CopyStructureExtended(const char* file)
{
    return Ask<XBBOOL>(Named("CopyStructureExtended"), "0623", ARGS(S255(file)), AsY);
}
XBBOOL C::ap_BlobToFile(const char* field, const char* file)
{
    return Ask<XBBOOL>(Named("BlobToFile"), "0475", ARGS(S10(field) + S255(file)), AsY);
}

// ---- requests without arguments

XBBOOL C::ap_Append() { return Tell(Named("Append"), "0472", NoArgs); }
XBBOOL C::ap_AppendBlank() { return Tell(Named("AppendBlank"), "0473", NoArgs); }
void C::ap_CloseIndexes() { Tell({"CloseIndexes", "CloseIndexes"}, "0533", NoArgs); }
XBBOOL C::ap_Commit() { return Tell(Named("Commit"), "0511", NoArgs); }
XBBOOL C::ap_Delete() { return Tell(Named("Delete"), "0477", NoArgs); }
void C::ap_GoBottom() { Tell(Named("GoBottom"), "0494", NoArgs); }
void C::ap_GoTop() { Tell(Named("GoTop"), "0495", NoArgs); }
XBBOOL C::ap_Reindex() { return Tell(Named("Reindex"), "0542", NoArgs); }
void C::ap_IndexClose() { Ask<bool>(Named("IndexClose"), "0551", NoArgs, Dropped); }
XBBOOL C::ap_Pack() { return Ask<bool>(Named("Pack"), "0521", NoArgs, Dropped); }
XBBOOL C::ap_Recall() { return Ask<bool>(Named("Recall"), "0569", NoArgs, Dropped); }
XBBOOL C::ap_Zap() { return Ask<bool>(Named("Zap"), "0522", NoArgs, Dropped); }

const char* C::ap_BaseDate() { return Ask<const char*>({"BaseDate", "BaseDate"}, "0531", NoArgs, TEXT); }
const char* C::ap_BaseName() { return Ask<const char*>(Named("BaseName"), "0532", NoArgs, TEXT); }
const char* C::ap_DBFilter() { return Ask<const char*>(Named("DBFilter"), "0539", NoArgs, TEXT); }
const char* C::ap_IndexCondition() { return Ask<const char*>(Quiet("IndexCondition"), "0552", NoArgs, TEXT); }
const char* C::ap_IndexKey() { return Ask<const char*>(Named("IndexKey"), "0554", NoArgs, TEXT); }
const char* C::ap_IndexKeyField() { return Ask<const char*>(Named("IndexKeyField"), "0555", NoArgs, TEXT); }
const char* C::ap_KeyData() { return Ask<const char*>(Named("KeyData"), "0579", NoArgs, TEXT); }
const char* C::ap_Version() { return Ask<const char*>(Named("Version"), "0618", NoArgs, TEXT); }

XBBOOL C::ap_Bof() { return Ask<XBBOOL>(Named("Bof"), "0476", NoArgs, AsY); }
XBBOOL C::ap_DbfDecrypt() { return Ask<XBBOOL>(Named("DbfDecrypt"), "0537", NoArgs, AsY); }
XBBOOL C::ap_DbfEncrypt() { return Ask<XBBOOL>(Named("DbfEncrypt"), "0538", NoArgs, AsY); }
XBBOOL C::ap_Deleted() { return Ask<XBBOOL>(Named("Deleted"), "0478", NoArgs, AsY); }
XBBOOL C::ap_Eof()
{
    if (FetchedRecord() > 0)
        return false;  // the cursor stands on the record just fetched
    return Ask<XBBOOL>(Quiet("Eof"), "0479", NoArgs, AsY);
}
XBBOOL C::ap_Flock() { return Ask<XBBOOL>(Quiet("Flock"), "0547", NoArgs, AsY); }
XBBOOL C::ap_Found() { return Ask<XBBOOL>(Named("Found"), "0548", NoArgs, AsY); }
XBBOOL C::ap_IndexFlip() { return Ask<XBBOOL>(Quiet("IndexFlip"), "0568", NoArgs, AsY); }

XBLONG C::ap_Count() { return Ask<XBLONG>(Named("Count"), "0516", NoArgs, AsDec); }
XBLONG C::ap_OrderRecNo() { return Ask<XBLONG>(Named("OrderRecNo"), "0520", NoArgs, AsDec); }
XBLONG C::ap_QueryRecCount() { return Ask<XBLONG>(Named("QueryRecCount"), "0519", NoArgs, AsDec); }
XBLONG C::ap_RecNo()
{
    if (const XBLONG fetched = FetchedRecord(); fetched > 0)
        return fetched;
    return Ask<XBLONG>(Named("RecNo"), "0500", NoArgs, AsDec);
}
XBLONG C::ap_RecCount() { return Ask<XBLONG>(Named("RecCount"), "0470", NoArgs, AsTDec); }
XBLONG C::ap_RecSize()
{
    const XBLONG size = Ask<XBLONG>(Named("RecSize"), "0514", NoArgs, AsTDec);
    if (size > 0 && FCurrentWorkArea > 0)
        FRecordSizes[FCurrentWorkArea] = size;
    return size;
}

XBSHORT C::ap_FieldCount() { return Ask<XBSHORT>(Named("FieldCount"), "0610", NoArgs, AsSmall); }
XBSHORT C::ap_IndexOrd() { return Ask<XBSHORT>(Named("IndexOrd"), "0526", NoArgs, AsSmall); }
XBSHORT C::ap_IndexType() { return Ask<XBSHORT>(Named("IndexType"), "0553", NoArgs, AsSmall); }
XBSHORT C::ap_LockCount()
{
    FLastLockCount = Ask<XBSHORT>(Named("LockCount"), "0589", NoArgs, AsSmall);
    return static_cast<XBSHORT>(FLastLockCount);
}
XBSHORT C::ap_OpenMode()
{
    return Ask<XBSHORT>({"DaroruConnection.OpenMode", "OpenMode "}, "0625", NoArgs, AsSmall);
}
XBSHORT C::ap_RYOFilterCopy() { return Ask<XBSHORT>(Named("RYOFilterCopy"), "0596", NoArgs, AsSmall); }
XBSHORT C::ap_RYOFilterCreate() { return Ask<XBSHORT>(Named("RYOFilterCreate"), "0597", NoArgs, AsSmall); }
double C::ap_OrderPosGet() { return Ask<double>(Named("OrderPosGet"), "0524", NoArgs, AsFloat); }

// ---- one text argument

void C::ap_SetFilter(const char* expr) { Tell(Named("SetFilter"), "0592", ARGS(Str(expr))); }
void C::ap_SetPassword(const char* password) { Tell(Named("SetPassword"), "0566", ARGS(Str(password))); }

#define TEXT_OF(name, code)                                                                                  \
    const char* C::ap_##name(const char* arg)                                                                \
    {                                                                                                        \
        return Ask<const char*>(Named(#name), code, ARGS(Str(arg)), TEXT);                                   \
    }
TEXT_OF(Descend, "0513")
TEXT_OF(EvalString, "0545")
TEXT_OF(FieldType, "0615")
TEXT_OF(GetByte, "0482")
TEXT_OF(GetDateString, "0484")
TEXT_OF(GetString, "0491")
#undef TEXT_OF
const char* C::ap_GetTrimString(const char* field)
{
    return Ask<const char*>({"DaroruConnection.GetString", "GetTrimString"}, "0492", ARGS(Str(field)), TEXT);
}

XBBOOL C::ap_Empty(const char* field) { return Ask<XBBOOL>(Quiet("Empty"), "0540", ARGS(Str(field)), AsY); }
XBBOOL C::ap_EvalLogical(const char* expr)
{
    return Ask<XBBOOL>(Named("EvalLogical"), "0543", ARGS(Str(expr)), AsY);
}
XBBOOL C::ap_GetLogical(const char* field)
{
    return Ask<XBBOOL>(Named("GetLogical"), "0487", ARGS(Str(field)), AsY);
}
XBLONG C::ap_RYOFilterRestore(const char* file)
{
    return Ask<XBLONG>(Named("RYOFilterRestore"), "0600", ARGS(Str(file)), AsY);
}
XBLONG C::ap_RYOKeyDrop(const char* tag)
{
    return Ask<XBLONG>(Named("RYOKeyDrop"), "0604", ARGS(Str(tag)), AsY);
}
XBBOOL C::ap_KeyAdd(const char* tag)
{
    return Ask<XBBOOL>(Named("KeyAdd"), "0496", ARGS(Trim(Str(tag))), AsY);
}
XBBOOL C::ap_KeyDrop(const char* tag)
{
    return Ask<XBBOOL>({"DaroruConnection.KeyDrop", "Error in KeyDrop"}, "0497", ARGS(Trim(Str(tag))), AsY);
}
XBBOOL C::ap_Seek(const char* key) { return Ask<XBBOOL>(Quiet("Seek"), "0503", ARGS(Str(key)), AsY1); }

XBLONG C::ap_GetBlobLength(const char* field)
{
    const XBLONG length = Ask<XBLONG>(Named("GetBlobLength"), "0481", ARGS(Str(field)), AsDec);
    FLastBlobArea = FCurrentWorkArea;
    FLastBlobField = Str(field);
    FLastBlobLength = length;
    return length;
}
XBLONG C::ap_GetLong(const char* field)
{
    return Ask<XBLONG>(Named("GetLong"), "0488", ARGS(Str(field)), AsDec);
}
XBBOOL C::ap_Query(const char* expr) { return Ask<XBLONG>(Named("Query"), "0471", ARGS(Str(expr)), AsTDec); }

#define SMALL_OF(name, code)                                                                                 \
    XBSHORT C::ap_##name(const char* arg)                                                                    \
    {                                                                                                        \
        return Ask<XBSHORT>(Named(#name), code, ARGS(Str(arg)), AsSmall);                                    \
    }
SMALL_OF(FieldDecimals, "0611")
SMALL_OF(FieldNum, "0613")
SMALL_OF(GetInteger, "0486")
SMALL_OF(QueryTest, "0570")
SMALL_OF(TagArea, "0517")
SMALL_OF(WorkArea, "0571")
#undef SMALL_OF
XBSHORT C::ap_EvalTest(const char* expr)
{
    return Ask<XBSHORT>(Named("EvalTest"), "0546", ARGS(Trim(Str(expr))), AsSmall);
}
XBLONG C::ap_FieldOffset(const char* field)
{
    return Ask<XBSHORT>(Named("FieldOffset"), "0614", ARGS(Str(field)), AsSmall);
}
XBLONG C::ap_FieldWidth(const char* field)
{
    return Ask<XBSHORT>({"FieldType", "FieldWidth"}, "0616", ARGS(Str(field)), AsSmall);
}
XBLONG C::ap_GetDateJulian(const char* field)
{
    return Ask<XBLONG>(Named("GetDateJulian"), "0483", ARGS(Str(field)), AsHex);
}
double C::ap_EvalNumeric(const char* expr)
{
    return Ask<double>(Named("EvalNumeric"), "0544", ARGS(Str(expr)), AsFloat);
}
double C::ap_GetDouble(const char* field)
{
    return Ask<double>(Named("GetDouble"), "0485", ARGS(Str(field)), AsFloat);
}

// ---- one number argument

const char* C::ap_Alias(XBSHORT area)
{
    return Ask<const char*>(Quiet("Alias"), "0530", ARGS(Dec(area)), TEXT);
}
const char* C::ap_FieldName(XBSHORT n)
{
    return Ask<const char*>(Named("FieldName"), "0612", ARGS(Dec(n)), TEXT);
}
XBBOOL C::ap_GetQueryBit(XBLONG rec)
{
    return Ask<XBBOOL>({"DaroruConnection.GetQueryBit", "GetQueryBit "}, "0549", ARGS(Dec(rec)), AsY);
}
const char* C::ap_GetScope(XBSHORT which)
{
    return Ask<const char*>(Named("GetScope"), "0550", ARGS(Dec(which)), TEXT);
}
const char* C::ap_IndexName(XBSHORT order)
{
    return Ask<const char*>(Named("IndexName"), "0525", ARGS(Dec(order)), TEXT);
}
XBBOOL C::ap_IsEncrypted(XBSHORT code)
{
    return Ask<XBBOOL>(Named("IsEncrypted"), "0578", ARGS(Dec(code)), AsY);
}
XBBOOL C::ap_Locked(XBLONG rec)
{
    return Ask<XBBOOL>({"DaroruConnection.Locked", "Locked "}, "0580", ARGS(Dec(rec)), AsY);
}
XBBOOL C::ap_Rlock(XBLONG rec) { return Ask<XBBOOL>(Named("Rlock"), "0502", ARGS(Dec(rec)), AsY); }
void C::ap_SetLockTimeout(XBSHORT seconds)
{
    Tell({"DaroruConnection.SetLockTimeOut", "SetLockTimeOut"}, "0577", ARGS(Dec(seconds)));
}
void C::ap_Go(XBLONG recno)
{
    if (recno > 0 && recno == FetchedRecord())
        return;  // already there: a table's cursor sync after the fetch that moved it
    Ask<bool>(Named("Go"), "0493", ARGS(Hex(recno, 8)), Dropped);
}

XBLONG C::FetchedRecord() const
{
    return FFetchedSerial == FRequestSerial && FFetchedArea == FCurrentWorkArea && Connected() ? FFetchedRecNo
                                                                                               : 0;
}
void C::ap_Skip(XBLONG count) { Tell(Named("Skip"), "0509", ARGS(Hex(count, 8))); }
void C::ap_Unlock(XBLONG rec) { Tell(Named("Unlock"), "0510", ARGS(Hex(rec, 8))); }
void C::ap_SetDateFormat(XBSHORT code) { Tell(Named("SetDateFormat"), "0557", ARGS(Hex(code, 8))); }
XBSHORT C::ap_SetOrder(XBSHORT order)
{
    return Ask<XBSHORT>(Named("SetOrder"), "0507", ARGS(Hex(order, 4)), AsSmallDec);
}
const char* C::ap_TagName(XBSHORT order)
{
    return Ask<const char*>(Named("TagName"), "0518", ARGS(Hex(order, 4)), TEXT);
}
XBLONG C::ap_RYOFilterDestroy(XBSHORT filter)
{
    return Ask<XBLONG>(Named("RYOFilterDestroy"), "0598", ARGS(Hex(filter, 4)), AsY);
}
void C::ap_OrderPosSet(double position)
{
    Ask<bool>(Named("OrderPosSet"), "0558", ARGS(Float(position)), Dropped);
}
void C::ap_SetTranslate(XBSHORT on) { Tell(Named("SetTranslate"), "0587", ARGS(BoolToYN(on != 0))); }

// ---- several arguments

XBSHORT C::ap_Index(const char* path, const char* keyExpr, XBSHORT option, XBSHORT descending,
                    const char* forExpr)
{
    return Ask<XBSHORT>(
            Quiet("Index"), "0534",
            ARGS(S255(path) + S255(keyExpr) + N10(option) + BoolToYN(descending != 0) + S255(forExpr)),
            AsSmallDec);
}

XBSHORT C::ap_IndexTag(const char* path, const char* tag, const char* keyExpr, XBSHORT option,
                       XBSHORT descending, const char* forExpr)
{
    return Ask<XBSHORT>(Quiet("IndexTag"), "0564",
                        ARGS(S255(path) + S255(tag) + S255(keyExpr) + N10(option) +
                             BoolToYN(descending != 0) + S255(forExpr)),
                        AsSmallDec);
}

XBSHORT C::ap_IndexOpen(const char* path)
{
    return Ask<XBSHORT>(Named("IndexOpen"), "0620", ARGS(Fixed(DatabaseName(), 255) + S255(path)), AsSmall);
}

XBLONG C::ap_Locate(const char* expr, XBSHORT direction, XBSHORT cont)
{
    return Ask<XBLONG>(Named("Locate"), "0529",
                       ARGS(BoolToYN(direction != 0) + BoolToYN(cont != 0) + Str(expr)),
                       [](const String& Reply) -> XBLONG {
                           if (Reply.empty())
                               throw EConvertError("Empty reply");
                           return Reply[0] == '0' ? 0 : ParseTrimmedDec(Reply.substr(0, 10));
                       });
}

char* C::ap_GetMemo(const char* field, XBWORD lineWidth)
{
    return const_cast<char*>(
            Ask<const char*>(Named("GetMemo"), "0489", ARGS(Hex(lineWidth, 8) + Str(field)), TEXT));
}

XBLONG C::ap_PutMemo(const char* field, const char* text)
{
    return Ask<XBLONG>(Named("PutMemo"), "0584", ARGS(S10(field) + Str(text)), AsDec);
}

XBBOOL C::ap_SeekBin(const char* key, XBSHORT len)
{
    return Ask<XBBOOL>(
            Named("SeekBin"), "0586",
            ARGS(Hex(len, 8) + String(key ? key : "", key ? static_cast<size_t>(std::max<int>(len, 0)) : 0)),
            AsY1);
}

void C::ap_SetRelation(XBSHORT childArea, const char* keyExpr)
{
    Tell(Named("SetRelation"), "0590", ARGS(Hex(childArea, 8) + Str(keyExpr)));
}

void C::ap_SetQueryBit(XBLONG rec, XBSHORT value)
{
    Tell(Named("SetQueryBit"), "0585", ARGS(Hex(rec, 8) + BoolToYN(value != 0)));
}

XBBOOL C::ap_SetScope(const char* low, const char* high)
{
    return Ask<XBBOOL>(Named("SetScope"), "0567", ARGS(S255(low) + S255(high)), AsY);
}

XBLONG C::ap_RYOFilterActivate(XBSHORT filter, XBSHORT mode)
{
    return Ask<XBLONG>(Named("RYOFilterActivate"), "0595", ARGS(Hex(filter, 4) + Hex(mode, 4)), AsY);
}
XBBOOL C::ap_RYOFilterGetBit(XBSHORT filter, XBLONG rec)
{
    return Ask<XBBOOL>(Named("RYOFilterGetBit"), "0599", ARGS(Hex(filter, 4) + Hex(rec, 4)), AsY);
}
XBLONG C::ap_RYOFilterSetBit(XBSHORT filter, XBLONG rec, XBSHORT value)
{
    return Ask<XBLONG>(Named("RYOFilterSetBit"), "0602",
                       ARGS(Hex(filter, 4) + Hex(rec, 8) + BoolToYN(value != 0)), AsY1);
}
XBLONG C::ap_RYOFilterSave(XBSHORT filter, const char* file)
{
    return Ask<XBLONG>(Named("RYOFilterSave"), "0601", ARGS(Hex(filter, 4) + Str(file)), AsY1);
}
XBLONG C::ap_RYOKeyAdd(const char* tag, const char* key)
{
    return Ask<XBLONG>(Named("RYOKeyAdd"), "0603", ARGS(S10(tag) + Str(key)), AsY);
}

XBPROP C::ap_SysProp(XBSHORT prop, XBPROP value)
{
    if (!Connected())
        return 0;
    // The value as the server takes it; 1001, 1303, 2000 and 2116 are the
    // server's own properties, which the local engine has no name for.
    XBPROP sent = 0;
    switch (prop) {
    case 1001:
    case XBE_PROP_SET_EXACT:
    case XBE_PROP_SET_OPTIMISTIC_BUFFER:
    case 1303: sent = (value & 0xFF) != 0; break;
    case XBE_PROP_SET_BLOB_HEADER:
    case 2116: sent = value == 1; break;
    case 2000:
    case XBE_PROP_ORDER_DESCENDING:
    case XBE_PROP_ORDER_UNIQUE: sent = value; break;
    default: sent = 0;
    }
    return Ask<XBPROP>(Named("SysProp"), "0563", ARGS(Hex(prop, 8) + Hex(sent, 8)), AsTDec);
}

void C::ap_EnvSettings(int Epoch, int DateFormat, int MemoBlockSize, bool Deleted, bool Century,
                       bool SoftSeek, bool Exact)
{
    Ask<bool>(Named("EnvSettings"), "0621",
              ARGS(Hex(Epoch, 4) + Hex(DateFormat, 4) + Hex(MemoBlockSize, 4) + BoolToYN(Deleted) +
                   BoolToYN(Century) + BoolToYN(SoftSeek) + BoolToYN(Exact)),
              Dropped);
}

// ---- settings sent only while connected

void C::ap_SetCentury(XBSHORT on) { Setting("0556", ARGS(BoolToYN(on != 0))); }
void C::ap_SetExact(XBSHORT on) { Setting("0506", ARGS(BoolToYN(on != 0))); }
void C::ap_SetSoftSeek(XBSHORT on) { Setting("0505", ARGS(BoolToYN(on != 0))); }
void C::ap_SetDeleted(XBSHORT on) { Setting("0508", ARGS(on ? "Y" : "N")); }
void C::ap_SetTurboRead(XBSHORT on) { Setting("0576", ARGS(on ? "Y" : "N")); }
void C::ap_SetMemoBlockSize(XBWORD size) { Setting("0594", ARGS(N10(size))); }
XBSHORT C::ap_SetEpoch(XBWORD year)
{
    if (!Connected())
        return 0;
    return Ask<XBSHORT>(Named("SetEpoch"), "0593", ARGS(Hex(year, 8)), AsSmall);
}

// ---- binary requests and replies

XBLONG C::SelectedRecordSize()
{
    const auto known = FRecordSizes.find(FCurrentWorkArea);
    return known != FRecordSizes.end() ? known->second : ap_RecSize();
}

XBBOOL C::ap_Replace(const char* field, XBSHORT type, const void* value)
{
    size_t size = 0;
    const auto code = static_cast<std::uint16_t>(type);
    switch (code) {
    case 1:
    case 2:
    case 32: size = 4; break;  // 32: a date as its Julian day number
    case 8: size = 8; break;
    case 128: size = 1; break;
    case 1024:
    case 1025:
    case 1056:
    case 3072:
    case 8192: size = value ? std::strlen(static_cast<const char*>(value)) : 0; break;  // 8192: a file name
    default: size = 0;
    }
    String payload;
    try {
        payload = S10(field) + Hex(code, 4);
    } catch (const EDaroruRequestError& e) {
        ClientError("DaroruConnection.Replace", e.Message());
        return false;
    }
    if (size && !value) {
        ClientError("DaroruConnection.Replace", "Replace");
        return false;
    }
    payload.append(static_cast<const char*>(value), size);
    FSendStream.Clear();
    FSendStream.WriteBuffer(payload.data(), static_cast<Int64>(payload.size()));
    const bool sent = ClientStreamSend("0501") == static_cast<int>(payload.size());
    FSendStream.Clear();
    return sent;
}

XBLONG C::ap_PutBlob(const char* field, const void* data, XBLONG len)
{
    String payload;
    try {
        payload = S10(field) + Hex(len, 8);
    } catch (const EDaroruRequestError& e) {
        ClientError("DaroruConnection.PutBlob", e.Message());
        return 0;
    }
    if (len < 0 || (len && !data)) {
        ClientError("DaroruConnection.PutBlob", "PutBlob");
        return 0;
    }
    payload.append(static_cast<const char*>(data), static_cast<size_t>(len));
    FSendStream.Clear();
    FSendStream.WriteBuffer(payload.data(), static_cast<Int64>(payload.size()));
    const bool sent = ClientStreamSend("0498") == static_cast<int>(payload.size());
    FSendStream.Clear();
    if (!sent)
        return 0;
    return Ask<XBLONG>(Named("PutBlob"), "0624", NoArgs, AsHex);
}

XBBOOL C::ap_PutRecord(const char* buf)
{
    const XBLONG size = SelectedRecordSize();
    if (size <= 0 || !buf)
        return false;
    FSendStream.Clear();
    FSendStream.WriteBuffer(buf, size);
    const bool sent = ClientStreamSend("0499") == size;
    FSendStream.Clear();
    return sent;
}

namespace {
// Bytes of an encryption request: length, a 255-byte key field, the data.
String CipherPayload(const char* Key, XBLONG Length, const void* Buffer)
{
    String key = Str(Key).substr(0, 255);
    key.resize(255, '\0');
    return Hex(Length, 8) + key + String(static_cast<const char*>(Buffer), static_cast<size_t>(Length));
}
}  // namespace

XBLONG C::Cipher(const char* Name, const char* Code, void* Buffer, const char* Key, XBLONG Length)
{
    if (Length < 0 || !Buffer)
        return 0;
    FSendStream.Clear();
    const String payload = CipherPayload(Key, Length, Buffer);
    FSendStream.WriteBuffer(payload.data(), static_cast<Int64>(payload.size()));
    TStream* reply = ClientStreamSendReceive(Code);
    FSendStream.Clear();
    if (!reply)
        return 0;
    const String bytes = ReadPayload();
    // The result takes the place of the data; a reply of another size is refused.
    if (static_cast<XBLONG>(bytes.size()) != Length) {
        ClientError(String("DaroruConnection.") + Name,
                    "Reply of " + std::to_string(bytes.size()) + " bytes for " + std::to_string(Length));
        return 0;
    }
    std::memcpy(Buffer, bytes.data(), bytes.size());
    return Length;
}

XBLONG C::ap_Encrypt(void* buf, const char* password, XBLONG len)
{
    return Cipher("Encrypt", "0573", buf, password, len);
}
XBLONG C::ap_Decrypt(void* buf, const char* password, XBLONG len)
{
    return Cipher("Decrypt", "0572", buf, password, len);
}

XBLONG C::ap_GetBlob(const char* field, void* buf)
{
    // The caller sized its buffer by the length it asked for this work area and
    // field; a blob longer than that is refused even when the record has moved.
    const bool known =
            FLastBlobLength >= 0 && FLastBlobArea == FCurrentWorkArea && SameText(FLastBlobField, Str(field));
    const XBLONG capacity = known ? FLastBlobLength : ap_GetBlobLength(field);
    String payload;
    if (!Fetch(Named("GetBlob"), "0480", ARGS(Str(field)), payload))
        return 0;
    if (capacity < 0 || static_cast<XBLONG>(payload.size()) > capacity) {
        ClientError("DaroruConnection.GetBlob", "Blob of " + std::to_string(payload.size()) +
                                                        " bytes is larger than its field's " +
                                                        std::to_string(capacity));
        return 0;
    }
    if (buf)
        std::memcpy(buf, payload.data(), payload.size());
    return static_cast<XBLONG>(payload.size());
}

XBLONG C::ap_GetRecord(char* buf)
{
    const XBLONG size = SelectedRecordSize();
    String payload;
    if (size <= 0 || !Fetch(Named("GetRecord"), "0515", NoArgs, payload))
        return 0;
    if (static_cast<XBLONG>(payload.size()) != size) {
        ClientError("DaroruConnection.GetRecord", "Record of " + std::to_string(payload.size()) +
                                                          " bytes where the table's records have " +
                                                          std::to_string(size));
        return 0;
    }
    std::memcpy(buf, payload.data(), payload.size());
    return size;
}

void C::ap_DBRlockList(XBLONG* buf)
{
    const XBLONG count = FLastLockCount >= 0 ? FLastLockCount : ap_LockCount();
    String payload;
    if (!Fetch({"DaroruConnection.DBRLockList", "DBRLockList"}, "0588", NoArgs, payload))
        return;
    if (payload.size() % sizeof(XBLONG) || static_cast<XBLONG>(payload.size() / sizeof(XBLONG)) > count) {
        ClientError("DaroruConnection.DBRLockList", "Lock list of " + std::to_string(payload.size()) +
                                                            " bytes for " + std::to_string(count) + " locks");
        return;
    }
    if (buf)
        std::memcpy(buf, payload.data(), payload.size());
}

TGetResult C::ap_TraverseTable(bool First, bool Second, int Option, TGetMode GetMode, XBLONG& RecNo,
                               char* Buffer, int BufferSize)
{
    String payload;
    const TRequestName name {"DaroruConnection.TraverseTable",
                             "Make sure DatabaseName is set to a valid alias."};
    const bool walks = !First && !Second && (GetMode == gmNext || GetMode == gmPrior);
    if (!FetchRecord(BoolToYN(First) + BoolToYN(Second) + Dec(Option) + Dec(GetMode), BufferSize, walks,
                     payload))
        return grError;
    try {
        if (payload.size() < 9 || payload[0] < '0' || payload[0] > '3')
            throw EConvertError("Short reply");
        const auto result = static_cast<TGetResult>(payload[0] - '0');
        RecNo = ParseHex(payload.substr(1, 8));
        // A fetched record fills the buffer exactly; a reply that is not one record is refused.
        const String image = payload.substr(9);
        if (result == grOK && static_cast<Int64>(image.size()) != std::max(BufferSize, 0))
            throw EConvertError("Record image of " + std::to_string(image.size()) + " bytes");
        if (Buffer && result == grOK)
            std::memcpy(Buffer, image.data(), image.size());
        if (result == grOK && RecNo > 0) {
            FFetchedArea = FCurrentWorkArea;
            FFetchedRecNo = RecNo;
            FFetchedSerial = FRequestSerial;
        }
        return result;
    } catch (const std::exception&) {
        ClientError(name.Command, name.Message);
        return grError;
    }
}

TStream* C::ap_GetStructure() { return ClientStreamReceive("0581", ""); }

const char* C::ap_GetFields() { return Ask<const char*>(Named("GetFields"), "0582", NoArgs, TEXT); }
void C::ap_SetFields(const char* fields) { Tell(Named("SetFields"), "0583", ARGS(Str(fields))); }
XBLONG C::ap_IndexCount() { return Ask<XBLONG>(Named("IndexCount"), "0527", NoArgs, AsDec); }
XBLONG C::ap_IndexDescending()
{
    return Ask<XBLONG>({"DaroruConnection.IndexDescending", "Error in IndexDescending"}, "0528", NoArgs,
                       AsTDec);
}
const char* C::ap_GetPage(XBSHORT page)
{
    return Ask<const char*>(Named("GetPage"), "0617", ARGS(Hex(page, 4)), TEXT);
}
XBLONG C::ap_GetBitMap(const char*) { return 0; }

// ---- functions with no server form

XBSHORT C::ap_ErrorLevel(XBSHORT) { return 0; }
XBLONG C::ap_FilterAlias(const char*, const char*) { return 0; }
XBLONG C::ap_SetErrorFunc(XBERRORFUNC, intptr_t) { return 0; }
const char* C::ap_FilterDlg(XBHWND, const char*, const char*, XBSHORT) { return nullptr; }
void C::ap_MemDealloc(void*) { }
void C::ap_SetGaugeHook(XBLONG) { }
void C::ap_SetGaugeFunc(XBGAUGEFUNC) { }
void C::ap_SetStringType(XBSHORT) { }
