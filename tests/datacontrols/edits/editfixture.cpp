#include "tests/datacontrols/edits/editfixture.h"

#include <QCoreApplication>

#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "tests/support/screenshots.h"

TDateTime FixedNow() { return EncodeDate(2008, 7, 4) + EncodeTime(14, 5, 9, 0); }

TEditForm MakeEditForm()
{
    TEditForm made;
    made.Form = Construct<TForm>(nullptr);
    made.Form->SetBounds(0, 0, 320, 120);
    made.Edit = new TdwDBCustomEdit(made.Form);
    made.Edit->SetParent(made.Form);
    made.Edit->SetBounds(8, 8, 160, 21);
    made.Edit->SetTabStop(true);
    // As a form's loading does for its components.
    made.Edit->Loaded();
    made.Other = new TEdit(made.Form);
    made.Other->SetParent(made.Form);
    made.Other->SetBounds(8, 40, 160, 21);
    ShowForm(made.Form);
    ForgetHeldInput();
    return made;
}

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void EditTest::SetUp()
{
    const TEditForm made = MakeEditForm();
    Form = made.Form;
    Edit = made.Edit;
    Other = made.Other;
    Edit->SetFocus();
    Settle();
}

void EditTest::TearDown()
{
    ForgetHeldInput();
    Form->Free();
    Settle();
}

void EditTest::Prepare(const String& Text, int SelStart, int SelLength)
{
    if (!Edit->Focused())
        Edit->SetFocus();
    Edit->SetText(Text);
    Edit->SetSelStart(SelStart);
    Edit->SetSelLength(SelLength);
}

void SaveFormScreenshot(TCustomForm* Form, const char* Name)
{
    KeepScreenshot(Form->Widget()->window()->grab(), Name);
}
