#include "platform/vcl/controls/hintwindow.h"

#include <QWidget>

#include "platform/rtl/strutils.h"

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    QWidget* widget = Widget();
    widget->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    widget->setAttribute(Qt::WA_ShowWithoutActivating);
    widget->setFocusPolicy(Qt::NoFocus);
    SetTabStop(false);
    SetColor(clInfoBk);
    Font()->SetColor(clInfoText);
    SetVisible(false);
}

bool THintWindow::InheritsFrom(const String& name) const
{
    return SameText(name, "THintWindow") || TCustomControl::InheritsFrom(name);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const String& Hint)
{
    Canvas()->SetFont(Font());
    TRect rect = Rect(0, 0, MaxWidth, 0);
    Canvas()->DrawText(Hint, rect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    rect.Right += 6;
    rect.Bottom += 4;
    return rect;
}

void THintWindow::ActivateHint(const TRect& Rect, const String& Hint)
{
    SetCaption(Hint);
    SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
    SetVisible(true);
    Invalidate();
}

void THintWindow::ReleaseHandle() { SetVisible(false); }

void THintWindow::UpdateWidgetVisibility() { Widget()->setVisible(Visible()); }

void THintWindow::Paint()
{
    TCanvas* canvas = Canvas();
    TRect rect = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->Pen()->SetColor(clBlack);
    canvas->Rectangle(rect);
    canvas->SetFont(Font());
    canvas->Brush()->SetStyle(bsClear);
    rect = Rect(rect.Left + 3, rect.Top + 2, rect.Right - 3, rect.Bottom - 2);
    canvas->DrawText(Caption(), rect, DT_WORDBREAK | DT_NOPREFIX);
}
