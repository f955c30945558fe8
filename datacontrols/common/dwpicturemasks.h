#pragma once
// Picture masks per field, read from and written to the PictureMasks list that a data
// set or a control publishes: one line per field, FieldName TAB Mask TAB AutoFill TAB
// UseInGrid, the flags "T" or "F". Field names compare ignoring case.

#include "datacontrols/common/dwpicture.h"
#include "datacontrols/common/dwproperties.h"
#include "platform/rtl/types.h"

class TCustomEdit;
class TDataSet;
class TObject;

struct TdwFieldPictureMask {
    String Mask;
    bool AutoFill = true;
    bool UseInGrid = true;
};

// The first line for the field; no mask and both flags true when there is none (or no
// list). A flag is true only when it reads exactly "T".
TdwFieldPictureMask dwGetFieldPictureMask(TObject* Owner, const String& FieldName);
// Rewrites the field's line: a part whose Set flag is off keeps its old value; an empty
// mask deletes the line. Without a line, a non-empty mask appends one. Nothing happens
// when Owner publishes no list.
void dwPutFieldPictureMask(TObject* Owner, const String& FieldName, const String& Mask, bool SetUseInGrid,
                           bool SetAutoFill, bool SetMask, bool UseInGrid, bool AutoFill);

// An empty text passes; so does any text under a malformed mask, which the edits do
// not enforce either. Otherwise the text must fill the mask.
bool dwPassesPictureMask(const String& Mask, const String& Text);

// Before a post: the first writable field whose text fails its mask gets the focus,
// OnInvalidValue (when assigned) hears of it, and EDatabaseError is raised with the
// library's PictureValidateError text followed by the field's display name.
void dwValidateWithMasks(TDataSet* DataSet, const TdwInvalidValueEvent& OnInvalidValue);

// What a printable key typed over the selection does under Mask. Handled is false when
// the mask leaves the key alone: not printable (32..254), a text longer than MaxLength
// (0 is no limit), or a malformed mask. Otherwise Result is Match's with the key in place;
// for a complete or incomplete result Text is the new text and Caret where the caret goes:
// to the end when it was at the end, else past the key and what the mask filled in after
// it. AtEnd: the key was typed at the end of the text.
struct TdwPictureKeyStep {
    bool Handled = false;
    TdwPicResult Result = prError;
    String Text;
    int Caret = 0;
    bool AtEnd = false;
};
TdwPictureKeyStep dwPictureKeyStep(const String& Text, int SelStart, int SelLength, int MaxLength,
                                   const String& Mask, bool AutoFill, char Key);

// Applies Mask to a typed key of a plain edit: the edit takes the text the key makes
// (with auto-fill as given) and the caret follows it; a refused key beeps when typed at
// the end. Returns true, with Key consumed, when the mask handled the key (printable
// keys that keep the text within MaxLength).
bool dwPictureKeyPress(TCustomEdit* Edit, const String& Mask, bool AutoFill, char& Key);
