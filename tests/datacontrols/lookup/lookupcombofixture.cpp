#include "tests/datacontrols/lookup/lookupcombofixture.h"

#include <QPainter>
#include <QTest>
#include <QWidget>

#include "datacontrols/lookup/dwdblook.h"
#include "platform/db/field.h"
#include "platform/vcl/controls/edits.h"
#include "tests/support/formtesting.h"

namespace {

const std::vector<FieldLayout> PaymentSchema = {
        {"PAYID", 'C', 5, 0}, {"CLIENT", 'C', 8, 0}, {"AMOUNT", 'N', 10, 2}};

}  // namespace

void LookupComboTest::SetUp()
{
    GridTest::SetUp();
    Grid->SetBounds(8, 120, 500, 150);
    CreateTable("PAYS.DBF", PaymentSchema);
    AppendImages("PAYS.DBF", {Image(PaymentSchema, {"P0001", "C0007", "10.00"}),
                              Image(PaymentSchema, {"P0002", "", "20.00"})});
    Payments = Table("PAYS");
    Payments->Open();
    PaymentSource = new TDataSource(Form);
    PaymentSource->SetDataSet(Payments);
}

void LookupComboTest::TearDown()
{
    ForgetHeldInput();
    GridTest::TearDown();
}

void LookupComboTest::PlaceCombo(TdwDBCustomLookupCombo* NewCombo)
{
    Combo = NewCombo;
    Combo->SetParent(Form);
    Combo->SetBounds(8, 8, 220, 24);
    Combo->SetTabStop(true);
    Combo->Selected()->Add("NAME1\t16\tName");
    Combo->Selected()->Add("ID\t8\tID");
    Combo->SetLookupTable(T);
    Combo->SetLookupField("ID");
    Combo->SetDataSource(PaymentSource);
    Combo->SetDataField("CLIENT");
    After = new TEdit(Form);
    After->SetParent(Form);
    After->SetBounds(240, 8, 100, 24);
    After->SetTabStop(true);
}

TdwDBLookupList* LookupComboTest::MakeList()
{
    auto* list = new TdwDBLookupList(Form);
    list->SetParent(Form);
    list->SetBounds(8, 8, 300, 100);
    list->SetTabStop(true);
    list->SetUseTFields(false);
    list->Selected()->Add("NAME1\t16\tName");
    list->Selected()->Add("ID\t8\tID");
    list->SetLookupTable(T);
    list->SetLookupField("ID");
    list->SetDataSource(PaymentSource);
    list->SetDataField("CLIENT");
    return list;
}

void LookupComboTest::ShowWithCombo()
{
    ShowForm(Form);
    Combo->SetFocus();
    QCoreApplication::processEvents();
}

std::vector<String> LookupComboTest::PostedPayments()
{
    if (Payments->State() != dsBrowse)
        Payments->Post();
    return ReadBack("PAYS.DBF");
}

QImage LookupComboTest::FormWithDropDown()
{
    QWidget* window = Form->Widget()->window();
    QWidget* popup = Combo->Grid()->Widget();
    const QRect formRect(window->mapToGlobal(QPoint(0, 0)), window->size());
    const QRect popupRect(popup->mapToGlobal(QPoint(0, 0)), popup->size());
    const QRect all = formRect.united(popupRect);
    QImage image(all.size(), QImage::Format_RGB32);
    image.fill(Qt::darkGray);
    QPainter painter(&image);
    painter.drawPixmap(formRect.topLeft() - all.topLeft(), window->grab());
    if (popup->isVisible())
        painter.drawPixmap(popupRect.topLeft() - all.topLeft(), popup->grab());
    return image;
}

void LookupComboTest::WaitForSearch() { QTest::qWait(300); }
