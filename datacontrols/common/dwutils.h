#pragma once
// Small helpers of the data-aware control library: class-name and design-time tests,
// flag and list texts, minimum and maximum, the hourglass.

#include <vector>

#include "platform/db/dbtypes.h"
#include "platform/rtl/types.h"
#include "platform/vcl/controls/controls.h"

class TObject;
class TComponent;
class TDataSet;
class TControl;
class TStrings;

// The object's class or an ancestor has that name, ignoring case; false for null.
bool dwIsClassNamed(const TObject* Object, const String& ClassName);
// The control's parent is a grid / the data inspector, by class name.
bool dwParentIsGrid(const TControl* Control);
bool dwParentIsInspector(const TControl* Control);
// The control is painting an image of itself for a row of the data inspector.
bool dwIsPaintCopyInInspector(const TControl* Control);
// The first form or frame up the owner chain; null when there is none.
TComponent* dwFindParentFormOrFrame(const TComponent* Component);
// csDesigning in the parent form's state, or in the control's own without a form.
bool dwIsDesigning(const TComponent* Control);

String dwBoolToTF(bool Flag);
// The lines joined by one blank, or by CR LF.
String dwStringsToPChar(const TStrings* Lines, bool JoinWithBlank);
// The text before the first '.', or the whole text without one.
String dwTextBeforeDot(const String& Text);
// The names of a ';'-separated list of field names, blanks around each removed and
// empty names left out.
std::vector<String> dwSplitFieldNames(const String& Names);
// The names joined again with ';'.
String dwJoinFieldNames(const std::vector<String>& Names);

int dwMax(int A, int B);
int dwMin(int A, int B);
// A reference or an event handler is set.
template<class T> bool dwIsAssigned(const T& Value) { return static_cast<bool>(Value); }

// The order of two bookmarks of the data set: negative, 0 or positive. A bookmark of no
// record comes before any other; two such are equal.
int dwCompareBookmarks(TDataSet* DataSet, const TBookmark& Bookmark1, const TBookmark& Bookmark2);

// Shows the hourglass for as long as it lives, then the cursor from before.
class TdwHourGlass {
public:
    TdwHourGlass();
    ~TdwHourGlass();
    TdwHourGlass(const TdwHourGlass&) = delete;
    TdwHourGlass& operator=(const TdwHourGlass&) = delete;

private:
    TCursor FCursor;
};

// Keeps the data set's controls quiet for as long as it lives.
class TdwControlsDisabled {
public:
    explicit TdwControlsDisabled(TDataSet* DataSet);
    ~TdwControlsDisabled();
    TdwControlsDisabled(const TdwControlsDisabled&) = delete;
    TdwControlsDisabled& operator=(const TdwControlsDisabled&) = delete;

private:
    TDataSet* FDataSet;
};
