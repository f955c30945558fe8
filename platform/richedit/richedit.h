#pragma once
// The rich edit control: formatted text over a QTextDocument, read and written as RTF
// by our own reader and writer. Positions count characters from 0 with one for each
// paragraph break; Text joins the paragraphs with CR LF.

#include <functional>
#include <vector>

#include "platform/vcl/controls/controls.h"
#include "platform/vcl/forms/forms.h"

class QTextCursor;
class QTextDocument;
class QTextEdit;
class TPrinter;

enum TRichScrollStyle { rsNone, rsHorizontal, rsVertical, rsBoth };

// A selection's character format. Which parts hold for all of the selection is told by
// the mask that comes with it.
struct TRichCharFormat {
    String FaceName;
    double Points = 0;
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    TColor Color = clWindowText;
    // clNone: no background.
    TColor BackColor = clNone;
};
enum TRichCharPart { rcFace, rcSize, rcBold, rcItalic, rcUnderline, rcStrikeOut, rcColor, rcBackColor };
using TRichCharMask = SetOf<TRichCharPart>;

enum TRichAlignment { raLeft = 1, raRight = 2, raCenter = 3, raJustify = 4 };
// A paragraph's format, measures in twips: the first line starts at StartIndent, the
// others at StartIndent + Offset.
struct TRichParaFormat {
    TRichAlignment Alignment = raLeft;
    int StartIndent = 0, RightIndent = 0, Offset = 0;
    int SpaceBefore = 0, SpaceAfter = 0;
    // 0 single, 1 one and a half, 2 double, 3 at least, 4 exactly (LineSpacing twips),
    // 5 multiple (LineSpacing twentieths of a line).
    int LineSpacingRule = 0, LineSpacing = 0;
    bool Bullet = false;
    std::vector<int> Tabs;
};
enum TRichParaPart {
    rpAlignment,
    rpNumbering,
    rpOffset,
    rpRightIndent,
    rpStartIndent,
    rpTabStops,
    rpSpaceBefore,
    rpSpaceAfter,
    rpLineSpacing
};
using TRichParaMask = SetOf<TRichParaPart>;

using TRichLinkEvent = std::function<void(TObject* Sender, const String& URL)>;

class TCustomRichEdit : public TWinControl {
public:
    explicit TCustomRichEdit(TComponent* AOwner);
    ~TCustomRichEdit() override;

    String ClassName() const override { return "TCustomRichEdit"; }
    bool InheritsFrom(const String& name) const override;
    int DialogCode() const override;

    // Loads and saves plain text instead of RTF.
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool Value) { FPlainText = Value; }
    // Replaces the contents (or the selection) by Data: RTF when it looks like RTF and
    // PlainText is off, else plain text (CR LF, CR or LF break paragraphs). ByteLimit > 0
    // reads only the beginning. Returns what was wrong with damaged RTF ("" when nothing).
    String LoadContents(const String& Data, bool Selection = false, Int64 ByteLimit = 0);
    // The contents (or the selection) as RTF, or as plain text when PlainText is on.
    String SaveContents(bool Selection = false) const;

    bool Modified() const;
    void SetModified(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    virtual void SetReadOnly(bool Value);
    // Typed and pasted text beyond it is refused; loads are not cut. 0 is no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value) { FMaxLength = std::max(0, Value); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // Lays the text out this many pixels wide (0: the window's width).
    void SetLayoutWidth(int Pixels);
    TRichScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TRichScrollStyle Value);
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    // bsSingle draws the control's sunken frame; bsNone leaves the text on its background
    // (a grid's cell editor).
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // Pixels kept free left of the text.
    void SetLeftMargin(int Pixels);
    // Off, the control does not repaint while many changes are made.
    void SetRedraw(bool Value);

    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    void SetSelection(int Start, int Length);
    String SelText() const;
    // Replaces the selection by plain text in the format at its start; the caret goes after it.
    void SetSelText(const String& Value);
    void SelectAll();
    void Clear();
    int TextLength() const;
    // The text from Start up to End.
    String TextRange(int Start, int End) const;
    // The position of the character under the client point.
    int CharFromPos(int X, int Y) const;
    // The first position from Start (up to End, -1: the end) where Text stands; -1 when nowhere.
    int FindText(const String& Text, int Start, int End, bool WholeWord, bool MatchCase) const;

    // Paragraphs: their text without the break, and where each starts.
    int ParagraphCount() const;
    String Paragraph(int Index) const;
    int ParagraphStart(int Index) const;
    void InsertText(int Position, const String& Text);

    TRichCharFormat SelCharFormat(TRichCharMask* Consistent = nullptr) const;
    void SetSelCharFormat(const TRichCharFormat& Format, TRichCharMask Parts);
    // The format that typed text takes where no other applies.
    TRichCharFormat DefaultCharFormat() const;
    void SetDefaultCharFormat(const TRichCharFormat& Format, TRichCharMask Parts);
    TRichParaFormat SelParaFormat() const;
    void SetSelParaFormat(const TRichParaFormat& Format, TRichParaMask Parts);

    bool CanUndo() const;
    bool CanRedo() const;
    void Undo();
    void Redo();
    // The clipboard holds something the control can paste: RTF, text or a picture.
    bool CanPaste() const;
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();

    // Paints the text from position First over R of the painter's device: a copy of the
    // control for another place.
    void RenderInto(class QPainter& Painter, const TRect& R, int First) const;

    // Prints the whole text on the printer's open document, laid out in R (twips from the
    // printable page's top-left corner) on every page; a new page starts only between
    // pages. Returns the number of pages.
    int PrintPages(TPrinter& Printer, const TRect& R) const;
    // The same as one job of the current printer titled Caption.
    void PrintJob(const String& Caption, const TRect& R) const;
    // The text on the printer as one document titled Caption, over PageRect or, while
    // that is empty, the whole printable page.
    virtual void Print(const String& Caption);
    // Where Print lays out the text, in printer pixels.
    const TRect& PageRect() const { return FPageRect; }
    void SetPageRect(const TRect& Value) { FPageRect = Value; }

    // A click on an address in the text (http:, https:, ftp:, mailto:, www., file:),
    // while link detection is on.
    bool LinkDetection() const { return FLinkDetection; }
    void SetLinkDetection(bool Value) { FLinkDetection = Value; }
    TRichLinkEvent OnLinkClick;

    // Fires on every change of the contents, also one the program makes.
    TNotifyEvent OnChange;
    TNotifyEvent OnSelectionChange;

    QTextDocument* Document() const;

protected:
    String GetText() const override;
    void SetTextValue(const String& Value) override;
    virtual void Change();
    virtual void SelectionChange();
    virtual void LinkClicked(const String& URL);
    // True while contents are being loaded by the program.
    bool Loading() const { return FLoading > 0; }

private:
    friend class TRichTextWidget;
    QTextEdit* Edit() const;
    QTextCursor Cursor() const;
    void ApplyWrap();
    // The target of the hyperlink or the address around Position, or "" when none stands
    // there.
    String LinkAt(int Position) const;
    // Whether Count more characters may be typed or pasted.
    bool MayGrow(int Count) const;

    TRect FPageRect;
    bool FPlainText = false;
    bool FReadOnly = false;
    int FMaxLength = 0;
    bool FWordWrap = true;
    int FLayoutWidth = 0;
    TRichScrollStyle FScrollBars = rsNone;
    bool FWantTabs = false;
    TBorderStyle FBorderStyle = bsSingle;
    bool FWantReturns = true;
    bool FHideSelection = true;
    bool FLinkDetection = false;
    int FLoading = 0;
};
