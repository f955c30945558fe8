#include "tests/datacontrols/edits/editfixture.h"

#include <QCoreApplication>
#include <QDir>

#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"

TDateTime FixedNow() { return EncodeDate(2008, 7, 4) + EncodeTime(14, 5, 9, 0); }

void EditTest::SetUp() {
    Form = Construct<TForm>(nullptr);
    ForgetHeldInput();
    Form->SetBounds(0, 0, 320, 120);
    Edit = new TdwDBCustomEdit(Form);
    Edit->SetParent(Form);
    Edit->SetBounds(8, 8, 160, 21);
    Edit->SetTabStop(true);
    Other = new TEdit(Form);
    Other->SetParent(Form);
    Other->SetBounds(8, 40, 160, 21);
    ShowForm(Form);
    Edit->SetFocus();
    Settle();
}

void EditTest::TearDown() {
    ForgetHeldInput();
    Form->Free();
    Settle();
}

void EditTest::Prepare(const String& Text, int SelStart, int SelLength) {
    if (!Edit->Focused()) Edit->SetFocus();
    Edit->SetText(Text);
    Edit->SetSelStart(SelStart);
    Edit->SetSelLength(SelLength);
}

void EditTest::Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

void EditTest::SaveScreenshot(const char* Name) {
    QDir().mkpath(TOTAMUND_SCREENSHOT_DIR);
    ASSERT_TRUE(Form->Widget()->window()->grab().save(QString(TOTAMUND_SCREENSHOT_DIR "/") + Name));
}
