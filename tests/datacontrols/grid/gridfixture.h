#pragma once
// A form with a grid over a real client table of a few hundred rows, ordered by ID.

#include "datacontrols/grid/wwdbgrid.h"
#include "platform/db/datasource.h"
#include "platform/vcl/forms/forms.h"
#include "tests/support/tablefixture.h"

class GridTest : public TableTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The client's ID on the current record.
    String CurrentId();
    // Makes the table of Rows clients: IDs C0001.., names "Name 0001".. and the
    // ordered ID tag active.
    void MakeClients(int Rows);

    TDaroruTable* T = nullptr;
    TForm* Form = nullptr;
    TDataSource* Source = nullptr;
    TdwDBGrid* Grid = nullptr;
};
