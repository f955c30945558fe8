#include "datacontrols/common/dwpicturemasks.h"

#include <algorithm>

#include "datacontrols/common/dwpicture.h"
#include "datacontrols/common/dwstrings.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/common/wwintl.h"
#include "platform/db/dataset.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/dialogs/dialogs.h"

namespace {

// The TAB-separated parts of a PictureMasks line: name, mask, auto-fill, use-in-grid.
struct TMaskLine {
    String FieldName;
    TdwFieldPictureMask Value;
};

TMaskLine ReadMaskLine(const String& Line)
{
    String parts[4];
    int pos = 1;
    for (String& part : parts)
        dwGetToken(Line, "\t", pos, part);
    return {parts[0], {parts[1], parts[2] == "T", parts[3] == "T"}};
}

// The index of the field's first line; -1 when absent.
int FindMaskLine(TStrings* Lines, const String& FieldName)
{
    const String name = AnsiLowerCase(FieldName);
    for (int i = 0; i < Lines->Count(); ++i)
        if (AnsiLowerCase(ReadMaskLine(Lines->Get(i)).FieldName) == name)
            return i;
    return -1;
}

String MaskLineText(const String& FieldName, const TdwFieldPictureMask& Value)
{
    return FieldName + "\t" + Value.Mask + "\t" + dwBoolToTF(Value.AutoFill) + "\t" +
           dwBoolToTF(Value.UseInGrid);
}

}  // namespace

TdwFieldPictureMask dwGetFieldPictureMask(TObject* Owner, const String& FieldName)
{
    TStrings* lines = dwGetPictureMasksList(Owner);
    const int index = lines ? FindMaskLine(lines, FieldName) : -1;
    return index < 0 ? TdwFieldPictureMask() : ReadMaskLine(lines->Get(index)).Value;
}

void dwPutFieldPictureMask(TObject* Owner, const String& FieldName, const String& Mask, bool SetUseInGrid,
                           bool SetAutoFill, bool SetMask, bool UseInGrid, bool AutoFill)
{
    TStrings* lines = dwGetPictureMasksList(Owner);
    if (!lines)
        return;
    TdwFieldPictureMask value {Mask, AutoFill, UseInGrid};
    const int index = FindMaskLine(lines, FieldName);
    if (index < 0) {
        if (!Mask.empty())
            lines->Add(MaskLineText(FieldName, value));
        return;
    }
    const TdwFieldPictureMask old = ReadMaskLine(lines->Get(index)).Value;
    if (!SetMask)
        value.Mask = old.Mask;
    if (!SetAutoFill)
        value.AutoFill = old.AutoFill;
    if (!SetUseInGrid)
        value.UseInGrid = old.UseInGrid;
    if (value.Mask.empty())
        lines->Delete(index);
    else
        lines->Put(index, MaskLineText(FieldName, value));
}

bool dwPassesPictureMask(const String& Mask, const String& Text)
{
    if (Text.empty())
        return true;
    // A malformed mask passes nothing: Match reports its syntax error.
    TdwPictureValidator validator(Mask, false);
    String text = Text;
    return validator.Match(text, false) == prComplete;
}

void dwValidateWithMasks(TDataSet* DataSet, const TdwInvalidValueEvent& OnInvalidValue)
{
    for (TField* field : DataSet->Fields()) {
        const String mask = dwGetFieldPictureMask(DataSet, field->FieldName()).Mask;
        if (mask.empty() || field->ReadOnly() || dwPassesPictureMask(mask, field->Text()))
            continue;
        field->FocusControl();
        if (OnInvalidValue)
            OnInvalidValue(DataSet, field);
        throw EDatabaseError(dwIntl()->UserMessages().PictureValidateError + field->DisplayName());
    }
}

TdwPictureKeyStep dwPictureKeyStep(const String& Text, int SelStart, int SelLength, int MaxLength,
                                   const String& Mask, bool AutoFill, char Key)
{
    TdwPictureKeyStep step;
    const auto code = static_cast<unsigned char>(Key);
    const int oldLength = static_cast<int>(Text.size());
    if (code < 32 || code > 254 || (MaxLength > 0 && oldLength - SelLength + 1 > MaxLength))
        return step;
    TdwPictureValidator validator(Mask, AutoFill);
    if (validator.Status() != 0)
        return step;
    step.Handled = true;
    step.AtEnd = SelStart >= oldLength;
    step.Text = Text.substr(0, static_cast<size_t>(SelStart)) + Key +
                Text.substr(static_cast<size_t>(SelStart + SelLength));
    step.Result = validator.Match(step.Text, AutoFill);
    const int newLength = static_cast<int>(step.Text.size());
    // Past the key and what the mask filled in after it: the text's growth, plus what
    // the key replaced.
    if (SelStart == oldLength)
        step.Caret = newLength;
    else
        step.Caret = std::clamp(SelStart + newLength - (oldLength - SelLength), 0, newLength);
    return step;
}

bool dwPictureKeyPress(TCustomEdit* Edit, const String& Mask, bool AutoFill, char& Key)
{
    const TdwPictureKeyStep step = dwPictureKeyStep(Edit->Text(), Edit->SelStart(), Edit->SelLength(),
                                                    Edit->MaxLength(), Mask, AutoFill, Key);
    if (!step.Handled)
        return false;
    if (step.Result == prComplete || step.Result == prIncomplete) {
        Edit->SetText(step.Text);
        Edit->SetSelStart(step.Caret);
        Edit->SetSelLength(0);
    } else if (step.Result == prError && step.AtEnd) {
        MessageBeep();
    }
    Key = 0;
    return true;
}
