// Index files and tags, the active order, and the index definitions.

#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "platform/xbengine/xbe50.h"
#include "tables/drodset.h"
#include "tables/droerror.h"

namespace {
constexpr const char* NoOrderText = "This operation requires an active index order";
constexpr const char* MissingExpression = "Missing Parameter to Index or IndexTag Method: Index Expression";

String TextOf(const char* Text) { return Text ? Text : ""; }
// A null argument for an empty text: the engine then takes "none".
const char* OrNull(const String& Text) { return Text.empty() ? nullptr : Text.c_str(); }
}  // namespace

void TDaroruTable::CheckOrder() const
{
    if (FIndexName.empty())
        Raise(NoOrderText);
}

int TDaroruTable::IndexOrd()
{
    CheckOpen();
    Select();
    return cs_IndexOrd();
}

String TDaroruTable::IndexKey()
{
    CheckOpen();
    CheckOrder();
    Select();
    return TextOf(cs_IndexKey());
}

String TDaroruTable::IndexKeyField()
{
    CheckOpen();
    CheckOrder();
    Select();
    return TextOf(cs_IndexKeyField());
}

String TDaroruTable::IndexConditionText()
{
    CheckOpen();
    CheckOrder();
    Select();
    return TextOf(cs_IndexCondition());
}

int TDaroruTable::IndexType()
{
    CheckOpen();
    CheckOrder();
    Select();
    return cs_IndexType();
}

String TDaroruTable::IndexFileName(int Order)
{
    CheckOpen();
    Select();
    return TextOf(cs_IndexName(static_cast<XBSHORT>(Order)));
}

int TDaroruTable::TagArea(const String& Tag) { return Select() ? cs_TagArea(Tag.c_str()) : 0; }

String TDaroruTable::TagName(int Order)
{
    return Select() ? TextOf(cs_TagName(static_cast<XBSHORT>(Order))) : String();
}

void TDaroruTable::RefreshIndexes()
{
    FIndexDefs.SetUpdated(false);
    UpdateIndexDefs();
    FCountNeedsRefresh = true;
}

void TDaroruTable::AfterIndexesClosed()
{
    FIndexName.clear();
    RefreshIndexes();
    Resync({});
}

void TDaroruTable::IndexClose()
{
    if (!Select())
        return;
    cs_IndexClose();
    AfterIndexesClosed();
}

void TDaroruTable::CloseIndexes()
{
    if (!Select())
        return;
    cs_CloseIndexes();
    AfterIndexesClosed();
}

void TDaroruTable::Reindex()
{
    CheckOpen();
    Select();
    CheckWrite(cs_Reindex(), "rebuild the indexes");
    Resync({});
}

bool TDaroruTable::IndexFlip()
{
    CheckOpen();
    CheckOrder();
    Select();
    const bool result = cs_IndexFlip();
    Resync({});
    return result;
}

void TDaroruTable::CheckIndexExpression(const String& Expression)
{
    if (cs_EvalTest(Expression.c_str()) == 0)
        Raise("Invalid index expression [" + Expression + "]");
}

void TDaroruTable::AfterIndexCreated(const String& Name, int Order, const String& Condition)
{
    // With no engine error function the engine is silent: a failed creation must not pass.
    if (FErrorFunc == -1)
        CheckWrite(Order > 0, "create the index");
    FIndexName = Name;
    RefreshIndexes();
    if (!Condition.empty())
        GoTop();
    else
        Resync({});
}

int TDaroruTable::IndexTag(const String& File, const String& Tag, const String& Expression, SmallInt Option,
                           bool Descending, const String& Condition)
{
    CheckOpen();
    Select();
    if (Tag.empty() && FErrorFunc == -1)
        Raise("Missing Parameter to IndexTag Method: Index Tag Name");
    if (Expression.empty() && FErrorFunc == -1)
        Raise(MissingExpression);
    CheckIndexExpression(Expression);
    const int order = cs_IndexTag(OrNull(File), Tag.c_str(), Expression.c_str(), Option,
                                  Descending ? XBSHORT(-1) : XBSHORT(0), OrNull(Condition));
    AfterIndexCreated(Tag, order, Condition);
    return order;
}

int TDaroruTable::Index(const String& File, const String& Expression, SmallInt Option, bool Descending,
                        const String& Condition)
{
    CheckOpen();
    if (File.empty())
        Raise("Missing Parameter to Index Method: Index File Name");
    if (Expression.empty())
        Raise(MissingExpression);
    Select();
    CheckIndexExpression(Expression);
    const int order = cs_Index(File.c_str(), Expression.c_str(), Option,
                               Descending ? XBSHORT(-1) : XBSHORT(0), OrNull(Condition));
    AfterIndexCreated(File, order, Condition);
    return order;
}

int TDaroruTable::IndexOpen(const String& File)
{
    if (!cs_FileExists(File) && FErrorFunc == -1)
        Raise("Index file does not exist.\rFile: " + File);
    CheckOpen();
    Select();
    const XBSHORT order = cs_IndexOpen(File.c_str());
    RefreshIndexes();
    Select();
    // A compound file opens its tags and leaves the order alone.
    if (FTableType == ttSXNTX || UpperCase(File).find(".IDX") != String::npos) {
        cs_SetOrder(order);
        FIndexName = File;
        FCountNeedsRefresh = true;
        CheckMasterRange();
        Resync({});
        Select();
    }
    return cs_IndexOrd();
}

String TDaroruTable::OrderName(int Order)
{
    if (Order == 0)
        return String();
    return TextOf(FTableType == ttSXNTX ? cs_IndexName(static_cast<XBSHORT>(Order))
                                        : cs_TagName(static_cast<XBSHORT>(Order)));
}

int TDaroruTable::SetOrder(int Order)
{
    CheckOpen();
    if (Active())
        CheckBrowseMode();
    const int recno = GetSXRecno();
    Select();
    const int result = cs_SetOrder(static_cast<XBSHORT>(Order));
    FIndexName = OrderName(Order);
    FCountNeedsRefresh = true;
    if (Active())
        Go(recno);
    return result;
}

void TDaroruTable::SetIndexName(const String& Value)
{
    const bool same = FTableType == ttSXNTX ? SameText(ExtractFileName(NormalizePath(Value)),
                                                       ExtractFileName(NormalizePath(FIndexName)))
                                            : Value == FIndexName;
    if (same)
        return;
    const String previous = FIndexName;
    FIndexName = Value;
    if (FWorkArea <= 0)
        return;
    Select();
    if (Active())
        CheckBrowseMode();
    int order = 0;
    if (!Value.empty()) {
        if (FTableType != ttSXNTX) {
            order = cs_TagArea(Value.c_str());
        } else {
            String file = NormalizePath(Value);
            if (ExtractFilePath(file).empty())
                file = GetDataPath() + file;
            if (ExtractFileExt(file).empty())
                file += ".NTX";
            if (cs_FileExists(file)) {
                order = cs_IndexOpen(file.c_str());
                RefreshIndexes();
                Select();
            }
        }
    }
    if (Active() && order == 0 && !Value.empty() && (FErrorFunc == -1 || FAccessMethod == amServer)) {
        FIndexName = previous;
        Raise("Invalid IndexName value : " + Value);
    }
    cs_SetOrder(static_cast<XBSHORT>(order));
    FCountNeedsRefresh = true;
    if (Active()) {
        cs_Go(GetSXRecno());
        // The detail's scope belongs to its order, on the server as well.
        CheckMasterRange();
        Resync({});
    }
}

void TDaroruTable::UpdateIndexDefs()
{
    if (FWorkArea <= 0 || FIndexDefs.Updated())
        return;
    Select();
    cs_SetStringType(1);
    const int count = static_cast<int>(cs_SysProp(XBE_PROP_ORDER_COUNT, 0));
    FIndexDefs.Clear();
    const XBSHORT active = cs_IndexOrd();
    const String tableBase = IndexFileBaseName(GetFullTableName());
    for (int n = 1; n <= count; ++n) {
        const auto order = static_cast<XBSHORT>(n);
        const String file = TextOf(cs_IndexName(order));
        if (FTableType == ttSXNTX && file.empty())
            continue;
        cs_SetOrder(order);
        const String key = UpperCase(TextOf(cs_IndexKey()));
        const String name = FTableType == ttSXNTX ? file : TextOf(cs_TagName(order));
        if (name.empty() || key.empty()) {
            cs_SetOrder(active);
            Raise("Invalid Index File or Tag");
        }
        TIndexOptions options;
        if (FTableType == ttSXNTX || IndexFileBaseName(file) != tableBase)
            options.Include(ixNonMaintained);
        const int type = cs_IndexType();
        if (type == 2 || type == 4)
            options.Include(ixUnique);
        if (key.find("UPPER(") != String::npos)
            options.Include(ixCaseInsensitive);
        if (cs_SysProp(XBE_PROP_ORDER_DESCENDING, 0) != 0)
            options.Include(ixDescending);
        const String fields = key.find('+') == String::npos ? UpperCase(TextOf(cs_IndexKeyField()))
                                                            : GetFieldsFromExpression(key);
        if (fields != key)
            options.Include(ixExpression);
        TIndexDef* def = FIndexDefs.Add(name, fields, options);
        if (fields != key)
            def->SetExpression(key);
    }
    cs_SetOrder(active);
    FIndexDefs.SetUpdated(true);
}

void TDaroruTable::GetIndexNames(TStrings* List)
{
    FIndexDefs.SetUpdated(false);
    UpdateIndexDefs();
    List->BeginUpdate();
    List->Clear();
    for (int i = 0; i < FIndexDefs.Count(); ++i)
        if (!FIndexDefs[i]->Name().empty())
            List->Add(FIndexDefs[i]->Name());
    List->EndUpdate();
}

String GetFieldsFromExpression(const String& Expression)
{
    String result;
    String token;
    bool inside = false;
    auto endToken = [&] {
        const bool keep = !token.empty() && token.find_first_of("=<>$#") == String::npos &&
                          !(token[0] >= '0' && token[0] <= '9');
        if (keep)
            result += token + ";";
        token.clear();
    };
    for (const char c : Expression + "+") {
        switch (c) {
        case '(':
            token.clear();
            inside = true;
            break;
        case ')':
            inside = false;
            endToken();
            break;
        case '+':
        case '-': endToken(); break;
        case ',':
            if (inside)
                endToken();
            else
                token += c;
            break;
        case ' ': break;
        default: token += c;
        }
    }
    if (!result.empty())
        result.pop_back();
    return result;
}

void TDaroruTable::SetExtraIndexes(const TStrings& Value)
{
    if (&Value == &FExtraIndexes)
        return;
    SetIndexName("");
    FExtraIndexes.Assign(Value);
    if (FWorkArea > 0) {
        ActivateIndexes();
        RefreshIndexes();
    }
}

void TDaroruTable::ExtraIndexesChanged() { RefreshIndexes(); }

String TDaroruTable::ExtraIndexFile(const String& Line)
{
    String file = NormalizePath(Line);
    if (ExtractFilePath(file).empty())
        file = GetDataPath() + file;
    if (ExtractFileExt(file).empty())
        file += FTableType == ttSXNTX ? ".NTX" : FTableType == ttSXNSX ? ".NSX" : ".IDX";
    return file;
}

void TDaroruTable::ActivateIndexes()
{
    if (FExtraIndexes.Count() == 0 || !Select())
        return;
    XBSHORT order = cs_IndexOrd();
    cs_CloseIndexes();
    cs_SetOrder(0);
    for (int i = 0; i < FExtraIndexes.Count(); ++i) {
        const String line = Trim(FExtraIndexes[i]);
        if (line.empty())
            continue;
        const String file = ExtraIndexFile(line);
        if (!cs_FileExists(file) && FErrorFunc == -1)
            Raise("Invalid IndexName value : " + line);
        const XBSHORT opened = cs_IndexOpen(file.c_str());
        if (order == 0 && opened > 0) {
            order = opened;
            FIndexName = line;
        }
    }
    cs_SetOrder(order);
    RefreshIndexes();
    if (!FSpeedMode)
        Resync({});
    else
        cs_Go(GetSXRecno());
}
