#pragma once
// A fresh program directory with the outside world replaced: scripted message
// boxes, a fixed computer name, an in-memory registry and a fixed date. Starts
// the main window and the main menu there as the program does.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QTimer>
#include <functional>
#include <utility>
#include <vector>

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "app/totstart.h"
#include "platform/classes/screen.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/win/servicedoubles.h"
#include "tests/support/formtesting.h"
#include "tests/support/screenshots.h"
#include "tests/support/tempdir.h"

// Runs Action once a form of type T is up (it is looked for again until it is);
// Action gets that form.
template<class T> void WhenShown(std::function<void(T*)> Action, int Tries = 500)
{
    QTimer::singleShot(Tries == 500 ? 0 : 10, [Action, Tries] {
        for (int i = Screen()->FormCount() - 1; i >= 0; --i) {
            auto* form = dynamic_cast<T*>(Screen()->Forms(i));
            if (form && form->Modal()) {
                Action(form);
                return;
            }
        }
        if (Tries > 0)
            WhenShown<T>(Action, Tries - 1);
        else
            ADD_FAILURE() << "the form was never shown";
    });
}

// Runs Action on the next modal form of type T that is up, takes input and is not
// closing. A form is up once its window shows: what it does as it shows (the print
// selection's totals, under their progress form) is over by then.
template<class T> void WhenUp(std::function<void(T*)> Action)
{
    WhenShown<T>([Action](T* Form) {
        if (!Form->Widget()->window()->isVisible() || !Form->Enabled() || Form->ModalResult() != mrNone) {
            QTimer::singleShot(10, [Action] { WhenUp<T>(Action); });
            return;
        }
        Action(Form);
    });
}

// A payer's fields by name.
using TPayerRow = std::vector<std::pair<const char*, const char*>>;

class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        TFMain::ProgramDirOverride = Dir.Path();
        SetClock([] { return EncodeDate(2008, 12, 31); });
    }
    void TearDown() override
    {
        if (FTotStart) {
            FTotStart->TerminateOnClose = false;
            FTotStart->OnClose = nullptr;
            FTotStart->Free();
            FTotStart = nullptr;
        }
        if (FMain)
            FMain->Free();
        MenuForms = TMenuForms();
        SetClock(nullptr);
        TFMain::ProgramDirOverride.clear();
    }

    void StartMain() { Application->CreateForm(FMain); }
    // The menu shows itself when made; the main window shows afterwards, as the
    // program's message loop shows it.
    void StartMenu()
    {
        Application->CreateForm(FTotStart);
        ShowForm(FMain);
    }
    void Start()
    {
        StartMain();
        StartMenu();
    }
    // The main window, then the client ID made with the payer Name and chosen as the
    // current client, then the menu, which opens it.
    void StartOnClient(const String& ID, const String& Name)
    {
        StartMain();
        MakeClient(ID, Name);
        FMain->User->ClientID = ID;
        StartMenu();
    }

    // Creates the client ID and opens it as the current client with the payer's
    // fields; its recipients are read in ID order.
    static void OpenClient(const String& ID, const TPayerRow& Payer)
    {
        DClientDataBase->CreateClientTables(ID);
        FMain->User->ClientID = ID;
        DClientDataBase->OpenClient();
        TDaroruTable* client = DClientDataBase->tblClient;
        client->Edit();
        for (const auto& [field, value] : Payer)
            client->FieldByName(field)->SetAsString(value);
        client->Post();
        TDaroruTable* recipients = DClientDataBase->tblEmployee;
        recipients->SetOrder(recipients->TagArea("ID"));
    }

    // A client with its tables, whose payer is called Name; the current client is
    // open again afterwards.
    static void MakeClient(const String& ID, const String& Name)
    {
        const String previous = FMain->User->ClientID;
        OpenClient(ID, {{"NAME1", Name.c_str()}});
        DClientDataBase->CloseClient();
        FMain->User->ClientID = previous;
        if (!previous.empty())
            DClientDataBase->OpenClient();
    }

    // The texts of the messages shown so far.
    std::vector<String> Shown() const
    {
        std::vector<String> texts;
        for (const TMessageRequest& request : Dialogs.Messages)
            texts.push_back(request.Text);
        return texts;
    }

    TempDir Dir;
    TScriptedDialogs Dialogs;
    TFixedHostInfo Host {"ACCT2"};
    TMemoryRegistry Registry;
};

// Saves a picture of the form's window as Name in the screenshot directory.
inline void SaveScreenshot(TCustomForm* Form, const char* Name)
{
    QCoreApplication::processEvents();
    const QImage image = Form->Widget()->window()->grab().toImage();
    ASSERT_FALSE(image.isNull());
    KeepScreenshot(image, Name);
}
