#pragma once
// The layouts of the program's tables: a client's payer (CLIENT), recipients
// (EMPLOYEE) and transactions (TOTTRANS), the client pick list (CLIENTLIST) and
// the print-work table (PRINT, laid out as EMPLOYEE). Every table is a
// FoxPro-type DBF without memo fields. Every tag lives in the table's
// structural CDX, is named after its field, keys on that field alone and is
// ascending, without condition.

#include <span>
#include <vector>

#include "platform/rtl/types.h"

struct TFieldSchema {
    const char* Name;
    char Type;  // 'C' character, 'N' numeric, 'D' date
    int Width;  // as passed at creation; a numeric width counts the point and the decimals
    int Decimals;
};

struct TTableSchema {
    // The file name without its extension.
    const char* Name;
    // In the order of creation; their number is the field count of the creation.
    std::span<const TFieldSchema> Fields;
    // Tag names, in the order of creation; none: the table has no index file.
    std::span<const char* const> Tags;
};

extern const TTableSchema ClientSchema;
extern const TTableSchema EmployeeSchema;
extern const TTableSchema TransactionSchema;
extern const TTableSchema ClientListSchema;
extern const TTableSchema PrintSchema;

// The tables of one client's directory, in the order a back-up copies them.
inline constexpr const TTableSchema* ClientTableSchemas[] = {&ClientSchema, &EmployeeSchema,
                                                             &TransactionSchema};

// File names in a client's directory, from ClientTableSchemas: the tables ("CLIENT.DBF"),
// the index file of each table with tags, both together (what a back-up holds
// still and a restore finds unused), and the journals a write leaves beside them.
std::vector<String> ClientTableFiles();
std::vector<String> ClientIndexFiles();
std::vector<String> ClientDataFiles();
std::vector<String> ClientJournalFiles();
