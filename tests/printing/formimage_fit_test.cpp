// Every place a form routine prints lies inside one box of the 2008 form drawing and
// clear of its caption: the copies on plain paper against the overlay they carry, the
// red copies (the data alone on the pre-printed stock, under the printer's default top
// margin of half an inch) against the same drawing placed where the stock has its
// forms: the halves and thirds of the sheet.

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "assets/formimages/formdescription.h"
#include "assets/formimages/overlaywriter.h"
#include "printing/copyb.h"
#include "printing/copyc.h"
#include "printing/form1096.h"
#include "printing/redcopy.h"
#include "tests/printing/form1099fixture.h"

using namespace formimages;

namespace {

// A text the page puts at a row and column.
struct TPlacedText {
    double Row, Column;
    std::string Value;
};

// The texts of a page placed with ESC &a<row>r<col>C, each up to the next escape.
std::vector<TPlacedText> PlacedTexts(const std::string& Page)
{
    std::vector<TPlacedText> texts;
    const std::string move = "\x1b&a";
    for (size_t at = Page.find(move); at != std::string::npos; at = Page.find(move, at + 1)) {
        std::istringstream in(Page.substr(at + move.size(), 40));
        double row = 0, column = 0;
        char r = 0, c = 0;
        if (!(in >> row >> r >> column >> c) || r != 'r' || c != 'C')
            continue;
        const size_t start = at + move.size() + static_cast<size_t>(in.tellg());
        const size_t end = Page.find('\x1b', start);
        const std::string value =
                Page.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!value.empty())
            texts.push_back({row, column, value});
    }
    return texts;
}

// The smallest box holding the point.
const Box* BoxAt(const Page& Drawing, double Row, double Column)
{
    const Box* found = nullptr;
    for (const Box& b : Drawing.Boxes) {
        const GridRect& a = b.Area;
        if (Row < a.Top || Row > a.Bottom || Column < a.Left || Column > a.Right)
            continue;
        if (!found || (a.Bottom - a.Top) * (a.Right - a.Left) <
                              (found->Area.Bottom - found->Area.Top) * (found->Area.Right - found->Area.Left))
            found = &b;
    }
    return found;
}

bool Overlap(const GridRect& A, const GridRect& B)
{
    return A.Top < B.Bottom && B.Top < A.Bottom && A.Left < B.Right && B.Left < A.Right;
}

class FormImageFit : public Form1099Fixture {
protected:
    void SetUp() override
    {
        Form1099Fixture::SetUp();
        Forms = LoadFormSet(FORM_DESCRIPTION_DIR);
        OpenHarbor();
        AddEveryBox();
        UseShippedOverlays();
    }

    // Two more 1099-MISC recipients for each kind of income, so that every box prints
    // on the top and on the bottom form of a sheet, and three more 1099-INT ones, so
    // that each form of the sheet prints a second name line; all filled to the widths
    // the routines give their places: names, streets and cities of 30 characters, state
    // numbers of 14, the largest amounts the fields hold (the tax withheld one digit
    // less, so that the sum on Form 1096 stays under a hundred million).
    void AddEveryBox()
    {
        std::vector<std::pair<std::string, const char*>> added;
        for (const char* type : {"R", "Y", "O", "F", "N", "G", "M", "P", "C", "A"})
            for (const char* copy : {"1", "2"})
                added.emplace_back(std::string("H") + type + copy, type);
        for (const char* copy : {"1", "2", "3"})
            added.emplace_back(std::string("J") + copy, "I");
        for (const auto& [id, type] : added) {
            (type[0] == 'I' ? IntRecipients : MiscRecipients).push_back(id);
            AddRecipients({{.ID = id.c_str(),
                            .Name1 = "Wilhelmina Worthington-Wexford",
                            .Name2 = "in trust for Bartholomew Wexfo",
                            .Address = "1234 West Washington Boulevard",
                            .Csz = "West Bridgewater MA 02379-1234",
                            .TaxID = "04-5556667",
                            .TransType = type,
                            .DirSales = "Y",
                            .Total = 9999999.99,
                            .Fwt = 1234567.89,
                            .StateID1 = "MA 04-55566678",
                            .Swt1 = 9999999.99,
                            .StateInc1 = 9999999.99,
                            .StateID2 = "RI 00-99887766",
                            .Swt2 = 9999999.99,
                            .StateInc2 = 9999999.99}});
        }
    }

    // The drawing of an overlay file, or for a red copy its layout at the stock's places.
    Page Drawing(const std::string& OverlayFile) const
    {
        for (const Overlay& o : Forms.Overlays)
            if (o.FileName == OverlayFile)
                return BuildPage(Forms, o);
        ADD_FAILURE() << "no overlay " << OverlayFile;
        return {};
    }
    // The stock carries every caption at the top of its box, also where the plain
    // copies' image moves one to the foot.
    Page RedDrawing(const std::string& Layout, std::vector<double> StockRows) const
    {
        Page drawing = BuildPage(Forms, Overlay {"", Layout, "A", std::move(StockRows)});
        for (Box& b : drawing.Boxes)
            b.CaptionAtFoot = false;
        return drawing;
    }

    // Runs Routine and expects each text of its pages inside one box of Drawing;
    // RowShift is what the page's rows lie below the drawing's grid.
    void ExpectFit(const char* What, const std::function<void()>& Routine, const Page& Drawing,
                   double RowShift)
    {
        FMain->DeleteTempPrintFiles();
        Routine();
        const std::vector<std::string> pages = Pages();
        ASSERT_FALSE(pages.empty()) << What;
        for (const std::string& name : pages) {
            const std::vector<TPlacedText> texts = PlacedTexts(Dir.Read(name));
            EXPECT_FALSE(texts.empty()) << What;
            for (const TPlacedText& t : texts) {
                const std::string misfit = Misfit(t, Drawing, RowShift);
                EXPECT_TRUE(misfit.empty()) << What << ": \"" << t.Value << "\" at row " << t.Row
                                            << ", column " << t.Column << misfit;
            }
        }
    }

    // Why a placed text does not fit the drawing, or nothing when it fits: the glyphs of
    // 12-point Courier at 6 lines an inch, a character a column, lie inside one box and
    // clear of its caption.
    static std::string Misfit(const TPlacedText& T, const Page& Drawing, double RowShift)
    {
        const GridRect cells {T.Row + RowShift + 0.125, T.Column, T.Row + RowShift + 0.95,
                              T.Column + static_cast<double>(T.Value.size())};
        const Box* box = BoxAt(Drawing, cells.Top, cells.Left + 0.5);
        if (!box)
            return " is in no box";
        if (cells.Bottom > box->Area.Bottom || cells.Right > box->Area.Right || cells.Left < box->Area.Left)
            return " leaves box " + box->Name;
        for (const GridRect& caption : CaptionAreas(*box))
            if (Overlap(cells, caption))
                return " prints over the caption of box " + box->Name;
        return {};
    }

    FormSet Forms;
    std::vector<std::string> MiscRecipients {"B02"}, IntRecipients {"D04"};
};

// The red stock is printed under the default top margin of half an inch: three rows.
constexpr double RedRows = 3;

TEST_F(FormImageFit, RedCopiesFitTheFormsOfTheStock)
{
    ExpectFit(
            "red 1099-MISC",
            [this] {
                BuildPrint(2);
                WalkPrint([] { PrintRedCopyMisc("", false); });
            },
            RedDrawing("misc", {0, 33}), RedRows);
    ExpectFit(
            "red 1099-INT",
            [this] {
                BuildPrint(1);
                WalkPrint([] { PrintRedCopyInt("", false); });
            },
            RedDrawing("int", {0, 22, 44}), RedRows);
    for (const char* interest : {"N", "Y"}) {
        DClientDataBase->Interest1099 = interest;
        ExpectFit(
                interest[0] == 'Y' ? "red 1096 of 1099-INT" : "red 1096 of 1099-MISC", [] { Print1096Red(); },
                RedDrawing("f1096", {0}), RedRows);
    }
}

TEST_F(FormImageFit, PlainPaperCopiesFitTheImageTheyCarry)
{
    ExpectFit(
            "Copy C 1099-MISC",
            [this] {
                BuildPrint(2);
                WalkPrint([] { PrintCopyCMisc("", false); });
            },
            Drawing("USMISCC1.HP"), 0);
    ExpectFit(
            "Copy C 1099-INT",
            [this] {
                BuildPrint(1);
                WalkPrint([] { PrintCopyCInt("", false); });
            },
            Drawing("USINTC1.HP"), 0);
    const struct {
        const char* Copy;
        void (*Routine)(const String&);
        const char* MiscOverlay;
        const char* IntOverlay;
    } copies[] = {
            {"Copy B", PrintCopyB, "USMISCB1.HP", "USINTB1.HP"},
            {"Copy 1", PrintCopy1, "USMISC11.HP", "USINT11.HP"},
            {"Copy 2", PrintCopy2, "USMISC21.HP", "USINT21.HP"},
    };
    for (const auto& c : copies) {
        for (const std::string& recipient : MiscRecipients) {
            GoToRecipient(recipient);
            ExpectFit((std::string(c.Copy) + " 1099-MISC").c_str(), [&] { c.Routine(recipient); },
                      Drawing(c.MiscOverlay), 0);
        }
        for (const std::string& recipient : IntRecipients) {
            GoToRecipient(recipient);
            ExpectFit((std::string(c.Copy) + " 1099-INT").c_str(), [&] { c.Routine(recipient); },
                      Drawing(c.IntOverlay), 0);
        }
    }
    for (const char* interest : {"N", "Y"}) {
        DClientDataBase->Interest1099 = interest;
        ExpectFit(
                interest[0] == 'Y' ? "1096 file copy of 1099-INT" : "1096 file copy of 1099-MISC",
                [] { Print1096File(); }, Drawing("US1096$1.HP"), 0);
    }
}

}  // namespace
