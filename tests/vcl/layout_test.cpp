// Aligned controls, inherited fonts and colours, labels that size themselves,
// scroll boxes, MDI frames and timers.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/vcl/controls/bars.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/controls/scrollbox.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/timer.h"
#include "tests/support/formtesting.h"

namespace {

TEST(Layout, AlignedControlsShareTheClientArea)
{
    TForm* form = Construct<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 400, 300);
    auto make = [form](TAlign align, int size) {
        auto* panel = new TPanel(form);
        panel->SetParent(form);
        panel->SetBounds(0, 0, size, size);
        panel->SetAlign(align);
        return panel;
    };
    TPanel* top = make(alTop, 30);
    TPanel* bottom = make(alBottom, 20);
    TPanel* left = make(alLeft, 50);
    TPanel* client = make(alClient, 10);
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 400, 30));
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 280, 400, 300));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 30, 50, 280));
    EXPECT_EQ(client->BoundsRect(), Rect(50, 30, 400, 280));
    form->SetBounds(0, 0, 500, 400);
    EXPECT_EQ(client->BoundsRect(), Rect(50, 30, 500, 380));
    top->SetVisible(false);
    EXPECT_EQ(client->BoundsRect(), Rect(50, 0, 500, 380));

    // A panel's bevels take room from what is aligned inside it.
    auto* inner = new TEdit(form);
    inner->SetParent(client);
    inner->SetAlign(alClient);
    client->SetBevelInner(bvLowered);
    EXPECT_EQ(inner->BoundsRect(), Rect(2, 2, 448, 378));
    form->Free();
}

TEST(Layout, FormSizesIncludeTheFrame)
{
    TForm* form = Construct<TForm>(nullptr);
    form->SetWidth(775);
    form->SetClientHeight(473);
    EXPECT_EQ(form->Width(), 775);
    EXPECT_EQ(form->ClientHeight(), 473);
    EXPECT_GT(form->Height(), 473);
    EXPECT_EQ(form->ClientWidth(), 775 - (form->Width() - form->ClientWidth()));
    ShowForm(form);
    EXPECT_EQ(form->Widget()->width(), form->ClientWidth());
    EXPECT_EQ(form->Widget()->height(), form->ClientHeight());
    form->Free();
}

TEST(Layout, ChildrenTakeTheParentsFontAndColourUntilTheyHaveTheirOwn)
{
    TForm* form = Construct<TForm>(nullptr);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    auto* label = new TLabel(form);
    label->SetParent(panel);
    auto* edit = new TEdit(form);
    edit->SetParent(panel);
    form->Font()->SetName("Arial");
    form->Font()->SetSize(12);
    EXPECT_EQ(label->Font()->Size(), 12);
    EXPECT_EQ(edit->Font()->Name(), "Arial");
    edit->Font()->SetSize(9);
    EXPECT_FALSE(edit->ParentFont());
    form->Font()->SetSize(14);
    EXPECT_EQ(label->Font()->Size(), 14);
    EXPECT_EQ(edit->Font()->Size(), 9);

    panel->SetColor(clWhite);
    EXPECT_EQ(label->Color(), clWhite) << "labels take the colour of what they sit on";
    EXPECT_EQ(edit->Color(), clWindow);
    form->Free();
}

TEST(Layout, LabelsSizeThemselvesToTheirCaption)
{
    TForm* form = Construct<TForm>(nullptr);
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetCaption("Client Information");
    const int wide = label->Width();
    label->SetCaption("ID");
    EXPECT_LT(label->Width(), wide);
    label->Font()->SetSize(20);
    EXPECT_GT(label->Height(), 20);
    label->SetAutoSize(false);
    label->SetCaption("A much longer caption than before");
    EXPECT_LT(label->Width(), wide);
    form->Free();
}

TEST(Layout, ScrollBoxBringsTheFocusedControlIntoView)
{
    TForm* form = Construct<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 200);
    auto* box = new TScrollBox(form);
    box->SetParent(form);
    box->SetBounds(0, 0, 200, 100);
    auto* first = new TEdit(form);
    first->SetParent(box);
    first->SetBounds(0, 0, 100, 21);
    auto* far = new TEdit(form);
    far->SetParent(box);
    far->SetBounds(0, 400, 100, 21);
    ShowForm(form);
    EXPECT_EQ(box->VertScrollBar()->Position(), 0);
    far->SetFocus();
    EXPECT_GT(box->VertScrollBar()->Position(), 300);
    box->VertScrollBar()->SetPosition(-50);
    EXPECT_EQ(box->VertScrollBar()->Position(), 0) << "the position is kept within range";
    form->Free();
}

TEST(Mdi, ChildrenShowInsideTheMainForm)
{
    TCustomForm* main = Application->MainForm();
    const bool made = !main;
    if (made) {
        TForm* form = nullptr;
        Application->CreateForm(form);
        main = form;
    }
    main->SetFormStyle(fsMDIForm);
    ShowForm(main);
    TForm* child = Construct<TForm>(nullptr);
    child->SetCaption("1099 Totamund Main");
    child->SetFormStyle(fsMDIChild);
    auto* edit = new TEdit(child);
    edit->SetParent(child);
    TEventLog log;
    edit->OnEnter = log.Note("enter");
    ShowForm(child);
    EXPECT_EQ(main->MDIChildCount(), 1);
    EXPECT_EQ(main->MDIChildren(0), child);
    EXPECT_EQ(main->ActiveMDIChild(), child);
    EXPECT_EQ(child->Widget()->parentWidget()->windowTitle().toStdString(), "1099 Totamund Main");
    EXPECT_EQ(log.Entries.size(), 1u);
    TypeText(child, "ok");
    EXPECT_EQ(edit->Text(), "ok");
    child->Free();
    EXPECT_EQ(main->MDIChildCount(), 0);
    if (made)
        main->SetFormStyle(fsNormal);
}

TEST(Timer, FiresWhileEnabled)
{
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(1);
    timer.OnTimer = [&](TObject*) {
        if (++ticks == 3)
            timer.SetEnabled(false);
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }));
    QTest::qWait(20);
    EXPECT_EQ(ticks, 3);
}

}  // namespace
