#include "platform/vcl/menus.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <algorithm>

#include "platform/vcl/application.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/dispatch.h"
#include "platform/vcl/imagelist.h"
#include "platform/vcl/qapp.h"
#include "platform/vcl/qkeys.h"
#include "platform/vcl/qtext.h"

namespace {

void AddItems(QWidget* Target, const TMenuItem* Parent) {
    for (int i = 0; i < Parent->Count(); ++i) Target->addAction(Parent->Items(i)->Action());
}

}  // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {
    EnsureQApplication();
    FAction = new QAction;
    QObject::connect(FAction, &QAction::triggered, [this] { Guarded(this, [this] { Click(); }); });
    QObject::connect(FAction, &QAction::hovered,
                     [this] { Guarded(this, [this] { Application->SetHint(GetLongHint(FHint)); }); });
}

TMenuItem::~TMenuItem() {
    for (TMenuItem* item : FItems) item->FParent = nullptr;
    if (FParent) FParent->Remove(this);
    delete FAction;
    delete FSubMenu;
}

void TMenuItem::SetCaption(const String& Value) {
    FCaption = Value;
    FAction->setSeparator(Value == "-");
    FAction->setText(ToQString(Value));
}

void TMenuItem::SetEnabled(bool Value) {
    FEnabled = Value;
    FAction->setEnabled(Value);
}

void TMenuItem::SetVisible(bool Value) {
    FVisible = Value;
    FAction->setVisible(Value);
}

void TMenuItem::SetChecked(bool Value) {
    FChecked = Value;
    FAction->setCheckable(Value || FAction->isCheckable());
    FAction->setChecked(Value);
}

TShortCut ShortCut(Word Key, TShiftState Shift) {
    return static_cast<TShortCut>(Key | (Shift.Contains(ssShift) ? scShift : 0) |
                                  (Shift.Contains(ssCtrl) ? scCtrl : 0) |
                                  (Shift.Contains(ssAlt) ? scAlt : 0));
}

void TMenuItem::SetShortCut(TShortCut Value) {
    FShortCut = Value;
    if (!Value) {
        FAction->setShortcut(QKeySequence());
        return;
    }
    Qt::KeyboardModifiers modifiers;
    if (Value & scShift) modifiers |= Qt::ShiftModifier;
    if (Value & scCtrl) modifiers |= Qt::ControlModifier;
    if (Value & scAlt) modifiers |= Qt::AltModifier;
    // Shown in the menu only: the form's key routing runs it, not Qt.
    FAction->setShortcutContext(Qt::WidgetShortcut);
    FAction->setShortcut(QKeySequence(QKeyCombination(modifiers, QtKeyOf(Value & 0xFF).key())));
}

namespace {

TMenuItem* ItemWithShortCut(TMenuItem* Parent, TShortCut Key) {
    for (int i = 0; i < Parent->Count(); ++i) {
        TMenuItem* item = Parent->Items(i);
        if (!item->Visible() || !item->Enabled()) continue;
        if (item->ShortCut() == Key) return item;
        if (TMenuItem* inner = ItemWithShortCut(item, Key)) return inner;
    }
    return nullptr;
}

}  // namespace

bool TMenu::IsShortCut(Word Key, TShiftState Shift) {
    TMenuItem* item =
            Key ? ItemWithShortCut(FItems, ShortCut(Key, Shift * TShiftState {ssShift, ssCtrl, ssAlt}))
                : nullptr;
    if (!item) return false;
    item->Click();
    return true;
}

void TMenuItem::SetImageIndex(int Value) {
    FImageIndex = Value;
    UpdateIcons();
}

void TMenuItem::UpdateIcons() {
    const TMenuItem* top = this;
    while (top->FParent) top = top->FParent;
    TImageList* images = top->FMenu ? top->FMenu->Images() : nullptr;
    TBitmap picture;
    FAction->setIcon(images && images->GetBitmap(FImageIndex, &picture)
                             ? QIcon(QPixmap::fromImage(picture.DrawnImage()))
                             : QIcon());
    for (TMenuItem* item : FItems) item->UpdateIcons();
}

void TMenuItem::Add(TMenuItem* Item) {
    if (Item->FParent) Item->FParent->Remove(Item);
    Item->FParent = this;
    FItems.push_back(Item);
    Item->UpdateIcons();
    Rebuild();
}

void TMenuItem::Remove(TMenuItem* Item) {
    FItems.erase(std::remove(FItems.begin(), FItems.end(), Item), FItems.end());
    Item->FParent = nullptr;
    Rebuild();
}

void TMenuItem::Rebuild() {
    if (FItemsChanged) FItemsChanged();
    if (FItems.empty()) {
        FAction->setMenu(nullptr);
        return;
    }
    if (!FSubMenu) {
        FSubMenu = new QMenu;
        // A closed menu leaves no hint behind.
        QObject::connect(FSubMenu, &QMenu::aboutToHide, [] { Application->SetHint(""); });
    }
    FSubMenu->clear();
    AddItems(FSubMenu, this);
    FAction->setMenu(FSubMenu);
}

void TMenuItem::Click() {
    if (OnClick) OnClick(this);
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) {
    FItems->FMenu = this;
}

void TMenu::SetImages(TImageList* Value) {
    FImages = Value;
    if (Value) Value->FreeNotification(this);
    FItems->UpdateIcons();
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) SetImages(nullptr);
}

TMenu::~TMenu() { FItems->Free(); }

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner), FMenuBar(MakeWidget<QMenuBar>()) {
    Items()->FItemsChanged = [this] {
        FMenuBar->clear();
        AddItems(FMenuBar, Items());
    };
}

TMainMenu::~TMainMenu() {
    Items()->FItemsChanged = nullptr;
    delete FMenuBar;
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner), FMenu(MakeWidget<QMenu>()) {}

TPopupMenu::~TPopupMenu() { delete FMenu; }

void TPopupMenu::Popup(int X, int Y) {
    if (OnPopup) OnPopup(this);
    FMenu->clear();
    AddItems(FMenu, Items());
    FMenu->exec(QPoint(X, Y));
}
