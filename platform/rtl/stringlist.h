#pragma once
// TStrings and TStringList: a list of texts, each with an optional object, as
// the class library has them. Indexes are 0-based.

#include <functional>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"

class TObject;
class TStream;
class TStrings;

// A bad index, a duplicate refused or an insert into a sorted list.
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

// Sender is the list that changes.
using TStringsNotifyEvent = std::function<void(TStrings* Sender)>;

enum TDuplicates { dupIgnore, dupAccept, dupError };

// The common part of every list of texts; a derived class stores the items.
class TStrings {
public:
    virtual ~TStrings() = default;

    virtual int Count() const = 0;
    // Text at Index; raises EStringListError "List index out of bounds (n)".
    virtual String Get(int Index) const = 0;
    virtual void Put(int Index, const String& S);
    virtual TObject* GetObject(int Index) const = 0;
    virtual void PutObject(int Index, TObject* Object) = 0;
    virtual void Insert(int Index, const String& S) = 0;
    void InsertObject(int Index, const String& S, TObject* Object);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int Index1, int Index2);

    String operator[](int Index) const { return Get(Index); }
    String Strings(int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }

    // Appends (a sorted list inserts in order); returns the index.
    virtual int Add(const String& S);
    virtual int AddObject(const String& S, TObject* Object);
    // First index of S (compared as the list compares), -1 when absent.
    virtual int IndexOf(const String& S) const;
    int IndexOfObject(TObject* Object) const;

    // "Name=Value" items: the part before the first '=', the part after it.
    String Names(int Index) const;
    String ValueFromIndex(int Index) const;
    int IndexOfName(const String& Name) const;
    // "" when Name is absent; setting "" removes the item, setting a new name appends.
    String Values(const String& Name) const;
    void SetValues(const String& Name, const String& Value);

    // Items separated by Delimiter; items holding blanks, control characters, the
    // quote or the delimiter are put in QuoteChar, inner quotes doubled.
    // Reading splits at the delimiter and at unquoted blanks.
    String DelimitedText() const;
    void SetDelimitedText(const String& Value);
    // DelimitedText with ',' and '"'.
    String CommaText() const;
    void SetCommaText(const String& Value);
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char Value) { FDelimiter = Value; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char Value) { FQuoteChar = Value; }

    // Every item followed by CR LF; reading splits at CR LF, CR or LF.
    String Text() const;
    virtual void SetText(const String& Value);

    // Replaces the items (texts and objects) by those of Source.
    virtual void Assign(const TStrings& Source);
    bool Equals(const TStrings& Other) const;

    // Changes between BeginUpdate and the last EndUpdate fire OnChanging once
    // (at BeginUpdate) and OnChange once (at EndUpdate).
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Bytes as they stand (Windows-1252); raises EFOpenError / EFCreateError.
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName) const;
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream) const;

protected:
    // Three-way comparison of two items; TStrings ignores case (Windows-1252 letters too).
    virtual int CompareStrings(const String& S1, const String& S2) const;
    // Called around changes when no update is running.
    virtual void SetUpdateState(bool Updating);
    [[noreturn]] void Error(const String& Message, int Index) const;

private:
    char FDelimiter = ',';
    char FQuoteChar = '"';
    int FUpdateCount = 0;
};

using TStringListSortCompare = std::function<int(class TStringList* List, int Index1, int Index2)>;

class TStringList : public TStrings {
public:
    TStringList() = default;
    // Copies the items and the settings, not the events.
    TStringList(const TStringList& Other);
    TStringList& operator=(const TStringList& Other);

    int Count() const override { return static_cast<int>(FItems.size()); }
    String Get(int Index) const override;
    void Put(int Index, const String& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* Object) override;
    // Raises EStringListError "Operation not allowed on sorted list" when Sorted.
    void Insert(int Index, const String& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    // Sorted: keeps the order and applies Duplicates (dupError raises
    // EStringListError "String list does not allow duplicates").
    int AddObject(const String& S, TObject* Object) override;
    int IndexOf(const String& S) const override;

    // Binary search of a sorted list: true when found; Index is the match (the
    // first one with dupAccept) or where S would be inserted.
    virtual bool Find(const String& S, int& Index) const;
    virtual void Sort();
    // Orders the items by Compare, which reads the list as it stands before sorting.
    virtual void CustomSort(const TStringListSortCompare& Compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    // Default false: items compare ignoring case (Windows-1252 letters too).
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);

    TStringsNotifyEvent OnChanging;
    TStringsNotifyEvent OnChange;

protected:
    int CompareStrings(const String& S1, const String& S2) const override;
    void SetUpdateState(bool Updating) override;
    // Before and after a change: fire the events unless an update is running.
    void Changing();
    void Changed();
    virtual void DoChanging();
    virtual void DoChange();

private:
    struct Item {
        String Text;
        TObject* Object = nullptr;
    };
    void CheckIndex(int Index) const;
    void InsertItem(int Index, const String& S, TObject* Object);

    std::vector<Item> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = dupIgnore;
};
