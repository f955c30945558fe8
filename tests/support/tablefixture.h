#pragma once
// Tables in a temporary directory, made and filled through the real engine
// directly, so that the table data set is tested against files it did not write.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "tables/drodset.h"
#include "tables/droerror.h"
#include "tests/support/tempdir.h"
#ifdef TOTAMUND_TABLES_SERVER
#include "remote/drconn.h"
#include "tests/support/testserver.h"
#endif

struct FieldLayout {
    const char* Name;
    char Type;
    int Width;
    int Decimals;
};

// The program's own table layouts.
extern const std::vector<FieldLayout> ClientSchema;
extern const std::vector<FieldLayout> EmployeeSchema;
extern const std::vector<FieldLayout> TransactionSchema;
extern const std::vector<FieldLayout> ClientListSchema;

// The message of the exception Action raises; "no error" when it raises none.
String MessageOf(const std::function<void()>& Action);

class TableTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates Dir + Name with the fields; returns the path.
    String CreateTable(const String& Name, const std::vector<FieldLayout>& Fields);
    // A record image: the deletion flag, then each value padded to its width
    // (numbers to the right, the rest to the left).
    static String Image(const std::vector<FieldLayout>& Fields, const std::vector<String>& Values,
                        bool Deleted = false);
    // Appends the images to the table file through the engine.
    void AppendImages(const String& Name, const std::vector<String>& Images);
    // The records as an independent reader sees them: one line per record,
    // "*" for a deleted one, then the values joined by "|".
    std::vector<String> ReadBack(const String& Name);
    // Creates Path (directory and name, no extension) through the table's own
    // creation protocol: CreateNew, CreateField for each field, CreateExec.
    static void DefineTable(TDaroruTable* T, const String& Path, const std::vector<FieldLayout>& Fields);
    // A table component on Dir + Name, not yet open.
    TDaroruTable* Table(const String& Name);
    // True when the tables go through the test server.
    bool ThroughServer() const;
    // Opens T, which must be refused and stay shut. Locally the refusal is an
    // EDaroruOpenError, returned; the server sends no reason back, so through
    // it any EDaroruError will do and nothing is returned.
    std::optional<EDaroruOpenError> OpenRefusal(TDaroruTable* T);

    std::optional<TempDir> Scratch;
    String Dir;
#ifdef TOTAMUND_TABLES_SERVER
    // With TOTAMUND_TABLES_THROUGH_SERVER set, every table of Table() goes
    // through a test server over Dir.
    std::unique_ptr<TTestServer> Server;
    std::unique_ptr<TDaroruServerConnection> Connection;
#endif
    std::vector<std::unique_ptr<TDaroruTable>> Tables;
};
