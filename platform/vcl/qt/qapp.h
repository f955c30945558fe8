#pragma once
// The Qt application the widgets need; made on first use when the program made none.

class QWidget;

void EnsureQApplication();

// A new widget of type W, with the Qt application in place first.
template<class W> W* MakeWidget()
{
    EnsureQApplication();
    return new W;
}
