#pragma once
// The parts of a keyboard-driven form: its components, and its rows of a numbered
// caption and the control it selects, one row under the other.

#include "controls/kvcommander.h"
#include "controls/kvlabel.h"
#include "platform/vcl/graphics/colors.h"

// A new component of Owner named Name, shown on Parent.
template<class T> T* NewChild(TComponent* Owner, TWinControl* Parent, const String& Name)
{
    T* control = new T(Owner);
    control->SetName(Name);
    control->SetParent(Parent);
    return control;
}

template<class T>
T* PlaceControl(TComponent* Owner, TWinControl* Parent, const String& Name, int Left, int Top, int Width)
{
    T* control = NewChild<T>(Owner, Parent, Name);
    control->SetLeft(Left);
    control->SetTop(Top);
    control->SetWidth(Width);
    return control;
}

// The same with its height too.
template<class T>
T* PlaceControl(TComponent* Owner, TWinControl* Parent, const String& Name, int Left, int Top, int Width,
                int Height)
{
    T* control = NewChild<T>(Owner, Parent, Name);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

// The white page "ScrollBox1" that fills the rest of Form, scrolled by Commander
// to the control it selects.
inline TScrollBox* NewScrollPage(TWinControl* Form, TKVCommander* Commander)
{
    auto* page = NewChild<TScrollBox>(Form, Form, "ScrollBox1");
    page->SetAlign(alClient);
    page->SetColor(clWhite);
    Commander->SetScrollBox(page);
    return page;
}

// Where a form's rows put their caption and their control, in the parent's pixels.
struct TRowColumns {
    int LabelLeft = 24;
    int LabelWidth = 300;
    int ControlLeft = 330;
};

// The caption LabelName at the left of the row at Top and its control Name in the
// control column; the caption selects the control. Label, when given, gets the caption.
template<class T>
T* PlaceRow(TComponent* Owner, TWinControl* Parent, const String& LabelName, const String& Caption,
            const String& Name, int Top, int Width, TKVLabel** Label = nullptr,
            const TRowColumns& Columns = {})
{
    auto* label =
            PlaceControl<TKVLabel>(Owner, Parent, LabelName, Columns.LabelLeft, Top + 4, Columns.LabelWidth);
    label->SetCaption(Caption);
    T* control = PlaceControl<T>(Owner, Parent, Name, Columns.ControlLeft, Top, Width);
    label->SetFirstControl(control);
    if (Label)
        *Label = label;
    return control;
}
