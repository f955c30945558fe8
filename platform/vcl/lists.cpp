#include "platform/vcl/lists.h"

#include "platform/vcl/dropdown.h"

#include <QComboBox>
#include <functional>
#include <QLineEdit>
#include <QListWidget>

#include "platform/rtl/strutils.h"
#include "platform/vcl/dispatch.h"
#include "platform/vcl/qapp.h"
#include "platform/vcl/qtext.h"

namespace {

// A combo box that tells its control when its list opens and closes.
class DropDownCombo : public QComboBox {
public:
    std::function<void()> Opening;
    std::function<void()> Closed;

    void showPopup() override {
        if (Opening) Opening();
        QComboBox::showPopup();
    }
    void hidePopup() override {
        const bool wasOpen = view()->isVisible();
        QComboBox::hidePopup();
        if (wasOpen && Closed) Closed();
    }
};

QComboBox* Combo(const TControl* Control) { return static_cast<QComboBox*>(Control->Widget()); }
QListWidget* List(const TControl* Control) { return static_cast<QListWidget*>(Control->Widget()); }

QStringList ToQStrings(const TStrings& Items) {
    QStringList list;
    for (int i = 0; i < Items.Count(); ++i) list << ToQString(Items.Get(i));
    return list;
}

}  // namespace

// ---------------------------------------------------------------- TComboBox

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner, MakeWidget<DropDownCombo>()), FItems(std::make_unique<TStringList>()) {
    auto* combo = static_cast<DropDownCombo*>(Combo(this));
    combo->Opening = [this] { Guarded(this, [this] { DropDown(); }); };
    combo->Closed = [this] { Guarded(this, [this] { CloseUp(); }); };
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(FDropDownCount);
    QObject::connect(combo, &QComboBox::currentTextChanged, [this] {
        if (!FFilling) Guarded(this, [this] { Change(); });
    });
    QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), [this] { Guarded(this, [this] { Click(); }); });
    FItems->OnChange = [this](TStrings*) { ItemsChanged(); };
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
}

TComboBox::~TComboBox() { FItems->OnChange = nullptr; }

bool TComboBox::InheritsFrom(const String& name) const { return SameText(name, "TComboBox") || TWinControl::InheritsFrom(name); }

void TComboBox::ItemsChanged() {
    QComboBox* combo = Combo(this);
    const QString text = combo->currentText();
    FFilling = true;
    combo->clear();
    combo->addItems(ToQStrings(*FItems));
    combo->setCurrentIndex(!combo->isEditable() ? static_cast<int>(combo->findText(text)) : -1);
    if (combo->isEditable()) combo->setEditText(text);
    FFilling = false;
}

int TComboBox::ItemIndex() const {
    QComboBox* combo = Combo(this);
    const int index = combo->currentIndex();
    // Typed text that is no longer the item's leaves nothing chosen.
    if (index >= 0 && combo->isEditable() && combo->currentText() != combo->itemText(index)) return -1;
    return index;
}

void TComboBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) Value = -1;
    QComboBox* combo = Combo(this);
    combo->setCurrentIndex(Value);
    if (combo->isEditable()) {
        if (Value < 0) combo->setEditText(QString());
        combo->lineEdit()->setCursorPosition(0);
    }
}

void TComboBox::SetStyle(TComboBoxStyle Value) {
    FStyle = Value;
    Combo(this)->setEditable(Value == csDropDown || Value == csSimple);
    ItemsChanged();
}

void TComboBox::SetDropDownCount(int Value) {
    FDropDownCount = Value;
    Combo(this)->setMaxVisibleItems(Value);
}

bool TComboBox::DroppedDown() const { return Combo(this)->view()->isVisible(); }

void TComboBox::SetDroppedDown(bool Value) {
    if (Value) Combo(this)->showPopup();
    else Combo(this)->hidePopup();
}

String TComboBox::GetText() const { return FromQString(Combo(this)->currentText()); }

void TComboBox::SetTextValue(const String& Value) {
    QComboBox* combo = Combo(this);
    if (combo->isEditable()) {
        const int index = static_cast<int>(combo->findText(ToQString(Value), Qt::MatchFixedString));
        if (index >= 0 && combo->itemText(index) == ToQString(Value)) combo->setCurrentIndex(index);
        combo->setEditText(ToQString(Value));
    } else {
        combo->setCurrentIndex(static_cast<int>(combo->findText(ToQString(Value))));
    }
}

void TComboBox::DropDown() {
    if (OnDropDown) OnDropDown(this);
}

void TComboBox::CloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}

void TComboBox::Change() {
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------- TListBox

TListBox::TListBox(TComponent* AOwner) : TWinControl(AOwner, MakeWidget<QListWidget>()), FItems(std::make_unique<TStringList>()) {
    QListWidget* list = List(this);
    QObject::connect(list, &QListWidget::currentRowChanged, [this] {
        if (!FFilling) Guarded(this, [this] { Click(); });
    });
    QObject::connect(list, &QListWidget::itemDoubleClicked, [this] { Guarded(this, [this] { DblClick(); }); });
    FItems->OnChange = [this](TStrings*) { ItemsChanged(); };
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

TListBox::~TListBox() { FItems->OnChange = nullptr; }

bool TListBox::InheritsFrom(const String& name) const { return SameText(name, "TListBox") || TWinControl::InheritsFrom(name); }

void TListBox::ItemsChanged() {
    QListWidget* list = List(this);
    const int row = list->currentRow();
    FFilling = true;
    list->clear();
    list->addItems(ToQStrings(*FItems));
    list->setCurrentRow(row < list->count() ? row : -1);
    FFilling = false;
    ItemsFilled();
}

int TListBox::ItemIndex() const { return List(this)->currentRow(); }

void TListBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) Value = -1;
    FFilling = true;
    List(this)->setCurrentRow(Value);
    FFilling = false;
}

int TListBox::TopIndex() const {
    const QListWidget* list = List(this);
    const QListWidgetItem* item = list->itemAt(2, 2);
    return item ? list->row(item) : 0;
}

void TListBox::SetTopIndex(int Value) {
    QListWidget* list = List(this);
    if (QListWidgetItem* item = list->item(Value)) list->scrollToItem(item, QAbstractItemView::PositionAtTop);
}

// ---------------------------------------------------------------- TPopupListBox

TPopupListBox::TPopupListBox(TComponent* AOwner) : TListBox(AOwner) {
    MakeDropDownWindow(this);
    QListWidget* list = List(this);
    list->setFrameShape(QFrame::Box);
    list->setLineWidth(1);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QObject::connect(list, &QListWidget::itemClicked, [this] { Guarded(this, [this] { ItemClicked(); }); });
    SetTabStop(false);
    SetVisible(false);
}

bool TPopupListBox::InheritsFrom(const String& name) const {
    return SameText(name, "TPopupListBox") || TListBox::InheritsFrom(name);
}

void TPopupListBox::UpdateWidgetVisibility() {
    QWidget* widget = Widget();
    widget->setVisible(Visible());
    if (Visible()) widget->raise();
}

void TPopupListBox::SetItemHeight(int Value) {
    FItemHeight = std::max(0, Value);
    ApplyItemHeight();
}

void TPopupListBox::ItemsFilled() { ApplyItemHeight(); }

void TPopupListBox::ApplyItemHeight() {
    QListWidget* list = List(this);
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setSizeHint(FItemHeight > 0 ? QSize(0, FItemHeight) : QSize());
}

int TPopupListBox::FindPrefix(const String& Prefix) const {
    const QString prefix = ToQString(Prefix);
    const QListWidget* list = List(this);
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text().startsWith(prefix, Qt::CaseInsensitive)) return i;
    }
    return -1;
}
