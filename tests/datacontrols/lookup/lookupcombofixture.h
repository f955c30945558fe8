#pragma once
// A form with a lookup combo that puts a client's ID into a payment's CLIENT field,
// picking the client by name from the real client table of the grid tests (a few
// hundred rows with an ID tag).

#include <QImage>

#include "platform/vcl/dialogs/scripteddialogs.h"
#include "tests/datacontrols/grid/gridfixture.h"
#include "tests/support/screenshots.h"

class TdwDBCustomLookupCombo;
class TdwDBLookupList;
class TEdit;

class LookupComboTest : public GridTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the combo (of the given class) bound to the payment's CLIENT field over the
    // client table, showing NAME1, with an edit after it to leave to.
    template<class TCombo> TCombo* MakeCombo()
    {
        auto* combo = new TCombo(Form);
        PlaceCombo(combo);
        return combo;
    }
    void PlaceCombo(TdwDBCustomLookupCombo* Combo);
    // A lookup list on the payment's CLIENT field over the client table, its columns
    // NAME1 and ID.
    TdwDBLookupList* MakeList();
    // Shows the form with the combo focused.
    void ShowWithCombo();
    // The payments table as an independent reader sees it, after posting.
    std::vector<String> PostedPayments();
    // The form and the combo's open drop-down in one picture, as the screen shows them.
    QImage FormWithDropDown();
    static void WaitForSearch();

    TScriptedDialogs Dialogs;
    TDaroruTable* Payments = nullptr;
    TDataSource* PaymentSource = nullptr;
    TdwDBCustomLookupCombo* Combo = nullptr;
    TEdit* After = nullptr;
};
