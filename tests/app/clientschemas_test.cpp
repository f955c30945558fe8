#include "app/clientschemas.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

const TFieldSchema* FindField(const TTableSchema& Table, const std::string& Name)
{
    for (const TFieldSchema& f : Table.Fields)
        if (Name == f.Name)
            return &f;
    return nullptr;
}

std::vector<std::string> TagNames(const TTableSchema& Table)
{
    return {Table.Tags.begin(), Table.Tags.end()};
}

// Bytes of one record in the file: the deletion mark and every field, a date in 8.
int RecordLength(const TTableSchema& Table)
{
    int length = 1;
    for (const TFieldSchema& f : Table.Fields)
        length += f.Type == 'D' ? 8 : f.Width;
    return length;
}

struct TableCase {
    const TTableSchema& table;
    std::string fileName;
    size_t fieldCount;
    int recordLength;
    std::vector<std::string> tags;
};

const std::vector<TableCase>& AllTables()
{
    static const std::vector<TableCase> cases = {
            {ClientSchema, "CLIENT", 16, 806, {}},
            {EmployeeSchema, "EMPLOYEE", 29, 554, {"ID", "NAME1", "LAST"}},
            {TransactionSchema, "TOTTRANS", 17, 375, {"ACCNO", "DESCR", "PAYEE", "NUMBER", "EMP_ID", "DATE"}},
            {ClientListSchema, "CLIENTLIST", 4, 111, {"ID", "NAME"}},
            {PrintSchema, "PRINT", 29, 554, {}},
    };
    return cases;
}

// The counts and record lengths come from the files' layouts; a wrong width or a
// lost field shows here.
TEST(ClientSchemas, NamesCountsRecordLengthsAndTags)
{
    for (const TableCase& c : AllTables()) {
        SCOPED_TRACE(c.fileName);
        EXPECT_EQ(c.table.Name, c.fileName);
        EXPECT_EQ(c.table.Fields.size(), c.fieldCount);
        EXPECT_EQ(RecordLength(c.table), c.recordLength);
        EXPECT_EQ(TagNames(c.table), c.tags);
    }
}

TEST(ClientSchemas, EveryFieldAndTagFitsAFoxProTable)
{
    for (const TableCase& c : AllTables()) {
        std::set<std::string> names;
        for (const TFieldSchema& f : c.table.Fields) {
            SCOPED_TRACE(c.fileName + "." + f.Name);
            std::string name = f.Name;
            EXPECT_TRUE(names.insert(name).second) << "field named twice";
            EXPECT_FALSE(name.empty());
            EXPECT_LE(name.size(), 10u) << "longer than a DBF field name";
            for (char ch : name)
                EXPECT_TRUE(std::isupper(ch) || std::isdigit(ch) || ch == '_');
            switch (f.Type) {
            case 'C':
                EXPECT_GE(f.Width, 1);
                EXPECT_EQ(f.Decimals, 0);
                break;
            case 'N':
                EXPECT_LE(f.Width, 20);
                EXPECT_TRUE(f.Decimals == 0 || f.Decimals <= f.Width - 2) << "no room for the point";
                break;
            case 'D':
                EXPECT_EQ(f.Width, 10);
                EXPECT_EQ(f.Decimals, 0);
                break;
            default: ADD_FAILURE() << "type " << f.Type;
            }
        }
        // A tag is named after its field, and keys on it.
        std::set<std::string> tags;
        for (const char* tag : c.table.Tags) {
            EXPECT_NE(FindField(c.table, tag), nullptr) << c.fileName << " tag " << tag;
            EXPECT_TRUE(tags.insert(tag).second) << c.fileName << " tag " << tag << " twice";
        }
    }
}

TEST(ClientSchemas, PrintIsTheEmployeeLayoutFieldForField)
{
    ASSERT_EQ(PrintSchema.Fields.size(), EmployeeSchema.Fields.size());
    for (size_t i = 0; i < PrintSchema.Fields.size(); ++i) {
        const TFieldSchema& p = PrintSchema.Fields[i];
        const TFieldSchema& e = EmployeeSchema.Fields[i];
        SCOPED_TRACE(e.Name);
        EXPECT_STREQ(p.Name, e.Name);
        EXPECT_EQ(p.Type, e.Type);
        EXPECT_EQ(p.Width, e.Width);
        EXPECT_EQ(p.Decimals, e.Decimals);
    }
    EXPECT_TRUE(PrintSchema.Tags.empty());
}

// Values copied from one table into another must fit without being cut: IDs
// that link tables, names copied into the pick list, and the transaction
// amounts summed into the recipient's totals (money with two decimals).
TEST(ClientSchemas, FieldsThatCarryTheSameValueAgree)
{
    struct Link {
        const TTableSchema& fromTable;
        const char* from;
        const TTableSchema& toTable;
        const char* to;
    };
    const Link links[] = {
            {EmployeeSchema, "ID", TransactionSchema, "EMP_ID"},
            {ClientSchema, "ID", ClientListSchema, "ID"},
            {ClientSchema, "NAME1", ClientListSchema, "NAME"},
            {TransactionSchema, "AMOUNT", EmployeeSchema, "TOTAMT"},
            {TransactionSchema, "FWT", EmployeeSchema, "FWT"},
            {TransactionSchema, "SWT1", EmployeeSchema, "SWT1"},
            {TransactionSchema, "STATE_INC1", EmployeeSchema, "STATE_INC1"},
            {TransactionSchema, "SWT2", EmployeeSchema, "SWT2"},
            {TransactionSchema, "STATE_INC2", EmployeeSchema, "STATE_INC2"},
    };
    for (const Link& l : links) {
        SCOPED_TRACE(std::string(l.fromTable.Name) + "." + l.from + " -> " + l.toTable.Name + "." + l.to);
        const TFieldSchema* from = FindField(l.fromTable, l.from);
        const TFieldSchema* to = FindField(l.toTable, l.to);
        ASSERT_NE(from, nullptr);
        ASSERT_NE(to, nullptr);
        EXPECT_EQ(from->Type, to->Type);
        EXPECT_EQ(from->Width, to->Width);
        EXPECT_EQ(from->Decimals, to->Decimals);
        if (from->Type == 'N') {
            EXPECT_EQ(to->Decimals, 2) << "money keeps its cents";
        }
    }
}

}  // namespace
