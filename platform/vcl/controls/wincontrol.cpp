#include "platform/vcl/controls/controls.h"

#include <QWidget>
#include <algorithm>

#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/forms.h"

TWinControl::TWinControl(TComponent* AOwner, QWidget* AWidget) : TControl(AOwner, AWidget)
{
    AWidget->setFocusPolicy(Qt::StrongFocus);
}

TWinControl::~TWinControl()
{
    // Told here, while this is still a TWinControl, so the form forgets it as its active
    // or focused control before anything of it is gone.
    if (TCustomForm* form = ParentForm(); form && form != this)
        form->ControlDestroying(this);
    // The children go with their container, as the class library frees them.
    while (!FControls.empty()) {
        TControl* child = FControls.back();
        child->Free();
    }
}

bool TWinControl::InheritsFrom(const String& name) const
{
    return SameText(name, "TWinControl") || TControl::InheritsFrom(name);
}

void TWinControl::InsertControl(TControl* Control)
{
    FControls.push_back(Control);
    if (auto* win = dynamic_cast<TWinControl*>(Control))
        FTabList.push_back(win);
}

void TWinControl::RemoveControl(TControl* Control)
{
    FControls.erase(std::remove(FControls.begin(), FControls.end(), Control), FControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), Control), FTabList.end());
}

bool TWinControl::ContainsControl(const TControl* Control) const
{
    for (; Control; Control = Control->Parent()) {
        if (Control == this)
            return true;
    }
    return false;
}

int TWinControl::TabOrder() const
{
    if (!Parent())
        return -1;
    const auto& list = Parent()->FTabList;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int Value)
{
    if (!Parent())
        return;
    auto& list = Parent()->FTabList;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    Value = std::clamp(Value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + Value, this);
}

bool TWinControl::CanFocus() const
{
    if (!AcceptsFocus())
        return false;
    TCustomForm* form = ParentForm();
    if (!form)
        return false;
    for (const TControl* control = this; control && control != form; control = control->Parent()) {
        if (!control->Visible() || !control->Enabled())
            return false;
    }
    return form->Enabled();
}

bool TWinControl::Focused() const
{
    TCustomForm* form = ParentForm();
    return form && form->FocusedControl() == this && form->Active();
}

void TWinControl::SetFocus()
{
    if (TCustomForm* form = ParentForm(); form && form != this) {
        form->FocusControl(this);
        return;
    }
    Widget()->setFocus();
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const
{
    for (TWinControl* control : FTabList) {
        List.push_back(control);
        control->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    const int count = static_cast<int>(list.size());
    int start = static_cast<int>(std::find(list.begin(), list.end(), CurControl) - list.begin());
    if (start == count)
        start = GoForward ? count - 1 : 0;
    int i = start;
    do {
        if (GoForward) {
            i = (i + 1) % count;
        } else {
            i = (i == 0 ? count : i) - 1;
        }
        TWinControl* candidate = list[static_cast<size_t>(i)];
        if (candidate->CanFocus() && (!CheckTabStop || candidate->TabStop()) &&
            (!CheckParent || candidate->Parent() == this)) {
            return candidate;
        }
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        next->SetFocus();
}

bool TWinControl::CMDialogKey(Word Key, TShiftState Shift)
{
    for (TControl* control : std::vector<TControl*>(FControls)) {
        auto* win = dynamic_cast<TWinControl*>(control);
        if (win && win->Visible() && win->CMDialogKey(Key, Shift))
            return true;
    }
    return false;
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::WindowShown()
{
    if (FWindowCreated)
        return;
    FWindowCreated = true;
    CreateWnd();
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

QWidget* TWinControl::ClientWidget() const { return Widget(); }

void TWinControl::FontChanged()
{
    TControl::FontChanged();
    for (TControl* control : FControls) {
        if (control->ParentFont())
            control->ParentFontChanged();
    }
}

void TWinControl::ColorChanged()
{
    TControl::ColorChanged();
    for (TControl* control : FControls) {
        if (control->ParentColor())
            control->ParentColorChanged();
    }
}

void TWinControl::Resize()
{
    Realign();
    TControl::Resize();
}

void TWinControl::Realign()
{
    if (FAligning)
        return;
    const FlagScope aligning(FAligning);
    TRect rect = ClientRect();
    AlignControls(rect);
}

void TWinControl::AlignControls(TRect& R)
{
    auto place = [&](TAlign align) {
        std::vector<TControl*> list;
        for (TControl* control : FControls) {
            if (control->Align() == align && control->Visible())
                list.push_back(control);
        }
        std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
            switch (align) {
            case alTop: return a->Top() < b->Top();
            case alBottom: return a->Top() + a->Height() > b->Top() + b->Height();
            case alLeft: return a->Left() < b->Left();
            case alRight: return a->Left() + a->Width() > b->Left() + b->Width();
            default: return false;
            }
        });
        for (TControl* c : list) {
            switch (align) {
            case alTop:
                c->SetBounds(R.Left, R.Top, R.Width(), c->Height());
                R.Top += c->Height();
                break;
            case alBottom:
                c->SetBounds(R.Left, R.Bottom - c->Height(), R.Width(), c->Height());
                R.Bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(R.Left, R.Top, c->Width(), R.Height());
                R.Left += c->Width();
                break;
            case alRight:
                c->SetBounds(R.Right - c->Width(), R.Top, c->Width(), R.Height());
                R.Right -= c->Width();
                break;
            case alClient: c->SetBounds(R.Left, R.Top, R.Width(), R.Height()); break;
            default: break;
            }
        }
    };
    place(alTop);
    place(alBottom);
    place(alLeft);
    place(alRight);
    place(alClient);
}
