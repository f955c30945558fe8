#include <gtest/gtest.h>

#include "datacontrols/common/dwwindows.h"
#include "datacontrols/common/wwintl.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/forms.h"

namespace {

// Each test starts from a fresh global instance.
class dwIntlTest : public ::testing::Test {
protected:
    void SetUp() override { dwIntl()->Free(); }
    void TearDown() override { dwIntl()->Free(); }
};

TEST_F(dwIntlTest, Defaults)
{
    TdwIntl* intl = dwIntl();
    EXPECT_EQ(intl->UserMessages().PictureValidateError, "Invalid characters. Field : ");
    EXPECT_EQ(intl->UserMessages().MemoChangesWarning,
              "Changes have been made!  Are you sure you wish to cancel?");
    EXPECT_EQ(intl->SearchDialog().SearchCharLabel, "&Search Characters");
    EXPECT_EQ(intl->SearchDialog().SearchCharShortLabel, "&Search Char");
    EXPECT_EQ(intl->SearchDialog().StatusRecLabel, "Rec #");
    EXPECT_EQ(intl->Navigator().Hints.PriorPageHint, "Move backward %d records");
    EXPECT_EQ(intl->RichEdit().MenuLabels.SelectallCaption, "Select A&ll");
    EXPECT_EQ(intl->RichEdit().TabDialog.TabGroupBoxCaption, "&Tab Stop Position");
    EXPECT_EQ(intl->FilterDialog().SummaryCaption, "");
    EXPECT_EQ(intl->RichEdit().MenuLabels.RedoCaption, "");
    EXPECT_EQ(intl->RichEdit().ParagraphDialog.Spacing1_5, "");
    EXPECT_EQ(intl->BtnOKCaption(), "&OK");
    EXPECT_EQ(intl->BtnCancelCaption(), "Cancel");
    EXPECT_TRUE(intl->OKCancelBitmapped());
    EXPECT_EQ(intl->CheckBoxInGridStyle(), cbStyleAuto);
    EXPECT_EQ(intl->FilterMemoSize(), 65536);
    EXPECT_EQ(intl->DefaultEpochYear(), 1950);
    EXPECT_TRUE(intl->UseLocateMethodForSearch());
    EXPECT_TRUE(intl->PreserveFieldLayout());
    EXPECT_TRUE(intl->ADO().UseLocateWhenFindingValue);
    EXPECT_FALSE(intl->Connected());
}

TEST_F(dwIntlTest, OneGlobalInstance)
{
    TdwIntl* global = dwIntl();
    EXPECT_EQ(dwIntl(), global);
    TdwIntl onForm(nullptr);
    EXPECT_EQ(dwIntl(), global);
    global->SetFilterMemoSize(10);
    EXPECT_EQ(dwGetFilterMemoSize(), 10);
    global->Free();
    // A new one with the defaults takes its place.
    EXPECT_EQ(dwIntl()->FilterMemoSize(), 65536);
}

TEST_F(dwIntlTest, ConnectingCopiesIntoTheGlobalInstance)
{
    TdwIntl onForm(nullptr);
    onForm.SearchDialog().SearchCharLabel = "&Buscar";
    onForm.RichEdit().ParagraphDialog.HelpContext = 7;
    onForm.SetBtnOKCaption("&Aceptar");
    onForm.SetDefaultEpochYear(1980);
    onForm.SetPreserveFieldLayout(false);
    onForm.SetOKCancelBitmapped(false);
    onForm.SetDialogFontStyle({fsBold});
    bool handled = false;
    onForm.OnValidationErrorUsingMask = [&](TObject*, TField*, String&, bool&) { handled = true; };
    EXPECT_EQ(dwIntl()->SearchDialog().SearchCharLabel, "&Search Characters");  // not before Connected

    onForm.SetConnected(true);
    TdwIntl* global = dwIntl();
    EXPECT_EQ(global->SearchDialog().SearchCharLabel, "&Buscar");
    EXPECT_EQ(global->RichEdit().ParagraphDialog.HelpContext, 7);
    EXPECT_EQ(global->BtnOKCaption(), "&Aceptar");
    EXPECT_EQ(global->DefaultEpochYear(), 1980);
    EXPECT_FALSE(global->PreserveFieldLayout());
    EXPECT_FALSE(global->OKCancelBitmapped());
    EXPECT_TRUE(global->DialogFontStyle().Contains(fsBold));
    EXPECT_FALSE(global->Connected());
    String msg;
    bool doDefault = true;
    global->OnValidationErrorUsingMask(nullptr, nullptr, msg, doDefault);
    EXPECT_TRUE(handled);

    // A connected instance passes its check-box style on at once.
    onForm.SetCheckBoxInGridStyle(cbStyleXmark);
    EXPECT_EQ(global->CheckBoxInGridStyle(), cbStyleXmark);
    TdwIntl unconnected(nullptr);
    unconnected.SetCheckBoxInGridStyle(cbStyleCheckmark);
    EXPECT_EQ(global->CheckBoxInGridStyle(), cbStyleXmark);
}

TEST_F(dwIntlTest, LoadedConnectedInstanceCopies)
{
    TdwIntl onForm(nullptr);
    onForm.BeginLoading();
    onForm.SetFilterMemoSize(4096);
    onForm.SetConnected(true);
    onForm.SetFilterMemoSize(8192);
    onForm.FinishLoading();
    EXPECT_EQ(dwIntl()->FilterMemoSize(), 8192);
}

TEST_F(dwIntlTest, IniFileNameOfTheGlobalInstance)
{
    struct Case {
        const char* Name;
        const char* Global;
    } cases[] = {{"", ""},
                 {".ini", ""},
                 {"grid", "grid.ini"},
                 {"grid.ini", "grid.ini.ini"},
                 {"Grid.INI", "Grid.INI.ini"},
                 {"grid.cfg", "grid.cfg.ini"}};
    for (const Case& c : cases) {
        TdwIntl onForm(nullptr);
        onForm.SetIniFileName(c.Name);
        onForm.CopyToGlobal();
        EXPECT_EQ(dwIntl()->IniFileName(), c.Global) << c.Name;
    }
    // The global instance does not copy into itself.
    dwIntl()->SetIniFileName("grid");
    dwIntl()->CopyToGlobal();
    EXPECT_EQ(dwIntl()->IniFileName(), "grid");
}

TEST_F(dwIntlTest, ValidationErrorBeepsAndRaisesUnlessTheHandlerDeclines)
{
    TScriptedDialogs dialogs;
    TdwIntl* intl = dwIntl();
    try {
        intl->DoValidationErrorUsingMask(nullptr, nullptr);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Invalid input value.  Use escape key to abandon changes");
    }
    EXPECT_EQ(dialogs.Beeps, 1);

    TObject sender;
    intl->OnValidationErrorUsingMask = [&](TObject* Sender, TField*, String& Msg, bool& DoDefault) {
        EXPECT_EQ(Sender, &sender);
        EXPECT_TRUE(DoDefault);
        Msg = "Zip codes have five digits";
    };
    try {
        intl->DoValidationErrorUsingMask(&sender, nullptr);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Zip codes have five digits");
    }
    EXPECT_EQ(dialogs.Beeps, 2);

    intl->OnValidationErrorUsingMask = [](TObject*, TField*, String&, bool& DoDefault) { DoDefault = false; };
    EXPECT_NO_THROW(intl->DoValidationErrorUsingMask(&sender, nullptr));
    EXPECT_EQ(dialogs.Beeps, 2);
}

TEST_F(dwIntlTest, DialogButtons)
{
    TForm form(nullptr);
    TButton* ok = dwCreateDialogButton(&form, dbkOK);
    ASSERT_TRUE(ok->Is<TBitBtn>());
    EXPECT_EQ(ok->Caption(), "&OK");
    EXPECT_EQ(ok->ModalResult(), mrOk);
    EXPECT_EQ(ok->Width(), dwScaleByPixelsPerInch(77));
    EXPECT_EQ(ok->Height(), dwScaleByPixelsPerInch(27));
    EXPECT_EQ(ok->Parent(), &form);
    EXPECT_EQ(ok->Owner(), &form);
    EXPECT_FALSE(ok->Visible());
    EXPECT_EQ(ok->Font()->Height(), -11);

    dwIntl()->SetOKCancelBitmapped(false);
    dwIntl()->SetBtnCancelCaption("&Abbrechen");
    TButton* cancel = dwCreateDialogButton(&form, dbkCancel);
    EXPECT_FALSE(cancel->Is<TBitBtn>());
    EXPECT_EQ(cancel->Caption(), "&Abbrechen");
    EXPECT_EQ(cancel->ModalResult(), mrCancel);
    EXPECT_TRUE(cancel->Cancel());
    EXPECT_EQ(cancel->Height(), dwScaleByPixelsPerInch(24));
    TButton* help = dwCreateDialogButton(&form, dbkHelp);
    EXPECT_EQ(help->Caption(), "Help");
    EXPECT_EQ(help->ModalResult(), 0);

    EXPECT_EQ(dwScaleByPixelsPerInch(77, 96), 77);
    EXPECT_EQ(dwScaleByPixelsPerInch(77, 120), 96);
    EXPECT_EQ(dwScaleByPixelsPerInch(27, 120), 33);
}

}  // namespace
