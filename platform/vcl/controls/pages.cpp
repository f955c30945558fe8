#include "platform/vcl/controls/pages.h"

#include <QTabBar>
#include <QWidget>
#include <algorithm>

#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/qt/qapp.h"
#include "platform/vcl/qt/qtext.h"

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner, MakeWidget<QWidget>())
{
    Widget()->setFocusPolicy(Qt::NoFocus);
    Widget()->setAutoFillBackground(true);
}

TTabSheet::~TTabSheet()
{
    if (FPageControl)
        FPageControl->RemovePage(this);
}

bool TTabSheet::InheritsFrom(const String& name) const
{
    return SameText(name, "TTabSheet") || TWinControl::InheritsFrom(name);
}

void TTabSheet::SetPageControl(TPageControl* Value)
{
    if (Value == FPageControl)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    FPageControl = Value;
    SetParent(Value);
    if (Value)
        Value->InsertPage(this);
}

int TTabSheet::PageIndex() const
{
    if (!FPageControl)
        return -1;
    const auto& pages = FPageControl->FPages;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::TextChanged()
{
    if (FPageControl)
        FPageControl->FTabs->setTabText(PageIndex(), ToQString(Caption()));
}

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner, MakeWidget<QWidget>())
{
    FTabs = new QTabBar(Widget());
    FTabs->setFocusPolicy(Qt::NoFocus);
    FTabs->show();
    QObject::connect(FTabs, &QTabBar::currentChanged, [this](int index) {
        if (!FUpdating)
            Guarded(this, [this, index] { SetActivePageIndex(index); });
    });
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl()
{
    while (ControlCount() > 0)
        Controls(ControlCount() - 1)->Free();
}

bool TPageControl::InheritsFrom(const String& name) const
{
    return SameText(name, "TPageControl") || TWinControl::InheritsFrom(name);
}

void TPageControl::InsertPage(TTabSheet* Page)
{
    FPages.push_back(Page);
    FUpdating = true;
    FTabs->addTab(ToQString(Page->Caption()));
    FUpdating = false;
    if (FActiveIndex < 0)
        FActiveIndex = 0;
    ShowActive();
    Realign();
}

void TPageControl::RemovePage(TTabSheet* Page)
{
    const auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end())
        return;
    const int index = static_cast<int>(it - FPages.begin());
    FPages.erase(it);
    FUpdating = true;
    FTabs->removeTab(index);
    FUpdating = false;
    if (FActiveIndex >= PageCount())
        FActiveIndex = PageCount() - 1;
    ShowActive();
}

TTabSheet* TPageControl::ActivePage() const
{
    return FActiveIndex >= 0 ? FPages[static_cast<size_t>(FActiveIndex)] : nullptr;
}

void TPageControl::SetActivePage(TTabSheet* Value)
{
    const auto it = std::find(FPages.begin(), FPages.end(), Value);
    if (it != FPages.end())
        SetActivePageIndex(static_cast<int>(it - FPages.begin()));
}

void TPageControl::SetActivePageIndex(int Value)
{
    if (Value < 0 || Value >= PageCount() || Value == FActiveIndex)
        return;
    FActiveIndex = Value;
    ShowActive();
    if (OnChange)
        OnChange(this);
}

void TPageControl::SelectNextPage(bool GoForward)
{
    if (PageCount() == 0)
        return;
    SetActivePageIndex((FActiveIndex + (GoForward ? 1 : PageCount() - 1)) % PageCount());
}

void TPageControl::ShowActive()
{
    FUpdating = true;
    FTabs->setCurrentIndex(FActiveIndex);
    FUpdating = false;
    for (size_t i = 0; i < FPages.size(); ++i)
        FPages[i]->SetVisible(static_cast<int>(i) == FActiveIndex);
}

void TPageControl::AlignControls(TRect& Rect)
{
    const int tabHeight = FTabs->sizeHint().height();
    FTabs->setGeometry(0, 0, Width(), tabHeight);
    for (TTabSheet* page : FPages)
        page->SetBounds(2, tabHeight + 2, Width() - 4, Height() - tabHeight - 4);
    Rect.Top += tabHeight;
    TWinControl::AlignControls(Rect);
}
