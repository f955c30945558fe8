#include "datacontrols/richtext/dwrich.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "datacontrols/common/dwwindows.h"
#include "datacontrols/common/wwintl.h"
#include "datacontrols/richtext/dwriched.h"
#include "datacontrols/richtext/dwrichicons.h"
#include "datacontrols/richtext/dwruler.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/bars.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/frames.h"
#include "platform/vcl/controls/lists.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/lockkeys.h"
#include "platform/vcl/forms/menus.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/imagelist.h"

// ---- ruler

TdwRulerPanel::TdwRulerPanel(TComponent* AOwner, TdwCustomRichEdit* RichEdit)
    : TPanel(AOwner), FRichEdit(RichEdit)
{
    SetBevelOuter(bvNone);
    for (int i = 0; i < 3; ++i) {
        FMarkers[i] = new TdwTrackIcon(this);
        FMarkers[i]->SetParent(this);
        FMarkers[i]->SetBitmapName(i == rmFirstLine ? "dwRulerDown" : "dwRulerUp");
        FMarkers[i]->OnEndDrag = [this, i](TObject*) { MarkerDropped(i); };
    }
}

TRect TdwRulerPanel::Band() const { return Rect(6, 4, Width() - 6, Height() - 4); }

void TdwRulerPanel::FollowParagraph()
{
    const TRichParaFormat p = FRichEdit->SelParaFormat();
    const TRect band = Band();
    const TdwRulerMarkers m = dwRulerMarkersFor(p.StartIndent, p.RightIndent, p.Offset, band, Width(),
                                                MarkerWidth, ScreenPixelsPerInch);
    const int half = MarkerWidth / 2;
    const int lefts[] = {m.FirstLine, m.Left, m.Right};
    for (int i = 0; i < 3; ++i) {
        TdwTrackIcon* marker = FMarkers[i];
        marker->SetMinValue(band.Left - half);
        marker->SetMaxValue(band.Right - half);
        // The first-line marker hangs from the top of the band, the others stand on its bottom.
        const int top = i == rmFirstLine ? band.Top - 2 : band.Bottom - marker->Height() + 4;
        marker->SetBounds(lefts[i], top, marker->Width(), marker->Height());
    }
}

void TdwRulerPanel::Paint()
{
    TPanel::Paint();
    TCanvas* canvas = Canvas();
    const TRect band = Band();
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(band);
    // A sunken frame: shadow and black above and left, button face and highlight below and right.
    TRect frame = band;
    Frame3D(*canvas, frame, clBtnShadow, clBtnHighlight, 1);
    Frame3D(*canvas, frame, clBlack, clBtnFace, 1);
    const TdwMeasurementUnits units = FRichEdit->MeasurementUnits();
    const double ppu = dwRulerPixelsPerUnit(ScreenPixelsPerInch, units);
    // Outside the window's width the ruler spans the printable page.
    const double length = FRichEdit->EditWidth() == rewPrinterSize
                                  ? dwRulerLengthForPage(FRichEdit->PrintableWidthInches(), 0, 0, units)
                                  : dwRulerLengthForWindow(FRichEdit->Width(), ppu);
    const TdwRulerScale scale = dwRulerScale(band, ppu, length, units);
    canvas->Pen()->SetColor(clBlack);
    for (const TdwRulerTick& tick : scale.Ticks) {
        canvas->MoveTo(tick.X, tick.Top);
        canvas->LineTo(tick.X, tick.Bottom);
    }
    canvas->Font()->SetSize(7);
    canvas->Brush()->SetStyle(bsClear);
    for (const TdwRulerNumber& number : scale.Numbers) {
        const String text = IntToStr(number.Value);
        canvas->TextOut(number.X - canvas->TextWidth(text) / 2, band.Top + 2, text);
    }
    canvas->Brush()->SetStyle(bsSolid);
}

void TdwRulerPanel::MarkerDropped(int Which)
{
    const auto dragged = static_cast<TdwRulerMarker>(Which);
    const TdwRulerMarkers markers =
            dwConstrainRulerMarkers({FirstLineMarker(), LeftMarker(), RightMarker()}, dragged, Band(),
                                    MarkerWidth, ScreenPixelsPerInch, FRichEdit->MeasurementUnits());
    const TdwRulerIndents indents = dwRulerIndentsFor(markers, Band(), MarkerWidth, ScreenPixelsPerInch);
    TRichParaFormat p;
    p.StartIndent = indents.StartIndent;
    p.Offset = indents.Offset;
    p.RightIndent = indents.RightIndent;
    FRichEdit->BeginFieldEdit();
    FRichEdit->SetSelParaFormat(p, dragged == rmRight ? TRichParaMask {rpRightIndent}
                                                      : TRichParaMask {rpStartIndent, rpOffset});
    FollowParagraph();
}

// ---- form

namespace {

// The colour menu's items; Automatic takes the editing control's own font colour when the
// form shows.
const std::pair<const char*, TColor> ColorItems[] = {
        {"Black", clBlack},   {"Green", clGreen},     {"Red", clMaroon}, {"Blue", clNavy},
        {"Yellow", clOlive},  {"Purple", clPurple},   {"Teal", clTeal},  {"Gray", clGray},
        {"Silver", clSilver}, {"Red", clRed},         {"Lime", clLime},  {"Yellow", clYellow},
        {"Blue", clBlue},     {"Fuchsia", clFuchsia}, {"Aqua", clAqua},  {"White", clWhite},
        {"Automatic", clNone}};

TMenuItem* Item(TMenuItem* Parent, const String& Caption, std::function<void()> Action = nullptr)
{
    auto* item = new TMenuItem(Parent);
    item->SetCaption(Caption);
    if (Action)
        item->OnClick = [Action](TObject*) { Action(); };
    Parent->Add(item);
    return item;
}

TSpeedButton* Button(TPanel* Bar, int& Left, const String& Caption, std::function<void()> Action,
                     int Width = 24)
{
    auto* button = new TSpeedButton(Bar);
    button->SetParent(Bar);
    button->SetBounds(Left, 1, Width, 22);
    button->SetCaption(Caption);
    button->SetFlat(true);
    button->OnClick = [Action](TObject*) { Action(); };
    Left += Width;
    return button;
}

// A tool bar button that shows a picture, centred by its margin; CloseUpToolbar places it.
TSpeedButton* GlyphButton(TPanel* Bar, TdwRichIcon Icon, std::function<void()> Action)
{
    int left = 0;
    TSpeedButton* button = Button(Bar, left, String(), std::move(Action), 23);
    TBitmap glyph;
    dwDrawRichIcon(Icon, &glyph);
    button->SetGlyph(&glyph);
    button->SetMargin((button->Width() - glyph.Width()) / 2);
    return button;
}

// The line above a bar.
TBevel* TopLine(TWinControl* Form)
{
    auto* bevel = new TBevel(Form);
    bevel->SetParent(Form);
    bevel->SetShape(bsTopLine);
    return bevel;
}

// The line between two groups of a bar's buttons.
TBevel* GroupBevel(TPanel* Bar, int Left = 0)
{
    auto* bevel = new TBevel(Bar);
    bevel->SetParent(Bar);
    bevel->SetShape(bsLeftLine);
    bevel->SetBounds(Left, 2, 2, 20);
    return bevel;
}

}  // namespace

TdwRichEditForm::TdwRichEditForm(TComponent* AOwner, TdwCustomRichEdit* Source)
    : TForm(AOwner), FSource(Source)
{
    SetCaption("Edit Rich Text");
    SetBounds(0, 0, 610, 455);
    SetPosition(poScreenCenter);
    SetKeyPreview(true);
    RichEdit1 = Source->CreateEditorControl(this);
    RichEdit1->SetName("RichEdit1");
    RichEdit1->SetParent(this);
    RichEdit1->SetScrollBars(rsVertical);
    RichEdit1->SetWantTabs(true);
    RichEdit1->SetHideSelection(false);
    RichEdit1->SetLeftMargin(6);
    RichEdit1->OnSelectionChange = [this](TObject*) { UpdateControls(); };
    RichEdit1->OnChange = [this](TObject*) { UpdateControls(); };
    ImageList1 = new TImageList(this);
    dwAddRichIcons(ImageList1);
    BuildMenus();
    BuildBars();
    Ruler = new TdwRulerPanel(this, RichEdit1);
    Ruler->SetParent(this);
    StatusBar = new TStatusBar(this);
    StatusBar->SetParent(this);
    // The hint and the last panel without an edge; the lock keys' panels sunk.
    for (const auto& [width, bevel] :
         {std::pair {300, pbNone}, {32, pbLowered}, {32, pbLowered}, {18, pbNone}}) {
        TStatusPanel* panel = StatusBar->AddPanel();
        panel->SetWidth(width);
        panel->SetBevel(bevel);
    }
    Layout();
}

void TdwRichEditForm::BuildMenus()
{
    const TdwRichEditMenuLabels& l = dwIntl()->RichEdit().MenuLabels;
    TdwCustomRichEdit* e = RichEdit1;
    MainMenu1 = new TMainMenu(this);
    TMenuItem* bar = MainMenu1->Items();
    File1 = Item(bar, l.FileCaption);
    Load1 = Item(File1, l.LoadCaption, [this] { LoadClick(); });
    SaveAs1 = Item(File1, l.SaveAsCaption, [this] { SaveAsClick(); });
    SaveExit1 = Item(File1, l.SaveExitCaption, [this] {
        if (RunsOwnAction(FSource->OnMenuSaveAndExitClick))
            SetModalResult(mrOk);
    });
    FileSep1 = Item(File1, "-");
    Print1 = Item(File1, l.PrintCaption, [this] { PrintClick(); });
    PageSetup1 = Item(File1, l.PageSetupCaption, [this] { PageSetupClick(); });
    FileSep2 = Item(File1, "-");
    Exit1 = Item(File1, l.ExitCaption, [this] { SetModalResult(mrCancel); });
    Edit1 = Item(bar, l.EditCaption);
    Undo1 = Item(Edit1, l.UndoCaption, [e] { e->Undo(); });
    Redo1 = Item(Edit1, l.RedoCaption.empty() ? String("&Redo") : l.RedoCaption, [e] { e->Redo(); });
    Cut1 = Item(Edit1, l.CutCaption, [e] {
        e->BeginFieldEdit();
        e->CutToClipboard();
    });
    Copy1 = Item(Edit1, l.CopyCaption, [e] { e->CopyToClipboard(); });
    Paste1 = Item(Edit1, l.PasteCaption, [e] { e->PasteFromClipboard(); });
    Clear1 = Item(Edit1, l.ClearCaption, [e] { e->SetSelText(String()); });
    SelectAll1 = Item(Edit1, l.SelectallCaption, [e] { e->SelectAll(); });
    Find1 = Item(Edit1, l.FindCaption, [e] { e->Find(); });
    FindNext1 = Item(Edit1, l.FindNextCaption,
                     [e] { e->FindNext(e->LastSearchText(), e->FindDialog()->Options()); });
    Replace1 = Item(Edit1, l.ReplaceCaption, [e] { e->Replace(); });
    View1 = Item(bar, l.ViewCaption);
    Toolbar1 = Item(View1, l.ToolbarCaption, [this] { ToggleBar(Toolbar, Toolbar1); });
    FormatBar1 = Item(View1, l.FormatBarCaption, [this] { ToggleBar(FormatBar, FormatBar1); });
    StatusBar1 = Item(View1, l.ViewStatusBarCaption, [this] { ToggleBar(StatusBar, StatusBar1); });
    Ruler1 = Item(View1, l.RulerCaption.empty() ? String("&Ruler") : l.RulerCaption,
                  [this] { ToggleBar(Ruler, Ruler1); });
    Insert1 = Item(bar, l.InsertCaption.empty() ? String("&Insert") : l.InsertCaption);
    InsertObject1 = Item(Insert1, l.InsertObjectCaption, [e] { e->InsertObject(); });
    Format1 = Item(bar, l.FormatCaption);
    Font1 = Item(Format1, l.FontCaption, [e] { e->FontDialogExecute(); });
    BulletStyle1 = Item(Format1, l.BulletStyleCaption, [e] { e->ToggleBullet(); });
    Paragraph1 = Item(Format1, l.ParagraphCaption, [this, e] {
        e->ParagraphDialogExecute();
        Ruler->FollowParagraph();
    });
    Tabs1 = Item(Format1, l.TabsCaption, [e] { e->TabDialogExecute(); });
    Tools1 = Item(bar, l.ToolCaption);
    Spelling1 = Item(Tools1, l.SpellCheckCaption, [e] { e->SpellCheck(); });
    const std::pair<TMenuItem*, TdwRichIcon> pictures[] = {
            {Load1, riLoad},     {SaveAs1, riSaveAs}, {Print1, riPrint},        {Undo1, riUndo},
            {Redo1, riRedo},     {Cut1, riCut},       {Copy1, riCopy},          {Paste1, riPaste},
            {Find1, riFind},     {Font1, riFont},     {BulletStyle1, riBullet}, {Paragraph1, riParagraph},
            {Spelling1, riSpell}};
    for (const auto& [item, icon] : pictures)
        item->SetImageIndex(icon);
    const std::pair<TMenuItem*, TShortCut> keys[] = {
            {SaveExit1, scCtrl | 'S'}, {Print1, scCtrl | 'P'},     {Undo1, scCtrl | 'Z'},
            {Redo1, scCtrl | 'Y'},     {Cut1, scCtrl | 'X'},       {Copy1, scCtrl | 'C'},
            {Paste1, scCtrl | 'V'},    {SelectAll1, scCtrl | 'A'}, {Find1, scCtrl | 'F'},
            {FindNext1, VK_F3},        {Replace1, scCtrl | 'H'}};
    for (const auto& [item, key] : keys)
        item->SetShortCut(key);
    SetMenu(MainMenu1);
}

void TdwRichEditForm::BuildBars()
{
    TdwCustomRichEdit* e = RichEdit1;
    Toolbar = new TPanel(this);
    Toolbar->SetParent(this);
    Toolbar->SetBevelOuter(bvNone);
    Toolbar->SetBounds(0, 0, ClientWidth(), 24);
    NewButton = GlyphButton(Toolbar, riNew, [this] { NewClick(); });
    PrintButton = GlyphButton(Toolbar, riPrint, [this] { Print1->Click(); });
    Bevel1 = GroupBevel(Toolbar);
    FindButton = GlyphButton(Toolbar, riFind, [this] { Find1->Click(); });
    SpellButton = GlyphButton(Toolbar, riSpell, [this] { Spelling1->Click(); });
    ToolbarBevel1 = GroupBevel(Toolbar);
    CutButton = GlyphButton(Toolbar, riCut, [this] { Cut1->Click(); });
    CopyButton = GlyphButton(Toolbar, riCopy, [this] { Copy1->Click(); });
    PasteButton = GlyphButton(Toolbar, riPaste, [this] { Paste1->Click(); });
    Bevel2 = GroupBevel(Toolbar);
    UndoButton = GlyphButton(Toolbar, riUndo, [this] { Undo1->Click(); });
    RedoButton = GlyphButton(Toolbar, riRedo, [this] { Redo1->Click(); });
    UserButtonBevel = GroupBevel(Toolbar);
    UserButtonBevel->Hide();
    LoadButton1 = GlyphButton(Toolbar, riLoad, [this] { Load1->Click(); });
    SaveAsButton = GlyphButton(Toolbar, riSaveAs, [this] { SaveAs1->Click(); });
    LoadButton1->Hide();
    SaveAsButton->Hide();
    CloseUpToolbar();
    ToolBarBevel = TopLine(this);
    FormatBarBevel = TopLine(this);
    RulerBevel = TopLine(this);

    FormatBar = new TPanel(this);
    FormatBar->SetParent(this);
    FormatBar->SetBevelOuter(bvNone);
    FormatBar->SetBounds(0, 0, ClientWidth(), 26);
    FontNameCombo = new TComboBox(this);
    FontNameCombo->SetParent(FormatBar);
    FontNameCombo->SetBounds(4, 2, 150, 21);
    FontNameCombo->SetSorted(true);
    FontNameCombo->OnChange = [this, e](TObject*) {
        if (FontNameCombo->ItemIndex() < 0 || FontNameCombo->Text() == e->SelCharFormat().FaceName)
            return;
        TRichCharFormat f;
        f.FaceName = FontNameCombo->Text();
        e->BeginFieldEdit();
        e->SetSelCharFormat(f, TRichCharMask {rcFace});
    };
    // A name shown in red is not in the list; the opened list shows them all in black.
    FontNameCombo->OnDropDown = [this](TObject*) { FontNameCombo->Font()->SetColor(clBlack); };
    FontNameCombo->OnCloseUp = [this](TObject*) { RichEdit1->SetFocus(); };
    FontSizeCombo = new TComboBox(this);
    FontSizeCombo->SetParent(FormatBar);
    FontSizeCombo->SetBounds(158, 2, 50, 21);
    for (const char* size :
         {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48", "72"})
        FontSizeCombo->Items()->Add(size);
    // A size chosen from the list applies at once; a typed one on Enter (KeyDown).
    FontSizeCombo->OnClick = [this](TObject*) {
        if (FontSizeCombo->ItemIndex() >= 0)
            ApplyFontSize(FontSizeCombo->Items()->Strings(FontSizeCombo->ItemIndex()));
    };
    FontSizeCombo->OnCloseUp = [this](TObject*) { RichEdit1->SetFocus(); };
    int x = 214;
    BoldButton = Button(FormatBar, x, "B", [this, e] { e->SetSelBold(BoldButton->Down()); });
    ItalicButton = Button(FormatBar, x, "I", [this, e] { e->SetSelItalic(ItalicButton->Down()); });
    UnderlineButton = Button(FormatBar, x, "U", [this, e] { e->SetSelUnderline(UnderlineButton->Down()); });
    // Each style button's letter in its own style.
    BoldButton->Font()->SetStyle(TFontStyles {fsBold});
    ItalicButton->Font()->SetStyle(TFontStyles {fsItalic});
    UnderlineButton->Font()->SetStyle(TFontStyles {fsUnderline});
    ColorButton = Button(FormatBar, x, "A", [this] {
        const TPoint at = ColorButton->ClientToScreen(Point(-1, ColorButton->Height()));
        ColorMenu->Popup(at.X, at.Y);
    });
    ColorMenu = new TPopupMenu(this);
    for (const auto& [caption, color] : ColorItems) {
        TMenuItem* item = Item(ColorMenu->Items(), caption);
        item->SetTag(color);
        item->OnClick = [e, item](TObject*) {
            TRichCharFormat f;
            f.Color = static_cast<TColor>(item->Tag());
            e->BeginFieldEdit();
            e->SetSelCharFormat(f, TRichCharMask {rcColor});
        };
        item->OnMeasureItem = [this](TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
            MeasureColorItem(Sender, ACanvas, Width, Height);
        };
        item->OnDrawItem = [this](TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected) {
            DrawColorItem(Sender, ACanvas, ARect, Selected);
        };
    }
    Automatic1 = ColorMenu->Items()->Items(ColorMenu->Items()->Count() - 1);
    FFormatBarBevels.push_back(GroupBevel(FormatBar, x + 3));
    x += 8;
    LeftButton = Button(FormatBar, x, "L", [this] { SetAlignment(raLeft); });
    CenterButton = Button(FormatBar, x, "C", [this] { SetAlignment(raCenter); });
    RightButton = Button(FormatBar, x, "R", [this] { SetAlignment(raRight); });
    FFormatBarBevels.push_back(GroupBevel(FormatBar, x + 3));
    x += 8;
    BulletButton = Button(FormatBar, x, "\x95", [e] { e->ToggleBullet(); });
    HighlightButton = Button(FormatBar, x, "H", [this, e] {
        e->SetSelBackColor(HighlightButton->Down() ? e->HighlightColor() : clNone);
    });
    int group = 1;
    for (TSpeedButton* toggle : {BoldButton, ItalicButton, UnderlineButton}) {
        toggle->SetGroupIndex(group++);
        toggle->SetAllowAllUp(true);
    }
    for (TSpeedButton* align : {LeftButton, CenterButton, RightButton})
        align->SetGroupIndex(4);
    for (TSpeedButton* toggle : {BulletButton, HighlightButton}) {
        toggle->SetGroupIndex(group++ + 1);
        toggle->SetAllowAllUp(true);
    }
}

void TdwRichEditForm::ApplyFontSize(const String& Text)
{
    // Half points are sizes too, as the text keeps them.
    const double points = std::round(StrToFloat(Trim(Text)) * 2) / 2;
    if (points < 1 || points > 1638)
        throw EConvertError(Format("'%s' is not a valid font size", {Text}));
    if (RichEdit1->SelCharFormat().Points == points)
        return;
    TRichCharFormat f;
    f.Points = points;
    RichEdit1->BeginFieldEdit();
    RichEdit1->SetSelCharFormat(f, TRichCharMask {rcSize});
}

void TdwRichEditForm::ToggleBar(TControl* Bar, TMenuItem* Menu)
{
    Bar->SetVisible(!Bar->Visible());
    Menu->SetChecked(Bar->Visible());
    Layout();
}

void TdwRichEditForm::SetAlignment(int Alignment)
{
    TRichParaFormat p;
    p.Alignment = static_cast<TRichAlignment>(Alignment);
    RichEdit1->BeginFieldEdit();
    RichEdit1->SetSelParaFormat(p, TRichParaMask {rpAlignment});
}

void TdwRichEditForm::MeasureColorItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)
{
    const String& caption = static_cast<TMenuItem*>(Sender)->Caption();
    Height = ACanvas->TextHeight(caption) + 2;
    Width = ACanvas->TextWidth(caption) + 45;
}

void TdwRichEditForm::DrawColorItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)
{
    auto* item = static_cast<TMenuItem*>(Sender);
    ACanvas->Brush()->SetColor(Selected ? clHighlight : clBtnFace);
    ACanvas->Font()->SetColor(Selected ? clHighlightText : clWindowText);
    ACanvas->FillRect(ARect);
    const TRect swatch = Rect(ARect.Left + 3, ARect.Top + 2, ARect.Left + 43, ARect.Bottom - 2);
    ACanvas->Brush()->SetColor(static_cast<TColor>(item->Tag()));
    // The selected item's swatch is framed in black.
    ACanvas->Pen()->SetColor(Selected ? clBlack : static_cast<TColor>(item->Tag()));
    ACanvas->Rectangle(swatch);
    TRect caption = Rect(swatch.Right + 3, ARect.Top, ARect.Right, ARect.Bottom);
    ACanvas->Brush()->SetStyle(bsClear);
    ACanvas->DrawText(item->Caption(), caption, DT_SINGLELINE | DT_VCENTER);
}

void TdwRichEditForm::ApplyOptions(TdwRichEditOptions Options, bool ReadOnly)
{
    Automatic1->SetTag(RichEdit1->Font()->Color());
    FReadOnly = ReadOnly;
    FCloseOnEscape = Options.Contains(reoCloseOnEscape);
    if (ReadOnly)
        Options = Options - TdwRichEditOptions {reoShowLoad,      reoShowSaveAs,    reoShowSaveExit,
                                                reoShowFormatBar, reoShowToolBar,   reoShowStatusBar,
                                                reoShowRuler,     reoShowSpellCheck};
    if (FSource->ClassName() != "TdwDBRichEditMSWord")
        Options.Exclude(reoShowSpellCheck);
    RichEdit1->SetEditorOptions(Options);
    RichEdit1->SetReadOnly(ReadOnly);
    RichEdit1->AddOfferedFonts(FontNameCombo->Items());
    Load1->SetVisible(Options.Contains(reoShowLoad));
    SaveAs1->SetVisible(Options.Contains(reoShowSaveAs));
    Print1->SetVisible(Options.Contains(reoShowPrint));
    PrintButton->SetVisible(Options.Contains(reoShowPrint));
    PageSetup1->SetVisible(Options.Contains(reoShowPageSetup));
    Tools1->SetVisible(Options.Contains(reoShowSpellCheck));
    Spelling1->SetVisible(Options.Contains(reoShowSpellCheck));
    SpellButton->SetVisible(Options.Contains(reoShowSpellCheck));
    Insert1->SetVisible(Options.Contains(reoShowInsertObject) && !ReadOnly);
    SaveExit1->SetVisible(Options.Contains(reoShowSaveExit));
    FileSep2->SetVisible(Print1->Visible() || PageSetup1->Visible());
    FileSep1->SetVisible(Load1->Visible() || SaveExit1->Visible());
    NewButton->SetVisible(!ReadOnly);
    CloseUpToolbar();
    StatusBar->SetVisible(Options.Contains(reoShowStatusBar));
    FormatBar->SetVisible(Options.Contains(reoShowFormatBar));
    Toolbar->SetVisible(Options.Contains(reoShowToolBar));
    Ruler->SetVisible(Options.Contains(reoShowRuler));
    Format1->SetVisible(!ReadOnly);
    View1->SetVisible(!ReadOnly);
    Toolbar1->SetChecked(Toolbar->Visible());
    FormatBar1->SetChecked(FormatBar->Visible());
    StatusBar1->SetChecked(StatusBar->Visible());
    Ruler1->SetChecked(Ruler->Visible());
    // The source's own buttons stand after Undo and Redo, behind a bevel of their own.
    int left = UndoButton->Left() + UndoButton->Width() + 32;
    for (int i = 0; i < 2; ++i) {
        TSpeedButton* button = i == 0 ? FSource->UserSpeedButton1() : FSource->UserSpeedButton2();
        if (!button)
            continue;
        FUserButtonParents[i] = button->Parent();
        button->SetParent(Toolbar);
        button->SetBounds(left, UndoButton->Top(), button->Width(), UndoButton->Height());
        button->Show();
        left += button->Width();
        UserButtonBevel->Show();
    }
    ApplyFlatButtons(Options.Contains(reoFlatButtons));
    for (int i = 1; i < StatusBar->PanelCount(); ++i)
        StatusBar->Panels(i)->SetWidth(dwScaleByPixelsPerInch(StatusBar->Panels(i)->Width()));
    ApplyHints(Options.Contains(reoShowHints));
    MainMenu1->SetImages(Options.Contains(reoShowMainMenuIcons) ? ImageList1 : nullptr);
    Layout();
    UpdateControls();
    UpdateLockIndicators();
}

void TdwRichEditForm::CloseUpToolbar()
{
    const std::vector<TSpeedButton*> groups[] = {{NewButton, PrintButton},
                                                 {FindButton, SpellButton},
                                                 {CutButton, CopyButton, PasteButton},
                                                 {UndoButton, RedoButton}};
    TBevel* const bevels[] = {Bevel1, ToolbarBevel1, Bevel2, UserButtonBevel};
    int x = 4;
    for (size_t g = 0; g < std::size(groups); ++g) {
        int right = -1;
        for (TSpeedButton* button : groups[g]) {
            if (!button->Visible())
                continue;
            button->SetLeft(x);
            x += button->Width();
            right = x;
        }
        // A group with nothing to show takes no room, and no bevel follows it.
        if (right < 0) {
            bevels[g]->Hide();
            continue;
        }
        bevels[g]->SetLeft(right + 3);
        x = bevels[g]->Left() + 5;
    }
}

void TdwRichEditForm::ApplyFlatButtons(bool Flat)
{
    // Raised buttons need two pixels more above and below.
    Toolbar->SetHeight(Flat ? 24 : 28);
    FormatBar->SetHeight(Flat ? 26 : 28);
    for (TPanel* bar : {Toolbar, FormatBar})
        for (int i = 0; i < bar->ControlCount(); ++i) {
            TControl* control = bar->Controls(i);
            if (auto* button = dynamic_cast<TSpeedButton*>(control)) {
                button->SetFlat(Flat);
                button->SetTop(bar == Toolbar ? (Flat ? 1 : 3) : (Flat ? 2 : 3));
                // The raised frame takes a pixel of the margin; a centred glyph stays centred.
                if (!Flat && button->Margin() > 0)
                    button->SetMargin(button->Margin() - 1);
            } else if (!Flat && dynamic_cast<TBevel*>(control)) {
                control->Hide();
            }
        }
}

void TdwRichEditForm::ApplyHints(bool Show)
{
    const TdwDBRichEditIntl& r = dwIntl()->RichEdit();
    const String redo =
            r.RedoButtonHint.empty() ? String("Redo | Reverses the last undo action") : r.RedoButtonHint;
    const std::pair<TControl*, const String&> controls[] = {{FontNameCombo, r.FontNameComboHint},
                                                            {FontSizeCombo, r.FontSizeComboHint},
                                                            {NewButton, r.NewButtonHint},
                                                            {PrintButton, r.PrintButtonHint},
                                                            {FindButton, r.FindButtonHint},
                                                            {SpellButton, r.SpellCheckHint},
                                                            {CutButton, r.CutButtonHint},
                                                            {CopyButton, r.CopyButtonHint},
                                                            {PasteButton, r.PasteButtonHint},
                                                            {UndoButton, r.UndoButtonHint},
                                                            {RedoButton, redo},
                                                            {BoldButton, r.BoldButtonHint},
                                                            {ItalicButton, r.ItalicButtonHint},
                                                            {UnderlineButton, r.UnderlineButtonHint},
                                                            {ColorButton, r.ColorButtonHint},
                                                            {LeftButton, r.LeftButtonHint},
                                                            {CenterButton, r.CenterButtonHint},
                                                            {RightButton, r.RightButtonHint},
                                                            {BulletButton, r.BulletButtonHint},
                                                            {HighlightButton, r.HighlightButtonHint}};
    for (const auto& [control, hint] : controls) {
        control->SetHint(Show ? hint : String());
        control->SetShowHint(Show);
    }
    const std::pair<TMenuItem*, const String&> items[] = {{Load1, r.LoadButtonHint},
                                                          {SaveAs1, r.SaveAsButtonHint},
                                                          {SaveExit1, r.SaveExitHint},
                                                          {Print1, r.PrintButtonHint},
                                                          {PageSetup1, r.PageSetupHint},
                                                          {Exit1, r.ExitHint},
                                                          {Undo1, r.UndoButtonHint},
                                                          {Redo1, redo},
                                                          {Cut1, r.CutButtonHint},
                                                          {Copy1, r.CopyButtonHint},
                                                          {Paste1, r.PasteButtonHint},
                                                          {Clear1, r.ClearHint},
                                                          {SelectAll1, r.SelectAllHint},
                                                          {Find1, r.FindButtonHint},
                                                          {FindNext1, r.FindNextHint},
                                                          {Replace1, r.ReplaceHint},
                                                          {InsertObject1, r.InsertObjectHint},
                                                          {Spelling1, r.SpellCheckHint},
                                                          {Toolbar1, r.ToolbarHint},
                                                          {FormatBar1, r.FormatBarHint},
                                                          {StatusBar1, r.ViewStatusBarHint},
                                                          {Font1, r.FontHint},
                                                          {BulletStyle1, r.BulletButtonHint},
                                                          {Paragraph1, r.ParagraphHint},
                                                          {Tabs1, r.TabsHint}};
    for (const auto& [item, hint] : items)
        item->SetHint(Show ? hint : String());
    if (!FOnHintReplaced)
        FPreviousOnHint = Application->OnHint;
    FOnHintReplaced = true;
    if (Show)
        Application->OnHint = [this](TObject*) { StatusBar->Panels(0)->SetText(Application->Hint()); };
    else
        Application->OnHint = nullptr;
}

void TdwRichEditForm::UpdateLockIndicators()
{
    const TLockKeyState keys = LockKeys().State();
    const TdwDBRichEditIntl& r = dwIntl()->RichEdit();
    StatusBar->Panels(1)->SetText(keys.CapsLock ? r.CAPLockCaption : String());
    StatusBar->Panels(2)->SetText(keys.NumLock ? r.NUMLockCaption : String());
}

void TdwRichEditForm::KeyPress(char& Key)
{
    if (std::exchange(FShortCutRan, false)) {
        Key = 0;
        return;
    }
    TForm::KeyPress(Key);
}

void TdwRichEditForm::KeyUp(Word& Key, TShiftState Shift)
{
    UpdateLockIndicators();
    TForm::KeyUp(Key, Shift);
}

void TdwRichEditForm::UpdateControls()
{
    if (!StatusBar)  // still being made
        return;
    TdwCustomRichEdit* e = RichEdit1;
    const TRichCharFormat f = e->SelCharFormat();
    BoldButton->SetDown(f.Bold);
    ItalicButton->SetDown(f.Italic);
    UnderlineButton->SetDown(f.Underline);
    const int face = FontNameCombo->Items()->IndexOf(f.FaceName);
    FontNameCombo->SetItemIndex(face);
    if (face < 0)
        FontNameCombo->SetText(f.FaceName);
    FontNameCombo->Font()->SetColor(face < 0 ? TColor(255) : clWindowText);
    const String size = FloatToStr(f.Points);
    const int listed = FontSizeCombo->Items()->IndexOf(size);
    FontSizeCombo->SetItemIndex(listed);
    if (listed < 0)
        FontSizeCombo->SetText(size);
    const TRichParaFormat p = e->SelParaFormat();
    BulletButton->SetDown(p.Bullet);
    BulletStyle1->SetChecked(p.Bullet);
    HighlightButton->SetDown(f.BackColor != clNone && f.BackColor != 0 && f.BackColor != clWindow);
    LeftButton->SetDown(p.Alignment == raLeft || p.Alignment == raJustify);
    CenterButton->SetDown(p.Alignment == raCenter);
    RightButton->SetDown(p.Alignment == raRight);
    const bool selected = e->HasSelection();
    const bool hasText = e->ParagraphCount() > 1 || !e->Paragraph(0).empty();
    const bool canPaste = e->CanPaste() && !FReadOnly;
    Paste1->SetEnabled(canPaste);
    PasteButton->SetEnabled(canPaste);
    Undo1->SetEnabled(e->CanUndo());
    UndoButton->SetEnabled(e->CanUndo());
    Redo1->SetEnabled(e->CanRedo());
    RedoButton->SetEnabled(e->CanRedo());
    Cut1->SetEnabled(selected && !FReadOnly);
    CutButton->SetEnabled(selected && !FReadOnly);
    Copy1->SetEnabled(selected);
    CopyButton->SetEnabled(selected);
    Clear1->SetEnabled(selected && !FReadOnly);
    SelectAll1->SetEnabled(hasText);
    Find1->SetEnabled(hasText);
    FindButton->SetEnabled(hasText);
    FindNext1->SetEnabled(!e->LastSearchText().empty());
    Replace1->SetEnabled(hasText && !FReadOnly);
    Ruler->FollowParagraph();
}

void TdwRichEditForm::Layout()
{
    RichEdit1->SetRedraw(false);
    try {
        PlaceControls();
    } catch (const std::exception&) {
        RichEdit1->SetRedraw(true);
        ShowMessage("Error in resize");
        return;
    }
    RichEdit1->SetRedraw(true);
}

void TdwRichEditForm::PlaceControls()
{
    const std::pair<TBevel*, TControl*> bars[] = {
            {ToolBarBevel, Toolbar}, {FormatBarBevel, FormatBar}, {RulerBevel, Ruler}};
    int top = 0;
    for (const auto& [line, bar] : bars) {
        line->SetVisible(bar->Visible());
        if (!bar->Visible())
            continue;
        line->SetBounds(0, top, ClientWidth(), 2);
        top += 2;
        const int height = bar != Ruler ? bar->Height() : ScreenPixelsPerInch < 97 ? 25 : 27;
        bar->SetBounds(0, top, bar == Ruler ? RulerWidth() : ClientWidth(), height);
        top += height;
    }
    const int bottom = StatusBar->Visible() ? ClientHeight() - 20 : ClientHeight();
    if (StatusBar->Visible())
        StatusBar->SetBounds(0, bottom, ClientWidth(), 20);
    int others = 0;
    for (int i = 1; i < StatusBar->PanelCount(); ++i)
        others += StatusBar->Panels(i)->Width();
    StatusBar->Panels(0)->SetWidth(std::max(0, ClientWidth() - others));
    RichEdit1->SetBounds(4, top, std::max(0, ClientWidth() - 8), std::max(0, bottom - top));
    Ruler->FollowParagraph();
    RichEdit1->ResetFormatRect();
}

int TdwRichEditForm::RulerWidth() const
{
    if (RichEdit1->EditWidth() != rewPrinterSize)
        return ClientWidth();
    return static_cast<int>(std::lround(ScreenPixelsPerInch * RichEdit1->PrintableWidthInches())) + 12;
}

void TdwRichEditForm::Resize()
{
    TForm::Resize();
    if (StatusBar)  // the last part made
        Layout();
}

void TdwRichEditForm::NewClick()
{
    if (MessageDlg(dwIntl()->UserMessages().RichEditClearWarning, mtConfirmation, mbOKCancel, 0) != mrOk)
        return;
    RichEdit1->Clear();
    RichEdit1->SetModified(true);
}

bool TdwRichEditForm::RunsOwnAction(const TdwRTFNotifyEvent& Event)
{
    bool doDefault = true;
    if (Event)
        Event(this, RichEdit1, doDefault);
    return doDefault;
}

void TdwRichEditForm::LoadClick()
{
    if (!RunsOwnAction(FSource->OnMenuLoadClick))
        return;
    TOpenDialog dialog(nullptr);
    dialog.Filter = "Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT";
    if (dialog.Execute()) {
        RichEdit1->Lines()->LoadFromFile(dialog.FileName);
        // A loaded document is a change that Save and Exit brings back.
        RichEdit1->SetModified(true);
    }
    RichEdit1->SetFocus();
}

void TdwRichEditForm::PrintClick()
{
    if (!RunsOwnAction(FSource->OnMenuPrintClick))
        return;
    TPrintDialog dialog(nullptr);
    if (dialog.Execute())
        RichEdit1->Print(FSource->PrintJobName);
}

void TdwRichEditForm::PageSetupClick()
{
    TdwPageSetupDialog dialog(nullptr);
    dialog.RichEdit = RichEdit1;
    if (!dialog.Execute())
        return;
    // The page's new width lays the text out again and moves the ruler's markers.
    Layout();
}

void TdwRichEditForm::SaveAsClick()
{
    if (!RunsOwnAction(FSource->OnMenuSaveAsClick))
        return;
    TSaveDialog dialog(nullptr);
    dialog.Filter = "Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT";
    dialog.DefaultExt = "rtf";
    if (!dialog.Execute())
        return;
    if (FileExists(dialog.FileName) && MessageDlg(Format("OK to overwrite %s", {dialog.FileName}),
                                                  mtConfirmation, mbYesNoCancel, 0) != mrYes)
        return;
    RichEdit1->Lines()->SaveToFile(dialog.FileName);
}

TdwRichEditForm::~TdwRichEditForm() { FormClose(); }

void TdwRichEditForm::FormClose()
{
    if (FOnHintReplaced)
        Application->OnHint = FPreviousOnHint;
    FOnHintReplaced = false;
    for (int i = 0; i < 2; ++i) {
        TSpeedButton* button = i == 0 ? FSource->UserSpeedButton1() : FSource->UserSpeedButton2();
        if (!button || !FUserButtonParents[i])
            continue;
        button->Hide();
        button->SetParent(FUserButtonParents[i]);
        FUserButtonParents[i] = nullptr;
    }
}

bool TdwRichEditForm::CloseQuery()
{
    if (ModalResult() != mrOk && RichEdit1->Modified() && !FReadOnly) {
        switch (MessageDlg(dwIntl()->UserMessages().RichEditExitWarning, mtConfirmation, mbYesNoCancel, 0)) {
        case mrYes: SetModalResult(mrOk); break;
        case mrNo: SetModalResult(mrCancel); break;
        default: SetModalResult(mrNone); return false;
        }
    }
    return TForm::CloseQuery();
}

void TdwRichEditForm::KeyDown(Word& Key, TShiftState Shift)
{
    // The menu's keys come first, and each runs its command once: the character of the
    // key (Ctrl+Z gives one) does not reach the editing control.
    FShortCutRan = MainMenu1->IsShortCut(Key, Shift);
    if (FShortCutRan) {
        Key = 0;
        return;
    }
    if (Shift == TShiftState {ssCtrl} && !FReadOnly && (Key == 'B' || Key == 'I' || Key == 'U')) {
        TSpeedButton* button = Key == 'B' ? BoldButton : Key == 'I' ? ItalicButton : UnderlineButton;
        button->SetDown(!button->Down());
        button->OnClick(button);
        Key = 0;
        return;
    }
    // A size typed into the size combo applies on Enter, and the text has the focus again.
    if (Key == VK_RETURN && Shift.Empty() && ActiveControl() == FontSizeCombo) {
        Key = 0;
        if (!Trim(FontSizeCombo->Text()).empty())
            ApplyFontSize(FontSizeCombo->Text());
        RichEdit1->SetFocus();
        return;
    }
    if (Key == VK_ESCAPE && Shift.Empty()) {
        if (FReadOnly || FCloseOnEscape)
            SetModalResult(mrCancel);
        else
            RichEdit1->Undo();
        Key = 0;
        return;
    }
    TForm::KeyDown(Key, Shift);
}
