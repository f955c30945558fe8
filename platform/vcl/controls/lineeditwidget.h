#pragma once
// TEdit's widget: the line edit whose control may draw over it once it has painted
// itself. When wrapping it lays its one line of text out in lines as wide as its text
// area and paints and hit-tests that layout itself; text, selection and keys stay the
// line edit's own. When it holds lines, a LF in its text breaks the line there, Enter,
// Up, Down, Page Up, Page Down, Home and End work on those lines, and a vertical scroll
// bar may stand beside them.

#include <QBasicTimer>
#include <QLineEdit>
#include <QStyle>
#include <QTextLayout>

class QScrollBar;

class TLineEditWidget : public QLineEdit {
public:
    TLineEditWidget();

    bool Wrapping() const { return FWrapping; }
    void SetWrapping(bool Value);
    bool MultiLine() const { return FMultiLine; }
    bool WrapsLines() const { return FMultiLine && FWrapLines; }
    void SetLines(bool MultiLine, bool Wrap);
    bool WantsVertScrollBar() const { return FWantsBar; }
    void SetVertScrollBar(bool Value);
    // The bar shows beside the lines of a text that holds them.
    bool ShowsBar() const { return FWantsBar && FMultiLine; }
    int BarWidth() const { return ShowsBar() ? BarExtent() : 0; }

    // Where the line at the top of the text area starts: the first of which at least half
    // shows.
    int TopLineStart() const;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;

    // Selects the word under the mouse.
    void mouseDoubleClickEvent(QMouseEvent* Event) override;

    // Paste and cut go through the control, from the keys and from the context menu.
    void keyPressEvent(QKeyEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

    // Over the lines the wheel turns the bar, as over the bar itself.
    void wheelEvent(QWheelEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void timerEvent(QTimerEvent* Event) override;

private:
    // Where the text goes: the contents inside the frame less the text margins, left of
    // the scroll bar.
    QRect TextArea() const;
    int BarExtent() const { return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this); }

    // The bar stands inside the frame along the right edge. A press on the bar leaves the
    // focus where it is, as on a window's scroll bar: Qt gives a pressed widget's nearest
    // container that takes click focus the focus, so beside the bar the edit takes it
    // itself, from a press on its lines.
    void PlaceBar();

    // The bar's range is the laid-out lines' height beyond the text area; the lines stay
    // scrolled within it.
    void SyncBar(const QTextLayout& Layout, const QRect& Area);

    // The widget lays out and paints its text itself.
    bool LaysOut() const { return FWrapping || FMultiLine; }
    bool Wraps() const { return FWrapping || (FMultiLine && FWrapLines); }

    void Relayout();

    // The text as laid out, one character for each of the text's: a LF of a text that holds
    // lines becomes the line separator, where the layout breaks.
    QString LaidOutText() const;

    // The shown text in lines, the first at 0: when wrapping as wide as Area, a word wider
    // than the area breaking anywhere; otherwise as long as their text.
    void LayOut(QTextLayout& Layout, const QRect& Area) const;

    // Scrolls the text up or down, and sideways when the lines do not wrap, just enough to
    // show the caret.
    void KeepCaretInView(const QTextLayout& Layout, const QRect& Area);

    // Enter, Up, Down, Page Up, Page Down, Home and End of a text that holds lines; false
    // for any other key.
    bool LineKey(QKeyEvent* Event);

    // Lays the text out in Layout; the line the caret is on.
    QTextLine CaretLine(QTextLayout& Layout) const;

    // The position on the line Lines below (above when negative) the caret's, nearest to
    // the caret's column; the text's start or end past the first or last line.
    int LinePosition(int Lines) const;

    // The start or end of the caret's line; the end is before the line break.
    int LineEnd(bool End) const;
    void MoveTo(int Position, bool Select);
    void PaintLaidOut();

    // The text position nearest to Point.
    int PositionAt(const QPoint& Point) const;

    // Extends the selection from its anchor to Position, where the caret goes.
    void SelectTo(int Position);

    // The caret shows at once after each change, then blinks while the edit has the focus.
    void RestartBlinking();
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
