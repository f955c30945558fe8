#pragma once
// A payments table made through the engine, with tags on ID, UPPER(NAME), NAME,
// STATE+ID and UPPER(STATE)+ID, and library tables over it.

#include <memory>
#include <vector>

#include "datacontrols/datasets/wwtable.h"
#include "tests/support/tablefixture.h"

extern const std::vector<FieldLayout> PaymentSchema;

// Row I (1-based): ID "P" and five digits, NAME one of seven names and I, STATE one of
// CA IL NY TX WA by I, AMOUNT (I * 37 mod 10000) / 4, QTY I mod 50, PAID every third,
// DUE a day of 2024 by I.
std::vector<String> PaymentValues(int I);

class PaymentsTest : public TableTest {
protected:
    void SetUp() override;
    // PAYMENTS.DBF with Rows rows and the tags named in Tags (of ID, UNAME, NAME,
    // STATEID, USTATEID).
    void MakePayments(int Rows, const std::vector<String>& Tags);
    // A library table over Name, not yet open.
    TdwTable* DwTable(const String& Name);
    // The IDs of the records from the first on.
    static std::vector<String> Ids(TDataSet* DataSet);
    // The IDs the independent reader finds where the Python condition on the record
    // r holds.
    std::vector<String> PythonIds(const String& Name, const String& Condition);
    // The same for each condition, in one run of the reader.
    std::vector<std::vector<String>> PythonIdSets(const String& Name, const std::vector<String>& Conditions);

    std::vector<std::unique_ptr<TdwTable>> DwTables;
};
