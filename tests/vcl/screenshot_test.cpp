// A sample form with one of each common control, saved as a PNG for a person to
// look at (screenshots/sample-form.png under the build directory).

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

#include "platform/vcl/controls/bars.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/checkboxes.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/image.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/lists.h"
#include "platform/vcl/controls/pages.h"
#include "platform/vcl/controls/panels.h"
#include "platform/vcl/controls/progressbar.h"
#include "platform/vcl/controls/shape.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/menus.h"
#include "platform/vcl/qt/qgraphics.h"
#include "tests/support/formtesting.h"

namespace {

class SampleForm : public TForm {
public:
    explicit SampleForm(TComponent* AOwner) : TForm(AOwner)
    {
        SetCaption("Recipient");
        SetBorderStyle(bsSingle);
        SetBounds(0, 0, 520, 400);
        auto* menu = new TMainMenu(this);
        for (const char* caption : {"&File", "&Help"}) {
            auto* item = new TMenuItem(this);
            item->SetCaption(caption);
            menu->Items()->Add(item);
        }
        SetMenu(menu);

        auto* toolBar = new TToolBar(this);
        toolBar->SetParent(this);
        Reports = Place(new TBitBtn(this), toolBar, 4, 2, 90, 25);
        Reports->SetCaption("&Reports");

        auto* header = Place(new TPanel(this), this, 8, 36, 496, 30);
        header->SetCaption("Current Client -- ACME SUPPLY");
        header->SetColor(clWhite);
        header->Font()->SetStyle({fsBold});
        header->Font()->SetColor(clNavy);

        auto* group = Place(new TGroupBox(this), this, 8, 72, 300, 150);
        group->SetCaption("Recipient");
        Place(new TLabel(this), group, 10, 24, 0, 0)->SetCaption("[01]  Name");
        Name = Place(new TEdit(this), group, 110, 20, 170, 21);
        Name->SetText("JOHN Q. SAMPLE");
        Place(new TLabel(this), group, 10, 52, 0, 0)->SetCaption("[02]  Type");
        auto* type = Place(new TComboBox(this), group, 110, 48, 170, 21);
        type->Items()->SetCommaText("\"N Nonemployee compensation\",\"R Rents\",\"I Interest\"");
        type->SetItemIndex(0);
        Place(new TCheckBox(this), group, 10, 80, 200, 17)->SetCaption("[03]  Print state amounts");
        auto* radio = Place(new TRadioButton(this), group, 10, 102, 120, 17);
        radio->SetCaption("1099-MISC");
        radio->SetChecked(true);
        Place(new TRadioButton(this), group, 130, 102, 120, 17)->SetCaption("1099-INT");

        auto* memo = Place(new TMemo(this), this, 316, 78, 188, 70);
        memo->Lines()->Add("Notes on this recipient");
        memo->Lines()->Add("second line");
        auto* list = Place(new TListBox(this), this, 316, 154, 188, 68);
        list->Items()->SetCommaText("2007,2008,2009");
        list->SetItemIndex(1);

        auto* pages = Place(new TPageControl(this), this, 8, 228, 300, 80);
        for (const char* caption : {"Federal", "State"}) {
            auto* sheet = new TTabSheet(this);
            sheet->SetCaption(caption);
            sheet->SetPageControl(pages);
        }
        Place(new TLabel(this), pages->Pages(0), 8, 8, 0, 0)->SetCaption("Withholding 0.00");

        auto* shape = Place(new TShape(this), this, 316, 232, 40, 40);
        shape->SetShape(stEllipse);
        shape->Brush()->SetColor(clAqua);
        auto* image = Place(new TImage(this), this, 364, 232, 40, 40);
        TBitmap* bitmap = image->Picture()->Bitmap();
        bitmap->SetSize(40, 40);
        bitmap->Canvas()->Brush()->SetColor(clYellow);
        bitmap->Canvas()->Rectangle(0, 0, 40, 40);
        bitmap->Canvas()->Brush()->SetStyle(bsClear);
        bitmap->Canvas()->TextOut(6, 12, "IMG");
        auto* bevel = Place(new TBevel(this), this, 412, 232, 92, 40);
        bevel->SetShape(bsFrame);
        auto* progress = Place(new TProgressBar(this), this, 316, 280, 188, 16);
        progress->SetPosition(60);

        auto* ok = Place(new TBitBtn(this), this, 336, 308, 80, 25);
        ok->SetKind(bkOK);
        auto* cancel = Place(new TBitBtn(this), this, 424, 308, 80, 25);
        cancel->SetKind(bkCancel);
        auto* status = new TStatusBar(this);
        status->SetParent(this);
        auto* client = status->AddPanel();
        client->SetText("Client 08ACME");
        client->SetWidth(120);
        status->AddPanel()->SetText("Tax year 2008");
        ActiveTitle = header;
    }

    template<class T> T* Place(T* Control, TWinControl* Parent, int Left, int Top, int Width, int Height)
    {
        Control->SetParent(Parent);
        if (Width > 0)
            Control->SetBounds(Left, Top, Width, Height);
        else
            Control->SetBounds(Left, Top, Control->Width(), Control->Height());
        return Control;
    }

    TBitBtn* Reports;
    TEdit* Name;
    TPanel* ActiveTitle;
};

TEST(Screenshot, SampleFormIsSavedAsPng)
{
    SampleForm* form = Construct<SampleForm>(nullptr);
    ShowForm(form);
    const QImage image = form->Widget()->grab().toImage();
    ASSERT_EQ(image.width(), form->ClientWidth());
    ASSERT_EQ(image.height(), form->ClientHeight() + form->Widget()->height() - form->ClientHeight());

    // The header panel is white with navy text; the form around it is button face.
    const QPoint panel = form->ActiveTitle->Widget()->mapTo(form->Widget(), QPoint(4, 4));
    EXPECT_EQ(FromQColor(image.pixelColor(panel)), clWhite);
    const QPoint between = form->Name->Widget()->mapTo(form->Widget(), QPoint(form->Name->Width() + 24, 0));
    EXPECT_EQ(FromQColor(image.pixelColor(between)), ColorToRGB(clBtnFace));

    ASSERT_TRUE(QDir().mkpath(TOTAMUND_SCREENSHOT_DIR));
    const QString file = QStringLiteral(TOTAMUND_SCREENSHOT_DIR "/sample-form.png");
    ASSERT_TRUE(image.save(file, "PNG"));
    EXPECT_FALSE(QImage(file).isNull());
    form->Free();
}

}  // namespace
