// The form overlays: every place the form routines print data lies inside its box,
// on a PCL page and on a canvas page, and every overlay keeps to the bytes a page job
// can carry.

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "assets/formimages/formdescription.h"
#include "assets/formimages/overlaywriter.h"
#include "tests/assets/formanchors.h"
#include "tests/assets/programfile.h"

using namespace formimages;

namespace {

// The cells a text covers, in grid units. On a PCL page (top margin 0, 6 lines per
// inch, 12-point Courier) the baseline of row r lies at r + 0.75 rows, the glyphs
// rise 0.625 rows above it and descend 0.2 below; a right-aligned text ends with the
// cell of its column. On a canvas page a row stands 165.5/166.67 of a PCL row down
// and its 12-point Courier New line is 1.13 rows high; a right-aligned text ends at
// the left edge of its column's cell. The overlay is drawn on the canvas with the
// print area's left edge at column 0 and the paper's top at row 0.
GridRect PclCells(const Anchor& A, double Offset)
{
    double row = A.Row + Offset;
    double first = A.RightAligned ? A.Column - A.Length + 1 : A.Column;
    return {row + 0.125, first, row + 0.95, first + A.Length};
}

GridRect CanvasCells(const Anchor& A, double Offset)
{
    double top = (A.Row + Offset) * 165.5 / (1000.0 / 6);
    double first = A.RightAligned ? A.Column - A.Length : A.Column;
    return {top, first, top + 1.13, first + A.Length};
}

bool Inside(const GridRect& Inner, const GridRect& Outer)
{
    constexpr double e = 1e-9;
    return Inner.Top >= Outer.Top - e && Inner.Bottom <= Outer.Bottom + e && Inner.Left >= Outer.Left - e &&
           Inner.Right <= Outer.Right + e;
}

std::string Describe(const GridRect& R)
{
    std::ostringstream s;
    s << "rows " << R.Top << "-" << R.Bottom << ", columns " << R.Left << "-" << R.Right;
    return s.str();
}

class FormImages : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Forms = new FormSet(LoadFormSet(FORM_DESCRIPTION_DIR)); }
    static void TearDownTestSuite() { delete Forms; }
    static FormSet* Forms;
};
FormSet* FormImages::Forms = nullptr;

}  // namespace

TEST_F(FormImages, TheNineOverlaysOfTheFormRoutinesAreListed)
{
    std::vector<std::string> names;
    for (const Overlay& o : Forms->Overlays)
        names.push_back(o.FileName);
    EXPECT_EQ(names, (std::vector<std::string> {"US1096$1.HP", "USMISCB1.HP", "USMISCC1.HP", "USMISC11.HP",
                                                "USMISC21.HP", "USINTB1.HP", "USINTC1.HP", "USINT11.HP",
                                                "USINT21.HP"}));
}

TEST_F(FormImages, EveryDataPlaceLiesInsideItsBoxOnPclAndCanvasPages)
{
    for (const Overlay& overlay : Forms->Overlays) {
        for (double offset : overlay.RowOffsets) {
            Overlay one = overlay;
            one.RowOffsets = {offset};
            Page page = BuildPage(*Forms, one);
            for (const Anchor& a : AnchorsOf(overlay.LayoutName)) {
                const Box* box = nullptr;
                for (const Box& b : page.Boxes)
                    if (b.Name == a.BoxName)
                        box = &b;
                ASSERT_NE(box, nullptr) << overlay.FileName << " has no box " << a.BoxName;
                for (const GridRect& cells : {PclCells(a, offset), CanvasCells(a, offset)})
                    EXPECT_TRUE(Inside(cells, box->Area))
                            << overlay.FileName << " form at row " << offset << ": text at row " << a.Row
                            << ", column " << a.Column << " covers " << Describe(cells) << " outside "
                            << a.BoxName << " (" << Describe(box->Area) << ")";
            }
        }
    }
}

// The stock is an 11-inch sheet (66 rows) perforated into halves (1099-MISC, two forms)
// or thirds (1099-INT, three forms): each form's heading, boxes and texts stay in its
// part of the sheet, as the routines place it.
TEST_F(FormImages, EachFormLiesInItsHalfOrThirdOfTheSheet)
{
    constexpr double SheetRows = 66;
    for (const Overlay& overlay : Forms->Overlays) {
        const double part = SheetRows / static_cast<double>(overlay.RowOffsets.size());
        for (size_t form = 0; form < overlay.RowOffsets.size(); ++form) {
            Overlay one = overlay;
            one.RowOffsets = {overlay.RowOffsets[form]};
            const Page page = BuildPage(*Forms, one);
            const GridRect sheetPart {part * static_cast<double>(form), 0,
                                      part * static_cast<double>(form + 1), 80};
            const auto expectInside = [&](const GridRect& Area, const std::string& What) {
                EXPECT_TRUE(Inside(Area, sheetPart))
                        << overlay.FileName << " form " << form + 1 << ": " << What << " covers "
                        << Describe(Area) << ", outside " << Describe(sheetPart);
            };
            for (const Box& b : page.Boxes)
                expectInside(b.Area, "box " + b.Name);
            for (const Rule& r : page.Rules)
                expectInside(r.Area, "a rule");
            for (const Shade& s : page.Shades)
                expectInside(s.Area, "a shade");
            // A text of P points is P/12 rows high.
            for (const Text& t : page.Texts)
                expectInside({t.Row, t.Column, t.Row + t.Points / 12, t.Column}, "\"" + t.Value + "\"");
        }
    }
}

TEST_F(FormImages, TheStockIsPerforatedBetweenItsForms)
{
    for (const Overlay& overlay : Forms->Overlays) {
        const double part = 66 / static_cast<double>(overlay.RowOffsets.size());
        std::vector<double> expected, drawn;
        for (size_t form = 1; form < overlay.RowOffsets.size(); ++form)
            expected.push_back(part * static_cast<double>(form));
        for (const Perforation& p : BuildPage(*Forms, overlay).Perforations)
            drawn.push_back(p.Row);
        EXPECT_EQ(drawn, expected) << overlay.FileName;
    }
}

TEST_F(FormImages, OverlaysFramePageTextWithoutResetsOrEjects)
{
    const std::string esc = "\x1b";
    for (const Overlay& overlay : Forms->Overlays) {
        SCOPED_TRACE(overlay.FileName);
        std::string bytes = ReadProgramFile(overlay.FileName);
        // The file beside the program is what the descriptions make today.
        EXPECT_EQ(bytes, WriteOverlay(BuildPage(*Forms, overlay)));
        EXPECT_EQ(bytes.find(esc + "E"), std::string::npos) << "a printer reset";
        EXPECT_EQ(bytes.find('\f'), std::string::npos) << "a form feed";
        EXPECT_EQ(bytes.find(esc + "%"), std::string::npos) << "a language switch";
        EXPECT_EQ(bytes.find(esc + "&f"), std::string::npos) << "a macro";
        EXPECT_EQ(bytes.rfind(esc + "&l2A" + esc + "&l0O" + esc + "&l0E", 0), 0u)
                << "Letter, portrait, top margin 0";
        const std::string tail = esc + "&l6D" + esc + "(19U" + esc + "(s0p10h12v0s0b4099T" + esc + "&alrC";
        ASSERT_GE(bytes.size(), tail.size());
        EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail)
                << "ends in 6 lpi Courier 10 pitch, cursor home";
        for (unsigned char c : bytes)
            ASSERT_TRUE(c == 0x1b || (c >= 0x20 && c < 0x7f)) << "byte " << int(c);
    }
}

TEST(FormDescription, FaultsAreNamedWithTheirLine)
{
    struct Case {
        const char* Text;
        const char* Message;
    };
    for (const Case& c : std::initializer_list<Case> {
                 {"box a 1 2 3\n", "misc line 1: too few values"},
                 {"\nrule 1 2 3 4\n", "misc line 2: a rule is horizontal or vertical"},
                 {"text 1 2 x bold \"A\"\n", "misc line 1: \"x\" is not a number"},
                 {"text 1 2 8 heavy \"A\"\n", "misc line 1: weight is regular or bold"},
                 {"circle 1 2 3 4\n", "misc line 1: unknown element \"circle\""},
                 {"box a 5 2 3 4\n", "misc line 1: the rectangle's corners are swapped"},
                 {"shade 1 2 3 4 0\n", "misc line 1: shading is 1 to 100 percent"},
                 {"perforation 22 40\n", "misc line 1: unexpected \"40\""},
                 {"box a 1 2 3 4 \"A\" low\n", "misc line 1: a caption stands at the top or at the \"foot\""},
                 {"text 1 2 8 bold \"open\n", "line 1: unterminated text"},
                 {"text 1 2 8 bold \"open \"\"X\"\"\n", "line 1: unterminated text"},
         }) {
        try {
            ParseLayout("misc", c.Text);
            ADD_FAILURE() << "accepted: " << c.Text;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), c.Message);
        }
    }
    EXPECT_THROW(ParseOverlayList("USX.HP misc B\n"), std::runtime_error);
}

TEST(FormDescription, ADoubledQuoteInATextIsOneQuote)
{
    const Layout layout = ParseLayout("f", "text 1 2 8 bold \"enter an \"\"X\"\" here\" # note\n");
    ASSERT_EQ(layout.Elements.size(), 1u);
    EXPECT_EQ(layout.Elements[0].AsText.Value, "enter an \"X\" here");
}

TEST(FormDescription, VariantsAndOffsetsShapeThePage)
{
    FormSet forms;
    forms.Layouts.push_back(ParseLayout("f", "box a 1 2 3 4 \"A\"\n@B text 2 3 8 bold \"Copy B\"\n@C text 2 "
                                             "3 8 bold \"Copy C\"\nperforation 22\n"));
    Page page = BuildPage(forms, Overlay {"X.HP", "f", "B", {0, 21}});
    // The perforation is the sheet's: once, where it stands, whatever the offsets.
    ASSERT_EQ(page.Perforations.size(), 1u);
    EXPECT_EQ(page.Perforations[0].Row, 22);
    ASSERT_EQ(page.Boxes.size(), 2u);
    EXPECT_EQ(page.Boxes[1].Area.Top, 22);
    EXPECT_EQ(page.Boxes[1].Area.Bottom, 24);
    ASSERT_EQ(page.Texts.size(), 2u);
    EXPECT_EQ(page.Texts[0].Value, "Copy B");
    EXPECT_EQ(page.Texts[1].Row, 23);
}

TEST(OverlayWriter, PlacesRulesAndCaptionsInPclUnits)
{
    Page page;
    page.Boxes.push_back(Box {"b", {2, 10, 4, 20}, {"1 Rents"}, true});
    std::string pcl = WriteOverlay(page);
    const std::string esc = "\x1b";
    // The top rule: 3 dots thick, centred on row 2 (100 dots) from column 10 (300 dots).
    EXPECT_NE(pcl.find(esc + "*p299x99Y" + esc + "*c303a3b0P"), std::string::npos);
    // The caption: its box number bold, the rest regular, 6 points, inside the box.
    EXPECT_NE(pcl.find(esc + "*p306x126Y" + esc + "(s1p6v0s3b4148T1" + esc + "(s1p6v0s0b4148T Rents"),
              std::string::npos);
    // A caption at the foot stands on the bottom rule (row 4, 200 dots), clear of its
    // descenders.
    page.Boxes = {Box {"b", {2, 10, 4, 20}, {"City, state, and ZIP code"}, true, true}};
    EXPECT_NE(WriteOverlay(page).find(esc + "*p306x188Y"), std::string::npos);
    // An ordinal or a form number leading a caption is no box number.
    for (const std::string caption : {"2nd TIN not.", "1098 81"}) {
        page.Boxes = {Box {"b", {2, 10, 4, 20}, {caption}, true}};
        EXPECT_NE(WriteOverlay(page).find(esc + "*p306x126Y" + esc + "(s1p6v0s0b4148T" + caption),
                  std::string::npos)
                << caption;
    }
}

TEST(OverlayWriter, DrawsAPerforationAsDashesAcrossThePrintArea)
{
    Page page;
    page.Perforations.push_back(Perforation {22});
    const std::string pcl = WriteOverlay(page);
    const std::string esc = "\x1b";
    // Dashes of 24 dots, 12 apart, 2 dots thick on row 22 (1100 dots), over 2400 dots.
    EXPECT_NE(pcl.find(esc + "*p0x1099Y" + esc + "*c24a2b0P"), std::string::npos);
    EXPECT_NE(pcl.find(esc + "*p36x1099Y" + esc + "*c24a2b0P"), std::string::npos);
    EXPECT_NE(pcl.find(esc + "*p2376x1099Y" + esc + "*c24a2b0P"), std::string::npos);
    EXPECT_EQ(pcl.find(esc + "*p2412x"), std::string::npos);
}
