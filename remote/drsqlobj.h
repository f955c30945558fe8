#pragma once
// TSQLObj: what the connection keeps for one SQL statement prepared on the
// local SQL engine: its number, the engine statement with the tables opened
// for it, a private environment and the statement's own settings.
//
// The statement's settings (Deleted, Century, date format, memo block size)
// stay with the statement: they are never pushed into the engine-wide state,
// which the program's own tables share. The engine statement hides deleted
// records by the statement's Deleted setting and gives every engine-wide
// setting it touches back when it returns; dates travel as ISO text, so the
// engine's date settings have no part in a statement.

#include <memory>

#include "platform/classes/object.h"
#include "platform/rtl/stringlist.h"
#include "platform/sql/localsql.h"
#include "tables/drcommon.h"
#include "tables/droenv.h"

class TDaroruServerConnection;

struct TSQLSettings {
    bool Deleted = false;
    bool Century = false;
    int DateFormat = dfWinDefault;
    int MemoBlockSize = 64;
};

class TSQLObj : public TObject {
public:
    explicit TSQLObj(TDaroruServerConnection* Owner);
    ~TSQLObj() override;
    String ClassName() const override { return "TSQLObj"; }

    // Closes the statement's tables and forgets them.
    void FreeTables();

    // The engine statement over the tables; null before prepare and after FreeTables.
    localsql::TStatement* Statement() const { return FStatement.get(); }
    void SetStatement(std::unique_ptr<localsql::TStatement> Value) { FStatement = std::move(Value); }

    TDaroruEnv& Environment() { return FEnvironment; }
    TSQLSettings Settings;
    int Number = 0;
    int Reserved = 0;
    TStringList Strings;
    // Set by prepare once the tables are open.
    bool Prepared = false;
    TDaroruTableType TableType = ttSXFOX;
    TDaroruServerConnection* Connection() const { return FConnection; }

private:
    TDaroruEnv FEnvironment {nullptr};
    std::unique_ptr<localsql::TStatement> FStatement;
    TDaroruServerConnection* FConnection;
};
