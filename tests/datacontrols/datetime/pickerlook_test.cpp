// How the picker looks: the text it draws itself without the focus, placed as its
// field's alignment says, its edit frame, and its button's flat look.

#include <QImage>
#include <gtest/gtest.h>

#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "tests/datacontrols/datetime/pickerfixture.h"
#include "tests/support/formtesting.h"
#include "tests/support/memdataset.h"
#include "tests/support/screenshots.h"

namespace {

// The first and last columns of Image, from Left to Right, with a dark pixel between
// rows 3 and height - 3; -1, -1 when none.
std::pair<int, int> InkColumns(const QImage& Image, int Left, int Right)
{
    int first = -1, last = -1;
    for (int x = Left; x < Right; ++x)
        for (int y = 3; y < Image.height() - 3; ++y)
            if (qGray(Image.pixel(x, y)) < 100) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return {first, last};
}

// The number of pixels of row Y of Image, from Left to Right, darker than a light grey.
int DarkPixels(const QImage& Image, int Y, int Left, int Right)
{
    int count = 0;
    for (int x = Left; x < Right; ++x)
        count += qGray(Image.pixel(x, Y)) < 160;
    return count;
}

class PickerLookTest : public PickerTest {
protected:
    // The picker over a date field holding June 15, 2009, the focus on the other edit.
    TField* BindDate()
    {
        auto* data = new TMemDataSet(Form, {{"D", ftDate}});
        data->Open();
        data->AddRows({{"06/15/2009"}});
        data->First();
        auto* source = new TDataSource(Form);
        source->SetDataSet(data);
        Picker->SetDataSource(source);
        Picker->SetDataField("D");
        ShowForm(Form);
        Other->SetFocus();
        return Picker->Field();
    }
    QImage Shot()
    {
        QCoreApplication::processEvents();
        return Picker->Widget()->grab().toImage();
    }
    // Where the text may stand: inside the border, left of the button.
    int TextRight() const { return Picker->Button()->Parent()->Left(); }
};

TEST_F(PickerLookTest, WithoutTheFocusTheTextStandsAsTheFieldAligns)
{
    TField* field = BindDate();
    struct Case {
        TAlignment Alignment;
        const char* Name;
    };
    for (const Case& c :
         {Case {taLeftJustify, "left"}, Case {taRightJustify, "right"}, Case {taCenter, "center"}}) {
        field->SetAlignment(c.Alignment);
        const QImage image = Shot();
        KeepScreenshot(image, QString("datetimepicker-align-%1.png").arg(c.Name));
        const auto [first, last] = InkColumns(image, 3, TextRight());
        ASSERT_GE(first, 0) << c.Name << ": the text is drawn";
        EXPECT_GT(last - first, 40) << c.Name << ": the whole date is drawn";
        switch (c.Alignment) {
        case taLeftJustify: EXPECT_LE(first, 8) << "left: from the left edge"; break;
        case taRightJustify: EXPECT_GE(last, TextRight() - 8) << "right: up to the button"; break;
        case taCenter:
            EXPECT_NEAR((first + last) / 2, TextRight() / 2, 3) << "centre: between edge and button";
            break;
        }
    }

    // With the focus the edit shows its own text from the left, a section selected.
    Picker->SetFocus();
    EXPECT_LT(InkColumns(Shot(), 3, TextRight()).second, TextRight() / 2);

    // A disabled picker's text is grey.
    Other->SetFocus();
    Picker->SetEnabled(false);
    const QImage disabled = Shot();
    EXPECT_EQ(InkColumns(disabled, 3, TextRight()).first, -1);
    EXPECT_GT(DarkPixels(disabled, Picker->Height() / 2, 3, TextRight()), 0) << "but drawn";
    EXPECT_EQ(Picker->Text(), "06/15/2009");
}

TEST_F(PickerLookTest, TheFrameIsABoxWithTheFocusAndALineWithout)
{
    BindDate();
    Picker->Frame()->SetEnabled(true);
    EXPECT_EQ(Picker->BorderStyle(), bsNone) << "the frame takes the border's place";
    const int right = TextRight();
    QImage unfocused = Shot();
    EXPECT_EQ(DarkPixels(unfocused, 0, 0, right), 0) << "no top edge without the focus";
    EXPECT_GT(DarkPixels(unfocused, Picker->Height() - 1, 0, right), right / 2) << "the bottom line";
    const auto [first, last] = InkColumns(unfocused, 3, right);
    EXPECT_GE(first, 2) << "the text starts inside the frame";
    EXPECT_GT(last - first, 40);

    Picker->SetFocus();
    QImage focused = Shot();
    EXPECT_GT(DarkPixels(focused, 0, 0, right), right / 2) << "the top edge with the focus";
    EXPECT_GT(DarkPixels(focused, Picker->Height() - 1, 0, right), right / 2);
    EXPECT_EQ(Picker->Button()->Parent()->Top(), 2) << "the button stands inside the frame";
    EXPECT_EQ(Picker->Button()->Parent()->Left() + Picker->Button()->Parent()->Width(), Picker->Width() - 2);
    KeepScreenshot(unfocused, "datetimepicker-frame.png");
    KeepScreenshot(focused, "datetimepicker-frame-focused.png");
}

TEST_F(PickerLookTest, AFlatButtonShowsOnlyItsArrowUntilThePickerHasTheFocus)
{
    BindDate();
    // The button's pixels that are neither the edit's white nor the arrow's black.
    const auto shaded = [this] {
        const QImage image = Picker->Button()->Parent()->Widget()->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const int gray = qGray(image.pixel(x, y));
                count += gray > 40 && gray < 250;
            }
        return count;
    };
    const auto arrow = [this] {
        const QImage image = Picker->Button()->Parent()->Widget()->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += qGray(image.pixel(x, y)) < 40;
        return count;
    };
    QCoreApplication::processEvents();
    EXPECT_GT(shaded(), 50) << "a raised button";
    EXPECT_EQ(Picker->ShownButtonGlyph(), nullptr) << "the raised button draws its own arrow";

    Picker->ButtonEffects()->SetFlat(true);
    EXPECT_TRUE(Picker->Button()->Flat());
    ASSERT_NE(Picker->ShownButtonGlyph(), nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(shaded(), 0) << "no face without the focus";
    EXPECT_EQ(arrow(), 16) << "the small arrow: 7, 5, 3 and 1 pixels";
    KeepScreenshot(Shot(), "datetimepicker-flat.png");

    Picker->SetFocus();
    QCoreApplication::processEvents();
    EXPECT_GT(shaded(), 50) << "the face with the focus";
    EXPECT_EQ(arrow(), 16);
    KeepScreenshot(Shot(), "datetimepicker-flat-focused.png");

    Picker->ButtonEffects()->SetFlat(false);
    Picker->ButtonEffects()->SetTransparent(true);
    EXPECT_TRUE(Picker->Button()->Flat()) << "a transparent button is flat too";
    Other->SetFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(shaded(), 0);
}

}  // namespace
