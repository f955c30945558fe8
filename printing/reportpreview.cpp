#include "printing/reportpreview.h"

#include "controls/kvrows.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "printing/pageviewerkeys.h"
#include "printing/reportprinter.h"

TFPreview* FPreview = nullptr;

namespace {

// A letter page at 384 pixels per inch.
constexpr int PageShortSide = 3264;
constexpr int PageLongSide = 4224;

TSpeedButton* PlaceButton(TFPreview* Form, const char* Name, const char* Caption, int Left, int Width,
                          TNotifyEvent OnClick)
{
    auto* button = new TSpeedButton(Form);
    button->SetName(Name);
    button->SetParent(Form->Panel1);
    button->SetBounds(Left, 4, Width, 25);
    button->SetCaption(Caption);
    button->OnClick = std::move(OnClick);
    return button;
}

}  // namespace

TFPreview::TFPreview(TComponent* AOwner) : TForm(AOwner)
{
    SetName("FPreview");
    SetCaption("Report Preview");
    SetBounds(0, 0, 775, 600);
    SetPosition(poScreenCenter);
    SetKeyPreview(true);

    Panel1 = NewChild<TPanel>(this, this, "Panel1");
    Panel1->SetAlign(alTop);
    Panel1->SetHeight(33);
    Panel1->SetCaption("");
    SpeedButton1 =
            PlaceButton(this, "SpeedButton1", "Zoom In", 8, 90, [this](TObject* S) { SpeedButton1Click(S); });
    SpeedButton2 = PlaceButton(this, "SpeedButton2", "Zoom Out", 100, 90,
                               [this](TObject* S) { SpeedButton2Click(S); });
    btnPrev =
            PlaceButton(this, "btnPrev", "Previous Page", 200, 110, [this](TObject* S) { btnPrevClick(S); });
    btnNext = PlaceButton(this, "btnNext", "Next Page", 312, 110, [this](TObject* S) { btnNextClick(S); });
    SpeedButton5 = PlaceButton(this, "SpeedButton5", "Print Page", 432, 90,
                               [this](TObject* S) { SpeedButton5Click(S); });
    SpeedButton5->SetVisible(false);

    ScrollBox1 = NewChild<TScrollBox>(this, this, "ScrollBox1");
    ScrollBox1->SetAlign(alClient);
    Image1 = NewChild<TImage>(this, ScrollBox1, "Image1");
    Image1->SetBounds(8, 16, 816, 1056);
    Image1->SetStretch(true);

    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnShow = [this](TObject* S) { FormShow(S); };
    OnKeyDown = [this](TObject*, Word& Key, TShiftState) { PageViewerKeyDown(*this, Key); };
    OnKeyPress = [this](TObject*, char& Key) { PageViewerKeyPress(*this, Key); };
}

void TFPreview::FormCreate(TObject*)
{
    ZoomDivisor = 4;
    CurrentPage = 1;
    LoadPage();
}

void TFPreview::FormShow(TObject*) { SizeImage(); }

void TFPreview::LoadPage() { Image1->Picture()->LoadFromFile(ReportPageFile(CurrentPage)); }

void TFPreview::SizeImage()
{
    const bool landscape = Orientation == "poLandscape";
    const int width = (landscape ? PageLongSide : PageShortSide) / ZoomDivisor;
    const int height = (landscape ? PageShortSide : PageLongSide) / ZoomDivisor;
    Image1->SetBounds(Image1->Left(), Image1->Top(), width, height);
    // The scroll bars follow the new size at once, so a screenful is what shows.
    ScrollBox1->Realign();
}

void TFPreview::SpeedButton1Click(TObject*)
{
    if (ZoomDivisor > 1)
        --ZoomDivisor;
    SizeImage();
}

void TFPreview::SpeedButton2Click(TObject*)
{
    ++ZoomDivisor;
    SizeImage();
}

void TFPreview::btnPrevClick(TObject*)
{
    if (CurrentPage <= 1)
        return;
    --CurrentPage;
    LoadPage();
}

void TFPreview::btnNextClick(TObject*)
{
    if (CurrentPage >= PageCount)
        return;
    ++CurrentPage;
    LoadPage();
}

void TFPreview::SpeedButton5Click(TObject*)
{
    ShowMessage("Print of selected pages / reports from the preview menu is not completed in this version of "
                "payroll.");
}

void ShowPreview(int PageCount, const String& Orientation)
{
    FPreview = Construct<TFPreview>(Application.operator->());
    FPreview->PageCount = PageCount;
    FPreview->Orientation = Orientation;
    struct TRelease {
        ~TRelease()
        {
            FPreview->Free();
            FPreview = nullptr;
        }
    } release;
    FPreview->ShowModal();
}
