#include "platform/vcl/controls/edits.h"

#include <algorithm>

#include <QAction>
#include <QBasicTimer>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QTextLayout>
#include <QWheelEvent>
#include <QtMath>

#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/clipbrd.h"
#include "platform/vcl/graphics/controlcanvas.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/qt/qapp.h"
#include "platform/vcl/qt/qtext.h"

// The line edit whose control may draw over it once it has painted itself. When wrapping
// it lays its one line of text out in lines as wide as its text area and paints and
// hit-tests that layout itself; text, selection and keys stay the line edit's own. When it
// holds lines, a LF in its text breaks the line there, Enter, Up, Down, Page Up, Page
// Down, Home and End work on those lines, and a vertical scroll bar may stand beside them.
class TLineEditWidget : public QLineEdit {
public:
    TLineEditWidget() : FBar(new QScrollBar(Qt::Vertical, this)) {
        // Any change may move every wrapped line, where the line edit repaints a strip.
        const auto repaint = [this] {
            FUserScrolled = false;
            if (!LaysOut()) return;
            RestartBlinking();
            update();
        };
        connect(this, &QLineEdit::textChanged, this, repaint);
        connect(this, &QLineEdit::cursorPositionChanged, this, repaint);
        connect(this, &QLineEdit::selectionChanged, this, repaint);
        // The bar scrolls the lines without moving the caret; the edit keeps the focus.
        FBar->setFocusPolicy(Qt::NoFocus);
        FBar->setCursor(Qt::ArrowCursor);
        FBar->hide();
        connect(FBar, &QScrollBar::valueChanged, this, [this](int Value) {
            FScrolledDown = Value;
            FUserScrolled = true;
            update();
        });
    }

    bool Wrapping() const { return FWrapping; }
    void SetWrapping(bool Value) {
        FWrapping = Value;
        Relayout();
    }
    bool MultiLine() const { return FMultiLine; }
    bool WrapsLines() const { return FMultiLine && FWrapLines; }
    void SetLines(bool MultiLine, bool Wrap) {
        FMultiLine = MultiLine;
        FWrapLines = Wrap;
        PlaceBar();
        Relayout();
    }
    bool WantsVertScrollBar() const { return FWantsBar; }
    void SetVertScrollBar(bool Value) {
        FWantsBar = Value;
        PlaceBar();
        Relayout();
    }
    // The bar shows beside the lines of a text that holds them.
    bool ShowsBar() const { return FWantsBar && FMultiLine; }
    int BarWidth() const { return ShowsBar() ? BarExtent() : 0; }

    // Where the line at the top of the text area starts: the first of which at least half
    // shows.
    int TopLineStart() const {
        if (!LaysOut()) return 0;
        QTextLayout layout;
        LayOut(layout, TextArea());
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            if (line.y() + line.height() / 2 >= FScrolledDown) return line.textStart();
        }
        return 0;
    }

protected:
    void paintEvent(QPaintEvent* Event) override {
        if (LaysOut())
            PaintLaidOut();
        else
            QLineEdit::paintEvent(Event);
        // A control being destroyed has left the registry.
        auto* control = dynamic_cast<TEdit*>(TEventDispatch::ControlOf(this));
        if (!control) return;
        QPainter painter(this);
        control->PaintOverWidget(painter);
    }

    void mousePressEvent(QMouseEvent* Event) override {
        // Beside a bar the edit takes the focus from a press on its lines only.
        if (ShowsBar() && !hasFocus()) setFocus(Qt::MouseFocusReason);
        if (!LaysOut()) return QLineEdit::mousePressEvent(Event);
        if (Event->button() != Qt::LeftButton) return;
        const int position = PositionAt(Event->position().toPoint());
        if (Event->modifiers() & Qt::ShiftModifier) SelectTo(position);
        else setCursorPosition(position);
    }

    void mouseMoveEvent(QMouseEvent* Event) override {
        if (!LaysOut()) return QLineEdit::mouseMoveEvent(Event);
        if (Event->buttons() & Qt::LeftButton) SelectTo(PositionAt(Event->position().toPoint()));
    }

    // Selects the word under the mouse.
    void mouseDoubleClickEvent(QMouseEvent* Event) override {
        if (!LaysOut()) return QLineEdit::mouseDoubleClickEvent(Event);
        if (Event->button() != Qt::LeftButton) return;
        const QString text = LaidOutText();
        int start = PositionAt(Event->position().toPoint());
        int end = start;
        while (start > 0 && !text[start - 1].isSpace()) --start;
        while (end < text.size() && !text[end].isSpace()) ++end;
        setSelection(start, end - start);
    }

    // Paste and cut go through the control, from the keys and from the context menu.
    void keyPressEvent(QKeyEvent* Event) override {
        auto* control = dynamic_cast<TEdit*>(TEventDispatch::ControlOf(this));
        if (control && Event->matches(QKeySequence::Paste)) {
            Guarded(control, [control] { control->PasteFromClipboard(); });
        } else if (control && Event->matches(QKeySequence::Cut)) {
            Guarded(control, [control] { control->CutToClipboard(); });
        } else if (control && control->IsMasked()) {
            const Qt::KeyboardModifiers modifiers = Event->modifiers();
            bool handled = true;
            Guarded(control, [&] {
                handled = control->MaskKey(Event->key(), modifiers & Qt::ShiftModifier,
                                           modifiers & (Qt::ControlModifier | Qt::AltModifier),
                                           FromQString(Event->text()));
            });
            if (!handled) QLineEdit::keyPressEvent(Event);
        } else if (!FMultiLine || !LineKey(Event)) {
            QLineEdit::keyPressEvent(Event);
        }
    }

    void contextMenuEvent(QContextMenuEvent* Event) override {
        QMenu* menu = createStandardContextMenu();
        auto* control = dynamic_cast<TEdit*>(TEventDispatch::ControlOf(this));
        // The menu's actions by their text, the shortcut after a tab.
        const auto is = [](const QAction* Action, const QString& Text) {
            return Action->text().section(QLatin1Char('\t'), 0, 0) == Text;
        };
        for (QAction* action : menu->actions()) {
            if (!control) break;
            if (is(action, QLineEdit::tr("&Paste"))) {
                action->disconnect();
                connect(action, &QAction::triggered, this,
                        [control] { Guarded(control, [control] { control->PasteFromClipboard(); }); });
            } else if (is(action, QLineEdit::tr("Cu&t"))) {
                action->disconnect();
                connect(action, &QAction::triggered, this,
                        [control] { Guarded(control, [control] { control->CutToClipboard(); }); });
            }
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(Event->globalPos());
    }

    void resizeEvent(QResizeEvent* Event) override {
        QLineEdit::resizeEvent(Event);
        PlaceBar();
    }

    // Over the lines the wheel turns the bar, as over the bar itself.
    void wheelEvent(QWheelEvent* Event) override {
        if (!ShowsBar()) return QLineEdit::wheelEvent(Event);
        QCoreApplication::sendEvent(FBar, Event);
    }

    void focusInEvent(QFocusEvent* Event) override {
        QLineEdit::focusInEvent(Event);
        RestartBlinking();
    }

    void focusOutEvent(QFocusEvent* Event) override {
        QLineEdit::focusOutEvent(Event);
        RestartBlinking();
    }

    void timerEvent(QTimerEvent* Event) override {
        if (Event->timerId() != FBlinking.timerId()) return QLineEdit::timerEvent(Event);
        FCaretShown = !FCaretShown;
        update();
    }

private:
    // Where the text goes: the contents inside the frame less the text margins, left of
    // the scroll bar.
    QRect TextArea() const {
        QStyleOptionFrame panel;
        initStyleOption(&panel);
        QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this)
                             .marginsRemoved(textMargins());
        if (ShowsBar()) area.setRight(std::min(area.right(), FBar->x() - 1));
        return area;
    }

    int BarExtent() const { return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this); }

    // The bar stands inside the frame along the right edge. A press on the bar leaves the
    // focus where it is, as on a window's scroll bar: Qt gives a pressed widget's nearest
    // container that takes click focus the focus, so beside the bar the edit takes it
    // itself, from a press on its lines.
    void PlaceBar() {
        setFocusPolicy(ShowsBar() ? Qt::TabFocus : Qt::StrongFocus);
        if (!ShowsBar()) return FBar->hide();
        const int frame = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) : 0;
        FBar->setGeometry(width() - frame - BarExtent(), frame, BarExtent(),
                          std::max(0, height() - 2 * frame));
        FBar->show();
    }

    // The bar's range is the laid-out lines' height beyond the text area; the lines stay
    // scrolled within it.
    void SyncBar(const QTextLayout& Layout, const QRect& Area) {
        if (!ShowsBar()) return;
        int height = 0;
        if (Layout.lineCount() > 0) {
            const QTextLine last = Layout.lineAt(Layout.lineCount() - 1);
            height = qCeil(last.y() + last.height());
        }
        const int most = std::max(0, height - Area.height());
        FScrolledDown = std::clamp(FScrolledDown, 0, most);
        const QSignalBlocker quiet(FBar);
        FBar->setRange(0, most);
        FBar->setPageStep(std::max(1, Area.height()));
        FBar->setSingleStep(fontMetrics().height());
        FBar->setValue(FScrolledDown);
        FBar->setEnabled(most > 0);
    }

    // The widget lays out and paints its text itself.
    bool LaysOut() const { return FWrapping || FMultiLine; }
    bool Wraps() const { return FWrapping || (FMultiLine && FWrapLines); }

    void Relayout() {
        FUserScrolled = false;
        FScrolledDown = 0;
        FScrolledRight = 0;
        RestartBlinking();
        update();
    }

    // The text as laid out, one character for each of the text's: a LF of a text that holds
    // lines becomes the line separator, where the layout breaks.
    QString LaidOutText() const {
        if (!FMultiLine || echoMode() != QLineEdit::Normal) return displayText();
        QString shown = text();
        shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
        return shown;
    }

    // The shown text in lines, the first at 0: when wrapping as wide as Area, a word wider
    // than the area breaking anywhere; otherwise as long as their text.
    void LayOut(QTextLayout& Layout, const QRect& Area) const {
        Layout.setText(LaidOutText());
        Layout.setFont(font());
        QTextOption option;
        option.setWrapMode(Wraps() ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
        Layout.setTextOption(option);
        qreal y = 0;
        Layout.beginLayout();
        for (QTextLine line = Layout.createLine(); line.isValid(); line = Layout.createLine()) {
            if (Wraps())
                line.setLineWidth(Area.width());
            else
                line.setNumColumns(static_cast<int>(Layout.text().size()));
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        Layout.endLayout();
    }

    // Scrolls the text up or down, and sideways when the lines do not wrap, just enough to
    // show the caret.
    void KeepCaretInView(const QTextLayout& Layout, const QRect& Area) {
        const QTextLine line = Layout.lineForTextPosition(cursorPosition());
        if (!line.isValid()) return;
        const int top = qFloor(line.y());
        const int bottom = qCeil(line.y() + line.height());
        if (top < FScrolledDown)
            FScrolledDown = top;
        else if (bottom > FScrolledDown + Area.height())
            FScrolledDown = std::min(top, bottom - Area.height());
        if (Wraps()) {
            FScrolledRight = 0;
            return;
        }
        const int x = qRound(line.cursorToX(cursorPosition()));
        if (x < FScrolledRight)
            FScrolledRight = x;
        else if (x >= FScrolledRight + Area.width())
            FScrolledRight = x - Area.width() + 1;
    }

    // Enter, Up, Down, Page Up, Page Down, Home and End of a text that holds lines; false
    // for any other key.
    bool LineKey(QKeyEvent* Event) {
        const bool shift = Event->modifiers() & Qt::ShiftModifier;
        const bool ctrl = Event->modifiers() & Qt::ControlModifier;
        switch (Event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!isReadOnly()) insert(QStringLiteral("\n"));
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down: MoveTo(LinePosition(Event->key() == Qt::Key_Up ? -1 : 1), shift); return true;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            const int page = std::max(1, TextArea().height() / fontMetrics().height());
            MoveTo(LinePosition(Event->key() == Qt::Key_PageUp ? -page : page), shift);
            return true;
        }
        case Qt::Key_Home:
        case Qt::Key_End: {
            const bool end = Event->key() == Qt::Key_End;
            MoveTo(ctrl ? (end ? static_cast<int>(text().size()) : 0) : LineEnd(end), shift);
            return true;
        }
        default: return false;
        }
    }

    // Lays the text out in Layout; the line the caret is on.
    QTextLine CaretLine(QTextLayout& Layout) const {
        LayOut(Layout, TextArea());
        return Layout.lineForTextPosition(cursorPosition());
    }

    // The position on the line Lines below (above when negative) the caret's, nearest to
    // the caret's column; the text's start or end past the first or last line.
    int LinePosition(int Lines) const {
        QTextLayout layout;
        const QTextLine line = CaretLine(layout);
        if (!line.isValid()) return cursorPosition();
        const int target = line.lineNumber() + Lines;
        if (target < 0) return 0;
        if (target >= layout.lineCount()) return static_cast<int>(text().size());
        return layout.lineAt(target).xToCursor(line.cursorToX(cursorPosition()));
    }

    // The start or end of the caret's line; the end is before the line break.
    int LineEnd(bool End) const {
        QTextLayout layout;
        const QTextLine line = CaretLine(layout);
        if (!line.isValid()) return cursorPosition();
        if (!End) return line.textStart();
        int end = line.textStart() + line.textLength();
        const QString shown = layout.text();
        while (end > line.textStart() && (shown[end - 1] == QChar::LineSeparator ||
                                          (Wraps() && shown[end - 1].isSpace() && end < shown.size())))
            --end;
        return end;
    }

    void MoveTo(int Position, bool Select) {
        if (Select)
            SelectTo(Position);
        else
            setCursorPosition(Position);
    }

    void PaintLaidOut() {
        QPainter painter(this);
        QStyleOptionFrame panel;
        initStyleOption(&panel);
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
        const QRect area = TextArea();
        QTextLayout layout;
        LayOut(layout, area);
        if (!FUserScrolled) KeepCaretInView(layout, area);
        SyncBar(layout, area);
        painter.setClipRect(area, Qt::IntersectClip);
        painter.setPen(palette().color(QPalette::Text));
        QList<QTextLayout::FormatRange> selections;
        if (hasSelectedText()) {
            QTextLayout::FormatRange selection;
            selection.start = selectionStart();
            selection.length = selectionLength();
            selection.format.setBackground(palette().brush(QPalette::Highlight));
            selection.format.setForeground(palette().brush(QPalette::HighlightedText));
            selections.append(selection);
        }
        const QPointF origin(area.left() - FScrolledRight, area.top() - FScrolledDown);
        layout.draw(&painter, origin, selections);
        if (FCaretShown && hasFocus() && !isReadOnly()) {
            layout.drawCursor(&painter, origin, cursorPosition(), style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this));
        }
    }

    // The text position nearest to Point.
    int PositionAt(const QPoint& Point) const {
        const QRect area = TextArea();
        QTextLayout layout;
        LayOut(layout, area);
        if (layout.lineCount() == 0) return 0;
        const qreal y = Point.y() - area.top() + FScrolledDown;
        const qreal x = Point.x() - area.left() + FScrolledRight;
        QTextLine line = layout.lineAt(layout.lineCount() - 1);
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine candidate = layout.lineAt(i);
            if (y < candidate.y() + candidate.height()) {
                line = candidate;
                break;
            }
        }
        return line.xToCursor(x);
    }

    // Extends the selection from its anchor to Position, where the caret goes.
    void SelectTo(int Position) {
        const int anchor = !hasSelectedText() ? cursorPosition()
                           : cursorPosition() == selectionStart() ? selectionEnd()
                                                                  : selectionStart();
        if (Position == anchor) setCursorPosition(Position);
        else setSelection(anchor, Position - anchor);
    }

    // The caret shows at once after each change, then blinks while the edit has the focus.
    void RestartBlinking() {
        FCaretShown = true;
        const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
        if (LaysOut() && hasFocus() && flashTime > 0)
            FBlinking.start(flashTime / 2, this);
        else
            FBlinking.stop();
    }

    bool FWrapping = false;
    bool FMultiLine = false;
    bool FWrapLines = false;
    bool FWantsBar = false;
    QScrollBar* FBar;
    QBasicTimer FBlinking;
    bool FCaretShown = true;
    // Pixels of the laid-out text above the top of the text area, and left of its left.
    int FScrolledDown = 0;
    int FScrolledRight = 0;
    // The bar or the wheel scrolled the lines; they stay so until the caret or text moves.
    bool FUserScrolled = false;
};

namespace {

QLineEdit* LineEdit(const TControl* Control) { return static_cast<QLineEdit*>(Control->Widget()); }

TLineEditWidget* LineEditWidget(const TControl* Control) { return static_cast<TLineEditWidget*>(Control->Widget()); }

}  // namespace

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner, MakeWidget<TLineEditWidget>()) {
    QObject::connect(LineEdit(this), &QLineEdit::textChanged, [this] { Guarded(this, [this] { WidgetTextChanged(); }); });
    SetBounds(0, 0, 121, 21);
}

bool TEdit::InheritsFrom(const String& name) const { return SameText(name, "TEdit") || TCustomEdit::InheritsFrom(name); }

// A text that holds lines keeps CR LF between them; its widget keeps LF. A masked edit's
// widget shows the mask's literals and empty places.
String TEdit::GetText() const {
    QString text = LineEdit(this)->text();
    if (IsMasked()) return FMask->TextOf(FromQString(text));
    if (MultiLine()) text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return FromQString(text);
}

QString TEdit::WidgetTextOf(const String& Value) const {
    if (IsMasked()) return ToQString(FMask->Format(Value));
    QString text = ToQString(Value);
    if (MultiLine()) text.remove(QLatin1Char('\r'));
    return text;
}

bool TEdit::IsMasked() const { return FMask && !FMask->Empty(); }

void TEdit::SetEditMask(const String& Value) {
    if (Value == FEditMask) return;
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

void TEdit::SetSeeThrough(bool Value) {
    if (Value == FSeeThrough) return;
    FSeeThrough = Value;
    // Back to the edit's own colours, or through them.
    TCustomEdit::ColorChanged();
    TCustomEdit::FontChanged();
    ApplySeeThrough();
}

void TEdit::ApplySeeThrough() {
    if (!FSeeThrough) return;
    QWidget* widget = Widget();
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Text})
            palette.setColor(group, role, Qt::transparent);
    widget->setPalette(palette);
    widget->update();
}

void TEdit::FontChanged() {
    TCustomEdit::FontChanged();
    ApplySeeThrough();
}

void TEdit::ColorChanged() {
    TCustomEdit::ColorChanged();
    ApplySeeThrough();
}

String TEdit::EditText() const { return FromQString(LineEdit(this)->text()); }

void TEdit::ValidateEdit() {
    if (IsMasked() && Modified()) FMask->Validate(EditText());
}

// Puts Shown over the widget's text from Position on, as one step Ctrl+Z takes back.
void TEdit::OverwriteShown(int Position, const String& Shown) {
    QLineEdit* edit = LineEdit(this);
    edit->setSelection(Position, static_cast<int>(Shown.size()));
    edit->insert(ToQString(Shown));
}

void TEdit::BlankPlaces(String& Shown, int Start, int End) const {
    for (int i = Start; i < End; ++i)
        if (!FMask->IsLiteral(i)) Shown[static_cast<size_t>(i)] = FMask->Blank();
}

// Empties the mask's places from Start to End, keeping its literals.
void TEdit::BlankShown(int Start, int End) {
    String shown = EditText();
    BlankPlaces(shown, Start, End);
    OverwriteShown(Start, shown.substr(static_cast<size_t>(Start), static_cast<size_t>(End - Start)));
}

int TEdit::MaskedPlace(const String& Shown, int Position, char& C) const {
    if (Position < FMask->Size() && FMask->IsLiteral(Position) && Shown[static_cast<size_t>(Position)] == C)
        return Position;
    const int place = FMask->NextPlace(Position);
    return place >= 0 && FMask->Accepts(place, C) ? place : -1;
}

bool TEdit::TypeMasked(char C) {
    QLineEdit* edit = LineEdit(this);
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    if (edit->hasSelectedText()) BlankShown(start, edit->selectionEnd());
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

bool TEdit::InsertMasked(const String& Value) {
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

void TEdit::SetSelText(const String& Value) {
    if (!IsMasked()) return TCustomEdit::SetSelText(Value);
    const bool modified = Modified();
    InsertMasked(Value);
    SetModified(modified);
}

bool TEdit::MaskKey(int Key, bool Shift, bool Command, const String& Typed) {
    QLineEdit* edit = LineEdit(this);
    const bool selected = edit->hasSelectedText();
    switch (Key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete: {
        if (edit->isReadOnly() || Shift) return true;
        const bool back = Key == Qt::Key_Backspace;
        int start = selected ? edit->selectionStart() : edit->cursorPosition();
        int end = selected ? edit->selectionEnd() : start;
        if (!selected) {
            const int place = back ? FMask->PreviousPlace(start) : FMask->NextPlace(start);
            if (place < 0) return true;
            start = place;
            end = place + 1;
        }
        BlankShown(start, end);
        edit->setCursorPosition(back || selected ? start : end);
        return true;
    }
    default:
        if (Command || Typed.empty() || static_cast<unsigned char>(Typed[0]) < 32) return false;
        if (!edit->isReadOnly() && !TypeMasked(Typed[0])) MessageBeep();
        return true;
    }
}

int TEdit::TextPosition(int WidgetPosition) const {
    if (!MultiLine()) return WidgetPosition;
    return WidgetPosition +
           static_cast<int>(LineEdit(this)->text().left(WidgetPosition).count(QLatin1Char('\n')));
}

int TEdit::WidgetPosition(int TextPosition) const {
    if (!MultiLine()) return TextPosition;
    const String text = GetText().substr(0, static_cast<size_t>(std::max(0, TextPosition)));
    return TextPosition - static_cast<int>(std::count(text.begin(), text.end(), '\r'));
}

void TEdit::SetTextValue(const String& Value) {
    // Compared as shown: texts a mask shows alike are the same.
    const QString shown = WidgetTextOf(ApplyCharCase(Value));
    if (shown == LineEdit(this)->text()) return;
    LineEdit(this)->setText(shown);  // fires OnChange and clears Modified
    // Lines set by the program show from the first.
    if (MultiLine()) LineEdit(this)->setCursorPosition(0);
}

void TEdit::ReplaceWidgetText(const String& Value) {
    QLineEdit* edit = LineEdit(this);
    const int caret = edit->cursorPosition();
    const bool modified = edit->isModified();
    edit->setText(WidgetTextOf(Value));
    edit->setModified(modified);
    edit->setCursorPosition(caret);
}

void TEdit::ReplaceText(const String& Value) {
    QLineEdit* edit = LineEdit(this);
    const String text = ApplyCharCase(Value);
    if (text == GetText()) return;
    edit->selectAll();
    if (text.empty() && !IsMasked())
        edit->del();
    else
        edit->insert(WidgetTextOf(text));
}

void TEdit::WMPaste() {
    QLineEdit* edit = LineEdit(this);
    if (!MultiLine() && !IsMasked()) return edit->paste();
    if (edit->isReadOnly()) return;
    const String pasted = Clipboard()->AsText();
    if (!IsMasked()) return edit->insert(WidgetTextOf(pasted));
    if (!InsertMasked(pasted)) MessageBeep();
}

void TEdit::WMCut() {
    QLineEdit* edit = LineEdit(this);
    if (!IsMasked()) return edit->cut();
    if (!edit->hasSelectedText()) return;
    edit->copy();
    if (!edit->isReadOnly()) BlankShown(edit->selectionStart(), edit->selectionEnd());
}

void TEdit::CopyToClipboard() { LineEdit(this)->copy(); }

void TEdit::Undo() {
    if (!ReadOnly()) LineEdit(this)->undo();
}

bool TEdit::CanUndo() const { return LineEdit(this)->isUndoAvailable(); }

void TEdit::ClearSelection() {
    QLineEdit* edit = LineEdit(this);
    if (edit->isReadOnly() || !edit->hasSelectedText()) return;
    if (IsMasked()) return BlankShown(edit->selectionStart(), edit->selectionEnd());
    edit->del();
}

bool TEdit::ExecuteAction(TBasicAction* Action) {
    if (!Action->HandlesTarget(this)) return false;
    Action->ExecuteTarget(this);
    return true;
}

bool TEdit::UpdateAction(TBasicAction* Action) {
    if (!Action->HandlesTarget(this)) return false;
    Action->UpdateTarget(this);
    return true;
}

void TEdit::PaintOver(TCanvas*, const TRect&) { }

void TEdit::PaintOverWidget(QPainter& Painter) {
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
void TEdit::ApplyMaxLength() {
    LineEdit(this)->setMaxLength(MaxLength() > 0 && !IsMasked() ? MaxLength() : 32767);
}

void TEdit::ApplyReadOnly() { LineEdit(this)->setReadOnly(ReadOnly()); }

void TEdit::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    LineEdit(this)->setFrame(Value != bsNone);
}

void TEdit::SetPasswordChar(char Value) {
    FPasswordChar = Value;
    LineEdit(this)->setEchoMode(Value ? QLineEdit::Password : QLineEdit::Normal);
}

TRect TEdit::TextMargins() const {
    const QMargins margins = LineEdit(this)->textMargins();
    return Rect(margins.left(), margins.top(), margins.right(), margins.bottom());
}

bool TEdit::BorderVisible() const { return LineEdit(this)->hasFrame(); }

void TEdit::SetBorderVisible(bool Value) { LineEdit(this)->setFrame(Value); }

void TEdit::SetTextMargins(const TRect& Margins) {
    LineEdit(this)->setTextMargins(Margins.Left, Margins.Top, Margins.Right, Margins.Bottom);
}

bool TEdit::WordWrap() const { return LineEditWidget(this)->Wrapping(); }

bool TEdit::MultiLine() const { return LineEditWidget(this)->MultiLine(); }

bool TEdit::WrapsLines() const { return LineEditWidget(this)->WrapsLines(); }

bool TEdit::VertScrollBar() const { return LineEditWidget(this)->WantsVertScrollBar(); }

void TEdit::SetVertScrollBar(bool Value) { LineEditWidget(this)->SetVertScrollBar(Value); }

int TEdit::ClientWidth() const {
    return std::max(0, TCustomEdit::ClientWidth() - LineEditWidget(this)->BarWidth());
}

int TEdit::TopLineStart() const { return TextPosition(LineEditWidget(this)->TopLineStart()); }

int TEdit::LineHeight() const { return LineEdit(this)->fontMetrics().height(); }

void TEdit::SetMultiLine(bool MultiLine, bool Wrap) {
    if (MultiLine == this->MultiLine() && Wrap == WrapsLines()) return;
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

int TEdit::SelStart() const {
    const QLineEdit* edit = LineEdit(this);
    return TextPosition(edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition());
}

void TEdit::SetSelStart(int Value) { LineEdit(this)->setCursorPosition(WidgetPosition(Value)); }

int TEdit::SelLength() const {
    const QLineEdit* edit = LineEdit(this);
    if (!edit->hasSelectedText()) return 0;
    return TextPosition(edit->selectionEnd()) - TextPosition(edit->selectionStart());
}

void TEdit::SetSelLength(int Value) {
    QLineEdit* edit = LineEdit(this);
    const int start = SelStart();
    if (Value <= 0)
        edit->setCursorPosition(WidgetPosition(start));
    else
        edit->setSelection(WidgetPosition(start), WidgetPosition(start + Value) - WidgetPosition(start));
}
