#include "tests/datacontrols/datasets/paymentsfixture.h"

#include <cstdio>
#include <cstdlib>

#include "platform/db/field.h"

const std::vector<FieldLayout> PaymentSchema = {
        {"ID", 'C', 6, 0},  {"NAME", 'C', 20, 0}, {"STATE", 'C', 2, 0}, {"AMOUNT", 'N', 10, 2},
        {"QTY", 'N', 4, 0}, {"PAID", 'L', 1, 0},  {"DUE", 'D', 8, 0},
};

std::vector<String> PaymentValues(int I)
{
    static const char* const names[] = {"Smith", "jones", "Brown", "SMYTHE", "Miller", "davis", "Ng"};
    static const char* const states[] = {"CA", "IL", "NY", "TX", "WA"};
    char id[8], amount[16], due[32];
    std::snprintf(id, sizeof id, "P%05d", I);
    std::snprintf(amount, sizeof amount, "%.2f", (I * 37 % 10000) / 4.0);
    const int day = I % 366;  // 2024 has 366 days
    int month = 1, rest = day;
    static const int lengths[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    while (rest >= lengths[month - 1]) {
        rest -= lengths[month - 1];
        ++month;
    }
    std::snprintf(due, sizeof due, "2024%02d%02d", month, rest + 1);
    return {id,
            String(names[I % 7]) + " " + std::to_string(I),
            states[I % 5],
            amount,
            std::to_string(I % 50),
            I % 3 == 0 ? "T" : "F",
            due};
}

void PaymentsTest::SetUp() { TableTest::SetUp(); }

void PaymentsTest::MakePayments(int Rows, const std::vector<String>& Tags)
{
    CreateTable("PAYMENTS.DBF", PaymentSchema);
    std::vector<String> images;
    for (int i = 1; i <= Rows; ++i)
        images.push_back(Image(PaymentSchema, PaymentValues(i)));
    AppendImages("PAYMENTS.DBF", images);
    TDaroruTable* maker = Table("PAYMENTS");
    maker->SetExclusive(WordTrue);
    maker->Open();
    const struct {
        const char* Tag;
        const char* Expression;
    } all[] = {{"ID", "ID"},
               {"UNAME", "UPPER(NAME)"},
               {"NAME", "NAME"},
               {"STATEID", "STATE+ID"},
               {"USTATEID", "UPPER(STATE)+ID"}};
    for (const String& tag : Tags)
        for (const auto& t : all)
            if (tag == t.Tag)
                maker->IndexTag("", t.Tag, t.Expression, 0, false, "");
    maker->Close();
}

TdwTable* PaymentsTest::DwTable(const String& Name)
{
    DwTables.push_back(std::make_unique<TdwTable>(nullptr));
    TdwTable* table = DwTables.back().get();
    table->SetName("Payments" + std::to_string(DwTables.size()));
    table->SetDatabaseName(Dir);
    table->SetTableName(Name);
    return table;
}

std::vector<String> PaymentsTest::Ids(TDataSet* DataSet)
{
    std::vector<String> ids;
    for (DataSet->First(); !DataSet->Eof(); DataSet->Next())
        ids.push_back(TrimRight(DataSet->FieldByName("ID")->AsString()));
    return ids;
}

std::vector<String> PaymentsTest::PythonIds(const String& Name, const String& Condition)
{
    return PythonIdSets(Name, {Condition}).at(0);
}

std::vector<std::vector<String>> PaymentsTest::PythonIdSets(const String& Name,
                                                            const std::vector<String>& Conditions)
{
    String script = "import sys, datetime, dbfread\n"
                    "t = list(dbfread.DBF(sys.argv[1], encoding='cp1252'))\n"
                    "tests = [\n";
    for (const String& condition : Conditions)
        script += "    lambda r: " + condition + ",\n";
    script += "]\n"
              "for test in tests:\n"
              "    print('#')\n"
              "    for r in t:\n"
              "        if test(r):\n"
              "            print(r['ID'].rstrip())\n";
    setenv("PAYMENTS_SCRIPT", script.c_str(), 1);
    const String command = "/usr/bin/python3 -c \"$PAYMENTS_SCRIPT\" '" + Dir + Name + "' 2>&1";
    std::vector<std::vector<String>> sets;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return sets;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        String text(line);
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        if (text == "#")
            sets.emplace_back();
        else if (sets.empty())
            sets.push_back({text});  // an error before the first set
        else
            sets.back().push_back(text);
    }
    pclose(pipe);
    sets.resize(Conditions.size());
    return sets;
}
