// Metafiles replayed at any size, JPEG decoding, pictures by file type, printing.

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <vector>

#include "platform/rtl/streams.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/jpeg.h"
#include "platform/vcl/graphics/metafile.h"
#include "platform/vcl/graphics/picture.h"
#include "platform/vcl/printing/printers.h"
#include "platform/vcl/qt/qapp.h"
#include "tests/support/tempdir.h"

namespace {

std::filesystem::path ScratchDir()
{
    static const TempDir dir("vcl-pictures");
    return dir.Root();
}

// The box around the pixels that are not white.
TRect InkBounds(TBitmap& Bitmap)
{
    TRect box {100000, 100000, -1, -1};
    for (int y = 0; y < Bitmap.Height(); ++y) {
        for (int x = 0; x < Bitmap.Width(); ++x) {
            if (Bitmap.Canvas()->Pixels(x, y) == clWhite)
                continue;
            box = Rect(std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                       std::max(box.Bottom, y + 1));
        }
    }
    return box;
}

class MetafileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQApplication();
        Metafile.SetWidth(50);
        Metafile.SetHeight(40);
        TMetafileCanvas canvas(&Metafile);
        canvas.Pen()->SetStyle(psClear);
        canvas.Brush()->SetColor(clRed);
        canvas.Rectangle(10, 10, 30, 20);
    }

    // Replays the metafile into a white bitmap of the given size.
    void Replay(TBitmap& Bitmap, int Width, int Height)
    {
        Bitmap.SetSize(Width, Height);
        Bitmap.Canvas()->StretchDraw(Rect(0, 0, Width, Height), &Metafile);
    }

    TMetafile Metafile;
};

TEST_F(MetafileTest, ReplaysAtTwiceTheSize)
{
    TBitmap bitmap;
    Replay(bitmap, 100, 80);
    EXPECT_EQ(InkBounds(bitmap), Rect(20, 20, 60, 40));
    EXPECT_EQ(bitmap.Canvas()->Pixels(40, 30), clRed);
}

TEST_F(MetafileTest, TextGrowsWithTheReplay)
{
    TMetafile text;
    text.SetWidth(100);
    text.SetHeight(30);
    {
        TMetafileCanvas canvas(&text);
        canvas.Brush()->SetStyle(bsClear);
        canvas.Font()->SetSize(10);
        canvas.TextOut(2, 2, "Copy B");
    }
    TBitmap once;
    once.SetSize(100, 30);
    once.Canvas()->StretchDraw(Rect(0, 0, 100, 30), &text);
    TBitmap twice;
    twice.SetSize(200, 60);
    twice.Canvas()->StretchDraw(Rect(0, 0, 200, 60), &text);
    const TRect small = InkBounds(once);
    const TRect large = InkBounds(twice);
    ASSERT_GT(small.Width(), 10);
    EXPECT_NEAR(static_cast<double>(large.Width()) / small.Width(), 2.0, 0.25);
    EXPECT_NEAR(static_cast<double>(large.Height()) / small.Height(), 2.0, 0.3);
    EXPECT_NEAR(large.Left, 2 * small.Left, 2);
}

TEST_F(MetafileTest, FrameDefaultsToTheDrawingsExtent)
{
    TMetafile metafile;
    {
        TMetafileCanvas canvas(&metafile);
        canvas.Brush()->SetColor(clBlue);
        canvas.FillRect(Rect(0, 0, 25, 15));
    }
    EXPECT_EQ(metafile.Width(), 25);
    EXPECT_EQ(metafile.Height(), 15);
}

TEST_F(MetafileTest, SavedMetafileReplaysTheSame)
{
    const std::string file = (ScratchDir() / "form.tmf").string();
    Metafile.SaveToFile(file);
    TMetafile loaded;
    loaded.LoadFromFile(file);
    EXPECT_EQ(loaded.Width(), 50);
    EXPECT_EQ(loaded.Height(), 40);
    TBitmap bitmap;
    bitmap.SetSize(100, 80);
    bitmap.Canvas()->StretchDraw(Rect(0, 0, 100, 80), &loaded);
    EXPECT_EQ(InkBounds(bitmap), Rect(20, 20, 60, 40));

    TStringStream damaged("TMF1 not really");
    EXPECT_THROW(loaded.LoadFromStream(damaged), EInvalidGraphic);
    TStringStream foreign(String("\xD7\xCD\xC6\x9A", 4) + String(40, '\0'));
    EXPECT_THROW(loaded.LoadFromStream(foreign), EInvalidGraphic);
}

// A JPEG made by libjpeg's compressor: the left half red, the right half blue (or grey
// levels for a one-component picture).
String MakeJpeg(int Width, int Height, int Components)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(Width);
    info.image_height = static_cast<JDIMENSION>(Height);
    info.input_components = Components;
    info.in_color_space = Components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(Width * Components));
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < Width; ++x) {
            const bool left = x < Width / 2;
            if (Components == 3) {
                row[x * 3] = left ? 255 : 0;
                row[x * 3 + 1] = 0;
                row[x * 3 + 2] = left ? 0 : 255;
            } else {
                row[x] = left ? 40 : 200;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    String bytes(reinterpret_cast<char*>(buffer), size);
    free(buffer);
    return bytes;
}

TEST(JpegImage, DecodesColourAndGreyPictures)
{
    EnsureQApplication();
    TJPEGImage jpeg;
    TStringStream colour(MakeJpeg(32, 16, 3));
    jpeg.LoadFromStream(colour);
    ASSERT_EQ(jpeg.Width(), 32);
    ASSERT_EQ(jpeg.Height(), 16);
    EXPECT_FALSE(jpeg.Grayscale());
    TBitmap bitmap;
    bitmap.Assign(&jpeg);
    ASSERT_EQ(bitmap.Width(), 32);
    const TColor left = bitmap.Canvas()->Pixels(4, 8);
    const TColor right = bitmap.Canvas()->Pixels(28, 8);
    EXPECT_GT(GetRValue(left), 220);
    EXPECT_LT(GetBValue(left), 40);
    EXPECT_GT(GetBValue(right), 220);
    EXPECT_LT(GetRValue(right), 40);

    TStringStream grey(MakeJpeg(16, 8, 1));
    jpeg.LoadFromStream(grey);
    EXPECT_TRUE(jpeg.Grayscale());
    bitmap.Assign(&jpeg);
    const TColor dark = bitmap.Canvas()->Pixels(2, 4);
    EXPECT_NEAR(GetRValue(dark), 40, 6);
    EXPECT_EQ(GetRValue(dark), GetBValue(dark));
}

TEST(JpegImage, DamagedDataRaisesAndKeepsThePicture)
{
    EnsureQApplication();
    TJPEGImage jpeg;
    TStringStream good(MakeJpeg(8, 8, 3));
    jpeg.LoadFromStream(good);
    const String bytes = MakeJpeg(8, 8, 3);
    for (const String& damaged : {bytes.substr(0, 20), String("GIF89a"), String()}) {
        TStringStream stream(damaged);
        try {
            jpeg.LoadFromStream(stream);
            ADD_FAILURE() << "accepted " << damaged.size() << " bytes";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message().rfind("JPEG error", 0), 0u) << e.Message();
        }
        EXPECT_EQ(jpeg.Width(), 8);
    }
}

TEST(Picture, LoadsByTheFilesExtension)
{
    EnsureQApplication();
    const auto dir = ScratchDir();
    {
        TFileStream file((dir / "banner.JPG").string(), fmCreate);
        const String bytes = MakeJpeg(20, 10, 3);
        file.WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
    }
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    picture.LoadFromFile((dir / "banner.JPG").string());
    EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 20);
    EXPECT_EQ(changes, 1);

    TBitmap bitmap;
    bitmap.SetSize(3, 3);
    bitmap.SaveToFile((dir / "stamp.bmp").string());
    picture.LoadFromFile((dir / "stamp.bmp").string());
    EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);

    EXPECT_THROW(picture.LoadFromFile((dir / "logo.gif").string()), EInvalidGraphic);
    EXPECT_THROW(picture.LoadFromFile((dir / "missing.bmp").string()), EFOpenError);
    EXPECT_EQ(picture.Width(), 3) << "a failed load keeps the picture";
}

TEST(Printer, PrintsPagesIntoAPdfFile)
{
    EnsureQApplication();
    TPrinter* printer = Printer();
    const std::string file = (ScratchDir() / "list.pdf").string();
    printer->SetOutputFileName(file);
    printer->SetTitle("Recipient totals");
    printer->BeginDoc();
    EXPECT_THROW(printer->BeginDoc(), EPrinter);
    EXPECT_TRUE(printer->Printing());
    EXPECT_EQ(printer->PageNumber(), 1);
    TCanvas* canvas = printer->Canvas();
    EXPECT_EQ(canvas->PixelsPerInch(), printer->Resolution());
    // Points are points at the printer's resolution: a 10-point line is about 10/72 inch.
    canvas->Font()->SetSize(10);
    EXPECT_NEAR(canvas->TextHeight("Hg"), printer->Resolution() * 10 / 72.0 * 1.2,
                printer->Resolution() * 0.06);
    canvas->TextOut(100, 100, "Page one");
    printer->NewPage();
    EXPECT_EQ(printer->PageNumber(), 2);
    canvas->Rectangle(100, 100, 500, 300);
    printer->EndDoc();
    EXPECT_FALSE(printer->Printing());
    EXPECT_THROW(printer->NewPage(), EPrinter);
    ASSERT_TRUE(std::filesystem::exists(file));
    std::FILE* pdf = std::fopen(file.c_str(), "rb");
    char head[5] = {};
    ASSERT_EQ(std::fread(head, 1, 4, pdf), 4u);
    std::fclose(pdf);
    EXPECT_STREQ(head, "%PDF");
    EXPECT_GT(printer->PageWidth(), printer->Resolution() * 7);
    printer->SetOutputFileName("");
}

}  // namespace
