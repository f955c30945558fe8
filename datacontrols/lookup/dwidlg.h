#pragma once
// The lookup dialog: a component that shows its table in a modal form with a grid, an
// incremental search edit and, optionally, an index chooser, user buttons and OK and
// Cancel, and leaves the table on the record the user picks.

#include <functional>

#include "datacontrols/common/dwproperties.h"
#include "datacontrols/grid/wwdbgrid.h"
#include "datacontrols/lookup/dwfieldlists.h"
#include "datacontrols/lookup/wwkeycombo.h"
#include "platform/classes/component.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/forms/forms.h"

class TButton;
class TCustomForm;
class TDataSet;
class TDataSource;
class THeader;
class TLabel;
class TPanel;
class TdwIncrementalSearch;
class TdwLookupDlg;

enum TdwDBLookupDlgOption {
    opShowOKCancel,
    opShowSearchBy,
    opGroupControls,
    opFixFirstColumn,
    opShowStatusBar,
    opDisableReorderColumns
};
using TdwDBLookupDlgOptions = SetOf<TdwDBLookupDlgOption>;

using TdwUserButtonEvent = std::function<void(TObject* Sender, TDataSet* LookupTable)>;
using TdwOnInitDialogEvent = std::function<void(TdwLookupDlg* Dialog)>;
// Puts Target on Source's record.
using TdwSyncTablesEvent = std::function<void(TObject* Sender, TDataSet* Target, TDataSet* Source)>;

// What the lookup form is shown with.
struct TdwLookupDlgSettings {
    // Column lines (FieldName TAB Width TAB Title [TAB T|F]); null or empty: every
    // visible field.
    const TStrings* Selected = nullptr;
    bool PictureMaskFromField = false;
    bool UseTFields = true;
    String InitialSearch;
    TdwUserButtonEvent OnUserButton1Click;
    TdwUserButtonEvent OnUserButton2Click;
    TdwOnInitDialogEvent OnInitDialog;
    TdwOnInitDialogEvent OnCloseDialog;
    TNotifyEvent OnSortChange;
    // A user button shows only with a caption.
    String UserButton1Caption;
    String UserButton2Caption;
    TEditCharCase CharCase = ecNormal;
    // Pixels; 0 for MaxWidth is the screen width less 40.
    int MaxHeight = 209;
    int MaxWidth = 0;
    String Caption = "Lookup";
    TAlignment GridTitleAlignment = taLeftJustify;
    TColor GridColor = clWhite;
    TdwDBGridOptions GridOptions {dgTitles,        dgIndicator,    dgColumnResize, dgColLines,
                                  dgRowLines,      dgTabs,         dgRowSelect,    dgAlwaysShowSelection,
                                  dgConfirmDelete, dgPerfectRowFit};
    TdwDBLookupDlgOptions Options {opShowOKCancel, opShowSearchBy};
};

// A dialog component: Execute runs it, GetPrimaryDataSet names its data set.
class TdwCustomDialog : public TComponent {
public:
    using TComponent::TComponent;
    String ClassName() const override { return "TdwCustomDialog"; }
    bool InheritsFrom(const String& name) const override;
    virtual bool Execute() = 0;
    virtual TDataSet* GetPrimaryDataSet() = 0;
};

// The lookup dialog's settings, and the road of a search table with a shadow table: a
// second data set over the same table, put on the record the user picks.
class TdwCustomLookupDialog : public TdwCustomDialog, public TdwFieldListSettings {
public:
    explicit TdwCustomLookupDialog(TComponent* AOwner);

    String ClassName() const override { return "TdwCustomLookupDialog"; }
    bool InheritsFrom(const String& name) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    bool Execute() override;
    // Raises EInvalidOperation: a descendant names its data set.
    TDataSet* GetPrimaryDataSet() override;

    TStrings* Selected() { return &FSelected; }
    void SetSelected(const TStrings* Value) { FSelected.Assign(*Value); }
    TdwDBLookupDlgOptions Options() const { return FSettings.Options; }
    void SetOptions(TdwDBLookupDlgOptions Value) { FSettings.Options = Value; }
    TdwDBGridOptions GridOptions() const { return FSettings.GridOptions; }
    void SetGridOptions(TdwDBGridOptions Value) { FSettings.GridOptions = Value; }
    TColor GridColor() const { return FSettings.GridColor; }
    void SetGridColor(TColor Value) { FSettings.GridColor = Value; }
    TAlignment GridTitleAlignment() const { return FSettings.GridTitleAlignment; }
    void SetGridTitleAlignment(TAlignment Value) { FSettings.GridTitleAlignment = Value; }
    const String& Caption() const { return FSettings.Caption; }
    void SetCaption(const String& Value) { FSettings.Caption = Value; }
    int MaxWidth() const { return FSettings.MaxWidth; }
    void SetMaxWidth(int Value) { FSettings.MaxWidth = Value; }
    int MaxHeight() const { return FSettings.MaxHeight; }
    void SetMaxHeight(int Value) { FSettings.MaxHeight = Value; }
    TEditCharCase CharCase() const { return FSettings.CharCase; }
    void SetCharCase(TEditCharCase Value) { FSettings.CharCase = Value; }
    bool PictureMaskFromField() const { return FSettings.PictureMaskFromField; }
    void SetPictureMaskFromField(bool Value) { FSettings.PictureMaskFromField = Value; }
    bool UseTFields() const { return FSettings.UseTFields; }
    void SetUseTFields(bool Value) { FSettings.UseTFields = Value; }
    const String& UserButton1Caption() const { return FSettings.UserButton1Caption; }
    void SetUserButton1Caption(const String& Value) { FSettings.UserButton1Caption = Value; }
    const String& UserButton2Caption() const { return FSettings.UserButton2Caption; }
    void SetUserButton2Caption(const String& Value) { FSettings.UserButton2Caption = Value; }

    TdwUserButtonEvent OnUserButton1Click;
    TdwUserButtonEvent OnUserButton2Click;
    // Once while the form is being shown, before its layout.
    TdwOnInitDialogEvent OnInitDialog;
    // When the form is allowed to close.
    TdwOnInitDialogEvent OnCloseDialog;
    // The user picked another order in "Search By" (Sender: the form).
    TNotifyEvent OnSortChange;
    TdwSyncTablesEvent OnSyncTables;

protected:
    TDataSet* SearchTable() const { return FSearchTable; }
    void SetSearchTable(TDataSet* Value);
    TDataSet* ShadowSearchTable() const { return FShadowSearchTable; }
    void SetShadowSearchTable(TDataSet* Value);
    // The settings with the component's events and column lines.
    TdwLookupDlgSettings Settings() const;
    virtual void DoSyncTables(TDataSet* Target, TDataSet* Source);
    // Puts Target on Source's record: two library tables by record number, other data
    // sets through DoSyncTables.
    void SyncTables(TDataSet* Target, TDataSet* Source);

private:
    // Refuses a pair that does not name one table twice: a message and false.
    bool CheckTables();

    TdwLookupDlgSettings FSettings;
    TStringList FSelected;
    TDataSet* FSearchTable = nullptr;
    TDataSet* FShadowSearchTable = nullptr;
};

class TdwLookupDialog : public TdwCustomLookupDialog {
public:
    explicit TdwLookupDialog(TComponent* AOwner);

    String ClassName() const override { return "TdwLookupDialog"; }
    bool InheritsFrom(const String& name) const override;

    // True when the user closed the form with OK; the table is then on the chosen record.
    bool Execute() override;
    TDataSet* GetPrimaryDataSet() override { return LookupTable(); }

    TDataSet* LookupTable() const { return SearchTable(); }
    void SetLookupTable(TDataSet* Value) { SetSearchTable(Value); }
};

// The lookup form's "Search By" chooser: choosing re-orders the form's grid.
class TdwTempKeyCombo : public TdwKeyCombo {
public:
    explicit TdwTempKeyCombo(TdwLookupDlg* Form);

    String ClassName() const override { return "TdwTempKeyCombo"; }
    bool InheritsFrom(const String& name) const override;
    // Enter and Esc stay with the chooser, to close its list.
    int DialogCode() const override { return TdwKeyCombo::DialogCode() | dlgcWantAllKeys; }
    // Down (without Alt) opens the closed list.
    void KeyDown(Word& Key, TShiftState Shift) override;

protected:
    void Change() override;

private:
    TdwLookupDlg* FForm;
};

// The form the lookup dialog shows.
class TdwLookupDlg : public TForm {
public:
    explicit TdwLookupDlg(TComponent* AOwner);

    String ClassName() const override { return "TdwLookupDlg"; }
    bool InheritsFrom(const String& name) const override;

    TLabel* SearchCharacterLabel;
    TLabel* SortByLabel;
    TdwDBGrid* dwDBGrid1;
    TdwIncrementalSearch* dwIncrementalSearch1;
    THeader* StatusHeader;
    TPanel* UserButtonPanel;
    TButton* UserButton1;
    TButton* UserButton2;
    TDataSource* DataSource1;
    TButton* OKBtn;
    TButton* CancelBtn;
    TdwTempKeyCombo* dwKeyCombo1;

    // For OnInitDialog: the grid's height and widest width, in pixels.
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value) { FMaxWidth = Value; }
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value) { FMaxHeight = Value; }
    TdwDBLookupDlgOptions Options() const { return FOptions; }
    TDataSet* DataSet() const { return FDataSet; }

    // Enter chooses; Up, Down, Page Up and Page Down move the grid wherever the focus
    // is; none of it while the chooser has the focus.
    void KeyDown(Word& Key, TShiftState Shift) override;
    // In the chooser, Enter or Esc closes its list and goes back to the search edit.
    void KeyUp(Word& Key, TShiftState Shift) override;
    // Refused while the chooser's list is open; a pending search finishes first.
    bool CloseQuery() override;

    // The order's fields lead the grid and the search follows the first of them.
    void ApplyIndexOrder();
    // Sizes and places everything; ColumnsOnly widens the last column to the minimum
    // width and stops.
    void AdjustLayout(bool ColumnsOnly);

protected:
    void Activate() override;
    // The steps of showing: sizes and places everything for the data set, then OnShow.
    void DoShow() override;

private:
    friend bool dwSetupLookupDlg(TCustomForm* ActiveForm, TComponent* Owner,
                                 const TdwLookupDlgSettings& Settings, TDataSet* DataSet);
    friend class TdwTempKeyCombo;

    void ApplyIntlLabels();
    // Without the grid's fields, the search follows the grid's first column.
    void SetSearchFieldFromGrid();
    void UpdateStatusHeader();
    // The chooser can list something for the data set.
    bool ChooserApplies() const;
    void dwKeyCombo1Change();
    void dwDBGrid1DblClick();
    void dwDBGrid1MouseDown(int X, int Y);

    TdwLookupDlgSettings FSettings;
    TDataSet* FDataSet = nullptr;
    TdwDBLookupDlgOptions FOptions;
    int FMaxWidth = 0;
    int FMaxHeight = 360;
    // -1: centred.
    int FRememberedLeft = -1;
    bool FInitializing = false;
    bool FActivated = false;
    bool FMemoCellPressed = false;
};

// Builds, shows and frees the lookup form over DataSet for the owning component; true
// when the user chose OK on a record.
bool dwSetupLookupDlg(TCustomForm* ActiveForm, TComponent* Owner, const TdwLookupDlgSettings& Settings,
                      TDataSet* DataSet);
