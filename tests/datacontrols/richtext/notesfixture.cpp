#include "tests/datacontrols/richtext/notesfixture.h"

#include <QFile>

#include "datacontrols/richtext/dwdbriched.h"
#include "platform/classes/object.h"
#include "platform/db/field.h"
#include "tests/support/formtesting.h"

namespace {

const std::vector<FieldLayout> NotesSchema = {{"ID", 'C', 4, 0}, {"NOTES", 'M', 10, 0}};

String Fixture(const char* Name)
{
    QFile file(QStringLiteral(TOTAMUND_FIXTURES "/richedit/") + Name);
    if (!file.open(QIODevice::ReadOnly))
        return String();
    const QByteArray bytes = file.readAll();
    return String(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

void DBRichEditTest::SetUp()
{
    TableTest::SetUp();
    CreateTable("NOTES.DBF", NotesSchema);
    AppendImages("NOTES.DBF",
                 {Image(NotesSchema, {"A"}), Image(NotesSchema, {"B"}), Image(NotesSchema, {"C"})});
    Letter = Fixture("letter.rtf");
    TDaroruTable* maker = Table("NOTES");
    maker->Open();
    for (const String& memo : {Letter, String("just text\r\nsecond line"), String()}) {
        maker->Edit();
        maker->FieldByName("NOTES")->SetAsString(memo);
        maker->Post();
        maker->Next();
    }
    maker->Close();
    Form = Construct<TForm>(nullptr);
    Form->SetBounds(0, 0, 520, 320);
    T = new TRichNotesTable(Form);
    T->SetDatabaseName(Dir);
    T->SetTableName("NOTES");
    T->Open();
    Source = new TDataSource(Form);
    Source->SetDataSet(T);
}

void DBRichEditTest::TearDown()
{
    Form->Free();
    ForgetHeldInput();
    TableTest::TearDown();
}

TdwDBRichEdit* DBRichEditTest::MakeEdit()
{
    auto* edit = new TdwDBRichEdit(Form);
    edit->SetParent(Form);
    edit->SetBounds(8, 8, 500, 200);
    edit->SetDataSource(Source);
    edit->SetDataField("NOTES");
    ShowForm(Form);
    return edit;
}

String DBRichEditTest::MemoReadBack(int Number)
{
    const String script = "import sys, dbfread\n"
                          "t = dbfread.DBF(sys.argv[1], load=True, encoding='latin-1')\n"
                          "v = t.records[int(sys.argv[2]) - 1]['NOTES']\n"
                          "print('' if v is None else v.encode('latin-1').hex())\n";
    setenv("RICHTEXT_SCRIPT", script.c_str(), 1);
    const String command =
            "/usr/bin/python3 -c \"$RICHTEXT_SCRIPT\" '" + Dir + "NOTES.DBF' " + std::to_string(Number);
    FILE* pipe = popen(command.c_str(), "r");
    String hex;
    char buffer[4096];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe))
        hex += buffer;
    if (pipe)
        pclose(pipe);
    const QByteArray bytes =
            QByteArray::fromHex(QByteArray(hex.data(), static_cast<qsizetype>(hex.size())).trimmed());
    return String(bytes.constData(), static_cast<size_t>(bytes.size()));
}
