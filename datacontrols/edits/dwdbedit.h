#pragma once
// The base of the library's edit chain: the masked edit, which checks its text against
// a picture mask as the user types, pastes and leaves it, and the data-aware edit, which
// edits one field of a data set with that field's picture mask and date auto-fill.

#include <functional>
#include <memory>

#include "datacontrols/common/dwfieldbinding.h"
#include "datacontrols/common/dwproperties.h"
#include "datacontrols/edits/dwdatefill.h"
#include "datacontrols/edits/dweditframe.h"
#include "platform/db/datalink.h"
#include "platform/vcl/controls/edits.h"

class TDataSet;
class TDataSource;
class TField;
class TdwCustomMaskEdit;

// Fired after each picture check with its outcome.
using TdwValidateEvent = std::function<void(TObject* Sender, bool PassesPictureTest)>;

// The picture-mask settings behind an edit's Picture property. While the mask comes from
// the bound data set, the data set's PictureMasks line for the field is read and written.
class TdwDBPicture : public TPersistent {
public:
    explicit TdwDBPicture(TdwCustomMaskEdit* Owner) : FOwner(Owner) { }

    String ClassName() const override { return "TdwDBPicture"; }
    bool InheritsFrom(const String& name) const override;
    // From another picture: its effective mask and AutoFill.
    void Assign(TPersistent* Source) override;

    bool PictureMaskFromDataSet() const { return FPictureMaskFromDataSet; }
    void SetPictureMaskFromDataSet(bool Value) { FPictureMaskFromDataSet = Value; }
    // The owner is bound to a field of a data set that publishes PictureMasks, and this
    // picture takes its mask from there.
    bool IsMaskFromDataSet() const;

    String PictureMask() const;
    void SetPictureMask(const String& Value);
    bool AutoFill() const;
    void SetAutoFill(bool Value);
    // Leaving the edit with a text that fails the mask is allowed; never while the mask
    // comes from the data set.
    bool AllowInvalidExit() const;
    void SetAllowInvalidExit(bool Value);

private:
    TdwCustomMaskEdit* FOwner;
    bool FPictureMaskFromDataSet = true;
    String FPictureMask;
    bool FAutoFill = true;
    bool FAllowInvalidExit = false;
};

class TdwCustomMaskEdit : public TEdit, public TdwPublished {
public:
    explicit TdwCustomMaskEdit(TComponent* AOwner);
    ~TdwCustomMaskEdit() override;

    String ClassName() const override { return "TdwCustomMaskEdit"; }
    bool InheritsFrom(const String& name) const override;

    TdwDBPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TdwDBPicture* Value) { FPicture->Assign(Value); }
    TdwEditFrame* Frame() const { return FFrame.get(); }
    void SetFrame(TdwEditFrame* Value) { FFrame->Assign(Value); }
    bool UsePictureMask() const { return FUsePictureMask; }
    void SetUsePictureMask(bool Value);
    // The text wraps onto the edit's lines, and the edit holds lines: it holds them too
    // when it has no border.
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value) override;
    // Enter types a line break into an edit that holds lines, instead of being swallowed.
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    // The height follows the font, the border and the frame.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // A vertical scroll bar beside the lines, while the edit holds them.
    bool ShowVertScrollBar() const { return VertScrollBar(); }
    void SetShowVertScrollBar(bool Value);

    // The picture mask applies: UsePictureMask is on and there is a mask.
    bool IsMaskInEffect() const;
    // An empty text, or an empty mask, passes; otherwise the text must fill the mask.
    // OnCheckValue hears the outcome.
    bool IsValidPictureValue(const String& Text);
    // The last exit was refused because the text failed the mask.
    bool InvalidExit() const { return FInvalidExit; }

    // The picture mask, or whether it applies, changed.
    virtual void PictureMaskChanged() { }
    // The data set and field whose picture mask applies; none for a plain masked edit.
    virtual TDataSet* PictureDataSet() const { return nullptr; }
    virtual String PictureFieldName() const { return String(); }

    std::optional<bool> PublishedBool(const String& Name) override;
    bool SetPublishedOrdinal(const String& Name, int Value) override;

    void KeyPress(char& Key) override;
    void KeyUp(Word& Key, TShiftState Shift) override;

    TdwValidateEvent OnCheckValue;

protected:
    // Owner-drawn edits (the combo box's owner-draw styles) answer true.
    virtual bool IsOwnerDraw() const { return false; }
    // Puts the text margins where the frame and any button leave room.
    virtual void UpdateEditRect();
    // Whether the edit holds lines and wraps them, from WordWrap and the border.
    virtual void GetLineMode(bool& MultiLine, bool& Wrap) const;
    void UpdateLineMode();
    // An auto-sized edit takes the height its font, border and frame give it.
    void AdjustHeight();
    // Unfocused, an effective transparent frame lets what lies under the edit show
    // through, the edit painting only its text and frame.
    void UpdateSeeThrough(bool Focused);
    void FontChanged() override;
    virtual void DoCheckValue(bool PassesPictureTest);
    void DoExit() override;
    void Resize() override;
    // The right edge of the text: the client width less 1, less a button's room in a combo.
    virtual int TextRightEdge() const { return ClientWidth() - 1; }
    // Takes the focus back once the focus move under way is done, unless the window has
    // lost the focus meanwhile.
    void TakeFocusBack();
    // Draws Text as the unfocused edit shows it: inside an effective frame at its text
    // offset, on the edit's colour unless the frame is transparent.
    void PaintFramedText(TCanvas* Canvas, const TRect& ClientArea, TAlignment Alignment, const String& Text);
    // The focused or unfocused look: the text margins, and the transparent frame's
    // see-through while unfocused.
    void ShowFocusedLook(bool Focused);
    // Sets the text as the picture check made it.
    void SetMaskedText(const String& Value);
    bool MaskSetText() const { return FMaskSetText; }
    bool MaskHandled() const { return FMaskHandled; }

private:
    std::unique_ptr<TdwDBPicture> FPicture;
    std::unique_ptr<TdwEditFrame> FFrame;
    bool FUsePictureMask = true;
    bool FWordWrap = false;
    bool FWantReturns = false;
    bool FAutoSize = false;
    bool FInvalidExit = false;
    bool FMaskHandled = false;
    bool FMaskSetText = false;
};

// How an unbound edit treats its text.
enum TdwEditDataType { dwDefault, dwEdtDate, dwEdtTime, dwEdtDateTime };

// Publishes DataSource and DataField: a grid binds the edits it shows in its cells through them.
class TdwDBCustomEdit : public TdwPublishedFieldBinding<TdwCustomMaskEdit, TdwDBCustomEdit> {
public:
    explicit TdwDBCustomEdit(TComponent* AOwner);
    ~TdwDBCustomEdit() override;

    String ClassName() const override { return "TdwDBCustomEdit"; }
    bool InheritsFrom(const String& name) const override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TDataSource* DataSource() const { return FDataLink.DataSource(); }
    void SetDataSource(TDataSource* Value);
    const String& DataField() const { return FDataLink.FieldName(); }
    void SetDataField(const String& Value);
    TField* Field() const { return FDataLink.Field(); }
    TFieldDataLink* DataLink() { return &FDataLink; }
    // The link's ReadOnly: the edit never writes its field.
    bool ReadOnly() const { return FDataLink.ReadOnly(); }
    virtual void SetReadOnly(bool Value);
    TdwDBPicture* Picture();
    void SetPicture(TdwDBPicture* Value);

    TAlignment UnboundAlignment() const { return FUnboundAlignment; }
    void SetUnboundAlignment(TAlignment Value);
    TdwEditDataType UnboundDataType() const { return FUnboundDataType; }
    void SetUnboundDataType(TdwEditDataType Value) { FUnboundDataType = Value; }
    // Space fills the next date or time element of a date or time text.
    bool AutoFillDate() const { return FAutoFillDate; }
    void SetAutoFillDate(bool Value) { FAutoFillDate = Value; }
    // The pivot of two-digit years when a date is stored; 0 is 1950.
    int EpochYear() const { return FEpochYear; }
    void SetEpochYear(int Value) { FEpochYear = Value; }
    // The alignment the text is painted with: the field's, or UnboundAlignment.
    TAlignment PaintAlignment() const;

    TDataSet* PictureDataSet() const override;
    String PictureFieldName() const override;

    int DialogCode() const override;
    // An action the edit does not handle is the data link's: one that works on the
    // edit's data source.
    bool ExecuteAction(TBasicAction* Action) override;
    bool UpdateAction(TBasicAction* Action) override;
    void CMEnter() override;
    void CMExit() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

    // May the field be edited: puts the link into edit state; a calculated or lookup
    // field that is not read-only counts when its data set can be modified.
    virtual bool IsFieldEditable();
    // Shows the field's value again and forgets the change.
    virtual void Reset();
    virtual bool IsTypingAllowed() { return true; }
    virtual bool GetShowButton() const { return false; }
    virtual void SetShowButton(bool) { }
    virtual bool IsCombo() const { return false; }

    // The option values of the edit: the third lets a combo's button click, the fourth
    // passes Enter and Esc of an unchanged multi-line edit on to its parent.
    bool ButtonClickOption() const { return FButtonClickOption; }
    void SetButtonClickOption(bool Value) { FButtonClickOption = Value; }
    bool PassDialogKeysOption() const { return FPassDialogKeysOption; }
    void SetPassDialogKeysOption(bool Value) { FPassDialogKeysOption = Value; }

protected:
    // The text the edit shows while it is not focused (it paints it itself then).
    virtual String DisplayTextToPaint();
    virtual void PaintText(TCanvas* Canvas, const TRect& ClientArea);
    virtual void PaintFrame(TCanvas* Canvas, bool Focused);
    virtual void DoValidationErrorUsingMask(TField* Field);
    // The room a button takes at the right (none here).
    virtual int ButtonWidthQuery() const { return 0; }
    // Puts the link into edit state; whether that worked.
    bool EditRequest();
    // Whether the edit paints its own text now instead of the widget's.
    virtual bool PaintsOwnText() const;
    // Without a border, or wrapping, an edit one line high stays one line.
    void GetLineMode(bool& MultiLine, bool& Wrap) const override;

    void Change() override;
    void DoEnter() override;
    void WMPaste() override;
    void WMCut() override;
    void PaintOver(TCanvas* Canvas, const TRect& ClientArea) override;
    void FontChanged() override;
    // Without a picture mask in effect the field's EditMask is the edit's.
    void PictureMaskChanged() override;

    // The text the field's value shows as: its edit text while focused and editable (a
    // memo's whole text), else its display text.
    virtual String TextForField(TField* Field);
    // What the text stores in the field.
    virtual String ValueToStore() { return Text(); }
    // The text is the field's value itself, so a string field's size limits it.
    virtual bool TextIsFieldValue() const { return true; }
    // The field link's events.
    virtual void DataChange();
    virtual void EditingChange();
    virtual void UpdateData();
    // Suppresses DataChange while the edit itself writes its field.
    bool FSkipDataChange = false;

private:
    // Whether a key inside a grid is the grid's to handle (a cell move) and not the edit's.
    bool KeyGoesToGrid(Word Key, TShiftState Shift);
    // Enter, and Tab when the grid tabs between cells, go to the library grid the edit is
    // a cell control of.
    bool HandsKeyToCellHost(Word Key, TShiftState Shift);
    // The date or time kind of the bound field, or of the unbound text.
    bool FillKind(TdwFillKind& Kind) const;
    // The data link's edit state and Modified, for a key, paste or cut that changes the text.
    void MarkEdited();
    void ClearMaxLengthOfField();
    void SetOwnReadOnly(bool Value) { TEdit::SetReadOnly(Value); }

    TFieldDataLink FDataLink;
    TAlignment FAlignment = taLeftJustify;
    TAlignment FUnboundAlignment = taLeftJustify;
    String FUnboundText;
    bool FAutoFillDate = true;
    TdwEditDataType FUnboundDataType = dwDefault;
    int FEpochYear = 0;
    bool FButtonClickOption = true;
    bool FPassDialogKeysOption = false;
    bool FFocusedLook = false;
};
