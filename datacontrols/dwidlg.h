#pragma once
// The lookup dialog: a component that shows its table in a modal form with a grid and an
// incremental search edit, and leaves the table on the record the user picks.

#include <functional>

#include "datacontrols/wwdbgrid.h"
#include "platform/classes/component.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/edits.h"
#include "platform/vcl/forms.h"

class TButton;
class TDataSet;
class TDataSource;
class TLabel;
class TdwIncrementalSearch;
class TdwLookupDlg;

enum TdwDBLookupDlgOption {
    opShowOKCancel, opShowSearchBy, opGroupControls, opFixFirstColumn, opShowStatusBar, opDisableReorderColumns
};
using TdwDBLookupDlgOptions = SetOf<TdwDBLookupDlgOption>;

using TdwOnInitDialogEvent = std::function<void(TdwLookupDlg* Dialog)>;

// A dialog component: Execute runs it, GetPrimaryDataSet names its data set.
class TdwCustomDialog : public TComponent {
public:
    using TComponent::TComponent;
    String ClassName() const override { return "TdwCustomDialog"; }
    virtual bool Execute() = 0;
    virtual TDataSet* GetPrimaryDataSet() = 0;
};

class TdwLookupDialog : public TdwCustomDialog {
public:
    explicit TdwLookupDialog(TComponent* AOwner);

    String ClassName() const override { return "TdwLookupDialog"; }
    bool InheritsFrom(const String& name) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // True when the user closed the form with OK; the table is then on the chosen record.
    bool Execute() override;
    TDataSet* GetPrimaryDataSet() override { return FLookupTable; }

    TDataSet* LookupTable() const { return FLookupTable; }
    void SetLookupTable(TDataSet* Value);
    TStrings* Selected() { return &FSelected; }
    void SetSelected(const TStrings* Value) { FSelected.Assign(*Value); }
    TdwDBLookupDlgOptions Options() const { return FOptions; }
    void SetOptions(TdwDBLookupDlgOptions Value) { FOptions = Value; }
    TdwDBGridOptions GridOptions() const { return FGridOptions; }
    void SetGridOptions(TdwDBGridOptions Value) { FGridOptions = Value; }
    TColor GridColor() const { return FGridColor; }
    void SetGridColor(TColor Value) { FGridColor = Value; }
    TAlignment GridTitleAlignment() const { return FGridTitleAlignment; }
    void SetGridTitleAlignment(TAlignment Value) { FGridTitleAlignment = Value; }
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value) { FCaption = Value; }
    // Pixels; MaxWidth 0 is the screen width less 40.
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value) { FMaxWidth = Value; }
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value) { FMaxHeight = Value; }
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value) { FCharCase = Value; }
    bool UseTFields() const { return FUseTFields; }
    void SetUseTFields(bool Value) { FUseTFields = Value; }

    TdwOnInitDialogEvent OnInitDialog;
    TdwOnInitDialogEvent OnCloseDialog;

private:
    TDataSet* FLookupTable = nullptr;
    TStringList FSelected;
    TdwDBLookupDlgOptions FOptions{opShowOKCancel, opShowSearchBy};
    TdwDBGridOptions FGridOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                                  dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgPerfectRowFit};
    TColor FGridColor = clWhite;
    TAlignment FGridTitleAlignment = taLeftJustify;
    String FCaption = "Lookup";
    int FMaxWidth = 0;
    int FMaxHeight = 209;
    TEditCharCase FCharCase = ecNormal;
    bool FUseTFields = true;
};

// The form the lookup dialog shows.
class TdwLookupDlg : public TForm {
public:
    explicit TdwLookupDlg(TComponent* AOwner);

    String ClassName() const override { return "TdwLookupDlg"; }
    bool InheritsFrom(const String& name) const override;

    TLabel* SearchCharacterLabel;
    TdwDBGrid* dwDBGrid1;
    TdwIncrementalSearch* dwIncrementalSearch1;
    TDataSource* DataSource1;
    TButton* OKBtn;
    TButton* CancelBtn;

    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value) { FMaxWidth = Value; }
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value) { FMaxHeight = Value; }

    // Enter chooses; Up, Down, Page Up and Page Down move the grid wherever the focus is.
    void KeyDown(Word& Key, TShiftState Shift) override;
    bool CloseQuery() override;

protected:
    void Activate() override;

private:
    friend bool dwSetupLookupDlg(TdwLookupDialog* Dialog, TDataSet* DataSet);
    void PrepareToShow();
    void AdjustLayout();

    TdwDBLookupDlgOptions FOptions;
    TDataSet* FDataSet = nullptr;
    TdwOnInitDialogEvent FOnInitDialog;
    TdwOnInitDialogEvent FOnCloseDialog;
    int FMaxWidth = 0;
    int FMaxHeight = 360;
    bool FActivated = false;
};

// Builds, shows and frees the lookup form for the dialog's settings over DataSet; true
// when the user chose OK.
bool dwSetupLookupDlg(TdwLookupDialog* Dialog, TDataSet* DataSet);
