// A document loaded into a shown rich edit replaces the one before: the caret at its start
// with nothing selected and no undo step, and the whole document laid out, so that an edit
// made at once leaves its end where the view can go to it.

#include <gtest/gtest.h>

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include "platform/richedit/richedit.h"

namespace {

// Numbered paragraphs with a table halfway.
QByteArray Paragraphs(const char* Word, int Count)
{
    QByteArray rtf = R"({\rtf1\ansi{\fonttbl{\f0 Arial;}})";
    for (int i = 1; i <= Count; ++i) {
        rtf += Word + QByteArray::number(i) + "\\par\r\n";
        if (i == Count / 2)
            rtf += R"(\trowd\cellx2000\cellx4000\intbl A\cell B\cell\row\pard )";
    }
    return rtf + "}";
}

TEST(RichEditLoad, ADocumentLoadedOverAnotherStartsAtItsBeginningAndReachesItsEnd)
{
    TCustomRichEdit edit(nullptr);
    auto* widget = static_cast<QTextEdit*>(edit.Widget());
    widget->resize(400, 200);
    widget->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    const QByteArray before = Paragraphs("Old ", 50);
    edit.LoadContents(String(before.constData(), static_cast<size_t>(before.size())));
    widget->selectAll();
    int selectionChanges = 0;
    edit.OnSelectionChange = [&](TObject*) { ++selectionChanges; };

    const QByteArray after = Paragraphs("Line ", 3000);
    edit.LoadContents(String(after.constData(), static_cast<size_t>(after.size())));
    const QTextCursor caret = widget->textCursor();
    EXPECT_EQ(caret.position(), 0);
    EXPECT_FALSE(caret.hasSelection());
    EXPECT_GE(selectionChanges, 1);
    EXPECT_FALSE(widget->document()->isUndoAvailable());
    EXPECT_FALSE(widget->document()->isModified());

    widget->setFocus();
    QTest::keyClicks(widget, "New ");
    EXPECT_EQ(widget->document()->firstBlock().text(), "New Line 1");
    EXPECT_TRUE(widget->document()->isUndoAvailable());
    QTest::keyClick(widget, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(widget->textCursor().block().text(), "Line 3000");
    EXPECT_TRUE(widget->viewport()->rect().contains(widget->cursorRect()));
}

}  // namespace
