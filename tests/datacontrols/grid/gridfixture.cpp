#include "tests/datacontrols/grid/gridfixture.h"

#include "platform/classes/object.h"
#include "platform/db/field.h"

#include <cstdio>

void GridTest::SetUp()
{
    TableTest::SetUp();
    MakeClients(300);
    Form = Construct<TForm>(nullptr);
    Form->SetBounds(0, 0, 520, 300);
    Source = new TDataSource(Form);
    Source->SetDataSet(T);
    Grid = new TdwDBGrid(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(8, 8, 500, 240);
    Grid->SetTabStop(true);
    Grid->SetDataSource(Source);
}

void GridTest::TearDown()
{
    Form->Free();
    TableTest::TearDown();
}

String GridTest::CurrentId() { return T->FieldByName("ID")->AsString(); }

void GridTest::MakeClients(int Rows)
{
    CreateTable("CLIENTS.DBF", ClientSchema);
    std::vector<String> images;
    for (int i = Rows; i >= 1; --i) {
        std::vector<String> v(ClientSchema.size());
        char id[16];
        std::snprintf(id, sizeof id, "C%04d", i);
        v[1] = id;
        v[2] = String("Name ") + (id + 1);
        v[6] = i % 2 ? "Springfield" : "Shelbyville";
        v[14] = std::to_string(i) + ".50";
        images.push_back(Image(ClientSchema, v));
    }
    AppendImages("CLIENTS.DBF", images);
    TDaroruTable* maker = Table("CLIENTS");
    maker->SetExclusive(WordTrue);
    maker->Open();
    maker->IndexTag("", "ID", "ID", 0, false, "");
    maker->Close();
    T = Table("CLIENTS");
    T->Open();
    T->SetIndexName("ID");
    T->First();
}
