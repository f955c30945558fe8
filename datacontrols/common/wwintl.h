#pragma once
// TdwIntl: every user-visible text of the data-aware control library and its
// library-wide settings. One global instance (dwIntl()) serves every control and
// dialog; a TdwIntl placed on a form copies its values into the global one when it is
// connected.

#include <functional>

#include "platform/classes/component.h"
#include "platform/vcl/graphics/graphics.h"

class TField;
class TButton;
class TWinControl;

// The texts of each area are plain records, copied whole into the global instance.
struct TdwADOIntl {
    bool UseLocateWhenFindingValue = true;
};

struct TdwDBNavigatorIntlHints {
    String FirstHint = "Move to first record";
    String PriorHint = "Move to prior record";
    String NextHint = "Move to next record";
    String LastHint = "Move to last record";
    String InsertHint = "Insert new record";
    String DeleteHint = "Delete current record";
    String EditHint = "Edit current record";
    String PostHint = "Post changes of current record";
    String CancelHint = "Cancel changes made to current record";
    String RefreshHint = "Refresh the contents of the dataset";
    String PriorPageHint = "Move backward %d records";
    String NextPageHint = "Move forward %d records";
    String SaveBookmarkHint = "Bookmark current record";
    String RestoreBookmarkHint = "Go back to saved bookmark";
    String RecordViewDialogHint = "View current record";
    String FilterDialogHint = "Filter the dataset";
    String LocateDialogHint = "Locate a specific record";
    String SearchDialogHint = "Search the dataset";
};

struct TdwDBNavigatorIntl {
    String ConfirmDeleteMessage = "Delete record?";
    TdwDBNavigatorIntlHints Hints;
};

struct TdwSearchDialogIntl {
    String SearchCharLabel = "&Search Characters";
    String SearchCharShortLabel = "&Search Char";
    String SearchByLabel = "Search &By";
    String StatusRecLabel = "Rec #";
    String StatusOfLabel = "of";
    String SearchCharHint = "Enter characters for incremental search";
    String SearchByHint = "Incremental searching and sorting order";
};

struct TdwLocateDialogIntl {
    String FieldValueLabel = "Field &Value";
    String SearchTypeLabel = "&Search Type";
    String CaseSensitiveLabel = "&Case-sensitive";
    String MatchExactLabel = "&Exact Match";
    String MatchStartLabel = "&Partial Match at Beginning";
    String MatchAnyLabel = "Partial Match &Anywhere";
    String FieldsLabel = "&Fields";
    String BtnFirst = "Fi&rst";
    String BtnNext = "&Next";
    String BtnCancel = "Cancel";
    String FieldValueHint = "Enter field's search value";
    String CaseSensitiveHint = "Searching is case-sensitive";
    String MatchExactHint = "Match occurs only if there is an exact match";
    String MatchStartHint = "Match occurs if the start of the field's value matches";
    String MatchAnyHint = "Match occurs if any part of the field matches";
    String BtnFirstHint = "Find first match";
    String BtnNextHint = "Find next match from current record";
    String FieldNameHint = "Select the field to search on";
};

struct TdwMonthCalendarIntl {
    String PopupYearLabel = "Edit Year";
    String EnterYearPrompt = "Enter Valid Year";
};

struct TdwFilterDialogIntl {
    String BtnViewSummary = "View Su&mmary";
    String BtnViewSummaryHint = "View summary of current search criteria";
    String BtnNewSearch = "&New Search";
    String BtnNewSearchHint = "Start a new search";
    String FieldOrderLabel = "Field Order";
    String FieldOrderHint = "Sort field list alphabetically or in their natural logical order";
    String AlphabeticLabel = "Alpha&betic";
    String LogicalLabel = "&Logical";
    String AllFieldsLabel = "&All";
    String SearchedFieldsLabel = "&Searched";
    String StartingRangeLabel = "&Starting Range";
    String EndingRangeLabel = "En&ding Range";
    String BtnClearMin = "&Clear";
    String BtnClearMax = "Cl&ear";
    String BtnClearFilterValue = "&Clear";
    String StartingRangeHint = "Enter starting range for field";
    String EndingRangeHint = "Enter ending range for field";
    String BtnClearMinHint = "Clear starting range for field";
    String BtnClearMaxHint = "Clear ending range for field";
    String BtnClearFilterValueHint = "Clear the current field's search value";
    String ByValueLabel = "By &Value";
    String ByRangeLabel = "By &Range";
    String FieldValueLabel = "Field &Value";
    String FieldValueHint = "Enter field's search value";
    String SearchTypeLabel = "Search Type";
    String SearchTypeHint = "Specify how the Field Value should be compared";
    String MatchExactLabel = "&Exact Match";
    String MatchStartLabel = "&Partial Match at Beginning";
    String MatchAnyLabel = "Partial Match Any&where";
    String CaseSensitiveLabel = "Case Sensi&tive";
    String CaseSensitiveHint = "Searching is case-sensitive";
    String NonMatchingLabel = "N&on-matching records";
    String NonMatchingHint = "Show records that do not match the field value criteria";
    String SummaryCaption;
    String SummaryFieldLabel = "Field";
    String SummarySearchLabel = "Search Type";
    String SummaryValueLabel = "Value";
    String FieldsLabel = "&Fields";
    String ValueRangeTabHint = "Search fields by value or by range";
    String AllSearchedTabHint = "Show all fields or only currently searched fields";
    String ViewSummaryNotText = "NOT";
};

struct TdwRichEditMenuLabels {
    String FileCaption = "&File";
    String LoadCaption = "&Load";
    String SaveAsCaption = "Save &As";
    String SaveExitCaption = "&Save and Exit";
    String PrintCaption = "&Print";
    String PageSetupCaption = "Page Set&up";
    String ExitCaption = "E&xit";
    String EditCaption = "&Edit";
    String UndoCaption = "&Undo";
    String RedoCaption;
    String CutCaption = "Cu&t";
    String CopyCaption = "&Copy";
    String PasteCaption = "&Paste";
    String ClearCaption = "Cle&ar";
    String SelectallCaption = "Select A&ll";
    String FindCaption = "&Find";
    String FindNextCaption = "Find &Next";
    String ReplaceCaption = "R&eplace";
    String InsertObjectCaption = "&Object...";
    String SpellCheckCaption = "Check &Spelling";
    String InsertCaption = "&Insert";
    String RulerCaption = "&Ruler";
    String ViewCaption = "&View";
    String ToolbarCaption = "&Toolbar";
    String FormatBarCaption = "&Format Bar";
    String ViewStatusBarCaption = "&Status Bar";
    String OptionsCaption = "&Options";
    String FormatCaption = "F&ormat";
    String FontCaption = "&Font";
    String BulletStyleCaption = "&Bullet Style";
    String ParagraphCaption = "&Paragraph";
    String TabsCaption = "&Tabs";
    String ToolCaption = "&Tools";
    String HelpCaption = "Help";
};

struct TdwRichEditPopupMenuLabels {
    String EditCaption = "&Edit";
    String ViewCaption = "&View";
    String CutCaption = "Cu&t";
    String CopyCaption = "&Copy";
    String PasteCaption = "&Paste";
    String FontCaption = "&Font";
    String BulletStyleCaption = "&Bullet Style";
    String BoldCaption = "B&old";
    String ItalicCaption = "&Italic";
    String UnderlineCaption = "&Underline";
    String ParagraphCaption = "P&aragraph";
    String TabsCaption = "&Tabs";
    String FindCaption = "Fin&d";
    String ReplaceCaption = "&Replace";
    String InsertObjectCaption = "Insert &Object...";
    String SpellCheckCaption = "Check &Spelling";
};

struct TdwRichEditParagraphDlg {
    String ParagraphDlgCaption = "Paragraph";
    String IndentationGroupBoxCaption = "Indentation";
    String LeftEditCaption = "Left:";
    String RightEditCaption = "Right:";
    String FirstLineEditCaption = "First line:";
    String AlignmentCaption = "Alignment";
    String SpacingGroupCaption = "Spacing";
    String BeforeParagraphCaption = "&Before";
    String AfterParagraphCaption = "Aft&er";
    String WithinParagraphCaption = "Li&ne Spacing";
    String WithinParagraphAtCaption = "&At";
    String LeftEditHint = "Left Indentation";
    String RightEditHint = "Right Indentation";
    String FirstLineEditHint = "First Line of Paragraph Indentation";
    String AlignmentHint = "Changes Alignment of Paragraph";
    String AlignLeft = "Left";
    String AlignRight = "Right";
    String AlignCenter = "Center";
    String SpacingSingle;
    String Spacing1_5;
    String SpacingDouble;
    String SpacingAtLeast;
    String SpacingExactly;
    String SpacingMultiple;
    int HelpContext = 0;
};

struct TdwRichEditTabDlg {
    String TabDlgCaption = "Tab";
    String TabGroupBoxCaption = "&Tab Stop Position";
    String SetTabButtonCaption = "Set";
    String ClearTabButtonCaption = "Clear";
    String ClearAllButtonCaption = "Clear All";
    String TabPositionEditHint = "Tab Position Edit Box";
    String ListBoxHint = "List of tabs and their positions";
    String SetButtonHint = "Set a new tab position";
    String ClearButtonHint = "Clear the selected tab position";
    String ClearAllButtonHint = "Clear all the tabs";
    int HelpContext = 0;
};

struct TdwDBRichEditIntl {
    String FontNameComboHint = "Font | Changes the font of the selection";
    String FontSizeComboHint = "Font Size | Changes the font size of the selection";
    String NewButtonHint = "New | Creates a new document";
    String LoadButtonHint = "Load | Load from file";
    String SaveAsButtonHint = "Save As | Save to file";
    String PrintButtonHint = "Print | Prints the active document";
    String FindButtonHint = "Find | Finds the specified text";
    String CutButtonHint = "Cut | Cuts the selection and puts it on the Clipboard";
    String CopyButtonHint = "Copy | Copies the selection and puts it on the Clipboard";
    String UndoButtonHint = "Undo | Reverses the last action";
    String RedoButtonHint = "Redo | Reverses the last undo action";
    String PasteButtonHint = "Paste | Inserts Clipboard contents";
    String BoldButtonHint = "Bold | Makes the selection bold (toggle)";
    String ColorButtonHint = "Color | Formats the selection with a color";
    String UnderlineButtonHint = "Underline | Formats the selection with a continuous underline (toggle)";
    String ItalicButtonHint = "Italic | Makes the selection italic (toggle)";
    String LeftButtonHint = "Align Left | Left-justifies paragraph (toggle)";
    String CenterButtonHint = "Center | Center-justifies paragraph (toggle)";
    String RightButtonHint = "Align Right | Right-justifies paragraph (toggle)";
    String BulletButtonHint = "Bullets | Inserts a bullet on this line (toggle)";
    String HighlightButtonHint = "Highlight Text | Makes the selection highlighted";
    String SaveExitHint = "Save And Exit | Saves changes and exits editor";
    String PageSetupHint = "Page Setup | Changes page layout settings";
    String ExitHint = "Exit";
    String ClearHint = "Erases the Selection";
    String SelectAllHint = "Selects all of the text";
    String FindNextHint = "Repeats the last find";
    String ReplaceHint = "Replaces specific text with different text";
    String InsertObjectHint = "Inserts new embedded object";
    String SpellCheckHint = "Check spelling";
    String ToolbarHint = "Shows or hides the toolbar";
    String FormatBarHint = "Shows or hides the format bar";
    String ViewStatusBarHint = "Shows or hides the status bar";
    String OptionsHint = "Sets options";
    String FontHint = "Selects font for current selection";
    String ParagraphHint = "Formats current or selected paragraph(s)";
    String TabsHint = "Sets tabs";
    String CAPLockCaption = "CAP";
    String NUMLockCaption = "NUM";
    TdwRichEditMenuLabels MenuLabels;
    TdwRichEditPopupMenuLabels PopupMenuLabels;
    TdwRichEditParagraphDlg ParagraphDialog;
    TdwRichEditTabDlg TabDialog;
};

struct TdwUserMessagesIntl {
    String dwDBGridDiscardChanges = "Discard changes to this record?";
    String PictureValidateError = "Invalid characters. Field : ";
    String LocateNoMatches = "No matches found";
    String LocateNoMoreMatches = "No more matches found";
    String MemoChangesWarning = "Changes have been made!  Are you sure you wish to cancel?";
    String RichEditExitWarning = "Changes have been made!  Do you wish to save your changes?";
    String RichEditClearWarning = "Clear entire text?";
    String RichEditSpellCheckComplete = "The spell check is complete.";
    String RichEditMSWordNotFound = "Unable to start the spell checker.";
    String FilterDlgNoCriteria = "You have not selected any search criteria";
    String RecordViewExitWarning = "Changes have been made!  Do you wish to save your changes?";
};

enum TdwCheckBoxInGridStyle { cbStyleAuto, cbStyleCheckmark, cbStyleXmark };

// A post met text that fails its picture mask. The handler may change Msg, or clear
// DoDefault to let the post go on without the beep and the error.
using TdwPictureValidationError =
        std::function<void(TObject* Sender, TField* Field, String& Msg, bool& DoDefault)>;

// Everything a connected instance copies into the global one, but its handler.
struct TdwIntlValues {
    TdwADOIntl ADO;
    TdwDBNavigatorIntl Navigator;
    TdwSearchDialogIntl SearchDialog;
    TdwLocateDialogIntl LocateDialog;
    TdwMonthCalendarIntl MonthCalendar;
    TdwFilterDialogIntl FilterDialog;
    TdwDBRichEditIntl RichEdit;
    TdwUserMessagesIntl UserMessages;
    bool OKCancelBitmapped = true;
    String BtnOKCaption = "&OK";
    String BtnCancelCaption = "Cancel";
    TdwCheckBoxInGridStyle CheckBoxInGridStyle = cbStyleAuto;
    int FilterMemoSize = 65536;
    String IniFileName;
    bool UseLocateMethodForSearch = true;
    TFontStyles DialogFontStyle;
    int DefaultEpochYear = 1950;
    bool PreserveFieldLayout = true;
};

enum TdwDialogButtonKind { dbkOK, dbkCancel, dbkHelp };

class TdwIntl : public TComponent {
public:
    explicit TdwIntl(TComponent* AOwner);
    // The global instance, when freed, leaves dwIntl() to make a new one.
    ~TdwIntl() override;

    String ClassName() const override { return "TdwIntl"; }
    bool InheritsFrom(const String& name) const override;

    TdwADOIntl& ADO() { return FValues.ADO; }
    TdwDBNavigatorIntl& Navigator() { return FValues.Navigator; }
    TdwSearchDialogIntl& SearchDialog() { return FValues.SearchDialog; }
    TdwLocateDialogIntl& LocateDialog() { return FValues.LocateDialog; }
    TdwMonthCalendarIntl& MonthCalendar() { return FValues.MonthCalendar; }
    TdwFilterDialogIntl& FilterDialog() { return FValues.FilterDialog; }
    TdwDBRichEditIntl& RichEdit() { return FValues.RichEdit; }
    TdwUserMessagesIntl& UserMessages() { return FValues.UserMessages; }

    bool OKCancelBitmapped() const { return FValues.OKCancelBitmapped; }
    void SetOKCancelBitmapped(bool Value) { FValues.OKCancelBitmapped = Value; }
    const String& BtnOKCaption() const { return FValues.BtnOKCaption; }
    void SetBtnOKCaption(const String& Value) { FValues.BtnOKCaption = Value; }
    const String& BtnCancelCaption() const { return FValues.BtnCancelCaption; }
    void SetBtnCancelCaption(const String& Value) { FValues.BtnCancelCaption = Value; }
    // On a connected form instance this sets the global instance's style too.
    TdwCheckBoxInGridStyle CheckBoxInGridStyle() const { return FValues.CheckBoxInGridStyle; }
    void SetCheckBoxInGridStyle(TdwCheckBoxInGridStyle Value);
    // Size of the filter-text buffer of the library's data sets.
    int FilterMemoSize() const { return FValues.FilterMemoSize; }
    void SetFilterMemoSize(int Value) { FValues.FilterMemoSize = Value; }
    // The grids' layout file; a form instance gives the global one this name with ".ini".
    const String& IniFileName() const { return FValues.IniFileName; }
    void SetIniFileName(const String& Value) { FValues.IniFileName = Value; }
    bool UseLocateMethodForSearch() const { return FValues.UseLocateMethodForSearch; }
    void SetUseLocateMethodForSearch(bool Value) { FValues.UseLocateMethodForSearch = Value; }
    TFontStyles DialogFontStyle() const { return FValues.DialogFontStyle; }
    void SetDialogFontStyle(TFontStyles Value) { FValues.DialogFontStyle = Value; }
    int DefaultEpochYear() const { return FValues.DefaultEpochYear; }
    void SetDefaultEpochYear(int Value) { FValues.DefaultEpochYear = Value; }
    // Whether the table keeps its field layout over a range change.
    bool PreserveFieldLayout() const { return FValues.PreserveFieldLayout; }
    void SetPreserveFieldLayout(bool Value) { FValues.PreserveFieldLayout = Value; }
    // Setting it copies this instance into the global one.
    bool Connected() const { return FConnected; }
    void SetConnected(bool Value);

    void Loaded() override;
    // Copies every text and setting but Connected into the global instance.
    void CopyToGlobal();

    // Called by the edits and the grid when a post meets text that fails its mask:
    // unless the handler clears DoDefault, beeps and raises EInvalidOperation.
    virtual void DoValidationErrorUsingMask(TObject* Sender, TField* Field);

    TdwPictureValidationError OnValidationErrorUsingMask;

private:
    TdwIntlValues FValues;
    bool FConnected = false;
};

// The library's one global instance, made on first use.
TdwIntl* dwIntl();
// The global instance's FilterMemoSize.
int dwGetFilterMemoSize();

// The OK, Cancel or Help button of the library's dialogs, hidden on Owner: a TBitBtn
// when OKCancelBitmapped, else a TButton, sized for the screen's pixels per inch.
TButton* dwCreateDialogButton(TWinControl* Owner, TdwDialogButtonKind Kind);
