#include "app/clientschemas.h"

namespace {

constexpr TFieldSchema ClientFields[] = {
        {"DATA_VER", 'N', 5, 0},   {"ID", 'C', 8, 0},        {"NAME1", 'C', 40, 0},
        {"NAME2", 'C', 40, 0},     {"ADDRESS1", 'C', 40, 0}, {"ADDRESS2", 'C', 40, 0},
        {"CITY", 'C', 25, 0},      {"STATE", 'C', 2, 0},     {"ZIP", 'C', 10, 0},
        {"TAX_ID", 'C', 11, 0},    {"SSN", 'C', 11, 0},      {"COMMENTS", 'C', 500, 0},
        {"TELEPHONE", 'C', 15, 0}, {"REFNUMBER", 'N', 8, 0}, {"TOTAMT", 'N', 10, 2},
        {"DEF_DESCR", 'C', 40, 0},
};

constexpr TFieldSchema EmployeeFields[] = {
        {"ID", 'C', 8, 0},         {"NAME1", 'C', 30, 0},      {"NAME2", 'C', 30, 0},
        {"ADDRESS", 'C', 40, 0},   {"CSZ", 'C', 40, 0},        {"CITY", 'C', 25, 0},
        {"STATE", 'C', 2, 0},      {"ZIP", 'C', 10, 0},        {"HOME_PHONE", 'C', 14, 0},
        {"TAX_ID", 'C', 10, 0},    {"SSN", 'C', 11, 0},        {"BIRTH_DATE", 'C', 10, 0},
        {"HIRE_DATE", 'C', 10, 0}, {"TERM_DATE", 'C', 10, 0},  {"NOTE1", 'C', 65, 0},
        {"NOTE2", 'C', 65, 0},     {"FIRST", 'C', 30, 0},      {"MIDDLE", 'C', 1, 0},
        {"LAST", 'C', 40, 0},      {"TOTAMT", 'N', 10, 2},     {"TRANS_TYPE", 'C', 1, 0},
        {"DIR_SALES", 'C', 1, 0},  {"FWT", 'N', 10, 2},        {"STATE_ID1", 'C', 20, 0},
        {"SWT1", 'N', 10, 2},      {"STATE_INC1", 'N', 10, 2}, {"STATE_ID2", 'C', 20, 0},
        {"SWT2", 'N', 10, 2},      {"STATE_INC2", 'N', 10, 2},
};
constexpr const char* EmployeeTags[] = {"ID", "NAME1", "LAST"};

// DATE is passed with width 10; the file keeps a date in its own fixed width.
constexpr TFieldSchema TransactionFields[] = {
        {"ACCNO", 'N', 8, 2},  {"CATEGORY", 'C', 20, 0},   {"SUBCAT", 'C', 40, 0}, {"CHDESCR", 'C', 40, 0},
        {"PAYEE", 'C', 40, 0}, {"DESCR", 'C', 60, 0},      {"NOTE1", 'C', 40, 0},  {"NOTE2", 'C', 40, 0},
        {"DATE", 'D', 10, 0},  {"NUMBER", 'N', 10, 0},     {"AMOUNT", 'N', 10, 2}, {"FWT", 'N', 10, 2},
        {"SWT1", 'N', 10, 2},  {"STATE_INC1", 'N', 10, 2}, {"SWT2", 'N', 10, 2},   {"STATE_INC2", 'N', 10, 2},
        {"EMP_ID", 'C', 8, 0},
};
constexpr const char* TransactionTags[] = {"ACCNO", "DESCR", "PAYEE", "NUMBER", "EMP_ID", "DATE"};

constexpr TFieldSchema ClientListFields[] = {
        {"ID", 'C', 8, 0},
        {"NAME", 'C', 40, 0},
        {"PATH", 'C', 60, 0},
        {"YEAR", 'C', 2, 0},
};
constexpr const char* ClientListTags[] = {"ID", "NAME"};

}  // namespace

constinit const TTableSchema ClientSchema {"CLIENT", ClientFields, {}};
constinit const TTableSchema EmployeeSchema {"EMPLOYEE", EmployeeFields, EmployeeTags};
constinit const TTableSchema TransactionSchema {"TOTTRANS", TransactionFields, TransactionTags};
constinit const TTableSchema ClientListSchema {"CLIENTLIST", ClientListFields, ClientListTags};
constinit const TTableSchema PrintSchema {"PRINT", EmployeeFields, {}};

namespace {

// Name plus Extension for each client table, or each one with tags.
std::vector<String> ClientFilesWith(const char* Extension, bool OnlyIndexed)
{
    std::vector<String> files;
    for (const TTableSchema* table : ClientTableSchemas)
        if (!OnlyIndexed || !table->Tags.empty())
            files.push_back(String(table->Name) + Extension);
    return files;
}

}  // namespace

std::vector<String> ClientTableFiles() { return ClientFilesWith(".DBF", false); }
std::vector<String> ClientIndexFiles() { return ClientFilesWith(".CDX", true); }
std::vector<String> ClientJournalFiles() { return ClientFilesWith(".JNL", false); }

std::vector<String> ClientDataFiles()
{
    std::vector<String> files = ClientTableFiles();
    for (const String& index : ClientIndexFiles())
        files.push_back(index);
    return files;
}
