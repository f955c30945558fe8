#pragma once
// A shown form with one of the library's rich edits on it.

#include <gtest/gtest.h>

#include "datacontrols/richtext/dwriched.h"
#include "platform/classes/object.h"
#include "platform/vcl/forms.h"
#include "tests/vcl/formtesting.h"

class RichEditFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 420, 260);
        Edit = new TdwCustomRichEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(8, 8, 400, 200);
        ShowForm(Form);
    }
    void TearDown() override {
        Form->Free();
        ForgetHeldInput();
    }

    TForm* Form = nullptr;
    TdwCustomRichEdit* Edit = nullptr;
};
