#include "datacontrols/common/dwutils.h"

#include <algorithm>

#include "platform/db/dataset.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/controls.h"
#include "platform/vcl/forms/guiscreen.h"

bool dwIsClassNamed(const TObject* Object, const String& ClassName)
{
    return Object && Object->InheritsFrom(ClassName);
}

bool dwParentIsGrid(const TControl* Control)
{
    return Control && dwIsClassNamed(Control->Parent(), "TCustomGrid");
}

bool dwParentIsInspector(const TControl* Control)
{
    return Control && dwIsClassNamed(Control->Parent(), "TdwDataInspector");
}

bool dwIsPaintCopyInInspector(const TControl* Control)
{
    return dwParentIsInspector(Control) && Control->ControlState().Contains(csPaintCopy);
}

TComponent* dwFindParentFormOrFrame(const TComponent* Component)
{
    for (TComponent* owner = Component ? Component->Owner() : nullptr; owner; owner = owner->Owner())
        if (dwIsClassNamed(owner, "TCustomForm") || dwIsClassNamed(owner, "TCustomFrame"))
            return owner;
    return nullptr;
}

bool dwIsDesigning(const TComponent* Control)
{
    if (!Control)
        return false;
    const TComponent* form = dwFindParentFormOrFrame(Control);
    return (form ? form : Control)->ComponentState().Contains(csDesigning);
}

String dwBoolToTF(bool Flag) { return Flag ? "T" : "F"; }

String dwStringsToPChar(const TStrings* Lines, bool JoinWithBlank)
{
    String result;
    for (int i = 0; i < Lines->Count(); ++i) {
        if (i > 0)
            result += JoinWithBlank ? " " : "\r\n";
        result += Lines->Get(i);
    }
    return result;
}

String dwTextBeforeDot(const String& Text) { return Text.substr(0, Text.find('.')); }

std::vector<String> dwSplitFieldNames(const String& Names)
{
    std::vector<String> parts;
    size_t start = 0;
    while (start <= Names.size()) {
        const size_t end = Names.find(';', start);
        const String part = Trim(Names.substr(start, end == String::npos ? String::npos : end - start));
        if (!part.empty())
            parts.push_back(part);
        if (end == String::npos)
            break;
        start = end + 1;
    }
    return parts;
}

String dwJoinFieldNames(const std::vector<String>& Names)
{
    String joined;
    for (const String& name : Names)
        joined += (joined.empty() ? "" : ";") + name;
    return joined;
}

int dwMax(int A, int B) { return std::max(A, B); }
int dwMin(int A, int B) { return std::min(A, B); }

int dwCompareBookmarks(TDataSet* DataSet, const TBookmark& Bookmark1, const TBookmark& Bookmark2)
{
    if (Bookmark1.empty() || Bookmark2.empty())
        return static_cast<int>(!Bookmark1.empty()) - static_cast<int>(!Bookmark2.empty());
    return DataSet->CompareBookmarks(Bookmark1, Bookmark2);
}

TdwHourGlass::TdwHourGlass() : FCursor(GuiScreen()->Cursor()) { GuiScreen()->SetCursor(crHourGlass); }

TdwHourGlass::~TdwHourGlass() { GuiScreen()->SetCursor(FCursor); }

TdwControlsDisabled::TdwControlsDisabled(TDataSet* DataSet) : FDataSet(DataSet)
{
    FDataSet->DisableControls();
}

TdwControlsDisabled::~TdwControlsDisabled() { FDataSet->EnableControls(); }
