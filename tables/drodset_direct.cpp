// Direct record and field access: engine calls on the table's work area beside
// the data-set protocol.

#include <algorithm>

#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "platform/xbengine/xbe50.h"
#include "tables/drodset.h"
#include "tables/droerror.h"

namespace {
String TextOf(const char* Text) { return Text ? Text : ""; }
}  // namespace

void TDaroruTable::Append()
{
    if (!FSpeedMode) {
        TDataSet::Append();
        return;
    }
    CheckWritable();
    if (!Select())
        return;
    CheckWrite(cs_AppendBlank(), "append a record");
    FBlankAppended = true;
}

void TDaroruTable::BeginWriteGroup()
{
    CheckWritable();
    // Cached updates go to the engine at the apply, not here.
    if (!FCachedUpdates && Select())
        CheckWrite(cs_SysProp(XBE_PROP_BEGIN_GROUP, 0) != 0, "begin a group of writes");
}

void TDaroruTable::EndWriteGroup()
{
    if (!FCachedUpdates && Select())
        CheckWrite(cs_SysProp(XBE_PROP_END_GROUP, 0) != 0, "write the group of writes");
}

void TDaroruWriteGroup::Done()
{
    FDone = true;
    FTable->EndWriteGroup();
}

TDaroruWriteGroup::~TDaroruWriteGroup()
{
    // Given up by an exception: what was written so far goes out all the
    // same, and the exception under way is the one reported.
    if (FDone || !FTable->Active())
        return;
    try {
        FTable->EndWriteGroup();
    } catch (const Exception&) {
    }
}

void TDaroruTable::Commit()
{
    if (!FSpeedMode) {
        if (State() == dsEdit || State() == dsInsert)
            Post();
        return;
    }
    CheckWritable();
    if (!Select())
        return;
    CheckWrite(cs_Commit(), "write the record");
    FBlankAppended = false;
}

void TDaroruTable::DaroruDelete()
{
    if (!SelectForSxCall())
        return;
    cs_Delete();
    Resync({});
}

String TDaroruTable::FieldName(int Number)
{
    return Select() ? TextOf(cs_FieldName(static_cast<XBSHORT>(Number))) : String();
}
String TDaroruTable::FieldType(const String& Name)
{
    return Select() ? TextOf(cs_FieldType(Name.c_str())) : String();
}
int TDaroruTable::FieldWidth(const String& Name) { return Select() ? cs_FieldWidth(Name.c_str()) : 0; }
int TDaroruTable::FieldDecimals(const String& Name) { return Select() ? cs_FieldDecimals(Name.c_str()) : 0; }
int TDaroruTable::FieldNum(const String& Name) { return Select() ? cs_FieldNum(Name.c_str()) : 0; }
int TDaroruTable::FieldOffset(const String& Name) { return Select() ? cs_FieldOffset(Name.c_str()) : 0; }
int TDaroruTable::DaroruFieldCount() { return Select() ? cs_FieldCount() : 0; }
int TDaroruTable::Count() { return Select() ? cs_Count() : 0; }
int TDaroruTable::EvalTest(const String& Expression)
{
    return Select() ? cs_EvalTest(Expression.c_str()) : 0;
}
bool TDaroruTable::Found() { return Select() && cs_Found(); }
String TDaroruTable::GetTrimString(const String& Name)
{
    return Select() ? TextOf(cs_GetTrimString(Name.c_str())) : String();
}

WordBool TDaroruTable::EvalLogical(const String& Expression)
{
    return SelectForSxCall() && cs_EvalLogical(Expression.c_str()) ? WordTrue : WordFalse;
}

double TDaroruTable::EvalNumeric(const String& Expression)
{
    return SelectForSxCall() ? cs_EvalNumeric(Expression.c_str()) : 0;
}

String TDaroruTable::EvalString(const String& Expression)
{
    return SelectForSxCall() ? TextOf(cs_EvalString(Expression.c_str())) : String();
}

bool TDaroruTable::GetDeleted() { return SelectForSxCall() && cs_Deleted(); }

String TDaroruTable::GetString(const String& Name)
{
    if (!Select())
        return String();
    if (FSpeedMode)
        return TextOf(cs_GetString(Name.c_str()));
    TField* field = FieldByName(Name);
    String text = field->AsString();
    if (field->DataType() == ftString && static_cast<int>(text.size()) < field->Size())
        text += String(static_cast<size_t>(field->Size()) - text.size(), ' ');
    return text;
}

double TDaroruTable::GetDouble(const String& Name)
{
    if (!Select())
        return 0;
    return FSpeedMode ? cs_GetDouble(Name.c_str()) : FieldByName(Name)->AsFloat();
}

int TDaroruTable::GetLong(const String& Name)
{
    if (!Select())
        return 0;
    return FSpeedMode ? cs_GetLong(Name.c_str()) : FieldByName(Name)->AsInteger();
}

WordBool TDaroruTable::GetLogical(const String& Name)
{
    if (!Select())
        return WordFalse;
    if (FSpeedMode)
        return cs_GetLogical(Name.c_str()) ? WordTrue : WordFalse;
    return FieldByName(Name)->AsBoolean() ? WordTrue : WordFalse;
}

TDateTime TDaroruTable::GetDate(const String& Name)
{
    if (!Select())
        return 0;
    if (!FSpeedMode)
        return FieldByName(Name)->AsDateTime();
    const String text = TextOf(cs_GetDateString(Name.c_str()));
    if (text.empty() || text[0] == ' ')
        return 0;
    return StrToDate(text);
}

int TDaroruTable::DaroruLocate(const String& Expression, SmallInt Direction, SmallInt Continue)
{
    if (FWorkArea <= 0)
        return 0;
    BeginScroll();
    Select();
    const int result = cs_Locate(Expression.c_str(), Direction, Continue);
    if (result <= 0) {
        FLocateExpression.clear();
        return result;
    }
    FLocateExpression = Expression;
    FLocateDirection = Direction;
    if (!FSpeedMode)
        SetRecordInfo(ActiveBuffer(), static_cast<std::uint32_t>(result), bfCurrent);
    Resync({});
    EndScroll();
    return result;
}

int TDaroruTable::DaroruLocateNext() { return DaroruLocate(FLocateExpression, FLocateDirection, -1); }

String TDaroruTable::Alias() { return FWorkArea > 0 ? TextOf(cs_Alias(FWorkArea)) : String(); }
String TDaroruTable::BaseDate() { return Select() ? TextOf(cs_BaseDate()) : String(); }
String TDaroruTable::BaseName() { return Select() ? TextOf(cs_BaseName()) : String(); }

bool TDaroruTable::BlobToFile(const String& Name, const String& FileName)
{
    return Select() && cs_BlobToFile(Name.c_str(), FileName.c_str());
}

int TDaroruTable::FilterAlias(const String& AliasName, const String& Expression)
{
    return Select() ? cs_FilterAlias(AliasName.c_str(), Expression.c_str()) : 0;
}

String TDaroruTable::FilterDlg(XBHWND Window, const String& Title, const String& Expression, SmallInt Options)
{
    if (!Select())
        return String();
    const String result = TextOf(cs_FilterDlg(Window, Title.c_str(), Expression.c_str(), Options));
    Resync({});
    return result;
}

bool TDaroruTable::FLock() { return Select() && cs_Flock(); }
bool TDaroruTable::GetQueryBit(int RecNo) { return Select() && cs_GetQueryBit(RecNo); }
String TDaroruTable::GetScope(SmallInt Which) { return Select() ? TextOf(cs_GetScope(Which)) : String(); }
int TDaroruTable::GetBlob(const String& Name, void* Buffer)
{
    return SelectForSxCall() ? cs_GetBlob(Name.c_str(), Buffer) : 0;
}
int TDaroruTable::GetBlobLength(const String& Name)
{
    return SelectForSxCall() ? cs_GetBlobLength(Name.c_str()) : 0;
}
int TDaroruTable::GetDateJulian(const String& Name)
{
    return SelectForSxCall() ? cs_GetDateJulian(Name.c_str()) : 0;
}
bool TDaroruTable::Empty(const String& Name) { return SelectForSxCall() && cs_Empty(Name.c_str()); }

char* TDaroruTable::GetMemo(const String& Name, Word LineWidth)
{
    return SelectForSxCall() ? cs_GetMemo(Name.c_str(), LineWidth) : nullptr;
}

String TDaroruTable::Descend(const String& Text)
{
    LoadDLL();
    return TextOf(cs_Descend(Text.c_str()));
}

int TDaroruTable::Encrypt(void* Buffer, const String& Password, int Length)
{
    LoadDLL();
    return cs_Encrypt(Buffer, Password.c_str(), Length);
}

int TDaroruTable::Decrypt(void* Buffer, const String& Password, int Length)
{
    LoadDLL();
    return cs_Decrypt(Buffer, Password.c_str(), Length);
}

const char* TDaroruTable::GetStringEx(const String& Name)
{
    FStringEx = GetString(Name);
    return FStringEx.c_str();
}

Byte TDaroruTable::GetByte(const String& Name)
{
    if (!Select())
        return 0;
    const String text = FSpeedMode ? TextOf(cs_GetByte(Name.c_str())) : FieldByName(Name)->AsString();
    return text.empty() ? 0 : static_cast<Byte>(text[0]);
}

SmallInt TDaroruTable::GetInteger(const String& Name)
{
    if (!Select())
        return 0;
    return FSpeedMode ? cs_GetInteger(Name.c_str()) : static_cast<SmallInt>(FieldByName(Name)->AsInteger());
}

String TDaroruTable::GetDateString(const String& Name)
{
    if (!Select())
        return String();
    if (FSpeedMode)
        return TextOf(cs_GetDateString(Name.c_str()));
    return FormatDateTime(ShortDateFormat, FieldByName(Name)->AsDateTime());
}

int TDaroruTable::GetLockList(int Index)
{
    if (!Select())
        return 0;
    if (FLockListStale) {
        FLockList.assign(static_cast<size_t>(std::max<int>(0, cs_LockCount())), 0);
        if (!FLockList.empty())
            cs_DBRlockList(FLockList.data());
        FLockListStale = false;
    }
    return Index >= 0 && Index < static_cast<int>(FLockList.size()) ? FLockList[static_cast<size_t>(Index)]
                                                                    : 0;
}

bool TDaroruTable::EncryptTable(bool Encrypt)
{
    CheckWritable();
    if (!Select())
        return false;
    const bool result = Encrypt ? cs_DbfEncrypt() : cs_DbfDecrypt();
    Resync({});
    FEncrypted = IsEncrypted(0);
    return result;
}

int TDaroruTable::GetIndexFieldCount()
{
    if (FIndexName.empty())
        return 0;
    // The number of fields, which is one more than the separators between them.
    const String fields = GetFieldsFromExpression(IndexKey());
    return fields.empty() ? 0 : static_cast<int>(std::count(fields.begin(), fields.end(), ';')) + 1;
}
