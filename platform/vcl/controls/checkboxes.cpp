#include "platform/vcl/controls/checkboxes.h"

#include <QCheckBox>
#include <QRadioButton>

#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/qt/qapp.h"
#include "platform/vcl/qt/qtext.h"

namespace {

Qt::CheckState QtState(TCheckBoxState State)
{
    switch (State) {
    case cbChecked: return Qt::Checked;
    case cbGrayed: return Qt::PartiallyChecked;
    default: return Qt::Unchecked;
    }
}

}  // namespace

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner, MakeWidget<QCheckBox>())
{
    auto* box = static_cast<QCheckBox*>(Widget());
    // The user's click cycles the state; the widget itself changes nothing.
    box->setCheckable(true);
    QObject::connect(box, &QCheckBox::clicked, [this, box] {
        box->setCheckState(QtState(FState));
        Guarded(this, [this] {
            switch (FState) {
            case cbUnchecked: SetState(cbChecked); break;
            case cbChecked: SetState(FAllowGrayed ? cbGrayed : cbUnchecked); break;
            default: SetState(cbUnchecked); break;
            }
        });
    });
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
}

bool TCheckBox::InheritsFrom(const String& name) const
{
    return SameText(name, "TCheckBox") || TWinControl::InheritsFrom(name);
}

void TCheckBox::SetState(TCheckBoxState Value)
{
    if (Value == FState)
        return;
    FState = Value;
    auto* box = static_cast<QCheckBox*>(Widget());
    box->setTristate(FAllowGrayed || Value == cbGrayed);
    box->setCheckState(QtState(Value));
    Click();
}

void TCheckBox::SetAllowGrayed(bool Value)
{
    FAllowGrayed = Value;
    static_cast<QCheckBox*>(Widget())->setTristate(Value);
}

void TCheckBox::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    Widget()->setLayoutDirection(Value == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TCheckBox::TextChanged() { static_cast<QCheckBox*>(Widget())->setText(ToQString(Caption())); }

TRadioButton::TRadioButton(TComponent* AOwner) : TWinControl(AOwner, MakeWidget<QRadioButton>())
{
    auto* button = static_cast<QRadioButton*>(Widget());
    button->setAutoExclusive(false);
    QObject::connect(button, &QRadioButton::clicked, [this, button] {
        button->setChecked(FChecked);
        Guarded(this, [this] { SetChecked(true); });
    });
    SetBounds(0, 0, 113, 17);
}

bool TRadioButton::InheritsFrom(const String& name) const
{
    return SameText(name, "TRadioButton") || TWinControl::InheritsFrom(name);
}

void TRadioButton::SetChecked(bool Value)
{
    if (Value == FChecked)
        return;
    FChecked = Value;
    static_cast<QRadioButton*>(Widget())->setChecked(Value);
    SetTabStop(Value);
    if (!Value)
        return;
    if (Parent()) {
        for (int i = 0; i < Parent()->ControlCount(); ++i) {
            if (auto* other = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); other && other != this)
                other->SetChecked(false);
        }
    }
    Click();
}

void TRadioButton::TextChanged() { static_cast<QRadioButton*>(Widget())->setText(ToQString(Caption())); }
