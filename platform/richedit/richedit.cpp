#include "platform/richedit/richedit.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextList>

#include <memory>

#include "platform/richedit/rtfformat.h"
#include "platform/richedit/rtfreader.h"
#include "platform/richedit/rtfwriter.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/qt/qapp.h"
#include "platform/vcl/qt/qgraphics.h"
#include "platform/vcl/qt/qtext.h"

namespace {

const QString RtfMime = QStringLiteral("text/rtf");

QByteArray Bytes(const String& S) { return QByteArray(S.data(), static_cast<qsizetype>(S.size())); }
String FromBytes(const QByteArray& B) { return String(B.constData(), static_cast<size_t>(B.size())); }

// Qt's text with CR LF between paragraphs, as the program's text has it.
String ProgramText(QString Text)
{
    Text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    Text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    Text.replace(QChar::ObjectReplacementCharacter, QLatin1Char(' '));
    return FromQString(Text);
}

// Plain text into the document: CR LF, CR and LF each end a paragraph.
void InsertPlainText(QTextCursor& Cursor, const String& Text)
{
    QString text = ToQString(Text);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Cursor.insertText(text);
}

}  // namespace

// The text edit whose keys, pastes and clicks the control oversees.
class TRichTextWidget : public QTextEdit {
public:
    TRichTextWidget()
    {
        setTabChangesFocus(false);
        setAcceptRichText(true);
        // The control shows a context menu of its own.
        setContextMenuPolicy(Qt::NoContextMenu);
        viewport()->setContextMenuPolicy(Qt::NoContextMenu);
    }

    TCustomRichEdit* Control() const
    {
        return dynamic_cast<TCustomRichEdit*>(TEventDispatch::ControlOf(this));
    }

protected:
    void keyPressEvent(QKeyEvent* Event) override
    {
        TCustomRichEdit* control = Control();
        if (control && !Event->text().isEmpty() && Event->text().at(0).isPrint() && !control->MayGrow(1)) {
            MessageBeep();
            return;
        }
        QTextEdit::keyPressEvent(Event);
    }

    void mouseReleaseEvent(QMouseEvent* Event) override
    {
        QTextEdit::mouseReleaseEvent(Event);
        TCustomRichEdit* control = Control();
        if (!control || !control->LinkDetection() || Event->button() != Qt::LeftButton ||
            textCursor().hasSelection())
            return;
        const String url = control->LinkAt(cursorForPosition(Event->position().toPoint()).position());
        if (!url.empty())
            Guarded(control, [&] { control->LinkClicked(url); });
    }

    bool canInsertFromMimeData(const QMimeData* Source) const override
    {
        return Source->hasFormat(RtfMime) || Source->hasImage() || QTextEdit::canInsertFromMimeData(Source);
    }

    void insertFromMimeData(const QMimeData* Source) override
    {
        TCustomRichEdit* control = Control();
        if (control && control->ReadOnly())
            return;
        QTextCursor cursor = textCursor();
        if (Source->hasFormat(RtfMime)) {
            const QByteArray rtf = Source->data(RtfMime);
            QTextDocument pasted;
            QTextCursor into(&pasted);
            rtf::ReadRtf(rtf, into, {0, true});
            if (control && !control->MayGrow(pasted.characterCount() - 1 - cursor.selectedText().size()))
                return;
            rtf::ReadRtf(rtf, cursor, {0, false});
        } else if (Source->hasImage()) {
            cursor.insertImage(qvariant_cast<QImage>(Source->imageData()));
        } else if (Source->hasText()) {
            const QString text = Source->text();
            if (control && !control->MayGrow(static_cast<int>(text.size() - cursor.selectedText().size())))
                return;
            cursor.insertText(text);
        }
        setTextCursor(cursor);
        ensureCursorVisible();
    }

    QMimeData* createMimeDataFromSelection() const override
    {
        // Qt's own selection data answers only its own formats: ours carries its text too.
        const std::unique_ptr<QMimeData> own(QTextEdit::createMimeDataFromSelection());
        auto* data = new QMimeData;
        data->setText(own->text());
        data->setHtml(own->html());
        data->setData(RtfMime, rtf::WriteRtf(textCursor()));
        return data;
    }
};

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner) : TWinControl(AOwner, MakeWidget<TRichTextWidget>())
{
    SetTabStop(true);
    SetColor(clWindow);
    QTextEdit* edit = Edit();
    QObject::connect(edit, &QTextEdit::textChanged, [this] { Guarded(this, [this] { Change(); }); });
    QObject::connect(edit, &QTextEdit::selectionChanged,
                     [this] { Guarded(this, [this] { SelectionChange(); }); });
    QObject::connect(edit, &QTextEdit::cursorPositionChanged, [this] {
        if (!Edit()->textCursor().hasSelection())
            Guarded(this, [this] { SelectionChange(); });
    });
    SetBounds(0, 0, 185, 89);
    SetScrollBars(rsNone);
}

TCustomRichEdit::~TCustomRichEdit() { QObject::disconnect(Edit(), nullptr, nullptr, nullptr); }

bool TCustomRichEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TCustomRichEdit") || TWinControl::InheritsFrom(name);
}

int TCustomRichEdit::DialogCode() const
{
    int code = dlgcWantArrows | dlgcWantChars;
    if (FWantReturns)
        code |= dlgcWantAllKeys;
    if (FWantTabs)
        code |= dlgcWantTab;
    return code;
}

QTextEdit* TCustomRichEdit::Edit() const { return static_cast<QTextEdit*>(Widget()); }
QTextDocument* TCustomRichEdit::Document() const { return Edit()->document(); }
QTextCursor TCustomRichEdit::Cursor() const { return Edit()->textCursor(); }

// ---- contents

String TCustomRichEdit::LoadContents(const String& Data, bool Selection, Int64 ByteLimit)
{
    ++FLoading;
    QTextDocument* document = Document();
    if (!Selection) {
        document->setUndoRedoEnabled(false);
        document->clear();
    }
    QTextCursor cursor = Selection ? Cursor() : QTextCursor(document);
    const QByteArray bytes = Bytes(Data);
    String damage;
    if (!FPlainText && rtf::LooksLikeRtf(bytes)) {
        const rtf::ReadResult result =
                rtf::ReadRtf(bytes, cursor, {static_cast<qsizetype>(ByteLimit), !Selection});
        damage = FromQString(result.Damage);
    } else {
        InsertPlainText(cursor, ByteLimit > 0 ? Data.substr(0, static_cast<size_t>(ByteLimit)) : Data);
    }
    if (Selection)
        Edit()->setTextCursor(cursor);
    else {
        document->setUndoRedoEnabled(true);
        document->setModified(false);
        Edit()->setTextCursor(QTextCursor(document));
    }
    --FLoading;
    return damage;
}

String TCustomRichEdit::SaveContents(bool Selection) const
{
    const QTextCursor cursor = Selection ? Cursor() : QTextCursor(Document());
    if (FPlainText)
        return Selection ? SelText() : GetText();
    return FromBytes(Selection ? rtf::WriteRtf(cursor) : rtf::WriteRtf(*Document()));
}

String TCustomRichEdit::GetText() const { return ProgramText(Document()->toRawText()); }

void TCustomRichEdit::SetTextValue(const String& Value)
{
    const bool plain = FPlainText;
    FPlainText = true;
    LoadContents(Value);
    FPlainText = plain;
    Document()->setModified(false);
}

bool TCustomRichEdit::Modified() const { return Document()->isModified(); }
void TCustomRichEdit::SetModified(bool Value) { Document()->setModified(Value); }

void TCustomRichEdit::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    Edit()->setReadOnly(Value);
}

void TCustomRichEdit::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    ApplyWrap();
}

void TCustomRichEdit::SetLayoutWidth(int Pixels)
{
    FLayoutWidth = std::max(0, Pixels);
    ApplyWrap();
}

void TCustomRichEdit::ApplyWrap()
{
    QTextEdit* edit = Edit();
    if (!FWordWrap)
        edit->setLineWrapMode(QTextEdit::NoWrap);
    else if (FLayoutWidth > 0) {
        edit->setLineWrapMode(QTextEdit::FixedPixelWidth);
        edit->setLineWrapColumnOrWidth(FLayoutWidth);
    } else
        edit->setLineWrapMode(QTextEdit::WidgetWidth);
}

void TCustomRichEdit::SetScrollBars(TRichScrollStyle Value)
{
    FScrollBars = Value;
    const bool horizontal = Value == rsHorizontal || Value == rsBoth;
    const bool vertical = Value == rsVertical || Value == rsBoth;
    Edit()->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    Edit()->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TCustomRichEdit::SetWantTabs(bool Value) { FWantTabs = Value; }

void TCustomRichEdit::SetBorderStyle(TBorderStyle Value)
{
    FBorderStyle = Value;
    Edit()->setFrameShape(Value == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void TCustomRichEdit::SetHideSelection(bool Value)
{
    FHideSelection = Value;
    QPalette palette = Edit()->palette();
    // A selection shown while the control has not the focus keeps the focused colours.
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    const QColor text = palette.color(QPalette::Active, QPalette::HighlightedText);
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     Value ? palette.color(QPalette::Active, QPalette::Base) : highlight);
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     Value ? palette.color(QPalette::Active, QPalette::Text) : text);
    Edit()->setPalette(palette);
}

void TCustomRichEdit::SetRedraw(bool Value)
{
    Edit()->setUpdatesEnabled(Value);
    if (Value)
        Edit()->viewport()->update();
}

void TCustomRichEdit::SetLeftMargin(int Pixels) { Document()->setDocumentMargin(std::max(1, Pixels)); }

// ---- selection and text

int TCustomRichEdit::SelStart() const { return Cursor().selectionStart(); }

void TCustomRichEdit::SetSelStart(int Value) { SetSelection(Value, 0); }

int TCustomRichEdit::SelLength() const
{
    const QTextCursor cursor = Cursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void TCustomRichEdit::SetSelLength(int Value) { SetSelection(SelStart(), Value); }

void TCustomRichEdit::SetSelection(int Start, int Length)
{
    const int last = TextLength();
    QTextCursor cursor(Document());
    const int start = std::clamp(Start, 0, last);
    cursor.setPosition(start);
    cursor.setPosition(std::clamp(start + std::max(0, Length), 0, last), QTextCursor::KeepAnchor);
    Edit()->setTextCursor(cursor);
}

String TCustomRichEdit::SelText() const { return ProgramText(Cursor().selectedText()); }

void TCustomRichEdit::SetSelText(const String& Value)
{
    QTextCursor cursor = Cursor();
    InsertPlainText(cursor, Value);
    Edit()->setTextCursor(cursor);
}

void TCustomRichEdit::SelectAll() { SetSelection(0, TextLength()); }

void TCustomRichEdit::Clear()
{
    ++FLoading;
    Document()->clear();
    --FLoading;
}

int TCustomRichEdit::TextLength() const { return Document()->characterCount() - 1; }

String TCustomRichEdit::TextRange(int Start, int End) const
{
    QTextCursor cursor(Document());
    cursor.setPosition(std::clamp(Start, 0, TextLength()));
    cursor.setPosition(std::clamp(End, 0, TextLength()), QTextCursor::KeepAnchor);
    return ProgramText(cursor.selectedText());
}

int TCustomRichEdit::CharFromPos(int X, int Y) const
{
    return Edit()->cursorForPosition(Edit()->viewport()->mapFrom(Edit(), QPoint(X, Y))).position();
}

int TCustomRichEdit::FindText(const String& Text, int Start, int End, bool WholeWord, bool MatchCase) const
{
    if (Text.empty())
        return -1;
    QTextDocument::FindFlags flags;
    if (WholeWord)
        flags |= QTextDocument::FindWholeWords;
    if (MatchCase)
        flags |= QTextDocument::FindCaseSensitively;
    QTextCursor from(Document());
    from.setPosition(std::clamp(Start, 0, TextLength()));
    const QTextCursor found = Document()->find(ToQString(Text), from, flags);
    if (found.isNull())
        return -1;
    const int end = End < 0 ? TextLength() : End;
    return found.selectionEnd() <= end ? found.selectionStart() : -1;
}

int TCustomRichEdit::ParagraphCount() const { return Document()->blockCount(); }

String TCustomRichEdit::Paragraph(int Index) const
{
    const QTextBlock block = Document()->findBlockByNumber(Index);
    return block.isValid() ? ProgramText(block.text()) : String();
}

int TCustomRichEdit::ParagraphStart(int Index) const
{
    const QTextBlock block = Document()->findBlockByNumber(Index);
    return block.isValid() ? block.position() : -1;
}

void TCustomRichEdit::InsertText(int Position, const String& Text)
{
    QTextCursor cursor(Document());
    cursor.setPosition(std::clamp(Position, 0, TextLength()));
    InsertPlainText(cursor, Text);
}

// ---- formats

namespace {

TRichCharFormat FromCharFormat(const QTextCharFormat& F, const QFont& Default)
{
    TRichCharFormat f;
    const QStringList families = F.fontFamilies().toStringList();
    f.FaceName = FromQString(families.isEmpty() ? Default.family() : families.first());
    f.Points = F.fontPointSize() > 0 ? F.fontPointSize() : Default.pointSizeF();
    f.Bold = F.fontWeight() >= QFont::DemiBold;
    f.Italic = F.fontItalic();
    f.Underline = F.fontUnderline();
    f.StrikeOut = F.fontStrikeOut();
    f.Color = F.hasProperty(QTextFormat::ForegroundBrush) ? FromQColor(F.foreground().color()) : clWindowText;
    f.BackColor = F.hasProperty(QTextFormat::BackgroundBrush) && F.background().style() != Qt::NoBrush
                          ? FromQColor(F.background().color())
                          : clNone;
    return f;
}

QTextCharFormat ToCharFormat(const TRichCharFormat& F, TRichCharMask Parts)
{
    QTextCharFormat f;
    if (Parts.Contains(rcFace))
        f.setFontFamilies({ToQString(F.FaceName)});
    if (Parts.Contains(rcSize) && F.Points > 0)
        f.setFontPointSize(F.Points);
    if (Parts.Contains(rcBold))
        f.setFontWeight(F.Bold ? QFont::Bold : QFont::Normal);
    if (Parts.Contains(rcItalic))
        f.setFontItalic(F.Italic);
    if (Parts.Contains(rcUnderline))
        f.setFontUnderline(F.Underline);
    if (Parts.Contains(rcStrikeOut))
        f.setFontStrikeOut(F.StrikeOut);
    if (Parts.Contains(rcColor))
        f.setForeground(ToQColor(F.Color));
    if (Parts.Contains(rcBackColor)) {
        if (F.BackColor == clNone)
            f.setBackground(Qt::NoBrush);
        else
            f.setBackground(ToQColor(F.BackColor));
    }
    return f;
}

}  // namespace

TRichCharFormat TCustomRichEdit::SelCharFormat(TRichCharMask* Consistent) const
{
    const QTextCursor cursor = Cursor();
    const QFont font = Document()->defaultFont();
    QTextCursor probe(Document());
    probe.setPosition(cursor.selectionStart());
    if (cursor.hasSelection())
        probe.movePosition(QTextCursor::NextCharacter);
    const TRichCharFormat first = FromCharFormat(probe.charFormat(), font);
    if (Consistent) {
        *Consistent = {rcFace, rcSize, rcBold, rcItalic, rcUnderline, rcStrikeOut, rcColor, rcBackColor};
        for (int p = cursor.selectionStart() + 1; p < cursor.selectionEnd(); ++p) {
            probe.setPosition(p + 1);
            const TRichCharFormat f = FromCharFormat(probe.charFormat(), font);
            if (f.FaceName != first.FaceName)
                Consistent->Exclude(rcFace);
            if (f.Points != first.Points)
                Consistent->Exclude(rcSize);
            if (f.Bold != first.Bold)
                Consistent->Exclude(rcBold);
            if (f.Italic != first.Italic)
                Consistent->Exclude(rcItalic);
            if (f.Underline != first.Underline)
                Consistent->Exclude(rcUnderline);
            if (f.StrikeOut != first.StrikeOut)
                Consistent->Exclude(rcStrikeOut);
            if (f.Color != first.Color)
                Consistent->Exclude(rcColor);
            if (f.BackColor != first.BackColor)
                Consistent->Exclude(rcBackColor);
        }
    }
    return first;
}

void TCustomRichEdit::SetSelCharFormat(const TRichCharFormat& Format, TRichCharMask Parts)
{
    QTextCursor cursor = Cursor();
    QTextCharFormat f = ToCharFormat(Format, Parts);
    if (Parts.Contains(rcBackColor) && Format.BackColor == clNone) {
        // Merging cannot take a property away.
        cursor.beginEditBlock();
        for (int p = cursor.selectionStart(); p < cursor.selectionEnd(); ++p) {
            QTextCursor one(Document());
            one.setPosition(p);
            one.setPosition(p + 1, QTextCursor::KeepAnchor);
            QTextCharFormat current = one.charFormat();
            current.clearBackground();
            current.merge(f);
            current.clearBackground();
            one.setCharFormat(current);
        }
        cursor.endEditBlock();
        if (!cursor.hasSelection()) {
            QTextCharFormat current = cursor.charFormat();
            current.clearBackground();
            cursor.setCharFormat(current);
            Edit()->setCurrentCharFormat(current);
        }
        return;
    }
    Edit()->mergeCurrentCharFormat(f);
}

TRichCharFormat TCustomRichEdit::DefaultCharFormat() const
{
    return FromCharFormat(QTextCharFormat(), Document()->defaultFont());
}

void TCustomRichEdit::SetDefaultCharFormat(const TRichCharFormat& Format, TRichCharMask Parts)
{
    QFont font = Document()->defaultFont();
    if (Parts.Contains(rcFace))
        font.setFamily(ToQString(Format.FaceName));
    if (Parts.Contains(rcSize) && Format.Points > 0)
        font.setPointSizeF(Format.Points);
    Document()->setDefaultFont(font);
    QTextCharFormat f = ToCharFormat(Format, Parts);
    f.clearProperty(QTextFormat::FontFamilies);
    f.clearProperty(QTextFormat::FontPointSize);
    Edit()->mergeCurrentCharFormat(f);
    if (Document()->isEmpty()) {
        QTextCursor all(Document());
        all.mergeBlockCharFormat(f);
    }
}

TRichParaFormat TCustomRichEdit::SelParaFormat() const
{
    const QTextBlock block = Document()->findBlock(Cursor().selectionStart());
    const QTextBlockFormat f = block.blockFormat();
    TRichParaFormat p;
    const Qt::Alignment align = f.alignment() & Qt::AlignHorizontal_Mask;
    p.Alignment = (align & Qt::AlignRight)     ? raRight
                  : (align & Qt::AlignHCenter) ? raCenter
                  : (align & Qt::AlignJustify) ? raJustify
                                               : raLeft;
    const int left = rtf::Twips(f, rtf::LeftIndent);
    const int first = rtf::Twips(f, rtf::FirstLineIndent);
    p.StartIndent = left + first;
    p.Offset = -first;
    p.RightIndent = rtf::Twips(f, rtf::RightIndent);
    p.SpaceBefore = rtf::Twips(f, rtf::SpaceBefore);
    p.SpaceAfter = rtf::Twips(f, rtf::SpaceAfter);
    const int spacing = rtf::Twips(f, rtf::LineSpacing);
    if (spacing == 0)
        p.LineSpacingRule = 0;
    else if (f.intProperty(rtf::LineSpacingMultiple) == 1) {
        p.LineSpacingRule = spacing == 360 ? 1 : spacing == 480 ? 2 : 5;
        p.LineSpacing = spacing / 12;
    } else {
        p.LineSpacingRule = spacing > 0 ? 3 : 4;
        p.LineSpacing = std::abs(spacing);
    }
    p.Bullet = block.textList() != nullptr;
    for (const int tab : rtf::TabStopTwips(f))
        p.Tabs.push_back(tab);
    return p;
}

void TCustomRichEdit::SetSelParaFormat(const TRichParaFormat& Format, TRichParaMask Parts)
{
    QTextCursor cursor = Cursor();
    cursor.beginEditBlock();
    const QTextBlock last = Document()->findBlock(cursor.selectionEnd());
    for (QTextBlock block = Document()->findBlock(cursor.selectionStart()); block.isValid();
         block = block.next()) {
        QTextCursor at(block);
        QTextBlockFormat f = block.blockFormat();
        int start = rtf::Twips(f, rtf::LeftIndent) + rtf::Twips(f, rtf::FirstLineIndent);
        int offset = -rtf::Twips(f, rtf::FirstLineIndent);
        if (Parts.Contains(rpStartIndent))
            start = Format.StartIndent;
        if (Parts.Contains(rpOffset))
            offset = Format.Offset;
        f.setProperty(rtf::LeftIndent, start + offset);
        f.setProperty(rtf::FirstLineIndent, -offset);
        if (Parts.Contains(rpRightIndent))
            f.setProperty(rtf::RightIndent, Format.RightIndent);
        if (Parts.Contains(rpSpaceBefore))
            f.setProperty(rtf::SpaceBefore, Format.SpaceBefore);
        if (Parts.Contains(rpSpaceAfter))
            f.setProperty(rtf::SpaceAfter, Format.SpaceAfter);
        if (Parts.Contains(rpAlignment))
            f.setAlignment(Format.Alignment == raRight     ? Qt::AlignRight
                           : Format.Alignment == raCenter  ? Qt::AlignHCenter
                           : Format.Alignment == raJustify ? Qt::AlignJustify
                                                           : Qt::AlignLeft);
        if (Parts.Contains(rpLineSpacing)) {
            const int rule = Format.LineSpacingRule;
            const int value = rule == 1   ? 360
                              : rule == 2 ? 480
                              : rule == 5 ? Format.LineSpacing * 12
                              : rule == 4 ? -Format.LineSpacing
                              : rule == 3 ? Format.LineSpacing
                                          : 0;
            f.setProperty(rtf::LineSpacing, value);
            f.setProperty(rtf::LineSpacingMultiple, rule == 1 || rule == 2 || rule == 5 ? 1 : 0);
        }
        if (Parts.Contains(rpTabStops))
            rtf::SetTabStopTwips(f, QVector<int>(Format.Tabs.begin(), Format.Tabs.end()));
        rtf::ApplyLayout(f);
        at.setBlockFormat(f);
        if (Parts.Contains(rpNumbering)) {
            QTextList* list = block.textList();
            if (Format.Bullet && !list) {
                const QTextBlock previous = block.previous();
                if (previous.isValid() && previous.textList())
                    previous.textList()->add(block);
                else {
                    QTextListFormat listFormat;
                    listFormat.setStyle(QTextListFormat::ListDisc);
                    listFormat.setIndent(0);
                    at.createList(listFormat);
                }
            } else if (!Format.Bullet && list)
                list->remove(block);
        }
        if (block == last)
            break;
    }
    cursor.endEditBlock();
}

// ---- editing

bool TCustomRichEdit::CanUndo() const { return Document()->isUndoAvailable(); }
bool TCustomRichEdit::CanRedo() const { return Document()->isRedoAvailable(); }
void TCustomRichEdit::Undo() { Edit()->undo(); }
void TCustomRichEdit::Redo() { Edit()->redo(); }

bool TCustomRichEdit::CanPaste() const
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && (data->hasFormat(RtfMime) || data->hasText() || data->hasHtml() || data->hasImage());
}

void TCustomRichEdit::CutToClipboard()
{
    if (!FReadOnly)
        Edit()->cut();
}
void TCustomRichEdit::CopyToClipboard() { Edit()->copy(); }
void TCustomRichEdit::PasteFromClipboard()
{
    if (!FReadOnly)
        Edit()->paste();
}

bool TCustomRichEdit::MayGrow(int Count) const
{
    return FMaxLength == 0 || Loading() || TextLength() + Count <= FMaxLength;
}

// ---- painting and links

void TCustomRichEdit::RenderInto(QPainter& Painter, const TRect& R, int First) const
{
    const QTextBlock block = Document()->findBlock(std::clamp(First, 0, TextLength()));
    const QRectF blockRect = Document()->documentLayout()->blockBoundingRect(block);
    Painter.save();
    Painter.setClipRect(ToQRect(R));
    Painter.translate(R.Left, R.Top - blockRect.top());
    Document()->drawContents(&Painter, QRectF(0, blockRect.top(), R.Width(), R.Height()));
    Painter.restore();
}

String TCustomRichEdit::LinkAt(int Position) const
{
    // A hyperlink field's result leads to its target.
    QTextCursor at(Document());
    at.setPosition(std::clamp(Position + 1, 0, Document()->characterCount() - 1));
    if (const QTextCharFormat format = at.charFormat(); format.isAnchor() && !format.anchorHref().isEmpty())
        return FromQString(format.anchorHref());
    const QTextBlock block = Document()->findBlock(Position);
    const QString text = block.text();
    static const QRegularExpression address(
            QStringLiteral(R"((?:https?://|ftp://|mailto:|file:|www\.)[^\s<>"]+)"),
            QRegularExpression::CaseInsensitiveOption);
    const int offset = Position - block.position();
    for (auto it = address.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (offset >= match.capturedStart() && offset < match.capturedEnd())
            return FromQString(match.captured());
    }
    return String();
}

void TCustomRichEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomRichEdit::SelectionChange()
{
    if (OnSelectionChange)
        OnSelectionChange(this);
}

void TCustomRichEdit::LinkClicked(const String& URL)
{
    if (OnLinkClick)
        OnLinkClick(this, URL);
}
