#pragma once
// The index orders of a table: its compound index files (the structural one
// opened with the table, others by name), the tags of all of them numbered
// 1.. in the order they were opened, the active order with its scope, and
// the upkeep of every tag's keys when records change.

#include <memory>
#include <optional>
#include <vector>

#include "platform/rtl/sharelocks.h"
#include "platform/rtl/types.h"
#include "platform/xbengine/areacontext.h"
#include "platform/xbengine/cdx/cdxcursor.h"
#include "platform/xbengine/cdx/cdxindexfile.h"
#include "platform/xbengine/expr/expression.h"

class Table;

class TableOrders {
public:
    struct IndexFile;

    struct Order {
        IndexFile* File = nullptr;
        CdxTag* Tag = nullptr;
        std::unique_ptr<xbexpr::Expression> Key;
        std::unique_ptr<xbexpr::Expression> For;
        // Scope bounds as key prefixes; empty is unbounded.
        String Low, High, LowText, HighText;

        // -1 below the low bound, 1 above the high bound, 0 inside.
        int ScopeSide(const String& key) const;
    };

    using KeySet = std::vector<std::optional<String>>;

    TableOrders(Table& table, AreaContext& context);
    ~TableOrders();
    TableOrders(const TableOrders&) = delete;
    TableOrders& operator=(const TableOrders&) = delete;

    // The table's structural index, when there is one; an unreadable one is
    // left closed with a warning.
    void OpenStructural();
    // Adds a compound index file's tags; the file already open is left as it is.
    void Open(const String& path);
    // Builds a tag from every record and makes it the active order.
    void CreateTag(const String& path, const String& name, const String& key, int option, bool descending,
                   const String& forCondition);
    // Closes all but the structural index, or the file of the active order
    // unless it is the structural one; no active order afterwards.
    void CloseOthers();
    void CloseActive();
    // Gives a waiting record its keys and puts the index files on the disk.
    void Commit();
    // Gives a waiting record its keys.
    void FlushPending();
    // Drops every page read from the index files: another change of them was
    // rolled back.
    void ForgetCaches();
    // Some index was written through this open.
    bool Written() const { return FWritten; }
    // In shared use, the structural index's change counter also stands for
    // the table: every change of the table raises it. True when nothing
    // moved since stamp was taken; otherwise the index is read again and
    // stamp renewed. Always false without a structural index.
    bool SharedViewHeld(std::uint64_t& stamp);
    // Raises the structural index's change counter for a record written.
    void RecordWritten();
    // Every tag's entries, one list per order, gathered record by record.
    using KeyLists = std::vector<CdxKeyList>;
    void AddKeys(KeyLists& lists, const String& image, Integer recno);
    // Rebuilds every tag from the records, or from lists that AddKeys gave
    // every record; Clear empties them. renumbered, when given, holds the new
    // number of each old record (0 for one gone): each list is then built
    // in the order its tag held the records in, which spares the sorting.
    void Rebuild();
    void Rebuild(KeyLists lists, const std::vector<std::uint32_t>& renumbered = {});
    void Clear();

    int Count() const { return int(FOrders.size()); }
    // An index file is open (with tags or not).
    bool HasFiles() const { return !FFiles.empty(); }
    int Current() const { return FCurrent; }
    // Fails with XBE_E_BAD_ORDER.
    void SetCurrent(int order);
    Order* Active() { return FCurrent ? &At(FCurrent) : nullptr; }
    Order& At(int order) { return *FOrders[std::size_t(order - 1)]; }
    // The order of that tag (case-insensitive), 0 when none.
    int Find(const String& tag) const;
    const String& FileName(int order) const;
    // The cursor of the active order.
    CdxCursor& Cursor();

    // The key of a record image in an order; none when its FOR condition
    // fails, unless the position of the record in the order is asked for.
    std::optional<String> KeyOf(Order& order, const String& image, Integer recno, bool ignoreFor = false);
    // As KeyOf, the key written to out (the tag's key length); false when none.
    bool KeyInto(Order& order, const String& image, Integer recno, Byte* out);
    KeySet Keys(const String& image, Integer recno);
    // Moves the record's entries from its keys before a change to those after.
    void Update(const KeySet& before, const KeySet& after, Integer recno);
    // Gives an appended record its keys. In an exclusive open they wait for
    // the record's first write, which usually changes them at once, or for
    // the next use of the indexes, whichever comes first (inside the change
    // of the append, which the table keeps open until then).
    void Appended(const String& image, Integer recno);
    // The key text a caller seeks converted to the order's key bytes: a
    // prefix of a character key unless exact.
    String SeekKey(const Order& order, const String& text, bool exact) const;

    // Holds the index lock of every file of a table not opened exclusively,
    // and reloads what other opens changed, while it lives.
    class Access {
    public:
        // A read access may be lockless: when no index file changed since it
        // was last read, it reads from the caches alone, and a page missing
        // there raises ECdxCacheMiss, on which the caller reads again locked.
        Access(TableOrders& orders, bool write, bool locklessIfUnchanged = false);
        ~Access();
        Access(const Access&) = delete;
        Access& operator=(const Access&) = delete;

    private:
        void Finish();

        TableOrders& FOrders;
        bool FOuter;
        bool FLockless = false;
    };
    // Drops the cursor, which finds its place again from the current record.
    void ForgetCursor() { FCursor.reset(); }

private:
    IndexFile& OpenFile(const String& path, bool structural, bool create);
    IndexFile* FindFile(const String& path) const;
    IndexFile* StructuralFile() const;
    void Collect();
    void Fill(Order& order);
    // The key of an expression's value (the empty value's where it was not evaluated).
    static String KeyOfValue(const Order& order, bool evaluated, const xbexpr::Value& value);
    // Update's moves of the record's entries, under its write access.
    void WriteKeys(const KeySet& before, const KeySet& after, Integer recno, bool waiting);

    Table& FTable;
    AreaContext& FContext;
    std::vector<std::unique_ptr<IndexFile>> FFiles;
    std::vector<std::unique_ptr<Order>> FOrders;
    int FCurrent = 0;
    std::unique_ptr<CdxCursor> FCursor;
    int FAccessDepth = 0;
    bool FWriteHeld = false;
    bool FWritten = false;
    // The appended record whose keys wait, and its image.
    Integer FPendingRecNo = 0;
    String FPendingImage;
};
