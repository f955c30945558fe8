#pragma once
// The changes a transaction makes to one table, kept so that a statement that
// fails leaves the table, its memos and its index keys as they were. Before a
// record is first changed its image (and the text of a memo about to be
// replaced) is kept; a rollback writes them back. Inserted records wait until
// the transaction commits, so a refused INSERT appends nothing.

#include <utility>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/sql/sqlvalues.h"
#include "platform/xbengine/xbe_types.h"

namespace localsql {

struct TEngine;
struct TOpenTable;

class TTableChanges {
public:
    TTableChanges(const TEngine& Engine, const TOpenTable& Table) : FEngine(Engine), FTable(Table) { }

    // Each gives SQLITE_OK, or an SQLite result code with the reason in Message.
    // Values hold one entry per field, checked already.
    int Update(XBLONG RecNo, const std::vector<TStoredValue>& Values, String& Message);
    int Delete(XBLONG RecNo, String& Message);
    // Keeps the record for Append; the number it will have.
    XBLONG Insert(std::vector<TStoredValue> Values);
    // Appends the records inserted so far.
    int Append(String& Message);

    // Statement levels inside a transaction: Savepoint(N) marks level N, Release(N) drops marks from
    // N on, RollBackTo(N) undoes what came after mark N.
    void Savepoint(int Level);
    void Release(int Level);
    int RollBackTo(int Level, String& Message);
    // The transaction's end: Commit forgets the kept images, RollBack writes them back.
    void Commit();
    int RollBack(String& Message);

private:
    struct TKept {
        XBLONG RecNo = 0;
        String Image;                                  // empty for a record this transaction appended
        std::vector<std::pair<size_t, String>> Memos;  // field index and old text
    };
    struct TMark {
        size_t Kept = 0;
        size_t Inserts = 0;
    };

    int Lock(XBLONG RecNo, String& Message);
    int Write(XBLONG RecNo, const std::vector<TStoredValue>& Values, String& Message);
    int Restore(const TKept& Kept, String& Message);
    int Undo(size_t Kept, String& Message);
    String EngineError() const;

    const TEngine& FEngine;
    const TOpenTable& FTable;
    std::vector<TKept> FKept;
    std::vector<std::vector<TStoredValue>> FInserts;
    std::vector<TMark> FMarks;
};

}  // namespace localsql
