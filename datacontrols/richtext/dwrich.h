#pragma once
// The full-window rich text editor that a rich edit opens over a copy of its contents:
// menus, tool bar, format bar, ruler, the editing control and a status bar, shown as
// the source control's EditorOptions say.

#include <vector>

#include "datacontrols/richtext/dwriched.h"
#include "datacontrols/richtext/dwtrackicon.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/forms/forms.h"

class TBevel;
class TComboBox;
class TImageList;
class TMainMenu;
class TMenuItem;
class TPopupMenu;
class TSpeedButton;
class TStatusBar;

// The ruler over the editing control: its scale and the three indent markers of the
// selection's paragraph.
class TdwRulerPanel : public TPanel {
public:
    TdwRulerPanel(TComponent* AOwner, TdwCustomRichEdit* RichEdit);
    String ClassName() const override { return "TdwRulerPanel"; }
    // The markers follow the selection's paragraph, within the band.
    void FollowParagraph();
    TRect Band() const;
    // The markers, as TdwRulerMarker counts them.
    TdwTrackIcon* Marker(int Which) const { return FMarkers[Which]; }
    int FirstLineMarker() const { return FMarkers[0]->Left(); }
    int LeftMarker() const { return FMarkers[1]->Left(); }
    int RightMarker() const { return FMarkers[2]->Left(); }
    static constexpr int MarkerWidth = 9;

protected:
    void Paint() override;

private:
    // A marker let go sets the paragraph's indents where it stands, on a division.
    void MarkerDropped(int Which);

    TdwCustomRichEdit* FRichEdit;
    TdwTrackIcon* FMarkers[3] = {};
};

class TdwRichEditForm : public TForm {
public:
    TdwRichEditForm(TComponent* AOwner, TdwCustomRichEdit* Source);
    ~TdwRichEditForm() override;

    String ClassName() const override { return "TdwRichEditForm"; }

    // Shows and hides the commands as the options and the read-only state say.
    void ApplyOptions(TdwRichEditOptions Options, bool ReadOnly);
    // Buttons and menu items follow the selection and the clipboard.
    void UpdateControls();
    // A modified text asks before the form closes without OK.
    bool CloseQuery() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    // Every key up refreshes the Caps Lock and Num Lock indicators.
    void KeyUp(Word& Key, TShiftState Shift) override;

    TdwCustomRichEdit* RichEdit1 = nullptr;
    TdwRulerPanel* Ruler = nullptr;
    TPanel* Toolbar = nullptr;
    TPanel* FormatBar = nullptr;
    TStatusBar* StatusBar = nullptr;
    // The lines above the tool bar, the format bar and the ruler; each shows with its bar.
    TBevel *ToolBarBevel = nullptr, *FormatBarBevel = nullptr, *RulerBevel = nullptr;
    TSpeedButton *NewButton = nullptr, *PrintButton = nullptr, *FindButton = nullptr, *SpellButton = nullptr,
                 *CutButton = nullptr, *CopyButton = nullptr, *PasteButton = nullptr, *UndoButton = nullptr,
                 *RedoButton = nullptr;
    // Load and Save As on the tool bar: made, but kept off it; the File menu has them.
    TSpeedButton *LoadButton1 = nullptr, *SaveAsButton = nullptr;
    // The lines between the tool bar's groups, and the one before the source's own buttons.
    TBevel *Bevel1 = nullptr, *ToolbarBevel1 = nullptr, *Bevel2 = nullptr, *UserButtonBevel = nullptr;
    // The menu items' pictures, shown with reoShowMainMenuIcons.
    TImageList* ImageList1 = nullptr;
    TComboBox *FontNameCombo = nullptr, *FontSizeCombo = nullptr;
    TSpeedButton* ColorButton = nullptr;
    // The colours for the selection's text, each item's Tag its colour; the last one,
    // Automatic1, the editing control's own.
    TPopupMenu* ColorMenu = nullptr;
    TMenuItem* Automatic1 = nullptr;
    TSpeedButton *BoldButton = nullptr, *ItalicButton = nullptr, *UnderlineButton = nullptr,
                 *LeftButton = nullptr, *CenterButton = nullptr, *RightButton = nullptr,
                 *BulletButton = nullptr, *HighlightButton = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem *File1 = nullptr, *Load1 = nullptr, *SaveAs1 = nullptr, *SaveExit1 = nullptr,
              *FileSep1 = nullptr, *Print1 = nullptr, *PageSetup1 = nullptr, *FileSep2 = nullptr,
              *Exit1 = nullptr;
    TMenuItem *Edit1 = nullptr, *Undo1 = nullptr, *Redo1 = nullptr, *Cut1 = nullptr, *Copy1 = nullptr,
              *Paste1 = nullptr, *Clear1 = nullptr, *SelectAll1 = nullptr, *Find1 = nullptr,
              *FindNext1 = nullptr, *Replace1 = nullptr;
    TMenuItem *View1 = nullptr, *Toolbar1 = nullptr, *FormatBar1 = nullptr, *StatusBar1 = nullptr,
              *Ruler1 = nullptr;
    TMenuItem *Insert1 = nullptr, *InsertObject1 = nullptr, *Format1 = nullptr, *Font1 = nullptr,
              *BulletStyle1 = nullptr, *Paragraph1 = nullptr, *Tabs1 = nullptr, *Tools1 = nullptr,
              *Spelling1 = nullptr;

    // After the form closed: the application's hint handler as it was, and each user
    // button of the source control back on its own form, hidden.
    void FormClose();
    // Lines up the tool bar's visible buttons group by group, a bevel between groups.
    void CloseUpToolbar();

    void NewClick();
    void LoadClick();
    void SaveAsClick();
    // The print dialog, then the text on the chosen printer.
    void PrintClick();
    // The page setup dialog; its margins and paper lay the text out again.
    void PageSetupClick();

protected:
    void Resize() override;

private:
    void BuildMenus();
    void BuildBars();
    // The hints of the buttons, combos and menu items, shown as tool tips and in the
    // status bar; without them the status bar shows none.
    void ApplyHints(bool Show);
    // Speed buttons raised on taller bars, or flat with bevels between their groups.
    void ApplyFlatButtons(bool Flat);
    // A colour item as high as its caption and 45 pixels wider; drawn as a swatch of its
    // Tag's colour before the caption.
    void MeasureColorItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    void DrawColorItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected);
    void UpdateLockIndicators();
    // Places the bars and the editing control; a failure says "Error in resize" and the
    // form goes on.
    void Layout();
    void PlaceControls();
    // The form's width, or with the printer's width the printable page's.
    int RulerWidth() const;
    void SetAlignment(int Alignment);
    // The selection's size in points; raises EConvertError for text that is no size.
    void ApplyFontSize(const String& Text);
    // Shows or hides a bar and checks its View item as it shows.
    void ToggleBar(TControl* Bar, TMenuItem* Menu);
    // A File command's event, when the source has one; false when it replaced the
    // form's own action.
    bool RunsOwnAction(const TdwRTFNotifyEvent& Event);

    TdwCustomRichEdit* FSource;
    // The user buttons' own parents while they stand on the tool bar.
    TWinControl* FUserButtonParents[2] = {};
    // The lines between the format bar's groups.
    std::vector<TBevel*> FFormatBarBevels;
    TNotifyEvent FPreviousOnHint;
    bool FOnHintReplaced = false;
    bool FReadOnly = false;
    bool FCloseOnEscape = false;
    // A menu key ran its command: the character it gives is dropped.
    bool FShortCutRan = false;
};
