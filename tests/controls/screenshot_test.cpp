// A sample data-entry form saved as a PNG for a person to look at
// (screenshots/data-entry-form.png under the build directory).

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

#include "controls/kvbevel.h"
#include "controls/kvdateedit.h"
#include "controls/kvfloatedit.h"
#include "controls/kvheader.h"
#include "controls/kvtoolbar.h"
#include "platform/vcl/qt/qgraphics.h"
#include "tests/controls/entryform.h"

namespace {

class TSampleForm : public TEntryForm {
public:
    explicit TSampleForm(TComponent* AOwner) : TEntryForm(AOwner)
    {
        SetCaption("Recipient Information");
        Bar = new TKVToolBar(this);
        Bar->SetParent(this);
        Bar->SetPrintEnabled(true);
        Bar->SetNotesStatus(2);
        Header = new TKVHeader(this);
        Header->SetParent(this);
        Header->SetBounds(8, 36, 500, 21);
        Header->SetPart("Basic");
        Header->SetTitle("Employer/Client Basic Information");
        // The fields of the entry form sit below the header.
        for (TKVLabel* label : Labels)
            label->SetTop(label->Top() + 56);
        for (TWinControl* field : std::vector<TWinControl*> {Name, Amount, Street, City, Print, Path, Recalc})
            field->SetTop(field->Top() + 56);
        NextTop = 286;
        Offset = Line<TKVFloatEdit>("Offset", "Vertical offset");
        Hired = Line<TKVDateEdit>("Hired", "Hire date");
        auto* frame = new TKVBevel(this);
        frame->SetParent(this);
        frame->SetBounds(116, Hired->Top() - 1, 84, 23);
        frame->SendToBack();
    }
    TKVToolBar* Bar;
    TKVHeader* Header;
    TKVFloatEdit* Offset;
    TKVDateEdit* Hired;
};

TEST(Screenshot, SampleDataEntryFormIsSavedAsPng)
{
    String name = "JOHN Q. SAMPLE";
    int amount = 1234;
    float offset = 1.5f;
    String hired = "03-05-2008";
    bool print = true;
    auto* form = Construct<TSampleForm>(nullptr);
    form->Name->Bind(&name);
    form->Amount->Bind(&amount);
    form->Offset->Bind(&offset, "##.##");
    form->Hired->Bind(&hired);
    form->Print->Bind(&print);
    ShowForm(form);
    TypeText(form, "03");

    const QImage image = form->Widget()->grab().toImage();
    ASSERT_EQ(image.width(), form->ClientWidth());
    // The header bar is black beside its grey part box.
    const QPoint bar = form->Header->Widget()->mapTo(form->Widget(), QPoint(300, 10));
    EXPECT_EQ(FromQColor(image.pixelColor(bar)), clBlack);

    ASSERT_TRUE(QDir().mkpath(TOTAMUND_SCREENSHOT_DIR));
    const QString file = QStringLiteral(TOTAMUND_SCREENSHOT_DIR "/data-entry-form.png");
    ASSERT_TRUE(image.save(file, "PNG"));
    EXPECT_FALSE(QImage(file).isNull());
    form->Free();
}

}  // namespace
