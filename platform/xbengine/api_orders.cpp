// Index orders, seeks and scopes, queries, filters and expressions of the
// selected area; the functions outside this engine fail with XBE_E_UNSUPPORTED.

#include <cctype>

#include "platform/xbengine/apiguard.h"
#include "platform/xbengine/expr/datetext.h"
#include "platform/xbengine/workareas.h"

namespace {

Table& Current() { return Areas().Current(); }

template<class R> R Stub(R failure, const char* function)
{
    return Guarded<R>(failure, [&]() -> R { Unsupported(function); });
}

// The active order; fails with XBE_E_NO_ORDER.
TableOrders::Order& ActiveOrder(Table& table)
{
    TableOrders::Order* order = table.Orders().Active();
    if (!order)
        throw EEngineError(XBE_E_NO_ORDER, "No index order is active: " + table.Path());
    return *order;
}

// A read-out about the active order; empty without one.
template<class R, class Read> R OfActiveOrder(R empty, Read&& read)
{
    return Guarded<R>(empty, [&]() -> R {
        TableOrders::Order* order = Current().Orders().Active();
        return order ? read(*order) : empty;
    });
}

// A read-out about order n (1-based); empty for any other number.
template<class R, class Read> R OfOrder(XBSHORT n, R empty, Read&& read)
{
    return Guarded<R>(empty, [&]() -> R {
        TableOrders& orders = Current().Orders();
        return n >= 1 && n <= orders.Count() ? read(orders, n) : empty;
    });
}

// The first name in the expression that is a field of the table, upper case:
// "NAME1" for "UPPER(NAME1)". Quoted text and function names are passed over.
String FirstField(const String& expression, const Table& table)
{
    std::size_t i = 0;
    while (i < expression.size()) {
        char c = expression[i];
        if (c == '"' || c == '\'' || c == '[') {
            char close = c == '[' ? ']' : c;
            std::size_t end = expression.find(close, i + 1);
            i = end == String::npos ? expression.size() : end + 1;
            continue;
        }
        if (!std::isalpha(static_cast<unsigned char>(c)) && c != '_') {
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < expression.size() &&
               (std::isalnum(static_cast<unsigned char>(expression[i])) || expression[i] == '_'))
            ++i;
        String name = expression.substr(start, i - start);
        std::size_t next = expression.find_first_not_of(' ', i);
        bool call = next != String::npos && expression[next] == '(';
        bool alias = next != String::npos && expression.compare(next, 2, "->") == 0;
        if (call || alias)
            continue;
        if (const FieldDef* field = table.FindField(name))
            return field->Name;
    }
    return String();
}

// Evaluates an expression on the current record (the blank record at end of file).
xbexpr::Value Evaluate(const char* text)
{
    Table& table = Current();
    auto expression = CompileExpression(ArgText(text), table.Context(), false);
    xbexpr::Value value;
    if (!expression->Evaluate(table.Context(), value))
        throw EEngineError(XBE_E_EXPR, expression->LastError() + ": " + expression->Text());
    return value;
}

xbexpr::Value EvaluateAs(const char* text, xbexpr::ValueType type)
{
    xbexpr::Value value = Evaluate(text);
    if (value.Type != type)
        throw EEngineError(XBE_E_EXPR, "The expression is of another type: " + ArgText(text));
    return value;
}

}  // namespace

extern "C" {

XBSHORT xb_IndexOpen(const char* path)
{
    return Guarded<XBSHORT>(0, [&] {
        Table& table = Current();
        table.Orders().Open(ArgText(path));
        return XBSHORT(table.Orders().Current());
    });
}

XBSHORT xb_IndexTag(const char* path, const char* tag, const char* keyExpr, XBSHORT option,
                    XBSHORT descending, const char* forExpr)
{
    return Guarded<XBSHORT>(0, [&] {
        Table& table = Current();
        TableOrders& orders = table.Orders();
        orders.CreateTag(ArgText(path), ArgText(tag), ArgText(keyExpr), option, descending != 0,
                         ArgText(forExpr));
        // A tag made in a durable table is on the disk when the call returns:
        // the program's reindex removes the old index after it.
        if (table.ChangeJournal().Durable())
            table.Commit();
        return XBSHORT(orders.Current());
    });
}

XBSHORT xb_Index(const char*, const char*, XBSHORT, XBSHORT, const char*)
{
    return Stub<XBSHORT>(0, "xb_Index");
}

XBBOOL xb_Reindex(void)
{
    return Guarded<XBBOOL>(0, [] {
        Current().Reindex();
        return 1;
    });
}

XBBOOL xb_Seek(const char* key)
{
    return Guarded<XBBOOL>(0, [&] { return Current().Seek(ArgText(key)) ? 1 : 0; });
}

XBBOOL xb_SeekBin(const char*, XBSHORT) { return Stub<XBBOOL>(0, "xb_SeekBin"); }

XBBOOL xb_SetScope(const char* low, const char* high)
{
    return Guarded<XBBOOL>(0, [&] {
        Table& table = Current();
        TableOrders::Order& order = ActiveOrder(table);
        order.LowText = ArgText(low);
        order.HighText = ArgText(high);
        order.Low = order.LowText.empty() ? String() : table.Orders().SeekKey(order, order.LowText, false);
        order.High = order.HighText.empty() ? String() : table.Orders().SeekKey(order, order.HighText, false);
        return 1;
    });
}

const char* xb_GetScope(XBSHORT which)
{
    return OfActiveOrder<const char*>("", [&](TableOrders::Order& order) {
        return ResultText(which == 0 ? order.LowText : which == 1 ? order.HighText : String());
    });
}

const char* xb_KeyData(void)
{
    return OfActiveOrder<const char*>("", [](TableOrders::Order& order) {
        Table& table = Current();
        if (table.Eof())
            return ResultText(String());
        xbexpr::Value value;
        if (!order.Key->Evaluate(table.Context(), value))
            throw EEngineError(XBE_E_EXPR, order.Key->LastError() + ": " + order.Key->Text());
        switch (value.Type) {
        case xbexpr::ValueType::Character: return ResultText(value.Text);
        case xbexpr::ValueType::Date: return ResultText(xbexpr::DateToDtos(std::int32_t(value.Number)));
        case xbexpr::ValueType::Logical: return ResultText(value.Logical ? "T" : "F");
        default: return ResultText(order.Key->EvaluateText(table.Context()));
        }
    });
}

XBBOOL xb_KeyAdd(const char*) { return Stub<XBBOOL>(0, "xb_KeyAdd"); }
XBBOOL xb_KeyDrop(const char*) { return Stub<XBBOOL>(0, "xb_KeyDrop"); }
XBBOOL xb_IndexFlip(void) { return Stub<XBBOOL>(0, "xb_IndexFlip"); }
void xb_SetRelation(XBSHORT, const char*) { Stub<int>(0, "xb_SetRelation"); }

void xb_IndexClose(void)
{
    GuardedVoid([] { Current().Orders().CloseActive(); });
}

void xb_CloseIndexes(void)
{
    GuardedVoid([] { Current().Orders().CloseOthers(); });
}

XBSHORT xb_IndexOrd(void)
{
    return Guarded<XBSHORT>(0, [] { return XBSHORT(Current().Orders().Current()); });
}

XBSHORT xb_IndexType(void)
{
    return OfActiveOrder<XBSHORT>(
            0, [](TableOrders::Order& order) { return XBSHORT(order.Tag->Unique() ? 2 : 1); });
}

const char* xb_IndexKey(void)
{
    return OfActiveOrder<const char*>(
            "", [](TableOrders::Order& order) { return ResultText(order.Tag->KeyExpression()); });
}

const char* xb_IndexKeyField(void)
{
    return OfActiveOrder<const char*>("", [](TableOrders::Order& order) {
        return ResultText(FirstField(order.Tag->KeyExpression(), Current()));
    });
}

const char* xb_IndexCondition(void)
{
    return OfActiveOrder<const char*>(
            "", [](TableOrders::Order& order) { return ResultText(order.Tag->ForExpression()); });
}

const char* xb_IndexName(XBSHORT order)
{
    return OfOrder<const char*>(order, "",
                                [](TableOrders& orders, int n) { return ResultText(orders.FileName(n)); });
}

const char* xb_TagName(XBSHORT order)
{
    return OfOrder<const char*>(
            order, "", [](TableOrders& orders, int n) { return ResultText(orders.At(n).Tag->Name()); });
}

// A missing tag is order 0, the natural order, without an error.
XBSHORT xb_TagArea(const char* tag)
{
    return Guarded<XBSHORT>(0, [&] { return XBSHORT(Current().Orders().Find(ArgText(tag))); });
}

XBSHORT xb_SetOrder(XBSHORT order)
{
    return Guarded<XBSHORT>(-1, [&] {
        TableOrders& orders = Current().Orders();
        XBSHORT previous = XBSHORT(orders.Current());
        orders.SetCurrent(order);
        return previous;
    });
}

XBBOOL xb_Found(void)
{
    return Guarded<XBBOOL>(0, [] { return Current().Found ? 1 : 0; });
}

XBBOOL xb_Query(const char* expr)
{
    return Guarded<XBBOOL>(0, [&] {
        Table& table = Current();
        table.Filter().SetQuery(ArgText(expr));
        table.GoTop();
        return table.Eof() ? 0 : 1;
    });
}

void xb_SetFilter(const char* expr)
{
    GuardedVoid([&] { Current().Filter().SetFilter(ArgText(expr)); });
}

XBSHORT xb_QueryTest(const char*)
{
    return Guarded<XBSHORT>(0, [] {
        Current();
        return XBSHORT(0);
    });
}

XBLONG xb_QueryRecCount(void)
{
    return Guarded<XBLONG>(0, [] { return Current().Count(); });
}

const char* xb_DBFilter(void)
{
    return Guarded<const char*>("", [] { return ResultText(Current().Filter().QueryText()); });
}

// The type code of the expression; 0 for anything invalid, without an error.
XBSHORT xb_EvalTest(const char* expr)
{
    return Guarded<XBSHORT>(0, [&] {
        Table& table = Current();
        auto expression = xbexpr::Expression::Compile(ArgText(expr), table.Context());
        return XBSHORT(expression ? xbexpr::TypeCode(expression->Type()) : 0);
    });
}

XBBOOL xb_EvalLogical(const char* expr)
{
    return Guarded<XBBOOL>(0, [&] { return EvaluateAs(expr, xbexpr::ValueType::Logical).Logical ? 1 : 0; });
}

double xb_EvalNumeric(const char* expr)
{
    return Guarded<double>(0, [&] { return EvaluateAs(expr, xbexpr::ValueType::Numeric).Number; });
}

const char* xb_EvalString(const char* expr)
{
    return Guarded<const char*>("", [&] {
        Table& table = Current();
        auto expression = CompileExpression(ArgText(expr), table.Context(), false);
        String text = expression->EvaluateText(table.Context());
        if (!expression->LastError().empty())
            throw EEngineError(XBE_E_EXPR, expression->LastError() + ": " + expression->Text());
        return ResultText(text);
    });
}

// Searches the visible records in the active order from the top (or the
// bottom when direction is negative), or from beside the current record when
// continuing. Not found: the position stays and the result is 0.
XBLONG xb_Locate(const char* expr, XBSHORT direction, XBSHORT continuing)
{
    return Guarded<XBLONG>(0, [&]() -> XBLONG {
        Table& table = Current();
        auto condition = CompileExpression(ArgText(expr), table.Context(), true);
        bool forward = direction >= 0;
        Integer recno = table.RecNo();
        bool bof = table.Bof(), eof = table.Eof();
        table.Found = false;
        bool positioned;
        if (!continuing) {
            forward ? table.GoTop() : table.GoBottom();
            positioned = !table.Eof();
        } else if (forward) {
            table.Skip(1);
            positioned = !table.Eof();
        } else {
            // From the first visible record a step back finds nothing before it.
            table.Skip(-1);
            positioned = !table.Eof() && !table.Bof();
        }
        while (positioned) {
            if (condition->EvaluateLogical(table.Context())) {
                table.Found = true;
                return table.RecNo();
            }
            condition->ClearError();
            table.Skip(forward ? 1 : -1);
            positioned = forward ? !table.Eof() : !table.Bof();
        }
        table.Restore(recno, bof, eof);
        return 0;
    });
}

void xb_SetQueryBit(XBLONG rec, XBSHORT value)
{
    GuardedVoid([&] { Current().Filter().SetQueryBit(rec, value != 0); });
}

XBBOOL xb_GetQueryBit(XBLONG rec)
{
    return Guarded<XBBOOL>(0, [&] {
        Table& table = Current();
        if (rec < 1 || rec > table.RecCount())
            return 0;
        String image;
        table.ReadRecord(rec, image);
        return table.Filter().PassesQuery(rec, image) ? 1 : 0;
    });
}

XBLONG xb_FilterAlias(const char*, const char*) { return Stub<XBLONG>(0, "xb_FilterAlias"); }
const char* xb_FilterDlg(XBHWND, const char*, const char*, XBSHORT)
{
    return Stub<const char*>("", "xb_FilterDlg");
}
XBLONG xb_RYOFilterActivate(XBSHORT, XBSHORT) { return Stub<XBLONG>(0, "xb_RYOFilterActivate"); }
XBSHORT xb_RYOFilterCopy(void) { return Stub<XBSHORT>(0, "xb_RYOFilterCopy"); }
XBSHORT xb_RYOFilterCreate(void) { return Stub<XBSHORT>(0, "xb_RYOFilterCreate"); }
XBLONG xb_RYOFilterDestroy(XBSHORT) { return Stub<XBLONG>(0, "xb_RYOFilterDestroy"); }
XBBOOL xb_RYOFilterGetBit(XBSHORT, XBLONG) { return Stub<XBBOOL>(0, "xb_RYOFilterGetBit"); }
XBLONG xb_RYOFilterRestore(const char*) { return Stub<XBLONG>(0, "xb_RYOFilterRestore"); }
XBLONG xb_RYOFilterSave(XBSHORT, const char*) { return Stub<XBLONG>(0, "xb_RYOFilterSave"); }
XBLONG xb_RYOFilterSetBit(XBSHORT, XBLONG, XBSHORT) { return Stub<XBLONG>(0, "xb_RYOFilterSetBit"); }
XBLONG xb_RYOKeyAdd(const char*, const char*) { return Stub<XBLONG>(0, "xb_RYOKeyAdd"); }
XBLONG xb_RYOKeyDrop(const char*) { return Stub<XBLONG>(0, "xb_RYOKeyDrop"); }

}  // extern "C"
