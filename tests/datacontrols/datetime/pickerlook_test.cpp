// How the picker looks: the text it draws itself without the focus, placed as its
// field's alignment says, its edit frame, and its button's flat look.

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "tests/datacontrols/datetime/pickerfixture.h"
#include "tests/db/memdataset.h"
#include "tests/vcl/formtesting.h"

namespace {

// The first and last columns of Image, from Left to Right, with a dark pixel between
// rows 3 and height - 3; -1, -1 when none.
std::pair<int, int> InkColumns(const QImage& Image, int Left, int Right) {
    int first = -1, last = -1;
    for (int x = Left; x < Right; ++x)
        for (int y = 3; y < Image.height() - 3; ++y)
            if (qGray(Image.pixel(x, y)) < 100) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

class PickerLookTest : public PickerTest {
protected:
    // The picker over a date field holding June 15, 2009, the focus on the other edit.
    TField* BindDate() {
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
    QImage Shot() {
        QCoreApplication::processEvents();
        return Picker->Widget()->grab().toImage();
    }
    // Where the text may stand: inside the border, left of the button.
    int TextRight() const { return Picker->Button()->Parent()->Left(); }
};

TEST_F(PickerLookTest, WithoutTheFocusTheTextStandsAsTheFieldAligns) {
    TField* field = BindDate();
    struct Case {
        TAlignment Alignment;
        const char* Name;
    };
    QDir().mkpath(TOTAMUND_SCREENSHOT_DIR);
    for (const Case& c :
         {Case {taLeftJustify, "left"}, Case {taRightJustify, "right"}, Case {taCenter, "center"}}) {
        field->SetAlignment(c.Alignment);
        const QImage image = Shot();
        ASSERT_TRUE(image.save(QString(TOTAMUND_SCREENSHOT_DIR "/datetimepicker-align-%1.png").arg(c.Name)));
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
    EXPECT_EQ(Picker->Text(), "06/15/2009");
}

}  // namespace
