// The header row: sections side by side, each painted raised with its text.

#include <QImage>
#include <gtest/gtest.h>

#include "platform/vcl/controls/header.h"
#include "platform/vcl/qt/qgraphics.h"
#include "tests/support/formtesting.h"

namespace {

class HeaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TForm>(nullptr);
        Form->SetBounds(0, 0, 400, 120);
        Header = new THeader(Form);
        Header->SetParent(Form);
        Header->SetBounds(10, 10, 300, 22);
        Header->Sections()->Add("CLIENTS");
        Header->Sections()->Add("Record 5 of 300");
    }
    void TearDown() override { Form->Free(); }

    // The columns between From and To (exclusive) that hold dark text pixels.
    static int InkColumns(const QImage& Image, int From, int To)
    {
        int columns = 0;
        for (int x = From; x < To; ++x) {
            for (int y = 4; y < Image.height() - 4; ++y) {
                if (qGray(Image.pixel(x, y)) < 80) {
                    ++columns;
                    break;
                }
            }
        }
        return columns;
    }

    TForm* Form = nullptr;
    THeader* Header = nullptr;
};

TEST_F(HeaderTest, SectionsLieSideBySideAndTheLastTakesTheRest)
{
    EXPECT_EQ(Header->SectionRect(0), Rect(0, 0, 75, 22));
    EXPECT_EQ(Header->SectionRect(1), Rect(75, 0, 300, 22));
    EXPECT_EQ(Header->SectionRect(2), TRect {});
    Header->SetWidth(100);
    EXPECT_EQ(Header->SectionRect(1), Rect(75, 0, 150, 22))
            << "a narrow header still shows the last section whole";
}

TEST_F(HeaderTest, EachSectionShowsItsTextInsideItsFrame)
{
    ShowForm(Form);
    QImage image = Header->Widget()->grab().toImage();
    EXPECT_GT(InkColumns(image, 2, 73), 10) << "the first text";
    EXPECT_GT(InkColumns(image, 77, 298), 10) << "the second text";
    // The raised frame: light at the section's left edge, dark at its right.
    EXPECT_GT(qGray(image.pixel(75, 10)), qGray(image.pixel(74, 10)));

    Header->Sections()->Put(1, "");
    image = Header->Widget()->grab().toImage();
    EXPECT_EQ(InkColumns(image, 77, 298), 0) << "an emptied section shows no text";
}

}  // namespace
