#pragma once
// A shown form holding a data-aware edit and a plain edit after it, typed into by keys.

#include <QTest>
#include <gtest/gtest.h>

#include "datacontrols/edits/dwdbedit.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/forms.h"
#include "tests/support/formtesting.h"

// Anything a grid is, by class name, as the edits ask.
class TGridLike : public TPanel {
public:
    using TPanel::TPanel;
    String ClassName() const override { return "TCustomGrid"; }
    bool InheritsFrom(const String& name) const override
    {
        return SameText(name, "TCustomGrid") || TPanel::InheritsFrom(name);
    }
};

// Where the clock stands in the date tests: 2008-07-04 14:05:09.
TDateTime FixedNow();

// Lets posted calls (a refused exit's focus) run.
void Settle();

// Saves the form's window as a picture a reviewer can open.
void SaveFormScreenshot(TCustomForm* Form, const char* Name);

// A shown form with a data-aware edit and, below it, a plain edit to move to.
struct TEditForm {
    TForm* Form;
    TdwDBCustomEdit* Edit;
    TEdit* Other;
};
TEditForm MakeEditForm();

class EditTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Focuses Edit with Text in it and the selection given.
    void Prepare(const String& Text, int SelStart, int SelLength);
    void Type(const char* Text) { TypeText(Form, Text); }
    void Press(Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        PressKey(Form, Key, Modifiers);
    }
    void SaveScreenshot(const char* Name) { SaveFormScreenshot(Form, Name); }

    TScriptedDialogs Dialogs;
    TForm* Form = nullptr;
    TdwDBCustomEdit* Edit = nullptr;
    TEdit* Other = nullptr;
};
