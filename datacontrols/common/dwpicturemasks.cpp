#include "datacontrols/common/dwpicturemasks.h"

#include "datacontrols/common/dwpicture.h"
#include "datacontrols/common/dwstrings.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/common/wwintl.h"
#include "platform/db/dataset.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/edits.h"

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
    return FieldName + "\t" + Value.Mask + "\t" + dwBoolToTF(Value.AutoFill) + "\t" + dwBoolToTF(Value.UseInGrid);
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
    TdwFieldPictureMask value{Mask, AutoFill, UseInGrid};
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
    TdwPictureValidator validator(Mask, false);
    String text = Text;
    return validator.Status() != 0 || validator.Match(text, false) == prComplete;
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

bool dwPictureKeyPress(TCustomEdit* Edit, const String& Mask, bool AutoFill, char& Key)
{
    const auto code = static_cast<unsigned char>(Key);
    if (code < 32 || code > 254)
        return false;
    const String old = Edit->Text();
    const int oldLength = static_cast<int>(old.size());
    const int selStart = Edit->SelStart();
    const int selLength = Edit->SelLength();
    if (Edit->MaxLength() > 0 && oldLength - selLength + 1 > Edit->MaxLength())
        return false;
    String text = old.substr(0, static_cast<size_t>(selStart)) + Key + old.substr(static_cast<size_t>(selStart + selLength));
    TdwPictureValidator validator(Mask, AutoFill);
    if (validator.Status() != 0)
        return false;
    const TdwPicResult result = validator.Match(text, AutoFill);
    const int growth = static_cast<int>(text.size()) - oldLength;
    if (result == prComplete || result == prIncomplete) {
        int caret;
        if (selStart == oldLength)
            caret = static_cast<int>(text.size());
        else if (result == prComplete ? selStart > oldLength : selLength > 0)
            caret = selStart + 1;
        else
            caret = selStart + growth;
        Edit->SetText(text);
        Edit->SetSelStart(caret);
        Edit->SetSelLength(0);
    } else if (result == prError && selStart >= oldLength) {
        MessageBeep();
    }
    Key = 0;
    return true;
}
