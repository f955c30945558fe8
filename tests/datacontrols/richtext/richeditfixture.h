#pragma once
// A shown form with one of the library's rich edits on it.

#include <gtest/gtest.h>

#include <QTimer>
#include <functional>

#include "datacontrols/richtext/dwrich.h"
#include "datacontrols/richtext/dwriched.h"
#include "platform/classes/object.h"
#include "platform/classes/screen.h"
#include "platform/vcl/forms/forms.h"
#include "tests/support/formtesting.h"

class RichEditFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 420, 260);
        Edit = new TdwCustomRichEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(8, 8, 400, 200);
        ShowForm(Form);
    }
    void TearDown() override
    {
        Form->Free();
        ForgetHeldInput();
    }

    // Opens the edit's editor form, runs Action on it once it shows, and returns
    // ExecuteEditor's answer.
    bool RunEditor(const std::function<void(TdwRichEditForm*)>& Action)
    {
        QTimer::singleShot(0, [Action] {
            for (int i = Screen()->FormCount() - 1; i >= 0; --i)
                if (auto* editor = dynamic_cast<TdwRichEditForm*>(Screen()->Forms(i));
                    editor && editor->Modal()) {
                    Action(editor);
                    return;
                }
            ADD_FAILURE() << "the editor never showed";
        });
        return Edit->ExecuteEditor();
    }

    TForm* Form = nullptr;
    TdwCustomRichEdit* Edit = nullptr;
};
