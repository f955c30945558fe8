#include "platform/vcl/forms/menus.h"

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QIcon>
#include <QImage>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <algorithm>

#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/controlcanvas.h"
#include "platform/vcl/graphics/imagelist.h"
#include "platform/vcl/qt/qapp.h"
#include "platform/vcl/qt/qkeys.h"
#include "platform/vcl/qt/qtext.h"

namespace {

void AddItems(QWidget* Target, const TMenuItem* Parent)
{
    for (int i = 0; i < Parent->Count(); ++i)
        Target->addAction(Parent->Items(i)->Action());
}

// The Qt action that shows a menu item, knowing its item.
class TMenuItemAction : public QAction {
public:
    explicit TMenuItemAction(TMenuItem* Item) : Item(Item) { }
    TMenuItem* const Item;
};

// A menu window whose items may draw themselves. Qt describes an item right before it asks
// the style for the item's size or draws it, so the window remembers the item it described
// last, for the style to find.
class TMenuWindow : public QMenu {
public:
    TMenuWindow();
    TMenuItem* Described() const
    {
        auto* action = dynamic_cast<const TMenuItemAction*>(FDescribed);
        return action ? action->Item : nullptr;
    }

protected:
    void initStyleOption(QStyleOptionMenuItem* Option, const QAction* Action) const override
    {
        QMenu::initStyleOption(Option, Action);
        FDescribed = Action;
    }

private:
    mutable const QAction* FDescribed = nullptr;
};

}  // namespace

// Sizes and draws the menu windows' items that draw themselves; the application's style
// does all the rest.
class TOwnerDrawMenuStyle : public QProxyStyle {
public:
    TOwnerDrawMenuStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) { }

    QSize sizeFromContents(ContentsType Type, const QStyleOption* Option, const QSize& Size,
                           const QWidget* Widget) const override
    {
        const QSize size = QProxyStyle::sizeFromContents(Type, Option, Size, Widget);
        TMenuItem* item = Type == CT_MenuItem ? OwnerDrawn(Widget) : nullptr;
        if (!item || !item->OnMeasureItem)
            return size;
        int width = size.width(), height = size.height();
        TControlCanvas canvas;
        PrepareCanvas(canvas, Widget, false);
        Guarded(item, [&] { item->MeasureItem(&canvas, width, height); });
        return QSize(std::max(0, width + pixelMetric(PM_IndicatorWidth, Option, Widget)),
                     std::max(0, height));
    }

    void drawControl(ControlElement Element, const QStyleOption* Option, QPainter* Painter,
                     const QWidget* Widget) const override
    {
        TMenuItem* item = Element == CE_MenuItem ? OwnerDrawn(Widget) : nullptr;
        if (!item)
            return QProxyStyle::drawControl(Element, Option, Painter, Widget);
        const bool selected = Option->state & State_Selected;
        const QRect& r = Option->rect;
        TControlCanvas canvas;
        Painter->save();
        canvas.BeginPaint(Painter);
        PrepareCanvas(canvas, Widget, selected);
        Guarded(item, [&] {
            item->DrawItem(&canvas, Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1), selected);
        });
        canvas.EndPaint();
        Painter->restore();
    }

private:
    static TMenuItem* OwnerDrawn(const QWidget* Widget)
    {
        auto* menu = dynamic_cast<const TMenuWindow*>(Widget);
        TMenuItem* item = menu ? menu->Described() : nullptr;
        return item && item->OnDrawItem ? item : nullptr;
    }

    static void PrepareCanvas(TCanvas& Canvas, const QWidget* Menu, bool Selected)
    {
        const QFont font = Menu->font();
        Canvas.Font()->SetName(FromQString(font.family()));
        Canvas.Font()->SetHeight(-QFontInfo(font).pixelSize());
        Canvas.Font()->SetColor(Selected ? clHighlightText : clMenuText);
        Canvas.Brush()->SetColor(Selected ? clHighlight : clMenu);
    }
};

namespace {

TMenuWindow::TMenuWindow()
{
    // One style serves every menu window for the program's life.
    static TOwnerDrawMenuStyle* const style = [] {
        auto* made = new TOwnerDrawMenuStyle;
        made->setParent(qApp);
        return made;
    }();
    setStyle(style);
}

}  // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner)
{
    EnsureQApplication();
    FAction = new TMenuItemAction(this);
    QObject::connect(FAction, &QAction::triggered, [this] { Guarded(this, [this] { Click(); }); });
    QObject::connect(FAction, &QAction::hovered,
                     [this] { Guarded(this, [this] { Application->SetHint(GetLongHint(FHint)); }); });
}

TMenuItem::~TMenuItem()
{
    for (TMenuItem* item : FItems)
        item->FParent = nullptr;
    if (FParent)
        FParent->Remove(this);
    delete FAction;
    delete FSubMenu;
}

void TMenuItem::SetCaption(const String& Value)
{
    FCaption = Value;
    FAction->setSeparator(Value == "-");
    FAction->setText(ToQString(Value));
}

void TMenuItem::SetEnabled(bool Value)
{
    FEnabled = Value;
    FAction->setEnabled(Value);
}

void TMenuItem::SetVisible(bool Value)
{
    FVisible = Value;
    FAction->setVisible(Value);
}

void TMenuItem::SetChecked(bool Value)
{
    FChecked = Value;
    FAction->setCheckable(Value || FAction->isCheckable());
    FAction->setChecked(Value);
}

TShortCut ShortCut(Word Key, TShiftState Shift)
{
    return static_cast<TShortCut>(Key | (Shift.Contains(ssShift) ? scShift : 0) |
                                  (Shift.Contains(ssCtrl) ? scCtrl : 0) |
                                  (Shift.Contains(ssAlt) ? scAlt : 0));
}

void TMenuItem::SetShortCut(TShortCut Value)
{
    FShortCut = Value;
    if (!Value) {
        FAction->setShortcut(QKeySequence());
        return;
    }
    Qt::KeyboardModifiers modifiers;
    if (Value & scShift)
        modifiers |= Qt::ShiftModifier;
    if (Value & scCtrl)
        modifiers |= Qt::ControlModifier;
    if (Value & scAlt)
        modifiers |= Qt::AltModifier;
    // Shown in the menu only: the form's key routing runs it, not Qt.
    FAction->setShortcutContext(Qt::WidgetShortcut);
    FAction->setShortcut(QKeySequence(QKeyCombination(modifiers, QtKeyOf(Value & 0xFF).key())));
}

namespace {

TMenuItem* ItemWithShortCut(TMenuItem* Parent, TShortCut Key)
{
    for (int i = 0; i < Parent->Count(); ++i) {
        TMenuItem* item = Parent->Items(i);
        if (!item->Visible() || !item->Enabled())
            continue;
        if (item->ShortCut() == Key)
            return item;
        if (TMenuItem* inner = ItemWithShortCut(item, Key))
            return inner;
    }
    return nullptr;
}

}  // namespace

bool TMenu::IsShortCut(Word Key, TShiftState Shift)
{
    TMenuItem* item =
            Key ? ItemWithShortCut(FItems, ShortCut(Key, Shift * TShiftState {ssShift, ssCtrl, ssAlt}))
                : nullptr;
    if (!item)
        return false;
    item->Click();
    return true;
}

void TMenuItem::SetImageIndex(int Value)
{
    FImageIndex = Value;
    UpdateIcons();
}

void TMenuItem::UpdateIcons()
{
    const TMenuItem* top = this;
    while (top->FParent)
        top = top->FParent;
    TImageList* images = top->FMenu ? top->FMenu->Images() : nullptr;
    TBitmap picture;
    FAction->setIcon(images && images->GetBitmap(FImageIndex, &picture)
                             ? QIcon(QPixmap::fromImage(picture.DrawnImage()))
                             : QIcon());
    for (TMenuItem* item : FItems)
        item->UpdateIcons();
}

void TMenuItem::Add(TMenuItem* Item)
{
    if (Item->FParent)
        Item->FParent->Remove(Item);
    Item->FParent = this;
    FItems.push_back(Item);
    Item->UpdateIcons();
    Rebuild();
}

void TMenuItem::Remove(TMenuItem* Item)
{
    FItems.erase(std::remove(FItems.begin(), FItems.end(), Item), FItems.end());
    Item->FParent = nullptr;
    Rebuild();
}

void TMenuItem::Rebuild()
{
    if (FItemsChanged)
        FItemsChanged();
    if (FItems.empty()) {
        FAction->setMenu(nullptr);
        return;
    }
    if (!FSubMenu) {
        FSubMenu = new TMenuWindow;
        // A closed menu leaves no hint behind.
        QObject::connect(FSubMenu, &QMenu::aboutToHide, [] { Application->SetHint(""); });
    }
    FSubMenu->clear();
    AddItems(FSubMenu, this);
    FAction->setMenu(FSubMenu);
}

void TMenuItem::Click()
{
    if (OnClick)
        OnClick(this);
}

void TMenuItem::DrawItem(TCanvas* ACanvas, const TRect& ARect, bool Selected)
{
    if (OnDrawItem)
        OnDrawItem(this, ACanvas, ARect, Selected);
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, ACanvas, Width, Height);
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr))
{
    FItems->FMenu = this;
}

void TMenu::SetImages(TImageList* Value)
{
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    FItems->UpdateIcons();
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        SetImages(nullptr);
}

TMenu::~TMenu() { FItems->Free(); }

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner), FMenuBar(MakeWidget<QMenuBar>())
{
    Items()->FItemsChanged = [this] {
        FMenuBar->clear();
        AddItems(FMenuBar, Items());
    };
}

TMainMenu::~TMainMenu()
{
    Items()->FItemsChanged = nullptr;
    delete FMenuBar;
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner), FMenu(MakeWidget<TMenuWindow>()) { }

TPopupMenu::~TPopupMenu() { delete FMenu; }

void TPopupMenu::Popup(int X, int Y)
{
    if (OnPopup)
        OnPopup(this);
    FMenu->clear();
    AddItems(FMenu, Items());
    FMenu->exec(QPoint(X, Y));
}
