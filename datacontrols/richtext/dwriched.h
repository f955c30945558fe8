#pragma once
// The library's rich text edit: find and replace with wrap-around, style toggles,
// bullets, highlight, links opened only for safe schemes, the lines object, and the
// streams that load a field's rich text or the beginning of it.

#include <functional>
#include <memory>

#include "datacontrols/richtext/dwrichprint.h"
#include "datacontrols/richtext/dwrichstrings.h"
#include "datacontrols/richtext/dwrichunits.h"
#include "platform/richedit/finddialogs.h"
#include "platform/richedit/richedit.h"

class TField;
class TForm;
class TFontDialog;
class TMenuItem;
class TPopupMenu;
class TSpeedButton;

enum TdwRichEditPopupOption {
    rpoPopupEdit,
    rpoPopupCut,
    rpoPopupCopy,
    rpoPopupPaste,
    rpoPopupBold,
    rpoPopupItalic,
    rpoPopupUnderline,
    rpoPopupFont,
    rpoPopupBullet,
    rpoPopupParagraph,
    rpoPopupTabs,
    rpoPopupFind,
    rpoPopupReplace,
    rpoPopupInsertObject,
    rpoPopupMSWordSpellCheck
};
using TdwRichEditPopupOptions = SetOf<TdwRichEditPopupOption>;

// What the editor form shows, bits 0 to 14.
enum TdwRichEditOption {
    reoShowLoad,
    reoShowSaveAs,
    reoShowSaveExit,
    reoShowPrint,
    reoShowPageSetup,
    reoShowFormatBar,
    reoShowToolBar,
    reoShowStatusBar,
    reoShowHints,
    reoShowRuler,
    reoShowInsertObject,
    reoCloseOnEscape,
    reoFlatButtons,
    reoShowSpellCheck,
    reoShowMainMenuIcons
};
using TdwRichEditOptions = SetOf<TdwRichEditOption>;

// The width the text is laid out in: the window's, or the printer page's less the margins.
enum TdwRichEditWidth { rewWindowSize, rewPrinterSize };

// Where and how large the editor form opens: a width or height of 0 keeps the form's
// own, a left or top of 0 centres it on the desktop.
struct TdwFormPosition {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

class TdwCustomRichEdit;
class TdwRichEditForm;
// A File command of the editor form; clearing DoDefault replaces the form's own action.
using TdwRTFNotifyEvent =
        std::function<void(TdwRichEditForm* Form, TdwCustomRichEdit* RichEdit, bool& DoDefault)>;

using TdwURLOpenEvent = std::function<void(TObject* Sender, const String& URL, bool& Allow)>;
using TdwOnRichEditDlgEvent = std::function<void(TObject* Sender, TForm* Form)>;

class TdwCustomRichEdit : public TCustomRichEdit {
public:
    explicit TdwCustomRichEdit(TComponent* AOwner);
    ~TdwCustomRichEdit() override;

    String ClassName() const override { return "TdwCustomRichEdit"; }
    bool InheritsFrom(const String& name) const override;

    TdwRichEditStrings* Lines() const { return FLines.get(); }
    TdwRichEditPopupOptions PopupOptions() const { return FPopupOptions; }
    void SetPopupOptions(TdwRichEditPopupOptions Value) { FPopupOptions = Value; }
    TdwMeasurementUnits MeasurementUnits() const { return FMeasurementUnits; }
    void SetMeasurementUnits(TdwMeasurementUnits Value) { FMeasurementUnits = Value; }
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value) { FHighlightColor = Value; }
    bool AutoURLDetect() const { return LinkDetection(); }
    void SetAutoURLDetect(bool Value) { SetLinkDetection(Value); }
    TdwURLOpenEvent OnURLOpen;

    virtual void ClearHighlight();
    virtual bool IsReadOnly() const { return ReadOnly(); }
    virtual void BeginFieldEdit() { }
    virtual void UpdateFieldData() { }
    virtual bool IsContentLoaded() const { return true; }
    virtual TField* GetField() const { return nullptr; }
    virtual void DoURLOpen(const String& URL, bool& Allow);
    // Reads Stream from its position into the control (or its selection), only the first
    // ChunkLimit times 4 KB when ChunkLimit > 0: RTF unless PlainText, plain text when it
    // is not RTF.
    virtual void StreamInText(TStream& Stream, bool Selection, int ChunkLimit);
    virtual void LoadContent() { }
    // The search of the find and replace commands, from the selection on and round to
    // where it began: selects the next match of Text; when Replacing, a selected match is
    // replaced by NewText first, and with ReplaceAll every match is. False, after the
    // "no more matches" message, when none is left.
    // The find and replace dialogs, offered the selection (when it is one line) or the
    // last search text; the search begins at the selection.
    virtual void Find();
    virtual void Replace();
    TFindDialog* FindDialog() const { return FFindDialog; }
    TReplaceDialog* ReplaceDialog() const { return FReplaceDialog; }
    // A search begins at the selection.
    void BeginSearch();
    bool FindNext(const String& Text, TFindOptions Options);
    bool ReplaceNext(const String& Text, const String& NewText, TFindOptions Options, bool ReplaceAll);
    // One replacement from the selection on; false when Text is not found.
    virtual bool ReplaceText(const String& SearchText, const String& NewText, TFindOptions Options);
    virtual int FindTextPlain(const String& Text, int Start, TFindOptions Options, int Length);
    // The font dialog on the selection; true when it was accepted. At the printer's width
    // it offers only the printer's fonts.
    virtual bool FontDialogExecute();
    // Adds the font families the editor offers to Names: the screen's, and at the
    // printer's width only those the printer has too, which print as they show.
    void AddOfferedFonts(TStrings* Names) const;
    // The editor form over a copy of the contents; on OK a changed text comes back (into
    // the field when one is linked). True when OK closed it.
    virtual bool ExecuteEditor();
    // Puts Source's contents (RTF, or plain text with Source's PlainText) into Dest; a
    // document not loaded yet comes from Source's field. With TempFileCopy the contents
    // pass through a temporary file, deleted afterwards; when none can be made, a message
    // says so and nothing is copied.
    void CopyRichText(TdwCustomRichEdit* Dest, TdwCustomRichEdit* Source);
    bool TempFileCopy() const { return FTempFileCopy; }
    void SetTempFileCopy(bool Value) { FTempFileCopy = Value; }
    // The editing control of the editor form: a new control of this kind.
    virtual TdwCustomRichEdit* CreateEditorControl(TComponent* AOwner);
    TdwRichEditOptions EditorOptions() const { return FEditorOptions; }
    void SetEditorOptions(TdwRichEditOptions Value) { FEditorOptions = Value; }
    TdwFormPosition& EditorPosition() { return FEditorPosition; }
    const String& EditorCaption() const { return FEditorCaption; }
    void SetEditorCaption(const String& Value) { FEditorCaption = Value; }
    // Two buttons of the program's own that the editor form shows on its tool bar while
    // it is open; the setters hide them on their own form.
    TSpeedButton* UserSpeedButton1() const { return FUserSpeedButtons[0]; }
    void SetUserSpeedButton1(TSpeedButton* Value) { SetUserSpeedButton(0, Value); }
    TSpeedButton* UserSpeedButton2() const { return FUserSpeedButtons[1]; }
    void SetUserSpeedButton2(TSpeedButton* Value) { SetUserSpeedButton(1, Value); }
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The editor form while it is open; null otherwise.
    TdwRichEditForm* EditingForm() const { return FEditingForm; }
    TdwRTFNotifyEvent OnMenuLoadClick;
    TdwRTFNotifyEvent OnMenuSaveAsClick;
    // Around the editor form: made (before it shows), shown and filled, closed.
    TdwOnRichEditDlgEvent OnCreateDialog;
    TdwOnRichEditDlgEvent OnInitDialog;
    TdwOnRichEditDlgEvent OnCloseDialog;
    virtual void DoCreateDialog(TForm* Form);
    virtual void DoInitDialog(TForm* Form);
    virtual void DoCloseDialog(TForm* Form);
    // The paragraph and tab dialogs on the selection's paragraphs; true when accepted.
    virtual bool ParagraphDialogExecute();
    virtual bool TabDialogExecute();
    // Embedded objects other than pictures do not exist here: says so and returns false.
    virtual bool InsertObject();
    // No word processor can be driven here: says it was not found and returns false.
    virtual bool PrintWithWordProcessor(const String& DocumentName);

    // The margins in MeasurementUnits, 1 on every side at first; the setter copies them.
    TdwPrintMargins* PrintMargins() const { return FPrintMargins.get(); }
    void SetPrintMargins(TdwPrintMargins* Value) { FPrintMargins->Assign(Value); }
    // The paper as a DEVMODE paper code, Letter (1) at first; raises EPrinter for a code
    // the printer has no size for. With the printer's width it goes to the printer and
    // the text is laid out again.
    int PaperSize() const { return FPaperSize; }
    void SetPaperSize(int Code);
    void PutPaperSizeInPrinter();
    TdwRichEditWidth EditWidth() const { return FEditWidth; }
    void SetEditWidth(TdwRichEditWidth Value);
    // Lays the text out at the window's width or the printer page's.
    void ResetFormatRect();
    // The printer sheet's width less the left and right margins, in inches.
    double PrintableWidthInches() const;
    // The whole text as one print job titled Caption, within the margins unless
    // PageRect says where.
    void Print(const String& Caption) override;
    // The title of the editor form's print jobs: the application's title at first.
    String PrintJobName;
    TdwRTFNotifyEvent OnMenuPrintClick;
    TdwRTFNotifyEvent OnMenuSaveAndExitClick;
    // No spelling checker exists here: returns True and does nothing else.
    virtual bool SpellCheck() { return true; }

    void SetSelBold(bool Value);
    void SetSelItalic(bool Value);
    void SetSelUnderline(bool Value);
    void SetSelStrikeOut(bool Value);
    void ToggleBullet();
    // clNone (or -1) clears the selection's highlight; the selection then collapses.
    void SetSelBackColor(TColor Color);
    TColor GetSelBackColor() const;
    bool HasSelection() const { return SelLength() > 0; }
    const String& LastSearchText() const { return FLastSearch; }

    // The stream-in and stream-out of the selection, as RTF.
    void StreamOutSelection(TStream& Stream) const;
    void StreamInSelection(TStream& Stream);
    // Shows the beginning of a long blob cheaply (the grid's cells).
    virtual void LoadBlobPreview(TField* Field, int ChunkLimit);
    static constexpr Int64 ChunkBytes = 4096;

    // The context menu, and the steps before it shows: which items the options and the
    // read-only state show, which are enabled, which styles are checked.
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void UpdatePopupMenu();
    // The menu's items, by the option that shows each (the first is Edit).
    TMenuItem* PopupItem(TdwRichEditPopupOption Option) const { return FPopupItems[Option]; }
    void Loaded() override;

protected:
    void LinkClicked(const String& URL) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void ApplyStyle(TRichCharPart Part, bool Value);

private:
    void SetUserSpeedButton(int Index, TSpeedButton* Value);
    // Sizes and places the editor form as EditorPosition says.
    void PlaceEditor(TForm* Form);
    void CreatePopupMenu();
    void CreateDialogs();
    void CaptionPopupMenu();
    void StartDialog(TFindDialog* Dialog);
    bool SearchStep(const String& Text, TFindOptions Options, bool Replacing, const String& NewText);

    std::unique_ptr<TdwRichEditStrings> FLines;
    std::unique_ptr<TdwPrintMargins> FPrintMargins = std::make_unique<TdwPrintMargins>();
    int FPaperSize = 1;
    TdwRichEditWidth FEditWidth = rewWindowSize;
    TdwRichEditPopupOptions FPopupOptions {rpoPopupEdit,      rpoPopupCut,          rpoPopupCopy,
                                           rpoPopupPaste,     rpoPopupFont,         rpoPopupBullet,
                                           rpoPopupParagraph, rpoPopupTabs,         rpoPopupFind,
                                           rpoPopupReplace,   rpoPopupInsertObject, rpoPopupMSWordSpellCheck};
    TdwMeasurementUnits FMeasurementUnits = muInches;
    TdwRichEditOptions FEditorOptions {
            reoShowSaveExit,  reoShowPrint,      reoShowPageSetup,    reoShowFormatBar,    reoShowToolBar,
            reoShowStatusBar, reoShowHints,      reoShowRuler,        reoShowInsertObject, reoCloseOnEscape,
            reoFlatButtons,   reoShowSpellCheck, reoShowMainMenuIcons};
    String FEditorCaption = "Edit Rich Text";
    TdwFormPosition FEditorPosition;
    bool FTempFileCopy = false;
    TdwRichEditForm* FEditingForm = nullptr;
    TSpeedButton* FUserSpeedButtons[2] = {};
    TColor FHighlightColor = clYellow;
    String FLastSearch;
    TFindDialog* FFindDialog = nullptr;
    TReplaceDialog* FReplaceDialog = nullptr;
    TFontDialog* FFontDialog = nullptr;
    bool FSavedHideSelection = true;
    TPopupMenu* FPopupMenu = nullptr;
    TMenuItem* FPopupItems[rpoPopupMSWordSpellCheck + 1] = {};
    // The separators after Edit, Paste, Underline, Tabs and Replace.
    TMenuItem* FSeparators[5] = {};
    bool FWrapped = false;
    int FSearchStart = 0;
};

// The schemes a clicked link may open: http, https and mailto.
bool dwIsSafeLinkScheme(const String& URL);
// RTF without its \highlight words (an escaped "\\highlight" is text and stays).
String dwRemoveHighlight(const String& Rtf);
