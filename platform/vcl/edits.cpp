#include "platform/vcl/edits.h"

#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/rtl/strutils.h"
#include "platform/vcl/controlcanvas.h"
#include "platform/vcl/dispatch.h"
#include "platform/vcl/qapp.h"
#include "platform/vcl/qtext.h"

// ---------------------------------------------------------------- TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner, QWidget* AWidget) : TWinControl(AOwner, AWidget) {
    SetTabStop(true);
    SetColor(clWindow);
}

bool TCustomEdit::InheritsFrom(const String& name) const { return SameText(name, "TCustomEdit") || TWinControl::InheritsFrom(name); }

void TCustomEdit::SetMaxLength(int Value) {
    FMaxLength = std::max(0, Value);
    ApplyMaxLength();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    FCharCase = Value;
    const String text = GetText();
    if (ApplyCharCase(text) != text) SetText(ApplyCharCase(text));
}

void TCustomEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    ApplyReadOnly();
}

String TCustomEdit::ApplyCharCase(const String& Value) const {
    switch (FCharCase) {
        case ecUpperCase: return AnsiUpperCase(Value);
        case ecLowerCase: return AnsiLowerCase(Value);
        default: return Value;
    }
}

void TCustomEdit::WidgetTextChanged() {
    if (FRecasing) return;
    const String text = GetText();
    const String cased = ApplyCharCase(text);
    if (cased != text) {
        FRecasing = true;
        ReplaceWidgetText(cased);
        FRecasing = false;
    }
    Change();
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::SetSelText(const String& Value) {
    const String text = GetText();
    const size_t start = static_cast<size_t>(SelStart());
    const size_t length = static_cast<size_t>(SelLength());
    const bool modified = Modified();
    SetText(text.substr(0, start) + Value + text.substr(std::min(text.size(), start + length)));
    SetModified(modified);
    SetSelStart(static_cast<int>(start + Value.size()));
}

void TCustomEdit::SelectAll() {
    SetSelStart(0);
    SetSelLength(static_cast<int>(GetText().size()));
}

void TCustomEdit::DoEnter() {
    if (FAutoSelect) SelectAll();
    TWinControl::DoEnter();
}

// ---------------------------------------------------------------- TEdit

// The line edit whose control may draw over it once it has painted itself.
class TLineEditWidget : public QLineEdit {
protected:
    void paintEvent(QPaintEvent* Event) override {
        QLineEdit::paintEvent(Event);
        // A control being destroyed has left the registry.
        auto* control = dynamic_cast<TEdit*>(TEventDispatch::ControlOf(this));
        if (!control) return;
        QPainter painter(this);
        control->PaintOverWidget(painter);
    }
};

namespace {

QLineEdit* LineEdit(const TControl* Control) { return static_cast<QLineEdit*>(Control->Widget()); }

}  // namespace

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner, MakeWidget<TLineEditWidget>()) {
    QObject::connect(LineEdit(this), &QLineEdit::textChanged, [this] { Guarded(this, [this] { WidgetTextChanged(); }); });
    SetBounds(0, 0, 121, 21);
}

bool TEdit::InheritsFrom(const String& name) const { return SameText(name, "TEdit") || TCustomEdit::InheritsFrom(name); }

String TEdit::GetText() const { return FromQString(LineEdit(this)->text()); }

void TEdit::SetTextValue(const String& Value) {
    const String text = ApplyCharCase(Value);
    if (text == GetText()) return;
    LineEdit(this)->setText(ToQString(text));  // fires OnChange and clears Modified
}

void TEdit::ReplaceWidgetText(const String& Value) {
    QLineEdit* edit = LineEdit(this);
    const int caret = edit->cursorPosition();
    const bool modified = edit->isModified();
    edit->setText(ToQString(Value));
    edit->setModified(modified);
    edit->setCursorPosition(caret);
}

void TEdit::PaintOver(TCanvas*, const TRect&) {}

void TEdit::PaintOverWidget(QPainter& Painter) {
    QLineEdit* edit = LineEdit(this);
    const int frame = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit) : 0;
    const TRect client = Rect(0, 0, std::max(0, edit->width() - 2 * frame), std::max(0, edit->height() - 2 * frame));
    Painter.translate(frame, frame);
    Painter.setClipRect(0, 0, client.Right, client.Bottom);
    TControlCanvas canvas;
    canvas.BeginPaint(&Painter);
    Guarded(this, [&] { PaintOver(&canvas, client); });
    canvas.EndPaint();
}

void TEdit::ApplyMaxLength() { LineEdit(this)->setMaxLength(MaxLength() > 0 ? MaxLength() : 32767); }

void TEdit::ApplyReadOnly() { LineEdit(this)->setReadOnly(ReadOnly()); }

void TEdit::SetPasswordChar(char Value) {
    FPasswordChar = Value;
    LineEdit(this)->setEchoMode(Value ? QLineEdit::Password : QLineEdit::Normal);
}

TRect TEdit::TextMargins() const {
    const QMargins margins = LineEdit(this)->textMargins();
    return Rect(margins.left(), margins.top(), margins.right(), margins.bottom());
}

void TEdit::SetTextMargins(const TRect& Margins) {
    LineEdit(this)->setTextMargins(Margins.Left, Margins.Top, Margins.Right, Margins.Bottom);
}

bool TEdit::Modified() const { return LineEdit(this)->isModified(); }

void TEdit::SetModified(bool Value) { LineEdit(this)->setModified(Value); }

int TEdit::SelStart() const {
    const QLineEdit* edit = LineEdit(this);
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

void TEdit::SetSelStart(int Value) { LineEdit(this)->setCursorPosition(Value); }

int TEdit::SelLength() const { return static_cast<int>(LineEdit(this)->selectionLength()); }

void TEdit::SetSelLength(int Value) {
    QLineEdit* edit = LineEdit(this);
    const int start = SelStart();
    if (Value <= 0) edit->setCursorPosition(start);
    else edit->setSelection(start, Value);
}

// ---------------------------------------------------------------- TMemo

namespace {

QPlainTextEdit* TextEdit(const TControl* Control) { return static_cast<QPlainTextEdit*>(Control->Widget()); }

// Windows keeps CR LF between lines; Qt keeps LF.
QString ToWidgetText(const String& Value) { return ToQString(Value).remove(QLatin1Char('\r')); }

}  // namespace

TMemo::TMemo(TComponent* AOwner) : TCustomEdit(AOwner, MakeWidget<QPlainTextEdit>()), FLines(std::make_unique<TStringList>()) {
    QPlainTextEdit* edit = TextEdit(this);
    edit->setTabChangesFocus(false);
    QObject::connect(edit, &QPlainTextEdit::textChanged, [this] {
        Guarded(this, [this] {
            if (!FSyncing) {
                FSyncing = true;
                FLines->SetText(GetText());
                FSyncing = false;
            }
            WidgetTextChanged();
        });
    });
    FLines->OnChange = [this](TStrings*) {
        if (FSyncing) return;
        FSyncing = true;
        String text = FLines->Text();
        if (text.size() >= 2) text.resize(text.size() - 2);  // no line break after the last line
        TextEdit(this)->setPlainText(ToWidgetText(text));
        FSyncing = false;
    };
    SetAutoSelect(false);
    SetBounds(0, 0, 185, 89);
}

TMemo::~TMemo() { FLines->OnChange = nullptr; }

bool TMemo::InheritsFrom(const String& name) const { return SameText(name, "TMemo") || TCustomEdit::InheritsFrom(name); }

int TMemo::DialogCode() const {
    int code = dlgcWantArrows | dlgcWantChars;
    if (FWantReturns) code |= dlgcWantAllKeys;
    if (FWantTabs) code |= dlgcWantTab;
    return code;
}

String TMemo::GetText() const {
    QString text = TextEdit(this)->toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return FromQString(text);
}

void TMemo::SetTextValue(const String& Value) {
    const String text = ApplyCharCase(Value);
    if (text == GetText()) return;
    TextEdit(this)->setPlainText(ToWidgetText(text));
}

void TMemo::ReplaceWidgetText(const String& Value) {
    QPlainTextEdit* edit = TextEdit(this);
    const int caret = edit->textCursor().position();
    const bool modified = edit->document()->isModified();
    edit->setPlainText(ToWidgetText(Value));
    edit->document()->setModified(modified);
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(std::min(caret, static_cast<int>(edit->document()->characterCount()) - 1));
    edit->setTextCursor(cursor);
}

void TMemo::ApplyReadOnly() { TextEdit(this)->setReadOnly(ReadOnly()); }

void TMemo::SetWordWrap(bool Value) {
    FWordWrap = Value;
    TextEdit(this)->setLineWrapMode(Value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    QPlainTextEdit* edit = TextEdit(this);
    const bool horizontal = Value == ssHorizontal || Value == ssBoth;
    const bool vertical = Value == ssVertical || Value == ssBoth;
    edit->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

bool TMemo::Modified() const { return TextEdit(this)->document()->isModified(); }

void TMemo::SetModified(bool Value) { TextEdit(this)->document()->setModified(Value); }

// Positions count CR LF as two characters, as the text does.
int TMemo::SelStart() const {
    const QTextCursor cursor = TextEdit(this)->textCursor();
    const int position = cursor.selectionStart();
    return position + cursor.document()->findBlock(position).blockNumber();
}

void TMemo::SetSelStart(int Value) {
    QPlainTextEdit* edit = TextEdit(this);
    const QString text = ToQString(GetText().substr(0, static_cast<size_t>(std::max(0, Value))));
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(std::min(static_cast<int>(QString(text).remove(QLatin1Char('\r')).size()), edit->document()->characterCount() - 1));
    edit->setTextCursor(cursor);
}

int TMemo::SelLength() const {
    const QTextCursor cursor = TextEdit(this)->textCursor();
    return static_cast<int>(FromQString(cursor.selectedText().replace(QChar(0x2029), QLatin1String("\r\n"))).size());
}

void TMemo::SetSelLength(int Value) {
    QPlainTextEdit* edit = TextEdit(this);
    const int start = SelStart();
    const QString selected = ToQString(GetText().substr(static_cast<size_t>(start), static_cast<size_t>(std::max(0, Value)))).remove(QLatin1Char('\r'));
    QTextCursor cursor = edit->textCursor();
    const int from = cursor.selectionStart();
    cursor.setPosition(from);
    cursor.setPosition(std::min(from + static_cast<int>(selected.size()), edit->document()->characterCount() - 1), QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}
