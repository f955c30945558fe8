#pragma once
// The keys of the page viewers (report preview and form viewer): Up and Page Up,
// Down and Page Down scroll the page a screenful, Left and Right turn the page,
// "+" and "-" zoom and "/" closes. A viewer has ScrollBox1 and the handlers of
// its buttons: SpeedButton1 (zoom in), SpeedButton2 (zoom out), btnPrev, btnNext.

#include "platform/vcl/controls/scrollbox.h"
#include "platform/vcl/forms/keys.h"

template<class TViewer> void PageViewerKeyDown(TViewer& Viewer, Word& Key)
{
    TControlScrollBar* bar = Viewer.ScrollBox1->VertScrollBar();
    const int screenful = Viewer.ScrollBox1->ClientHeight();
    switch (Key) {
    case VK_PRIOR:
    case VK_UP: bar->SetPosition(bar->Position() - screenful); break;
    case VK_NEXT:
    case VK_DOWN: bar->SetPosition(bar->Position() + screenful); break;
    case VK_LEFT: Viewer.btnPrevClick(&Viewer); break;
    case VK_RIGHT: Viewer.btnNextClick(&Viewer); break;
    default: return;
    }
    Key = 0;
}

template<class TViewer> void PageViewerKeyPress(TViewer& Viewer, char& Key)
{
    switch (Key) {
    case '/': Viewer.Close(); break;
    case '+': Viewer.SpeedButton1Click(&Viewer); break;
    case '-': Viewer.SpeedButton2Click(&Viewer); break;
    default: return;
    }
    Key = 0;
}
