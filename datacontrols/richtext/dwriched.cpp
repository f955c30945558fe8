#include "datacontrols/richtext/dwriched.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "datacontrols/common/dwutils.h"
#include "datacontrols/common/dwwindows.h"
#include "datacontrols/common/wwintl.h"
#include "datacontrols/richtext/dwrchdlg.h"
#include "datacontrols/richtext/dwrich.h"
#include "platform/classes/object.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/guiscreen.h"
#include "platform/vcl/forms/menus.h"
#include "platform/vcl/printing/printers.h"
#include "platform/win/launcher.h"

TdwCustomRichEdit::TdwCustomRichEdit(TComponent* AOwner)
    : TCustomRichEdit(AOwner), PrintJobName(Application->Title()),
      FLines(std::make_unique<TdwRichEditStrings>(this))
{
    CreateDialogs();
}

TdwCustomRichEdit::~TdwCustomRichEdit() = default;

bool TdwCustomRichEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwCustomRichEdit") || TCustomRichEdit::InheritsFrom(name);
}

// ---- streams

void TdwCustomRichEdit::StreamInText(TStream& Stream, bool Selection, int ChunkLimit)
{
    const Int64 position = Stream.Position();
    const Int64 available = Stream.Size() - position;
    String data(static_cast<size_t>(std::max<Int64>(0, available)), '\0');
    data.resize(static_cast<size_t>(Stream.Read(data.data(), available)));
    LoadContents(data, Selection, ChunkLimit > 0 ? ChunkLimit * ChunkBytes : 0);
}

void TdwCustomRichEdit::StreamOutSelection(TStream& Stream) const
{
    const bool plain = PlainText();
    const_cast<TdwCustomRichEdit*>(this)->SetPlainText(false);
    const String rtf = SaveContents(true);
    const_cast<TdwCustomRichEdit*>(this)->SetPlainText(plain);
    Stream.WriteBuffer(rtf.data(), static_cast<Int64>(rtf.size()));
}

void TdwCustomRichEdit::StreamInSelection(TStream& Stream)
{
    Stream.SetPosition(0);
    const bool plain = PlainText();
    SetPlainText(false);
    StreamInText(Stream, true, 0);
    SetPlainText(plain);
}

void TdwCustomRichEdit::LoadBlobPreview(TField* Field, int ChunkLimit)
{
    auto* blob = dynamic_cast<TBlobField*>(Field);
    if (!blob)
        return;
    TdwRichMemoryStream stream;
    blob->SaveToStream(stream);
    stream.SetPosition(0);
    StreamInText(stream, false, ChunkLimit);
}

// ---- dialogs and the context menu

void TdwCustomRichEdit::CreateDialogs()
{
    FFindDialog = new TFindDialog(this);
    FReplaceDialog = new TReplaceDialog(this);
    FFontDialog = new TFontDialog(this);
    const auto closed = [this](TObject*) { SetHideSelection(FSavedHideSelection); };
    FFindDialog->OnClose = closed;
    FReplaceDialog->OnClose = closed;
    FFindDialog->OnFind = [this](TObject*) { FindNext(FFindDialog->FindText(), FFindDialog->Options()); };
    FReplaceDialog->OnFind = [this](TObject*) {
        FindNext(FReplaceDialog->FindText(), FReplaceDialog->Options());
    };
    FReplaceDialog->OnReplace = [this](TObject*) {
        const TFindOptions options = FReplaceDialog->Options();
        ReplaceNext(FReplaceDialog->FindText(), FReplaceDialog->ReplaceText(), options,
                    options.Contains(frReplaceAll));
    };
    CreatePopupMenu();
}

void TdwCustomRichEdit::StartDialog(TFindDialog* Dialog)
{
    const String selected = SelText();
    Dialog->SetFindText(!selected.empty() && selected.find_first_of("\r\n") == String::npos ? selected
                                                                                            : FLastSearch);
    BeginSearch();
    FSavedHideSelection = HideSelection();
    SetHideSelection(false);
    Dialog->Execute();
}

void TdwCustomRichEdit::Find() { StartDialog(FFindDialog); }
void TdwCustomRichEdit::Replace() { StartDialog(FReplaceDialog); }

bool TdwCustomRichEdit::FontDialogExecute()
{
    const TRichCharFormat current = SelCharFormat();
    TFont* font = FFontDialog->Font();
    font->SetName(current.FaceName);
    font->SetSize(static_cast<int>(current.Points + 0.5));
    TFontStyles style;
    if (current.Bold)
        style.Include(fsBold);
    if (current.Italic)
        style.Include(fsItalic);
    if (current.Underline)
        style.Include(fsUnderline);
    if (current.StrikeOut)
        style.Include(fsStrikeOut);
    font->SetStyle(style);
    font->SetColor(current.Color);
    FFontDialog->Families()->Clear();
    if (FEditWidth == rewPrinterSize)
        AddOfferedFonts(FFontDialog->Families());
    if (!FFontDialog->Execute())
        return false;
    BeginFieldEdit();
    TRichCharFormat chosen;
    chosen.FaceName = font->Name();
    chosen.Points = font->Size();
    chosen.Bold = font->Style().Contains(fsBold);
    chosen.Italic = font->Style().Contains(fsItalic);
    chosen.Underline = font->Style().Contains(fsUnderline);
    chosen.StrikeOut = font->Style().Contains(fsStrikeOut);
    chosen.Color = font->Color();
    SetSelCharFormat(chosen,
                     TRichCharMask {rcFace, rcSize, rcBold, rcItalic, rcUnderline, rcStrikeOut, rcColor});
    return true;
}

void TdwCustomRichEdit::AddOfferedFonts(TStrings* Names) const
{
    TStrings* printable = FEditWidth == rewPrinterSize ? Printer()->Fonts() : nullptr;
    TStrings* fonts = GuiScreen()->Fonts();
    for (int i = 0; i < fonts->Count(); ++i)
        if (!printable || printable->IndexOf(fonts->Strings(i)) >= 0)
            Names->Add(fonts->Strings(i));
}

namespace {

// Fills the dialog, runs it and applies it when accepted.
template<class Dialog> bool RunParagraphDialog(TdwCustomRichEdit* RichEdit)
{
    auto* dialog = Construct<Dialog>(nullptr, RichEdit);
    dialog->Fill();
    const bool accepted = dialog->ShowModal() == mrOk;
    if (accepted)
        dialog->Apply();
    dialog->Free();
    return accepted;
}

}  // namespace

TdwCustomRichEdit* TdwCustomRichEdit::CreateEditorControl(TComponent* AOwner)
{
    return new TdwCustomRichEdit(AOwner);
}

bool TdwCustomRichEdit::ExecuteEditor()
{
    LoadContent();
    auto* form = Construct<TdwRichEditForm>(nullptr, this);
    FEditingForm = form;
    TdwCustomRichEdit* editor = form->RichEdit1;
    form->SetCaption(FEditorCaption);
    editor->SetFont(Font());
    editor->SetWordWrap(WordWrap());
    editor->SetMeasurementUnits(FMeasurementUnits);
    editor->SetHighlightColor(FHighlightColor);
    editor->SetPrintMargins(FPrintMargins.get());
    editor->SetPaperSize(FPaperSize);
    editor->SetEditWidth(FEditWidth);
    editor->SetAutoURLDetect(AutoURLDetect());
    editor->OnURLOpen = OnURLOpen;
    editor->OnInitDialog = OnInitDialog;
    editor->SetPopupOptions(TdwRichEditPopupOptions {rpoPopupCut, rpoPopupCopy, rpoPopupPaste, rpoPopupFont,
                                                     rpoPopupBullet, rpoPopupParagraph});
    CopyRichText(editor, this);
    editor->SetMaxLength(MaxLength());
    editor->SetSelStart(SelStart());
    form->ApplyOptions(FEditorOptions, IsReadOnly());
    editor->SetModified(false);
    editor->DoInitDialog(form);
    PlaceEditor(form);
    DoCreateDialog(form);
    const bool accepted = form->ShowModal() == mrOk;
    if (accepted && editor->Modified()) {
        BeginFieldEdit();
        if (auto* blob = dynamic_cast<TBlobField*>(GetField()))
            blob->SetAsString(editor->SaveContents());
        else
            CopyRichText(this, editor);
        SetModified(true);
    }
    if (accepted) {
        // The page set up in the editor is the control's from now on.
        SetPrintMargins(editor->PrintMargins());
        SetPaperSize(editor->PaperSize());
    }
    form->FormClose();
    DoCloseDialog(form);
    FEditingForm = nullptr;
    form->Free();
    return accepted;
}

void TdwCustomRichEdit::PlaceEditor(TForm* Form)
{
    const TdwFormPosition& at = FEditorPosition;
    // The form's own size is for 96 pixels per inch; a size asked for is taken as it is.
    const int width = at.Width > 0 ? at.Width : dwScaleByPixelsPerInch(Form->Width());
    const int height = at.Height > 0 ? at.Height : dwScaleByPixelsPerInch(Form->Height());
    TRect work;
    dwGetWorkArea(work);
    const int left = at.Left > 0 ? at.Left : work.Left + (work.Width() - width) / 2;
    const int top = at.Top > 0 ? at.Top : work.Top + (work.Height() - height) / 2;
    Form->SetPosition(poDesigned);
    Form->SetBounds(left, top, width, height);
}

namespace {

// A new empty file in the temporary directory, named "_WW" and six more characters; ""
// when none can be made.
String MakeTemporaryFile()
{
    const char* dir = std::getenv("TMPDIR");
    String name = String(dir && *dir ? dir : "/tmp") + "/_WWXXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0)
        return String();
    close(fd);
    return name;
}

}  // namespace

void TdwCustomRichEdit::CopyRichText(TdwCustomRichEdit* Dest, TdwCustomRichEdit* Source)
{
    TdwHourGlass hourGlass;
    if (!Source->IsContentLoaded()) {
        if (auto* blob = dynamic_cast<TBlobField*>(Source->GetField())) {
            TdwRichMemoryStream stream;
            blob->SaveToStream(stream);
            stream.SetPosition(0);
            Dest->Lines()->LoadFromStream(stream);
            return;
        }
    }
    if (!FTempFileCopy) {
        TdwRichMemoryStream stream;
        Source->Lines()->SaveToStream(stream);
        stream.SetPosition(0);
        Dest->Lines()->LoadFromStream(stream);
        return;
    }
    const String name = MakeTemporaryFile();
    if (name.empty()) {
        MessageDlg("Fail to create temporary file.", mtError, TMsgDlgButtons {mbOK}, 0);
        return;
    }
    const ScopeExit removeFile([&name] { std::remove(name.c_str()); });
    Source->Lines()->SaveToFile(name);
    Dest->Lines()->LoadFromFile(name);
}

void TdwCustomRichEdit::SetUserSpeedButton(int Index, TSpeedButton* Value)
{
    FUserSpeedButtons[Index] = Value;
    if (!Value)
        return;
    Value->FreeNotification(this);
    Value->Hide();
}

void TdwCustomRichEdit::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomRichEdit::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    for (TSpeedButton*& button : FUserSpeedButtons)
        if (button == AComponent)
            button = nullptr;
}

void TdwCustomRichEdit::DoCreateDialog(TForm* Form)
{
    if (OnCreateDialog)
        OnCreateDialog(this, Form);
}

void TdwCustomRichEdit::DoInitDialog(TForm* Form)
{
    if (OnInitDialog)
        OnInitDialog(this, Form);
}

void TdwCustomRichEdit::DoCloseDialog(TForm* Form)
{
    if (OnCloseDialog)
        OnCloseDialog(this, Form);
}

bool TdwCustomRichEdit::ParagraphDialogExecute() { return RunParagraphDialog<TdwRichParagraphDialog>(this); }
bool TdwCustomRichEdit::TabDialogExecute() { return RunParagraphDialog<TdwRichTabDialog>(this); }

void TdwCustomRichEdit::CreatePopupMenu()
{
    FPopupMenu = new TPopupMenu(this);
    int separators = 0;
    const auto separator = [&] {
        auto* item = new TMenuItem(FPopupMenu);
        item->SetCaption("-");
        FPopupMenu->Items()->Add(item);
        FSeparators[separators++] = item;
    };
    const auto add = [&](TdwRichEditPopupOption Option, std::function<void()> Action) {
        auto* item = new TMenuItem(FPopupMenu);
        item->OnClick = [Action](TObject*) { Action(); };
        FPopupMenu->Items()->Add(item);
        FPopupItems[Option] = item;
    };
    const auto toggle = [this](TdwRichEditPopupOption Option, void (TdwCustomRichEdit::*Set)(bool)) {
        return [this, Option, Set] {
            TMenuItem* item = FPopupItems[Option];
            (this->*Set)(!item->Checked());
            item->SetChecked(!item->Checked());
        };
    };
    add(rpoPopupEdit, [this] { ExecuteEditor(); });
    separator();
    add(rpoPopupCut, [this] {
        BeginFieldEdit();
        CutToClipboard();
    });
    add(rpoPopupCopy, [this] { CopyToClipboard(); });
    add(rpoPopupPaste, [this] {
        BeginFieldEdit();
        PasteFromClipboard();
    });
    separator();
    add(rpoPopupBold, toggle(rpoPopupBold, &TdwCustomRichEdit::SetSelBold));
    add(rpoPopupItalic, toggle(rpoPopupItalic, &TdwCustomRichEdit::SetSelItalic));
    add(rpoPopupUnderline, toggle(rpoPopupUnderline, &TdwCustomRichEdit::SetSelUnderline));
    separator();
    add(rpoPopupFont, [this] { FontDialogExecute(); });
    add(rpoPopupBullet, [this] { ToggleBullet(); });
    add(rpoPopupParagraph, [this] { ParagraphDialogExecute(); });
    add(rpoPopupTabs, [this] { TabDialogExecute(); });
    separator();
    add(rpoPopupFind, [this] { Find(); });
    add(rpoPopupReplace, [this] { Replace(); });
    separator();
    add(rpoPopupInsertObject, [this] { InsertObject(); });
    add(rpoPopupMSWordSpellCheck, [this] { SpellCheck(); });
    FPopupMenu->OnPopup = [this](TObject*) { UpdatePopupMenu(); };
    CaptionPopupMenu();
}

void TdwCustomRichEdit::CaptionPopupMenu()
{
    const TdwRichEditPopupMenuLabels& labels = dwIntl()->RichEdit().PopupMenuLabels;
    const String* captions[] = {
            &labels.EditCaption,      &labels.CutCaption,          &labels.CopyCaption,
            &labels.PasteCaption,     &labels.BoldCaption,         &labels.ItalicCaption,
            &labels.UnderlineCaption, &labels.FontCaption,         &labels.BulletStyleCaption,
            &labels.ParagraphCaption, &labels.TabsCaption,         &labels.FindCaption,
            &labels.ReplaceCaption,   &labels.InsertObjectCaption, &labels.SpellCheckCaption};
    for (int i = 0; i <= rpoPopupMSWordSpellCheck; ++i)
        FPopupItems[i]->SetCaption(*captions[i]);
}

void TdwCustomRichEdit::Loaded()
{
    TCustomRichEdit::Loaded();
    CaptionPopupMenu();
}

void TdwCustomRichEdit::UpdatePopupMenu()
{
    TdwRichEditPopupOptions options = FPopupOptions;
    if (!dwIsClassNamed(this, "TdwDBRichEditMSWord"))
        options.Exclude(rpoPopupMSWordSpellCheck);
    const bool readOnly = IsReadOnly();
    if (readOnly)
        options = options * TdwRichEditPopupOptions {rpoPopupEdit, rpoPopupCut, rpoPopupCopy, rpoPopupPaste,
                                                     rpoPopupFind};
    const TdwRichEditPopupMenuLabels& labels = dwIntl()->RichEdit().PopupMenuLabels;
    FPopupItems[rpoPopupEdit]->SetCaption(readOnly ? labels.ViewCaption : labels.EditCaption);
    for (int i = 0; i <= rpoPopupMSWordSpellCheck; ++i)
        FPopupItems[i]->SetVisible(options.Contains(static_cast<TdwRichEditPopupOption>(i)));
    const auto any = [&options](int From, int To) {
        for (int i = From; i <= To; ++i)
            if (options.Contains(static_cast<TdwRichEditPopupOption>(i)))
                return true;
        return false;
    };
    const bool findOrReplace = options.Contains(rpoPopupFind) || options.Contains(rpoPopupReplace);
    const bool objectOrSpelling =
            options.Contains(rpoPopupInsertObject) || options.Contains(rpoPopupMSWordSpellCheck);
    FSeparators[0]->SetVisible(options.Contains(rpoPopupEdit) && any(1, 14));
    FSeparators[1]->SetVisible(any(1, 3) && any(4, 14));
    FSeparators[2]->SetVisible(any(4, 6) && any(7, 14));
    FSeparators[3]->SetVisible(any(7, 10) && (findOrReplace || objectOrSpelling));
    FSeparators[4]->SetVisible(findOrReplace && options.Contains(rpoPopupInsertObject));
    const bool selected = HasSelection();
    FPopupItems[rpoPopupCut]->SetEnabled(selected && !readOnly);
    FPopupItems[rpoPopupCopy]->SetEnabled(selected);
    FPopupItems[rpoPopupPaste]->SetEnabled(CanPaste() && !readOnly);
    const TRichCharFormat format = SelCharFormat();
    FPopupItems[rpoPopupBold]->SetChecked(format.Bold);
    FPopupItems[rpoPopupItalic]->SetChecked(format.Italic);
    FPopupItems[rpoPopupUnderline]->SetChecked(format.Underline);
    FPopupItems[rpoPopupBullet]->SetChecked(SelParaFormat().Bullet);
}

void TdwCustomRichEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomRichEdit::MouseUp(Button, Shift, X, Y);
    if (Button != mbRight)
        return;
    const TPoint at = ClientToScreen(Point(X, Y));
    FPopupMenu->Popup(at.X, at.Y);
}

// ---- find and replace

void TdwCustomRichEdit::BeginSearch()
{
    FWrapped = false;
    FSearchStart = SelStart();
}

int TdwCustomRichEdit::FindTextPlain(const String& Text, int Start, TFindOptions Options, int Length)
{
    return FindText(Text, Start, Start + Length, Options.Contains(frWholeWord),
                    Options.Contains(frMatchCase));
}

bool TdwCustomRichEdit::SearchStep(const String& Text, TFindOptions Options, bool Replacing,
                                   const String& NewText)
{
    bool replaced = false;
    if (Replacing && SelLength() == static_cast<int>(Text.size()) &&
        FindTextPlain(Text, SelStart(), Options, SelLength()) == SelStart()) {
        BeginFieldEdit();
        SetSelText(NewText);
        if (FWrapped)
            FSearchStart += static_cast<int>(NewText.size()) - static_cast<int>(Text.size());
        replaced = true;
    }
    // From the caret, past a selected match: so a match at the caret, or right after a
    // replacement, is met too, and each one once.
    const int from = !replaced && SelLength() > 0 ? SelStart() + 1 : SelStart();
    int found = FindTextPlain(Text, from, Options, TextLength() - from);
    if (FWrapped && found >= FSearchStart)
        found = -1;
    if (!FWrapped && found < 0 && FSearchStart >= 1) {
        found = FindTextPlain(Text, 0, Options, TextLength());
        if (found >= FSearchStart)
            found = -1;
        FWrapped = true;
    }
    if (found < 0) {
        MessageDlg(dwIntl()->UserMessages().LocateNoMoreMatches, mtInformation, TMsgDlgButtons {mbOK}, 0);
        FSearchStart = SelStart();
        FWrapped = false;
        return false;
    }
    SetSelection(found, static_cast<int>(Text.size()));
    return true;
}

bool TdwCustomRichEdit::FindNext(const String& Text, TFindOptions Options)
{
    FLastSearch = Text;
    return SearchStep(Text, Options, false, String());
}

bool TdwCustomRichEdit::ReplaceNext(const String& Text, const String& NewText, TFindOptions Options,
                                    bool ReplaceAll)
{
    FLastSearch = Text;
    while (SearchStep(Text, Options, true, NewText))
        if (!ReplaceAll)
            return true;
    return false;
}

bool TdwCustomRichEdit::ReplaceText(const String& SearchText, const String& NewText, TFindOptions Options)
{
    const int found = FindTextPlain(SearchText, SelStart(), Options, TextLength() - SelStart());
    if (found < 0)
        return false;
    SetSelection(found, static_cast<int>(SearchText.size()));
    SetSelText(NewText);
    return true;
}

// ---- formats

void TdwCustomRichEdit::ApplyStyle(TRichCharPart Part, bool Value)
{
    BeginFieldEdit();
    TRichCharFormat format;
    format.Bold = format.Italic = format.Underline = format.StrikeOut = Value;
    SetSelCharFormat(format, TRichCharMask {Part});
}

void TdwCustomRichEdit::SetSelBold(bool Value) { ApplyStyle(rcBold, Value); }
void TdwCustomRichEdit::SetSelItalic(bool Value) { ApplyStyle(rcItalic, Value); }
void TdwCustomRichEdit::SetSelUnderline(bool Value) { ApplyStyle(rcUnderline, Value); }
void TdwCustomRichEdit::SetSelStrikeOut(bool Value) { ApplyStyle(rcStrikeOut, Value); }

void TdwCustomRichEdit::ToggleBullet()
{
    BeginFieldEdit();
    TRichParaFormat format = SelParaFormat();
    const bool on = !format.Bullet;
    format.Bullet = on;
    TRichParaMask parts {rpNumbering};
    if (on) {
        format.Offset = 720;
        parts.Include(rpOffset);
    }
    SetSelParaFormat(format, parts);
}

void TdwCustomRichEdit::SetSelBackColor(TColor Color)
{
    if (Color == clNone || Color == static_cast<TColor>(-1)) {
        ClearHighlight();
        return;
    }
    BeginFieldEdit();
    TRichCharFormat format;
    format.BackColor = Color;
    SetSelCharFormat(format, TRichCharMask {rcBackColor});
    SetSelLength(0);
}

TColor TdwCustomRichEdit::GetSelBackColor() const { return SelCharFormat().BackColor; }

String dwRemoveHighlight(const String& Rtf)
{
    static const String word = "\\highlight";
    String result;
    size_t i = 0;
    while (i < Rtf.size()) {
        if (Rtf.compare(i, word.size(), word) == 0 && (i == 0 || Rtf[i - 1] != '\\')) {
            size_t j = i + word.size();
            while (j < Rtf.size() && Rtf[j] >= '0' && Rtf[j] <= '9')
                ++j;
            if (j < Rtf.size() && Rtf[j] == ' ')
                ++j;
            i = j;
            continue;
        }
        result += Rtf[i++];
    }
    return result;
}

void TdwCustomRichEdit::ClearHighlight()
{
    BeginFieldEdit();
    const int start = SelStart();
    TdwRichMemoryStream out;
    StreamOutSelection(out);
    const String cleared = dwRemoveHighlight(
            String(reinterpret_cast<const char*>(out.Memory()), static_cast<size_t>(out.Size())));
    TdwRichMemoryStream in;
    in.WriteBuffer(cleared.data(), static_cast<Int64>(cleared.size()));
    StreamInSelection(in);
    SetSelection(start, SelStart() - start);
}

bool TdwCustomRichEdit::InsertObject()
{
    MessageDlg("Embedded objects are not available here; pictures can be pasted.", mtInformation,
               TMsgDlgButtons {mbOK}, 0);
    return false;
}

bool TdwCustomRichEdit::PrintWithWordProcessor(const String& /*DocumentName*/)
{
    MessageDlg(dwIntl()->UserMessages().RichEditMSWordNotFound, mtInformation, TMsgDlgButtons {mbOK}, 0);
    return false;
}

// ---- links

bool dwIsSafeLinkScheme(const String& URL)
{
    const String lower = LowerCase(URL);
    return lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0 ||
           lower.rfind("mailto:", 0) == 0 || lower.rfind("www.", 0) == 0;
}

void TdwCustomRichEdit::DoURLOpen(const String& URL, bool& Allow)
{
    if (OnURLOpen)
        OnURLOpen(this, URL, Allow);
}

void TdwCustomRichEdit::LinkClicked(const String& URL)
{
    bool allow = true;
    DoURLOpen(URL, allow);
    // Document text is never run: only web and mail addresses are handed to the desktop.
    if (!allow || !dwIsSafeLinkScheme(URL))
        return;
    Launcher().ShellOpen(LowerCase(URL).rfind("www.", 0) == 0 ? "http://" + URL : URL);
}
