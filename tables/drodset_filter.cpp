// Filters and queries that the engine evaluates, and Locate and Lookup over them.

#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/xbengine/xbe50.h"
#include "tables/drodset.h"
#include "tables/droerror.h"

namespace {
constexpr const char* BadQuery = "Invalid Query Expression";
constexpr XBSHORT LogicalType = 3;

String TextOf(const char* Text) { return Text ? Text : ""; }

// The text as an expression literal that means exactly the text: a delimiter the
// text does not hold, or pieces joined by CHR(34) when it holds all of them.
String Literal(const String& Text)
{
    if (Text.find('"') == String::npos)
        return "\"" + Text + "\"";
    if (Text.find('\'') == String::npos)
        return "'" + Text + "'";
    if (Text.find(']') == String::npos)
        return "[" + Text + "]";
    String result;
    size_t start = 0;
    for (;;) {
        const size_t quote = Text.find('"', start);
        result += "\"" + Text.substr(start, quote - start) + "\"";
        if (quote == String::npos)
            return result;
        result += "+CHR(34)+";
        start = quote + 1;
    }
}

bool IsIntegerField(TFieldType Type) { return Type == ftSmallint || Type == ftInteger || Type == ftWord; }

bool IsNumberField(TFieldType Type) { return IsIntegerField(Type) || Type == ftFloat || Type == ftCurrency; }

// A number as the expression language writes it, decimals kept.
String NumberText(TFieldType Type, const Variant& Value)
{
    return IsIntegerField(Type) ? IntToStr(Value.AsInt64()) : FloatToStr(Value.AsFloat());
}

String DateKey(const Variant& Value) { return FormatDateTime("yyyymmdd", Value.AsDateTime()); }
}  // namespace

// ---- the filter properties and engine queries

void TDaroruTable::SetFilterText(const String& Value)
{
    TDataSet::SetFilterText(Value);
    SetSxQuery(Value);
}

void TDaroruTable::SetFiltered(bool Value)
{
    TDataSet::SetFiltered(Value);
    SetSxQuery(Filter());
}

void TDaroruTable::SetSxQuery(const String& Value)
{
    if (Filter() != Value)
        TDataSet::SetFilterText(Value);
    if (FWorkArea > 0)
        Query(Filtered() ? Value : String());
}

bool TDaroruTable::IsLogical(const String& Expression)
{
    return cs_EvalTest(Expression.c_str()) == LogicalType;
}

int TDaroruTable::Query(const String& Expression)
{
    if (!Select())
        return 0;
    if (FSpeedMode)
        return cs_Query(Expression.c_str()) ? -1 : 0;
    if (!Expression.empty() && !IsLogical(Expression))
        Raise(BadQuery);
    BeginScroll();
    Select();
    const bool result = cs_Query(Expression.c_str());
    SyncToEngine(cs_Eof());
    FCountNeedsRefresh = true;
    EndScroll();
    return result ? -1 : 0;
}

void TDaroruTable::SetFilter(const Variant& Value)
{
    const String text = VarIsClear(Value) ? String() : Value.AsString();
    CheckOpen();
    Select();
    if (FSpeedMode) {
        cs_SetFilter(text.c_str());
        return;
    }
    if (!text.empty() && !IsLogical(text))
        Raise(BadQuery);
    BeginScroll();
    Select();
    cs_SetFilter(text.c_str());
    cs_GoTop();
    SyncToEngine(cs_Eof());
    FCountNeedsRefresh = true;
    EndScroll();
}

int TDaroruTable::QueryTest(const String& Expression)
{
    CheckOpen();
    Select();
    return cs_QueryTest(Expression.c_str());
}

int TDaroruTable::QueryRecCount() { return Select() ? cs_QueryRecCount() : 0; }

String TDaroruTable::DBFilter() { return Select() ? TextOf(cs_DBFilter()) : String(); }

// ---- Locate and Lookup

bool TDaroruTable::FieldCondition(TField* Field, const Variant& Value, bool Partial, bool CaseInsensitive,
                                  String& Condition)
{
    const String& name = Field->FieldName();
    const TFieldType type = Field->DataType();
    if (type == ftString) {
        String text = Value.AsString();
        if (!Partial && static_cast<int>(text.size()) < Field->Size())
            text += String(static_cast<size_t>(Field->Size()) - text.size(), ' ');
        Condition = CaseInsensitive ? "UPPER(" + name + ")=" + Literal(UpperCase(text))
                                    : name + "=" + Literal(text);
        return true;
    }
    if (IsNumberField(type)) {
        Condition = name + "=" + NumberText(type, Value);
        return true;
    }
    if (type == ftBoolean) {
        Condition = name + (Value.AsBoolean() ? "= .T." : "= .F.");
        return true;
    }
    if (type == ftDate || type == ftDateTime) {
        const String text = Value.AsString();
        if (Value.VarType() != varDate && text.size() < 8) {
            const String digits = IntToStr(Value.AsInt64());
            Condition = "LEFT( DTOS(" + name + "), " + IntToStr(digits.size()) + ") = \"" + digits + "\"";
        } else {
            Condition = "DTOS(" + name + ")=\"" + DateKey(Value) + "\"";
        }
        return true;
    }
    return false;
}

bool TDaroruTable::OrderServes(const String& FieldName, bool CaseInsensitive)
{
    if (TextOf(cs_IndexKeyField()) != FieldName)
        return false;
    // An upper-cased key finds any case: right only for a search that ignores case.
    const bool upper = UpperCase(TextOf(cs_IndexKey())).find("UPPER(") != String::npos;
    return upper == CaseInsensitive;
}

bool TDaroruTable::IndexSearch(TField* Field, const Variant& Value, bool Partial)
{
    const TFieldType type = Field->DataType();
    String key;
    if (type == ftString) {
        key = Value.AsString();
        if (UpperCase(TextOf(cs_IndexKey())).find("UPPER(") != String::npos)
            key = UpperCase(key);
    } else if (IsNumberField(type)) {
        key = NumberText(type, Value);
    } else if (type == ftBoolean) {
        key = Value.AsBoolean() ? ".T." : ".F.";
    } else if (type == ftDate || type == ftDateTime) {
        if (Value.VarType() != varDate && Value.AsString().size() < 8)
            return false;  // part of a date: only the expression search can match it
        key = DateKey(Value);
    } else {
        return false;
    }
    const XBPROP exact = cs_SysProp(XBE_PROP_EXACT, 0);
    cs_SysProp(XBE_PROP_SET_EXACT, Partial ? 0 : 1);
    bool found = cs_Seek(key.c_str());
    if (!Partial)
        found = cs_Found();
    cs_SysProp(XBE_PROP_SET_EXACT, exact);
    return found;
}

bool TDaroruTable::Locate(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options)
{
    if (FWorkArea <= 0)
        return false;
    BeginScroll();
    const std::vector<TField*> fields = GetFieldList(KeyFields);
    Select();
    const int before = GetSXRecno();
    Select();
    const XBSHORT startOrder = cs_IndexOrd();
    const int orders = static_cast<int>(cs_SysProp(XBE_PROP_ORDER_COUNT, 0));
    const bool caseless = Options.Contains(loCaseInsensitive);
    const bool partial = Options.Contains(loPartialKey);
    auto valueAt = [&](size_t i) {
        return fields.size() == 1 && !KeyValues.IsArray() ? KeyValues : KeyValues[static_cast<int>(i)];
    };

    bool found = false;
    if (fields.size() == 1 && orders > 0) {
        const String& name = fields[0]->FieldName();
        bool serves = OrderServes(name, caseless);
        for (int n = 1; !serves && n <= orders; ++n) {
            cs_SetOrder(static_cast<XBSHORT>(n));
            serves = OrderServes(name, caseless);
        }
        if (serves)
            found = IndexSearch(fields[0], valueAt(0), partial);
        cs_SetOrder(startOrder);
    }
    if (!found) {
        // The fields' conditions, every one of them expressible, or no search at all.
        // Only the string fields have a case to ignore.
        String condition;
        bool expressible = true;
        for (size_t i = 0; i < fields.size() && expressible; ++i) {
            String part;
            expressible = FieldCondition(fields[i], valueAt(i), partial, caseless, part);
            condition += (i > 0 ? " .and. " : "") + part;
        }
        if (expressible && !condition.empty()) {
            const String old = DBFilter();
            if (!old.empty())
                condition = "(" + condition + ") .and. (" + old + ")";
            Select();
            found = cs_Query(condition.c_str());
            const XBLONG record = cs_RecNo();
            cs_Query(old.c_str());
            if (found)
                cs_Go(record);
        }
    }
    if (found) {
        SyncToEngine(false);
        EndScroll();
    } else {
        Select();
        cs_Go(before);
    }
    return found;
}

Variant TDaroruTable::Lookup(const String& KeyFields, const Variant& KeyValues, const String& ResultFields)
{
    if (FWorkArea <= 0)
        return Variant::Null();
    Select();
    if (cs_IndexOrd() == 0) {
        // The search moves the cursor; the data set comes back to its record.
        const int before = GetSXRecno();
        if (!Locate(KeyFields, KeyValues, {}))
            return Variant::Null();
        const Variant result = FieldByName(ResultFields)->Value();
        if (GetSXRecno() != before)
            Go(before);
        return result;
    }
    if (VarIsClear(KeyValues))
        return Variant::Null();
    String key = KeyValues.AsString();
    if (key.empty())
        return Variant::Null();
    Select();
    const char* typeText = cs_FieldType(KeyFields.c_str());
    const char letter = typeText && *typeText ? typeText[0] : ' ';
    const int width = cs_FieldWidth(KeyFields.c_str());
    const int pad = width - static_cast<int>(key.size());
    switch (letter) {
    case 'N':
        if (pad > 0)
            key = String(static_cast<size_t>(pad), ' ') + key;
        break;
    case 'C':
        if (pad > 0)
            key += String(static_cast<size_t>(pad), ' ');
        break;
    case 'D': key = DateKey(KeyValues); break;
    case 'L': key = KeyValues.AsInt64() == -1 ? "T" : "F"; break;
    default: break;
    }
    cs_Seek(key.c_str());
    if (!cs_Found())
        return Variant::Null();
    // The found record is read in the calculated-fields state, so that its
    // calculated fields are computed from it; the active record stays as it was.
    TRecordBuffer found = AllocRecordBuffer();
    const TDataSetState saved = SetTempState(dsCalcFields);
    Variant result;
    const ScopeExit release([&] {
        RestoreState(saved);
        FreeRecordBuffer(found);
    });
    cs_GetRecord(FScratch.data());
    InternalInitRecord(found);
    ReadXBEToNative(found);
    GetCalcFields(found);
    result = TextOf(cs_GetTrimString(ResultFields.c_str()));
    return result;
}

// ---- record bitmaps kept by the engine

void TDaroruTable::AfterBitmapChange()
{
    FCountNeedsRefresh = true;
    Resync({});
}

SmallInt TDaroruTable::RYOFilterCreate()
{
    CheckOpen();
    Select();
    return cs_RYOFilterCreate();
}

SmallInt TDaroruTable::RYOFilterCopy()
{
    CheckOpen();
    Select();
    return cs_RYOFilterCopy();
}

int TDaroruTable::RYOFilterActivate(SmallInt Filter, SmallInt Mode)
{
    CheckOpen();
    Select();
    const int result = cs_RYOFilterActivate(Filter, Mode);
    AfterBitmapChange();
    return result;
}

int TDaroruTable::RYOFilterDestroy(SmallInt Filter)
{
    CheckOpen();
    Select();
    const int result = cs_RYOFilterDestroy(Filter);
    if (Filter == 0) {
        const int order = IndexOrd();
        SetOrder(0);
        SetOrder(order);
    }
    return result;
}

bool TDaroruTable::RYOFilterGetBit(SmallInt Filter, int RecNo)
{
    CheckOpen();
    Select();
    return cs_RYOFilterGetBit(Filter, RecNo);
}

int TDaroruTable::RYOFilterSetBit(SmallInt Filter, int RecNo, WordBool Value)
{
    CheckOpen();
    Select();
    const int result = cs_RYOFilterSetBit(Filter, RecNo, Value);
    AfterBitmapChange();
    return result;
}

int TDaroruTable::RYOFilterSave(SmallInt Filter, const String& FileName)
{
    CheckOpen();
    Select();
    return cs_RYOFilterSave(Filter, FileName.c_str());
}

int TDaroruTable::RYOFilterRestore(const String& FileName)
{
    CheckOpen();
    Select();
    const int result = cs_RYOFilterRestore(FileName.c_str());
    cs_GoTop();
    FCountNeedsRefresh = true;
    SyncToEngine(cs_Eof());
    return result;
}

int TDaroruTable::RYOKeyAdd(const String& Tag, const String& Key)
{
    CheckOpen();
    Select();
    const int result = cs_RYOKeyAdd(Tag.c_str(), Key.c_str());
    AfterBitmapChange();
    return result;
}

int TDaroruTable::RYOKeyDrop(const String& Tag)
{
    CheckOpen();
    Select();
    const int result = cs_RYOKeyDrop(Tag.c_str());
    AfterBitmapChange();
    return result;
}

void TDaroruTable::SetQueryBit(int RecNo, WordBool Value)
{
    CheckOpen();
    Select();
    cs_SetQueryBit(RecNo, Value);
}
