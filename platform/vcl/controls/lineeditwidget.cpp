#include "platform/vcl/controls/lineeditwidget.h"

#include <algorithm>

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QWheelEvent>
#include <QtMath>

#include "platform/vcl/controls/edits.h"
#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/qt/qtext.h"

TLineEditWidget::TLineEditWidget() : FBar(new QScrollBar(Qt::Vertical, this))
{
    // Any change may move every wrapped line, where the line edit repaints a strip.
    const auto repaint = [this] {
        FUserScrolled = false;
        if (!LaysOut())
            return;
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

void TLineEditWidget::SetWrapping(bool Value)
{
    FWrapping = Value;
    Relayout();
}

void TLineEditWidget::SetLines(bool MultiLine, bool Wrap)
{
    FMultiLine = MultiLine;
    FWrapLines = Wrap;
    PlaceBar();
    Relayout();
}

void TLineEditWidget::SetVertScrollBar(bool Value)
{
    FWantsBar = Value;
    PlaceBar();
    Relayout();
}

int TLineEditWidget::TopLineStart() const
{
    if (!LaysOut())
        return 0;
    QTextLayout layout;
    LayOut(layout, TextArea());
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        if (line.y() + line.height() / 2 >= FScrolledDown)
            return line.textStart();
    }
    return 0;
}

void TLineEditWidget::paintEvent(QPaintEvent* Event)
{
    if (LaysOut())
        PaintLaidOut();
    else
        QLineEdit::paintEvent(Event);
    // A control being destroyed has left the registry.
    auto* control = dynamic_cast<TEdit*>(TEventDispatch::ControlOf(this));
    if (!control)
        return;
    QPainter painter(this);
    control->PaintOverWidget(painter);
}

void TLineEditWidget::mousePressEvent(QMouseEvent* Event)
{
    // Beside a bar the edit takes the focus from a press on its lines only.
    if (ShowsBar() && !hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (!LaysOut())
        return QLineEdit::mousePressEvent(Event);
    if (Event->button() != Qt::LeftButton)
        return;
    const int position = PositionAt(Event->position().toPoint());
    if (Event->modifiers() & Qt::ShiftModifier)
        SelectTo(position);
    else
        setCursorPosition(position);
}

void TLineEditWidget::mouseMoveEvent(QMouseEvent* Event)
{
    if (!LaysOut())
        return QLineEdit::mouseMoveEvent(Event);
    if (Event->buttons() & Qt::LeftButton)
        SelectTo(PositionAt(Event->position().toPoint()));
}

void TLineEditWidget::mouseDoubleClickEvent(QMouseEvent* Event)
{
    if (!LaysOut())
        return QLineEdit::mouseDoubleClickEvent(Event);
    if (Event->button() != Qt::LeftButton)
        return;
    const QString text = LaidOutText();
    int start = PositionAt(Event->position().toPoint());
    int end = start;
    while (start > 0 && !text[start - 1].isSpace())
        --start;
    while (end < text.size() && !text[end].isSpace())
        ++end;
    setSelection(start, end - start);
}

void TLineEditWidget::keyPressEvent(QKeyEvent* Event)
{
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
        if (!handled)
            QLineEdit::keyPressEvent(Event);
    } else if (!FMultiLine || !LineKey(Event)) {
        QLineEdit::keyPressEvent(Event);
    }
}

void TLineEditWidget::contextMenuEvent(QContextMenuEvent* Event)
{
    QMenu* menu = createStandardContextMenu();
    auto* control = dynamic_cast<TEdit*>(TEventDispatch::ControlOf(this));
    // The menu's actions by their text, the shortcut after a tab.
    const auto is = [](const QAction* Action, const QString& Text) {
        return Action->text().section(QLatin1Char('\t'), 0, 0) == Text;
    };
    for (QAction* action : menu->actions()) {
        if (!control)
            break;
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

void TLineEditWidget::resizeEvent(QResizeEvent* Event)
{
    QLineEdit::resizeEvent(Event);
    PlaceBar();
}

void TLineEditWidget::wheelEvent(QWheelEvent* Event)
{
    if (!ShowsBar())
        return QLineEdit::wheelEvent(Event);
    QCoreApplication::sendEvent(FBar, Event);
}

void TLineEditWidget::focusInEvent(QFocusEvent* Event)
{
    QLineEdit::focusInEvent(Event);
    RestartBlinking();
}

void TLineEditWidget::focusOutEvent(QFocusEvent* Event)
{
    QLineEdit::focusOutEvent(Event);
    RestartBlinking();
}

void TLineEditWidget::timerEvent(QTimerEvent* Event)
{
    if (Event->timerId() != FBlinking.timerId())
        return QLineEdit::timerEvent(Event);
    FCaretShown = !FCaretShown;
    update();
}

QRect TLineEditWidget::TextArea() const
{
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    QRect area =
            style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).marginsRemoved(textMargins());
    if (ShowsBar())
        area.setRight(std::min(area.right(), FBar->x() - 1));
    return area;
}

void TLineEditWidget::PlaceBar()
{
    setFocusPolicy(ShowsBar() ? Qt::TabFocus : Qt::StrongFocus);
    if (!ShowsBar())
        return FBar->hide();
    const int frame = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) : 0;
    FBar->setGeometry(width() - frame - BarExtent(), frame, BarExtent(), std::max(0, height() - 2 * frame));
    FBar->show();
}

void TLineEditWidget::SyncBar(const QTextLayout& Layout, const QRect& Area)
{
    if (!ShowsBar())
        return;
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

void TLineEditWidget::Relayout()
{
    FUserScrolled = false;
    FScrolledDown = 0;
    FScrolledRight = 0;
    RestartBlinking();
    update();
}

QString TLineEditWidget::LaidOutText() const
{
    if (!FMultiLine || echoMode() != QLineEdit::Normal)
        return displayText();
    QString shown = text();
    shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return shown;
}

void TLineEditWidget::LayOut(QTextLayout& Layout, const QRect& Area) const
{
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

void TLineEditWidget::KeepCaretInView(const QTextLayout& Layout, const QRect& Area)
{
    const QTextLine line = Layout.lineForTextPosition(cursorPosition());
    if (!line.isValid())
        return;
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

bool TLineEditWidget::LineKey(QKeyEvent* Event)
{
    const bool shift = Event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = Event->modifiers() & Qt::ControlModifier;
    switch (Event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!isReadOnly())
            insert(QStringLiteral("\n"));
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

QTextLine TLineEditWidget::CaretLine(QTextLayout& Layout) const
{
    LayOut(Layout, TextArea());
    return Layout.lineForTextPosition(cursorPosition());
}

int TLineEditWidget::LinePosition(int Lines) const
{
    QTextLayout layout;
    const QTextLine line = CaretLine(layout);
    if (!line.isValid())
        return cursorPosition();
    const int target = line.lineNumber() + Lines;
    if (target < 0)
        return 0;
    if (target >= layout.lineCount())
        return static_cast<int>(text().size());
    return layout.lineAt(target).xToCursor(line.cursorToX(cursorPosition()));
}

int TLineEditWidget::LineEnd(bool End) const
{
    QTextLayout layout;
    const QTextLine line = CaretLine(layout);
    if (!line.isValid())
        return cursorPosition();
    if (!End)
        return line.textStart();
    int end = line.textStart() + line.textLength();
    const QString shown = layout.text();
    while (end > line.textStart() && (shown[end - 1] == QChar::LineSeparator ||
                                      (Wraps() && shown[end - 1].isSpace() && end < shown.size())))
        --end;
    return end;
}

void TLineEditWidget::MoveTo(int Position, bool Select)
{
    if (Select)
        SelectTo(Position);
    else
        setCursorPosition(Position);
}

void TLineEditWidget::PaintLaidOut()
{
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    const QRect area = TextArea();
    QTextLayout layout;
    LayOut(layout, area);
    if (!FUserScrolled)
        KeepCaretInView(layout, area);
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
        layout.drawCursor(&painter, origin, cursorPosition(),
                          style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this));
    }
}

int TLineEditWidget::PositionAt(const QPoint& Point) const
{
    const QRect area = TextArea();
    QTextLayout layout;
    LayOut(layout, area);
    if (layout.lineCount() == 0)
        return 0;
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

void TLineEditWidget::SelectTo(int Position)
{
    const int anchor = !hasSelectedText()                     ? cursorPosition()
                       : cursorPosition() == selectionStart() ? selectionEnd()
                                                              : selectionStart();
    if (Position == anchor)
        setCursorPosition(Position);
    else
        setSelection(anchor, Position - anchor);
}

void TLineEditWidget::RestartBlinking()
{
    FCaretShown = true;
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    if (LaysOut() && hasFocus() && flashTime > 0)
        FBlinking.start(flashTime / 2, this);
    else
        FBlinking.stop();
}
