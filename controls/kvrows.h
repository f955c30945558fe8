#pragma once
// The rows of a keyboard-driven form: a numbered caption and the control it
// selects, one row under the other.

#include "controls/kvlabel.h"
#include "platform/vcl/colors.h"

template <class T>
T* PlaceControl(TComponent* Owner, TWinControl* Parent, const String& Name, int Left, int Top, int Width) {
    T* control = new T(Owner);
    control->SetName(Name);
    control->SetParent(Parent);
    control->SetLeft(Left);
    control->SetTop(Top);
    control->SetWidth(Width);
    return control;
}

// The caption LabelName at the left of the row at Top and its control Name at
// column 330; the caption selects the control. Label, when given, gets the caption.
template <class T>
T* PlaceRow(TComponent* Owner, TWinControl* Parent, const String& LabelName, const String& Caption,
            const String& Name, int Top, int Width, TKVLabel** Label = nullptr) {
    auto* label = PlaceControl<TKVLabel>(Owner, Parent, LabelName, 24, Top + 4, 300);
    label->SetCaption(Caption);
    T* control = PlaceControl<T>(Owner, Parent, Name, 330, Top, Width);
    label->SetFirstControl(control);
    if (Label) *Label = label;
    return control;
}
