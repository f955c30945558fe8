// A hyperlink read from RTF shows as a link in the rich edit: a click on its text gives
// the link's target, not the text.

#include <gtest/gtest.h>

#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

#include "platform/richedit/richedit.h"

namespace {

TEST(RichEditLinks, AClickOnAHyperlinkFieldGivesItsTarget)
{
    TCustomRichEdit edit(nullptr);
    edit.SetLinkDetection(true);
    edit.LoadContents(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}Paid: )"
                      R"({\field{\*\fldinst HYPERLINK "https://example.org/receipt"}{\fldrslt the receipt}} )"
                      R"(or www.example.com})");
    std::vector<String> clicked;
    edit.OnLinkClick = [&](TObject*, const String& URL) { clicked.push_back(URL); };
    auto* widget = static_cast<QTextEdit*>(edit.Widget());
    widget->resize(400, 100);
    widget->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    for (const int position : {10, 30, 4}) {
        QTextCursor at(widget->document());
        at.setPosition(position);
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, {},
                          widget->cursorRect(at).center() + QPoint(2, 0));
    }
    EXPECT_EQ(clicked, (std::vector<String> {"https://example.org/receipt", "www.example.com"}));
}

}  // namespace
