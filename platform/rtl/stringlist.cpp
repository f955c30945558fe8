#include "platform/rtl/stringlist.h"
#include "platform/rtl/scopeexit.h"

#include <algorithm>
#include <numeric>

#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"

namespace {

// Compares byte by byte after folding Windows-1252 letters to upper case.
int CompareFolded(const String& S1, const String& S2)
{
    size_t n = std::min(S1.size(), S2.size());
    for (size_t i = 0; i < n; ++i) {
        auto a = static_cast<unsigned char>(AnsiUpperChar(S1[i]));
        auto b = static_cast<unsigned char>(AnsiUpperChar(S2[i]));
        if (a != b)
            return a < b ? -1 : 1;
    }
    return S1.size() == S2.size() ? 0 : S1.size() < S2.size() ? -1 : 1;
}

bool NeedsQuotes(const String& S, char Delimiter, char QuoteChar)
{
    return std::any_of(S.begin(), S.end(), [&](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == QuoteChar || c == Delimiter;
    });
}

// BeginUpdate for the life of the scope, so an exception still ends the update.
class UpdateScope {
public:
    explicit UpdateScope(TStrings& List) : FList(List) { FList.BeginUpdate(); }
    ~UpdateScope() { FList.EndUpdate(); }

private:
    TStrings& FList;
};

bool IsBlank(char C) { return C != '\0' && static_cast<unsigned char>(C) <= ' '; }

}  // namespace

// ---------------------------------------------------------------------------
// TStrings

void TStrings::Put(int Index, const String& S)
{
    TObject* object = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, object);
}

void TStrings::InsertObject(int Index, const String& S, TObject* Object)
{
    Insert(Index, S);
    PutObject(Index, Object);
}

void TStrings::Exchange(int Index1, int Index2)
{
    UpdateScope update(*this);
    String text = Get(Index1);
    TObject* object = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, text);
    PutObject(Index2, object);
}

int TStrings::Add(const String& S) { return AddObject(S, nullptr); }

int TStrings::AddObject(const String& S, TObject* Object)
{
    int index = Count();
    InsertObject(index, S, Object);
    return index;
}

int TStrings::IndexOf(const String& S) const
{
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), S) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfObject(TObject* Object) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == Object)
            return i;
    return -1;
}

String TStrings::Names(int Index) const
{
    String s = Get(Index);
    size_t eq = s.find('=');
    return eq == String::npos ? String() : s.substr(0, eq);
}

String TStrings::ValueFromIndex(int Index) const
{
    String s = Get(Index);
    size_t eq = s.find('=');
    return eq == String::npos ? String() : s.substr(eq + 1);
}

int TStrings::IndexOfName(const String& Name) const
{
    for (int i = 0; i < Count(); ++i) {
        String s = Get(i);
        size_t eq = s.find('=');
        if (eq != String::npos && CompareStrings(s.substr(0, eq), Name) == 0)
            return i;
    }
    return -1;
}

String TStrings::Values(const String& Name) const
{
    int index = IndexOfName(Name);
    return index < 0 ? String() : ValueFromIndex(index);
}

void TStrings::SetValues(const String& Name, const String& Value)
{
    int index = IndexOfName(Name);
    if (Value.empty()) {
        if (index >= 0)
            Delete(index);
    } else if (index < 0) {
        Add(Name + "=" + Value);
    } else {
        Put(index, Name + "=" + Value);
    }
}

String TStrings::DelimitedText() const
{
    // A single empty item must not read back as no item at all.
    if (Count() == 1 && Get(0).empty())
        return String(2, FQuoteChar);
    String result;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0)
            result += FDelimiter;
        String s = Get(i);
        if (!NeedsQuotes(s, FDelimiter, FQuoteChar)) {
            result += s;
            continue;
        }
        result += FQuoteChar;
        for (char c : s) {
            result += c;
            if (c == FQuoteChar)
                result += c;
        }
        result += FQuoteChar;
    }
    return result;
}

void TStrings::SetDelimitedText(const String& Value)
{
    UpdateScope update(*this);
    Clear();
    size_t p = 0;
    size_t n = Value.size();
    auto skipBlanks = [&] {
        while (p < n && IsBlank(Value[p]))
            ++p;
    };
    skipBlanks();
    while (p < n && Value[p] != '\0') {
        String item;
        if (Value[p] == FQuoteChar) {
            // Up to the closing quote; a doubled quote stands for one.
            for (++p; p < n; ++p) {
                if (Value[p] == FQuoteChar) {
                    if (p + 1 < n && Value[p + 1] == FQuoteChar) {
                        ++p;
                    } else {
                        ++p;
                        break;
                    }
                }
                item += Value[p];
            }
        } else {
            size_t start = p;
            while (p<n&& static_cast<unsigned char>(Value[p])> ' ' && Value[p] != FDelimiter)
                ++p;
            item = Value.substr(start, p - start);
        }
        Add(item);
        skipBlanks();
        if (p < n && Value[p] == FDelimiter) {
            // A delimiter at the very end stands for one more, empty item.
            if (p + 1 == n)
                Add(String());
            ++p;
            skipBlanks();
        }
    }
}

String TStrings::CommaText() const
{
    if (FDelimiter == ',' && FQuoteChar == '"')
        return DelimitedText();
    TStringList copy;
    copy.Assign(*this);
    return copy.DelimitedText();
}

void TStrings::SetCommaText(const String& Value)
{
    char delimiter = FDelimiter;
    char quote = FQuoteChar;
    FDelimiter = ',';
    FQuoteChar = '"';
    const ScopeExit restore([&] {
        FDelimiter = delimiter;
        FQuoteChar = quote;
    });
    SetDelimitedText(Value);
}

String TStrings::Text() const
{
    String result;
    for (int i = 0; i < Count(); ++i) {
        result += Get(i);
        result += "\r\n";
    }
    return result;
}

void TStrings::SetText(const String& Value)
{
    UpdateScope update(*this);
    Clear();
    size_t p = 0;
    while (p < Value.size()) {
        size_t end = Value.find_first_of("\r\n", p);
        if (end == String::npos)
            end = Value.size();
        Add(Value.substr(p, end - p));
        p = end;
        if (p < Value.size() && Value[p] == '\r')
            ++p;
        if (p < Value.size() && Value[p] == '\n')
            ++p;
    }
}

void TStrings::Assign(const TStrings& Source)
{
    if (&Source == this)
        return;
    UpdateScope update(*this);
    Clear();
    for (int i = 0; i < Source.Count(); ++i)
        AddObject(Source.Get(i), Source.GetObject(i));
}

bool TStrings::Equals(const TStrings& Other) const
{
    if (Count() != Other.Count())
        return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != Other.Get(i))
            return false;
    return true;
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::LoadFromFile(const String& FileName)
{
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TStrings::SaveToFile(const String& FileName) const
{
    TFileStream file(FileName, fmCreate);
    SaveToStream(file);
}

void TStrings::LoadFromStream(TStream& Stream)
{
    Int64 size = Stream.Size() - Stream.Position();
    String text(static_cast<size_t>(std::max<Int64>(size, 0)), '\0');
    text.resize(static_cast<size_t>(Stream.Read(text.data(), static_cast<Int64>(text.size()))));
    SetText(text);
}

void TStrings::SaveToStream(TStream& Stream) const
{
    String text = Text();
    Stream.WriteBuffer(text.data(), static_cast<Int64>(text.size()));
}

int TStrings::CompareStrings(const String& S1, const String& S2) const { return CompareFolded(S1, S2); }

void TStrings::SetUpdateState(bool) { }

void TStrings::Error(const String& Message, int Index) const
{
    throw EStringListError(Message + " (" + IntToStr(Index) + ")");
}

// ---------------------------------------------------------------------------
// TStringList

TStringList::TStringList(const TStringList& Other) : TStrings() { *this = Other; }

TStringList& TStringList::operator=(const TStringList& Other)
{
    if (&Other == this)
        return *this;
    SetDelimiter(Other.Delimiter());
    SetQuoteChar(Other.QuoteChar());
    FSorted = false;
    FDuplicates = Other.FDuplicates;
    FCaseSensitive = Other.FCaseSensitive;
    Assign(Other);
    FSorted = Other.FSorted;
    return *this;
}

void TStringList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        Error("List index out of bounds", Index);
}

String TStringList::Get(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<size_t>(Index)].Text;
}

void TStringList::Put(int Index, const String& S)
{
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(Index);
    Changing();
    FItems[static_cast<size_t>(Index)].Text = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<size_t>(Index)].Object;
}

void TStringList::PutObject(int Index, TObject* Object)
{
    CheckIndex(Index);
    Changing();
    FItems[static_cast<size_t>(Index)].Object = Object;
    Changed();
}

void TStringList::Insert(int Index, const String& S)
{
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list");
    if (Index < 0 || Index > Count())
        Error("List index out of bounds", Index);
    InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const String& S, TObject* Object)
{
    Changing();
    FItems.insert(FItems.begin() + Index, Item {S, Object});
    Changed();
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index);
    Changing();
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TStringList::Clear()
{
    if (FItems.empty())
        return;
    Changing();
    FItems.clear();
    Changed();
}

void TStringList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
    Changed();
}

int TStringList::AddObject(const String& S, TObject* Object)
{
    int index = Count();
    if (FSorted && Find(S, index)) {
        if (FDuplicates == dupIgnore)
            return index;
        if (FDuplicates == dupError)
            throw EStringListError("String list does not allow duplicates");
    }
    InsertItem(index, S, Object);
    return index;
}

int TStringList::IndexOf(const String& S) const
{
    if (!FSorted)
        return TStrings::IndexOf(S);
    int index;
    return Find(S, index) ? index : -1;
}

bool TStringList::Find(const String& S, int& Index) const
{
    bool found = false;
    int low = 0;
    int high = Count() - 1;
    while (low <= high) {
        int middle = low + (high - low) / 2;
        int c = CompareStrings(FItems[static_cast<size_t>(middle)].Text, S);
        if (c < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (c == 0) {
                found = true;
                if (FDuplicates != dupAccept)
                    low = middle;
            }
        }
    }
    Index = low;
    return found;
}

void TStringList::Sort()
{
    CustomSort([](TStringList* List, int Index1, int Index2) {
        return List->CompareStrings(List->FItems[static_cast<size_t>(Index1)].Text,
                                    List->FItems[static_cast<size_t>(Index2)].Text);
    });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare)
{
    if (Count() < 2)
        return;
    std::vector<int> order(FItems.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Compare(this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(FItems.size());
    for (int i : order)
        sorted.push_back(FItems[static_cast<size_t>(i)]);
    Changing();
    FItems = std::move(sorted);
    Changed();
}

void TStringList::SetSorted(bool Value)
{
    if (Value == FSorted)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (Value == FCaseSensitive)
        return;
    FCaseSensitive = Value;
    if (FSorted)
        Sort();
}

int TStringList::CompareStrings(const String& S1, const String& S2) const
{
    if (!FCaseSensitive)
        return TStrings::CompareStrings(S1, S2);
    int c = S1.compare(S2);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        DoChanging();
    else
        DoChange();
}

void TStringList::Changing()
{
    if (UpdateCount() == 0)
        DoChanging();
}

void TStringList::Changed()
{
    if (UpdateCount() == 0)
        DoChange();
}

void TStringList::DoChanging()
{
    if (OnChanging)
        OnChanging(this);
}

void TStringList::DoChange()
{
    if (OnChange)
        OnChange(this);
}
