#include "platform/vcl/controls/edits.h"

#include <algorithm>

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/qt/qapp.h"
#include "platform/vcl/qt/qtext.h"

namespace {

QPlainTextEdit* TextEdit(const TControl* Control) { return static_cast<QPlainTextEdit*>(Control->Widget()); }

// Windows keeps CR LF between lines; Qt keeps LF.
QString ToWidgetText(const String& Value) { return ToQString(Value).remove(QLatin1Char('\r')); }

}  // namespace

TMemo::TMemo(TComponent* AOwner)
    : TCustomEdit(AOwner, MakeWidget<QPlainTextEdit>()), FLines(std::make_unique<TStringList>())
{
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
        if (FSyncing)
            return;
        FSyncing = true;
        String text = FLines->Text();
        if (text.size() >= 2)
            text.resize(text.size() - 2);  // no line break after the last line
        TextEdit(this)->setPlainText(ToWidgetText(text));
        FSyncing = false;
    };
    SetAutoSelect(false);
    SetBounds(0, 0, 185, 89);
}

TMemo::~TMemo() { FLines->OnChange = nullptr; }

bool TMemo::InheritsFrom(const String& name) const
{
    return SameText(name, "TMemo") || TCustomEdit::InheritsFrom(name);
}

int TMemo::DialogCode() const
{
    int code = dlgcWantArrows | dlgcWantChars;
    if (FWantReturns)
        code |= dlgcWantAllKeys;
    if (FWantTabs)
        code |= dlgcWantTab;
    return code;
}

String TMemo::GetText() const
{
    QString text = TextEdit(this)->toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return FromQString(text);
}

void TMemo::SetTextValue(const String& Value)
{
    const String text = ApplyCharCase(Value);
    if (text == GetText())
        return;
    TextEdit(this)->setPlainText(ToWidgetText(text));
}

void TMemo::ReplaceWidgetText(const String& Value)
{
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

void TMemo::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    TextEdit(this)->setLineWrapMode(Value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::SetScrollBars(TScrollStyle Value)
{
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
int TMemo::SelStart() const
{
    const QTextCursor cursor = TextEdit(this)->textCursor();
    const int position = cursor.selectionStart();
    return position + cursor.document()->findBlock(position).blockNumber();
}

void TMemo::SetSelStart(int Value)
{
    QPlainTextEdit* edit = TextEdit(this);
    const QString text = ToQString(GetText().substr(0, static_cast<size_t>(std::max(0, Value))));
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(std::min(static_cast<int>(QString(text).remove(QLatin1Char('\r')).size()),
                                edit->document()->characterCount() - 1));
    edit->setTextCursor(cursor);
}

int TMemo::SelLength() const
{
    const QTextCursor cursor = TextEdit(this)->textCursor();
    return static_cast<int>(
            FromQString(cursor.selectedText().replace(QChar(0x2029), QLatin1String("\r\n"))).size());
}

void TMemo::SetSelLength(int Value)
{
    QPlainTextEdit* edit = TextEdit(this);
    const int start = SelStart();
    const QString selected =
            ToQString(GetText().substr(static_cast<size_t>(start), static_cast<size_t>(std::max(0, Value))))
                    .remove(QLatin1Char('\r'));
    QTextCursor cursor = edit->textCursor();
    const int from = cursor.selectionStart();
    cursor.setPosition(from);
    cursor.setPosition(
            std::min(from + static_cast<int>(selected.size()), edit->document()->characterCount() - 1),
            QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}
