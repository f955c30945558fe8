#include "platform/vcl/controls/edits.h"

#include <algorithm>

#include <QPainter>
#include <QSignalBlocker>

#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/lineeditwidget.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/clipbrd.h"
#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/graphics/controlcanvas.h"
#include "platform/vcl/qt/qapp.h"
#include "platform/vcl/qt/qtext.h"

namespace {

QLineEdit* LineEdit(const TControl* Control) { return static_cast<QLineEdit*>(Control->Widget()); }

TLineEditWidget* LineEditWidget(const TControl* Control)
{
    return static_cast<TLineEditWidget*>(Control->Widget());
}

}  // namespace

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner, MakeWidget<TLineEditWidget>())
{
    QObject::connect(LineEdit(this), &QLineEdit::textChanged,
                     [this] { Guarded(this, [this] { WidgetTextChanged(); }); });
    SetBounds(0, 0, 121, 21);
}

bool TEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TEdit") || TCustomEdit::InheritsFrom(name);
}

// A text that holds lines keeps CR LF between them; its widget keeps LF. A masked edit's
// widget shows the mask's literals and empty places.
String TEdit::GetText() const
{
    QString text = LineEdit(this)->text();
    if (IsMasked())
        return FMask->TextOf(FromQString(text));
    if (MultiLine())
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return FromQString(text);
}

QString TEdit::WidgetTextOf(const String& Value) const
{
    if (IsMasked())
        return ToQString(FMask->Format(Value));
    QString text = ToQString(Value);
    if (MultiLine())
        text.remove(QLatin1Char('\r'));
    return text;
}

bool TEdit::IsMasked() const { return FMask && !FMask->Empty(); }

void TEdit::SetEditMask(const String& Value)
{
    if (Value == FEditMask)
        return;
    const String text = GetText();
    const bool modified = Modified();
    FEditMask = Value;
    FMask = std::make_unique<TEditMask>(Value);
    ApplyMaxLength();
    QLineEdit* edit = LineEdit(this);
    edit->setText(WidgetTextOf(text));
    edit->setModified(modified);
    edit->setCursorPosition(0);
}

void TEdit::SetSeeThrough(bool Value)
{
    if (Value == FSeeThrough)
        return;
    FSeeThrough = Value;
    // Back to the edit's own colours, or through them.
    TCustomEdit::ColorChanged();
    TCustomEdit::FontChanged();
    ApplySeeThrough();
}

void TEdit::ApplySeeThrough()
{
    if (!FSeeThrough)
        return;
    QWidget* widget = Widget();
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Text})
            palette.setColor(group, role, Qt::transparent);
    widget->setPalette(palette);
    widget->update();
}

void TEdit::FontChanged()
{
    TCustomEdit::FontChanged();
    ApplySeeThrough();
}

void TEdit::ColorChanged()
{
    TCustomEdit::ColorChanged();
    ApplySeeThrough();
}

String TEdit::EditText() const { return FromQString(LineEdit(this)->text()); }

void TEdit::ValidateEdit()
{
    if (IsMasked() && Modified())
        FMask->Validate(EditText());
}

// Puts Shown over the widget's text from Position on, as one step Ctrl+Z takes back.
void TEdit::OverwriteShown(int Position, const String& Shown)
{
    QLineEdit* edit = LineEdit(this);
    edit->setSelection(Position, static_cast<int>(Shown.size()));
    edit->insert(ToQString(Shown));
}

void TEdit::BlankPlaces(String& Shown, int Start, int End) const
{
    for (int i = Start; i < End; ++i)
        if (!FMask->IsLiteral(i))
            Shown[static_cast<size_t>(i)] = FMask->Blank();
}

// Empties the mask's places from Start to End, keeping its literals.
void TEdit::BlankShown(int Start, int End)
{
    String shown = EditText();
    BlankPlaces(shown, Start, End);
    OverwriteShown(Start, shown.substr(static_cast<size_t>(Start), static_cast<size_t>(End - Start)));
}

int TEdit::MaskedPlace(const String& Shown, int Position, char& C) const
{
    if (Position < FMask->Size() && FMask->IsLiteral(Position) && Shown[static_cast<size_t>(Position)] == C)
        return Position;
    const int place = FMask->NextPlace(Position);
    return place >= 0 && FMask->Accepts(place, C) ? place : -1;
}

bool TEdit::TypeMasked(char C)
{
    QLineEdit* edit = LineEdit(this);
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    if (edit->hasSelectedText())
        BlankShown(start, edit->selectionEnd());
    const int place = MaskedPlace(EditText(), start, C);
    if (place < 0) {
        edit->setCursorPosition(start);
        return false;
    }
    // A literal typed where it stands just steps over it.
    if (FMask->IsLiteral(place)) {
        edit->setCursorPosition(place + 1);
        return true;
    }
    OverwriteShown(place, String(1, C));
    const int next = FMask->NextPlace(place + 1);
    edit->setCursorPosition(next < 0 ? FMask->Size() : next);
    return true;
}

bool TEdit::InsertMasked(const String& Value)
{
    QLineEdit* edit = LineEdit(this);
    const bool selected = edit->hasSelectedText();
    const int start = selected ? edit->selectionStart() : edit->cursorPosition();
    const int end = selected ? edit->selectionEnd() : start;
    String shown = EditText();
    BlankPlaces(shown, start, end);
    int position = start;
    bool refused = false;
    for (char c : Value) {
        const int place = MaskedPlace(shown, position, c);
        if (place < 0) {
            refused = true;
            continue;
        }
        shown[static_cast<size_t>(place)] = c;
        position = place + 1;
    }
    const int changedEnd = std::max(end, position);
    if (changedEnd > start)
        OverwriteShown(start,
                       shown.substr(static_cast<size_t>(start), static_cast<size_t>(changedEnd - start)));
    edit->setCursorPosition(position);
    return !refused;
}

void TEdit::SetSelText(const String& Value)
{
    if (!IsMasked())
        return TCustomEdit::SetSelText(Value);
    const bool modified = Modified();
    InsertMasked(Value);
    SetModified(modified);
}

bool TEdit::MaskKey(int Key, bool Shift, bool Command, const String& Typed)
{
    QLineEdit* edit = LineEdit(this);
    const bool selected = edit->hasSelectedText();
    switch (Key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete: {
        if (edit->isReadOnly() || Shift)
            return true;
        const bool back = Key == Qt::Key_Backspace;
        int start = selected ? edit->selectionStart() : edit->cursorPosition();
        int end = selected ? edit->selectionEnd() : start;
        if (!selected) {
            const int place = back ? FMask->PreviousPlace(start) : FMask->NextPlace(start);
            if (place < 0)
                return true;
            start = place;
            end = place + 1;
        }
        BlankShown(start, end);
        edit->setCursorPosition(back || selected ? start : end);
        return true;
    }
    default:
        if (Command || Typed.empty() || static_cast<unsigned char>(Typed[0]) < 32)
            return false;
        if (!edit->isReadOnly() && !TypeMasked(Typed[0]))
            MessageBeep();
        return true;
    }
}

int TEdit::TextPosition(int WidgetPosition) const
{
    if (!MultiLine())
        return WidgetPosition;
    return WidgetPosition +
           static_cast<int>(LineEdit(this)->text().left(WidgetPosition).count(QLatin1Char('\n')));
}

int TEdit::WidgetPosition(int TextPosition) const
{
    if (!MultiLine())
        return TextPosition;
    const String text = GetText().substr(0, static_cast<size_t>(std::max(0, TextPosition)));
    return TextPosition - static_cast<int>(std::count(text.begin(), text.end(), '\r'));
}

void TEdit::SetTextValue(const String& Value)
{
    // Compared as shown: texts a mask shows alike are the same.
    const QString shown = WidgetTextOf(ApplyCharCase(Value));
    if (shown == LineEdit(this)->text())
        return;
    LineEdit(this)->setText(shown);  // fires OnChange and clears Modified
    // Lines set by the program show from the first.
    if (MultiLine())
        LineEdit(this)->setCursorPosition(0);
}

void TEdit::ReplaceWidgetText(const String& Value)
{
    QLineEdit* edit = LineEdit(this);
    const int caret = edit->cursorPosition();
    const bool modified = edit->isModified();
    edit->setText(WidgetTextOf(Value));
    edit->setModified(modified);
    edit->setCursorPosition(caret);
}

void TEdit::ReplaceText(const String& Value)
{
    QLineEdit* edit = LineEdit(this);
    const String text = ApplyCharCase(Value);
    if (text == GetText())
        return;
    edit->selectAll();
    if (text.empty() && !IsMasked())
        edit->del();
    else
        edit->insert(WidgetTextOf(text));
}

void TEdit::WMPaste()
{
    QLineEdit* edit = LineEdit(this);
    if (!MultiLine() && !IsMasked())
        return edit->paste();
    if (edit->isReadOnly())
        return;
    const String pasted = Clipboard()->AsText();
    if (!IsMasked())
        return edit->insert(WidgetTextOf(pasted));
    if (!InsertMasked(pasted))
        MessageBeep();
}

void TEdit::WMCut()
{
    QLineEdit* edit = LineEdit(this);
    if (!IsMasked())
        return edit->cut();
    if (!edit->hasSelectedText())
        return;
    edit->copy();
    if (!edit->isReadOnly())
        BlankShown(edit->selectionStart(), edit->selectionEnd());
}

void TEdit::CopyToClipboard() { LineEdit(this)->copy(); }

void TEdit::Undo()
{
    if (!ReadOnly())
        LineEdit(this)->undo();
}

bool TEdit::CanUndo() const { return LineEdit(this)->isUndoAvailable(); }

void TEdit::ClearSelection()
{
    QLineEdit* edit = LineEdit(this);
    if (edit->isReadOnly() || !edit->hasSelectedText())
        return;
    if (IsMasked())
        return BlankShown(edit->selectionStart(), edit->selectionEnd());
    edit->del();
}

bool TEdit::ExecuteAction(TBasicAction* Action)
{
    if (!Action->HandlesTarget(this))
        return false;
    Action->ExecuteTarget(this);
    return true;
}

bool TEdit::UpdateAction(TBasicAction* Action)
{
    if (!Action->HandlesTarget(this))
        return false;
    Action->UpdateTarget(this);
    return true;
}

void TEdit::PaintOver(TCanvas*, const TRect&) { }

void TEdit::PaintOverWidget(QPainter& Painter)
{
    QLineEdit* edit = LineEdit(this);
    const int frame =
            edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit) : 0;
    const int bar = LineEditWidget(this)->BarWidth();
    const TRect client =
            Rect(0, 0, std::max(0, edit->width() - 2 * frame - bar), std::max(0, edit->height() - 2 * frame));
    Painter.translate(frame, frame);
    Painter.setClipRect(0, 0, client.Right, client.Bottom);
    TControlCanvas canvas;
    canvas.BeginPaint(&Painter);
    Guarded(this, [&] { PaintOver(&canvas, client); });
    canvas.EndPaint();
}

// The mask sets the length of a masked edit's text.
void TEdit::ApplyMaxLength()
{
    LineEdit(this)->setMaxLength(MaxLength() > 0 && !IsMasked() ? MaxLength() : 32767);
}

void TEdit::ApplyReadOnly() { LineEdit(this)->setReadOnly(ReadOnly()); }

void TEdit::SetBorderStyle(TBorderStyle Value)
{
    FBorderStyle = Value;
    LineEdit(this)->setFrame(Value != bsNone);
}

void TEdit::SetPasswordChar(char Value)
{
    FPasswordChar = Value;
    LineEdit(this)->setEchoMode(Value ? QLineEdit::Password : QLineEdit::Normal);
}

TRect TEdit::TextMargins() const
{
    const QMargins margins = LineEdit(this)->textMargins();
    return Rect(margins.left(), margins.top(), margins.right(), margins.bottom());
}

bool TEdit::BorderVisible() const { return LineEdit(this)->hasFrame(); }

void TEdit::SetBorderVisible(bool Value) { LineEdit(this)->setFrame(Value); }

void TEdit::SetTextMargins(const TRect& Margins)
{
    LineEdit(this)->setTextMargins(Margins.Left, Margins.Top, Margins.Right, Margins.Bottom);
}

bool TEdit::WordWrap() const { return LineEditWidget(this)->Wrapping(); }

bool TEdit::MultiLine() const { return LineEditWidget(this)->MultiLine(); }

bool TEdit::WrapsLines() const { return LineEditWidget(this)->WrapsLines(); }

bool TEdit::VertScrollBar() const { return LineEditWidget(this)->WantsVertScrollBar(); }

void TEdit::SetVertScrollBar(bool Value) { LineEditWidget(this)->SetVertScrollBar(Value); }

int TEdit::ClientWidth() const
{
    return std::max(0, TCustomEdit::ClientWidth() - LineEditWidget(this)->BarWidth());
}

int TEdit::TopLineStart() const { return TextPosition(LineEditWidget(this)->TopLineStart()); }

int TEdit::LineHeight() const { return LineEdit(this)->fontMetrics().height(); }

void TEdit::SetMultiLine(bool MultiLine, bool Wrap)
{
    if (MultiLine == this->MultiLine() && Wrap == WrapsLines())
        return;
    const String text = GetText();
    const int start = SelStart();
    const int length = SelLength();
    const bool modified = Modified();
    LineEditWidget(this)->SetLines(MultiLine, Wrap);
    // The same text, with its line breaks kept as the new mode keeps them.
    QLineEdit* edit = LineEdit(this);
    const QSignalBlocker quiet(edit);
    edit->setText(WidgetTextOf(text));
    edit->setModified(modified);
    SetSelStart(start);
    SetSelLength(length);
}

void TEdit::SetWordWrap(bool Value) { LineEditWidget(this)->SetWrapping(Value); }

bool TEdit::Modified() const { return LineEdit(this)->isModified(); }

void TEdit::SetModified(bool Value) { LineEdit(this)->setModified(Value); }

int TEdit::SelStart() const
{
    const QLineEdit* edit = LineEdit(this);
    return TextPosition(edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition());
}

void TEdit::SetSelStart(int Value) { LineEdit(this)->setCursorPosition(WidgetPosition(Value)); }

int TEdit::SelLength() const
{
    const QLineEdit* edit = LineEdit(this);
    if (!edit->hasSelectedText())
        return 0;
    return TextPosition(edit->selectionEnd()) - TextPosition(edit->selectionStart());
}

void TEdit::SetSelLength(int Value)
{
    QLineEdit* edit = LineEdit(this);
    const int start = SelStart();
    if (Value <= 0)
        edit->setCursorPosition(WidgetPosition(start));
    else
        edit->setSelection(WidgetPosition(start), WidgetPosition(start + Value) - WidgetPosition(start));
}
