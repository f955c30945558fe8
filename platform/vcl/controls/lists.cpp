#include "platform/vcl/controls/lists.h"

#include "platform/vcl/controls/dropdown.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <functional>

#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/graphics/controlcanvas.h"
#include "platform/vcl/qt/qapp.h"
#include "platform/vcl/qt/qtext.h"

namespace {

// A combo box that tells its control when its list opens and closes.
class DropDownCombo : public QComboBox {
public:
    std::function<void()> Opening;
    std::function<void()> Closed;

    void showPopup() override
    {
        if (Opening)
            Opening();
        QComboBox::showPopup();
    }
    void hidePopup() override
    {
        const bool wasOpen = view()->isVisible();
        QComboBox::hidePopup();
        if (wasOpen && Closed)
            Closed();
    }
};

QComboBox* Combo(const TControl* Control) { return static_cast<QComboBox*>(Control->Widget()); }
QListWidget* List(const TControl* Control) { return static_cast<QListWidget*>(Control->Widget()); }

QStringList ToQStrings(const TStrings& Items)
{
    QStringList list;
    for (int i = 0; i < Items.Count(); ++i)
        list << ToQString(Items.Get(i));
    return list;
}

}  // namespace

// ---------------------------------------------------------------- TComboBox

TComboBox::TComboBox(TComponent* AOwner)
    : TWinControl(AOwner, MakeWidget<DropDownCombo>()), FItems(std::make_unique<TStringList>())
{
    auto* combo = static_cast<DropDownCombo*>(Combo(this));
    combo->Opening = [this] { Guarded(this, [this] { DropDown(); }); };
    combo->Closed = [this] { Guarded(this, [this] { CloseUp(); }); };
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(FDropDownCount);
    QObject::connect(combo, &QComboBox::currentTextChanged, [this] {
        if (!FFilling)
            Guarded(this, [this] { Change(); });
    });
    QObject::connect(combo, QOverload<int>::of(&QComboBox::activated),
                     [this] { Guarded(this, [this] { Click(); }); });
    FItems->OnChange = [this](TStrings*) { ItemsChanged(); };
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
}

TComboBox::~TComboBox() { FItems->OnChange = nullptr; }

bool TComboBox::InheritsFrom(const String& name) const
{
    return SameText(name, "TComboBox") || TWinControl::InheritsFrom(name);
}

void TComboBox::ItemsChanged()
{
    QComboBox* combo = Combo(this);
    const QString text = combo->currentText();
    FFilling = true;
    combo->clear();
    combo->addItems(ToQStrings(*FItems));
    combo->setCurrentIndex(!combo->isEditable() ? static_cast<int>(combo->findText(text)) : -1);
    if (combo->isEditable())
        combo->setEditText(text);
    FFilling = false;
}

int TComboBox::ItemIndex() const
{
    QComboBox* combo = Combo(this);
    const int index = combo->currentIndex();
    // Typed text that is no longer the item's leaves nothing chosen.
    if (index >= 0 && combo->isEditable() && combo->currentText() != combo->itemText(index))
        return -1;
    return index;
}

void TComboBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    QComboBox* combo = Combo(this);
    combo->setCurrentIndex(Value);
    if (combo->isEditable()) {
        if (Value < 0)
            combo->setEditText(QString());
        combo->lineEdit()->setCursorPosition(0);
    }
}

void TComboBox::SetStyle(TComboBoxStyle Value)
{
    FStyle = Value;
    Combo(this)->setEditable(Value == csDropDown || Value == csSimple);
    ItemsChanged();
}

void TComboBox::SetDropDownCount(int Value)
{
    FDropDownCount = Value;
    Combo(this)->setMaxVisibleItems(Value);
}

bool TComboBox::DroppedDown() const { return Combo(this)->view()->isVisible(); }

void TComboBox::SetDroppedDown(bool Value)
{
    if (Value)
        Combo(this)->showPopup();
    else
        Combo(this)->hidePopup();
}

String TComboBox::GetText() const { return FromQString(Combo(this)->currentText()); }

void TComboBox::SetTextValue(const String& Value)
{
    QComboBox* combo = Combo(this);
    if (combo->isEditable()) {
        const int index = static_cast<int>(combo->findText(ToQString(Value), Qt::MatchFixedString));
        if (index >= 0 && combo->itemText(index) == ToQString(Value))
            combo->setCurrentIndex(index);
        combo->setEditText(ToQString(Value));
    } else {
        combo->setCurrentIndex(static_cast<int>(combo->findText(ToQString(Value))));
    }
}

void TComboBox::DropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

void TComboBox::CloseUp()
{
    if (OnCloseUp)
        OnCloseUp(this);
}

void TComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------- TListBox

// Rows as high as the list says, drawn by the list when it draws its items itself.
class TListItemDelegate : public QStyledItemDelegate {
public:
    // Owned by the list widget, which frees it with itself.
    TListItemDelegate(TListBox* List, QObject* Parent) : QStyledItemDelegate(Parent), FList(List) { }

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        if (FList->FStyle == lbStandard)
            return QStyledItemDelegate::paint(Painter, Option, Index);
        TOwnerDrawState state;
        if (Option.state & QStyle::State_Selected)
            state.Include(odSelected);
        if (Option.state & QStyle::State_HasFocus)
            state.Include(odFocused);
        if (!(Option.state & QStyle::State_Enabled))
            state.Include(odDisabled);
        const QRect& r = Option.rect;
        auto* canvas = static_cast<TControlCanvas*>(FList->FCanvas.get());
        Painter->save();
        canvas->BeginPaint(Painter);
        FList->PrepareItemCanvas(state);
        Guarded(FList, [&] {
            FList->DrawItem(Index.row(), Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1), state);
        });
        canvas->EndPaint();
        Painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(Option, Index);
        int height = FList->FItemHeight > 0 ? FList->FItemHeight : size.height();
        if (FList->FStyle == lbOwnerDrawVariable)
            Guarded(FList, [&] { FList->MeasureItem(Index.row(), height); });
        size.setHeight(std::max(0, height));
        return size;
    }

private:
    TListBox* FList;
};

TListBox::TListBox(TComponent* AOwner)
    : TWinControl(AOwner, MakeWidget<QListWidget>()), FItems(std::make_unique<TStringList>()),
      FCanvas(std::make_unique<TControlCanvas>())
{
    QListWidget* list = List(this);
    list->setItemDelegate(new TListItemDelegate(this, list));
    QObject::connect(list, &QListWidget::currentRowChanged, [this] {
        if (!FFilling)
            Guarded(this, [this] { Click(); });
    });
    QObject::connect(list, &QListWidget::itemDoubleClicked,
                     [this] { Guarded(this, [this] { DblClick(); }); });
    FItems->OnChange = [this](TStrings*) { ItemsChanged(); };
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

TListBox::~TListBox() { FItems->OnChange = nullptr; }

bool TListBox::InheritsFrom(const String& name) const
{
    return SameText(name, "TListBox") || TWinControl::InheritsFrom(name);
}

void TListBox::ItemsChanged()
{
    QListWidget* list = List(this);
    const int row = list->currentRow();
    const QStringList items = ToQStrings(*FItems);
    FFilling = true;
    // Only the rows between the unchanged head and tail are made again, so the rows that
    // stay keep their selection.
    const int before = list->count();
    const int after = static_cast<int>(items.size());
    int head = 0;
    while (head < before && head < after && list->item(head)->text() == items[head])
        ++head;
    int tail = 0;
    while (tail < before - head && tail < after - head &&
           list->item(before - 1 - tail)->text() == items[after - 1 - tail])
        ++tail;
    for (int i = before - tail - 1; i >= head; --i)
        delete list->takeItem(i);
    for (int i = head; i < after - tail; ++i)
        list->insertItem(i, items[i]);
    SetCurrentRow(row < list->count() ? row : -1);
    FFilling = false;
}

void TListBox::SetCurrentRow(int Row)
{
    QListWidget* list = List(this);
    if (FMultiSelect)
        list->setCurrentRow(Row, QItemSelectionModel::NoUpdate);
    else
        list->setCurrentRow(Row);
}

int TListBox::ItemIndex() const { return List(this)->currentRow(); }

void TListBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    FFilling = true;
    SetCurrentRow(Value);
    FFilling = false;
}

void TListBox::SetMultiSelect(bool Value)
{
    FMultiSelect = Value;
    List(this)->setSelectionMode(Value ? QAbstractItemView::ExtendedSelection
                                       : QAbstractItemView::SingleSelection);
    // A single choice is the focused item alone.
    if (!Value)
        SetItemIndex(ItemIndex());
}

bool TListBox::Selected(int Index) const
{
    FItems->Get(Index);  // raises for an index outside the items
    return List(this)->item(Index)->isSelected();
}

int TListBox::TopIndex() const
{
    const QListWidget* list = List(this);
    const QListWidgetItem* item = list->itemAt(2, 2);
    return item ? list->row(item) : 0;
}

void TListBox::SetTopIndex(int Value)
{
    QListWidget* list = List(this);
    if (QListWidgetItem* item = list->item(Value))
        list->scrollToItem(item, QAbstractItemView::PositionAtTop);
}

void TListBox::SetStyle(TListBoxStyle Value)
{
    FStyle = Value;
    RelayoutRows();
}

void TListBox::SetItemHeight(int Value)
{
    FItemHeight = std::max(0, Value);
    RelayoutRows();
}

void TListBox::RelayoutRows()
{
    QListWidget* list = List(this);
    list->doItemsLayout();
    list->viewport()->update();
}

TCanvas* TListBox::Canvas() const { return FCanvas.get(); }

TRect TListBox::ItemRect(int Index) const
{
    QListWidget* list = List(this);
    QListWidgetItem* item = list->item(Index);
    if (!item)
        return TRect {};
    const QRect r = list->visualItemRect(item);
    return Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
}

void TListBox::PrepareItemCanvas(TOwnerDrawState State)
{
    TCanvas* canvas = FCanvas.get();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetColor(State.Contains(odSelected) ? clHighlight : Color());
    if (State.Contains(odSelected))
        canvas->Font()->SetColor(clHighlightText);
}

void TListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem)
        return OnDrawItem(this, Index, Rect, State);
    TCanvas* canvas = FCanvas.get();
    canvas->FillRect(Rect);
    if (Index >= 0 && Index < FItems->Count())
        canvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Get(Index));
}

void TListBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

// ---------------------------------------------------------------- TPopupListBox

TPopupListBox::TPopupListBox(TComponent* AOwner) : TListBox(AOwner)
{
    MakeDropDownWindow(this);
    QListWidget* list = List(this);
    list->setFrameShape(QFrame::Box);
    list->setLineWidth(1);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QObject::connect(list, &QListWidget::itemClicked, [this] { Guarded(this, [this] { ItemClicked(); }); });
    SetTabStop(false);
    SetVisible(false);
}

bool TPopupListBox::InheritsFrom(const String& name) const
{
    return SameText(name, "TPopupListBox") || TListBox::InheritsFrom(name);
}

void TPopupListBox::UpdateWidgetVisibility()
{
    QWidget* widget = Widget();
    widget->setVisible(Visible());
    if (Visible())
        widget->raise();
}

int TPopupListBox::FindPrefix(const String& Prefix) const
{
    const QString prefix = ToQString(Prefix);
    const QListWidget* list = List(this);
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text().startsWith(prefix, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}
