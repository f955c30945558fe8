// Tables written by the engine, read back by an independent reader
// (python3-dbfread under /usr/bin/python3).

#include <fstream>

#include "tests/xbengine/commandoutput.h"
#include "tests/xbengine/enginetest.h"

namespace {

// Prints every record as "L" (live) or "D" (deleted) and its values in
// ASCII-escaped form, then the header's record count.
const char* ReaderScript = R"(
import sys, dbfread
table = dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict')
for mark, records in (('L', table.records), ('D', table.deleted)):
    for record in records:
        print(mark, '|'.join(ascii(v) if isinstance(v, (str, bytes)) else str(v) for v in record.values()))
print('count', table.header.numrecords)
)";

class IndependentReader : public EngineTest {
protected:
    std::string Read(const std::string& table)
    {
        std::ofstream(Dir + "read.py") << ReaderScript;
        return CommandOutput("/usr/bin/python3 " + Dir + "read.py " + table + " 2>&1");
    }
};

TEST_F(IndependentReader, ReadsEveryFieldTypeMemosAndDeletedRecords)
{
    for (XBSHORT type : {2, 1}) {
        SCOPED_TRACE(type);
        std::string path = Dir + (type == 2 ? "FOX" : "DB3");
        Create(path,
               {{"NAME", "C", 20, 0},
                {"BIO", "C", 300, 0},
                {"AMOUNT", "N", 10, 2},
                {"QTY", "N", 5, 0},
                {"RATE", "F", 8, 3},
                {"BORN", "D", 8, 0},
                {"OK", "L", 1, 0},
                {"NOTES", "M", 10, 0}},
               type);
        std::string bio = std::string(290, 'b') + "end";
        AppendTexts({{"NAME", "Anna M\xFCller"},
                     {"BIO", bio},
                     {"AMOUNT", "1234.5"},
                     {"QTY", "-7"},
                     {"RATE", "0.125"},
                     {"BORN", "20240229"},
                     {"OK", "T"},
                     {"NOTES", "Hello\r\nworld \x80"}});
        AppendTexts({{"NAME", "Gone"}, {"NOTES", std::string(700, 'n')}});
        E.xb_Delete();
        AppendTexts({{"NAME", "Blank"}, {"OK", "F"}});
        E.xb_Close();

        std::string expected = "L 'Anna M\\xfcller'|'" + bio +
                               "'|1234.5|-7|0.125|2024-02-29|True|'Hello\\r\\nworld \\u20ac'\n"
                               "L 'Blank'|''|None|None|None|None|False|None\n"
                               "D 'Gone'|''|None|None|None|None|None|'" +
                               std::string(700, 'n') +
                               "'\n"
                               "count 3\n";
        EXPECT_EQ(Read(path + ".DBF"), expected);
    }
}

}  // namespace
