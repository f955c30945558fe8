#pragma once
// The memo dialog: a component that edits a long text (a memo or other field, or its own
// Lines) in a modal form, and the form it shows.

#include <functional>
#include <memory>

#include "platform/classes/component.h"
#include "platform/classes/sets.h"
#include "platform/db/datalink.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/forms/forms.h"

class TButton;
class TCustomForm;
class TMemo;
class TPanel;
class TdwMemoDlg;

// The form may be resized; its text wraps; the grid shows a memo's text in its cells;
// the text may only be looked at; the grid opens no dialog.
enum TdwMemoAttribute { mSizeable, mWordWrap, mGridShow, mViewOnly, mDisableDialog };
using TdwMemoAttributes = SetOf<TdwMemoAttribute>;

using TdwOnInitMemoDlgEvent = std::function<void(TdwMemoDlg* Dialog)>;
using TdwMemoUserButtonEvent = std::function<void(TdwMemoDlg* Dialog, TMemo* Memo)>;

class TdwMemoDialog : public TComponent {
public:
    explicit TdwMemoDialog(TComponent* AOwner);
    ~TdwMemoDialog() override;

    String ClassName() const override { return "TdwMemoDialog"; }
    bool InheritsFrom(const String& name) const override;

    TDataSource* DataSource() const { return FDataLink.DataSource(); }
    void SetDataSource(TDataSource* Value) { FDataLink.SetDataSource(Value); }
    const String& DataField() const { return FDataLink.FieldName(); }
    void SetDataField(const String& Value) { FDataLink.SetFieldName(Value); }
    // The field edited; null without an active data source and a field name.
    TField* Field() const { return FDataLink.Field(); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    TdwMemoAttributes MemoAttributes() const { return FMemoAttributes; }
    void SetMemoAttributes(TdwMemoAttributes Value) { FMemoAttributes = Value; }
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value) { FCaption = Value; }
    // The text edited when there is no field.
    TStrings* Lines() { return &FLines; }
    // The form's bounds; with DlgLeft and DlgTop 0 only the size applies.
    int DlgLeft() const { return FDlgLeft; }
    void SetDlgLeft(int Value) { FDlgLeft = Value; }
    int DlgTop() const { return FDlgTop; }
    void SetDlgTop(int Value) { FDlgTop = Value; }
    int DlgWidth() const { return FDlgWidth; }
    void SetDlgWidth(int Value) { FDlgWidth = Value; }
    int DlgHeight() const { return FDlgHeight; }
    void SetDlgHeight(int Value) { FDlgHeight = Value; }
    // The form while it runs; null otherwise.
    TdwMemoDlg* Dialog() const { return FDialog; }
    // A user button shows under the text only with a caption.
    const String& UserButton1Caption() const { return FUserButton1Caption; }
    void SetUserButton1Caption(const String& Value) { FUserButton1Caption = Value; }
    const String& UserButton2Caption() const { return FUserButton2Caption; }
    void SetUserButton2Caption(const String& Value) { FUserButton2Caption = Value; }

    // Runs the form; true when the user accepted. The text goes back to the field (the
    // record left unposted) or to Lines.
    virtual bool Execute();

    TdwOnInitMemoDlgEvent OnInitDialog;
    TdwOnInitMemoDlgEvent OnCloseDialog;
    TdwMemoUserButtonEvent OnUserButton1Click;
    TdwMemoUserButtonEvent OnUserButton2Click;

protected:
    virtual void DoInitDialog(TdwMemoDlg* Dialog);
    virtual void DoCloseDialog(TdwMemoDlg* Dialog);

private:
    friend class TdwMemoDlg;
    friend bool dwRunMemoDialog(TCustomForm* ActiveForm, TdwMemoDialog* Dialog, bool Editable);

    TFieldDataLink FDataLink;
    std::unique_ptr<TFont> FFont;
    TdwMemoAttributes FMemoAttributes {mSizeable, mWordWrap};
    String FCaption;
    TStringList FLines;
    int FDlgLeft = 0;
    int FDlgTop = 0;
    int FDlgWidth = 561;
    int FDlgHeight = 396;
    String FUserButton1Caption;
    String FUserButton2Caption;
    TdwMemoDlg* FDialog = nullptr;
};

// The form of the memo dialog.
class TdwMemoDlg : public TForm {
public:
    explicit TdwMemoDlg(TComponent* AOwner);

    String ClassName() const override { return "TdwMemoDlg"; }
    bool InheritsFrom(const String& name) const override;

    TMemo* Memo = nullptr;
    TPanel* UserButtonPanel = nullptr;
    TButton* UserButton1 = nullptr;
    TButton* UserButton2 = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;

    // Closing without OK after a change asks whether to drop the changes.
    bool CloseQuery() override;

protected:
    void DoShow() override;
    void Resize() override;

private:
    friend bool dwRunMemoDialog(TCustomForm* ActiveForm, TdwMemoDialog* Dialog, bool Editable);
    void ResizeControls();
    // Shows the user buttons that have captions on their panel under the text.
    void PlaceUserButtons();
    bool HasUserButtons() const;
    void MemoKeyDown(Word& Key, TShiftState Shift);

    TdwMemoDialog* FMemoDialog = nullptr;
    bool FShown = false;
    bool FOKPressed = false;
    bool FOKAccepted = false;
};

// Shows the dialog's form modally over ActiveForm (may be null); true when closed with OK.
bool dwRunMemoDialog(TCustomForm* ActiveForm, TdwMemoDialog* Dialog, bool Editable);
