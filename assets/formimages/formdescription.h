#pragma once
// The form images as data: each layout file describes one form (boxes with their
// captions, rules, shading and texts) on the grid the data is placed on, and the
// overlay list names every overlay file with its layout, copy variant and the row
// offsets of the forms on its page.
//
// Grid units: a row is 1/6 inch from the top of the paper, a column 1/10 inch from
// the left edge of the printer's logical page (1/4 inch inside the paper edge), the
// same grid the form routines place their data on.

#include <string>
#include <vector>

namespace formimages {

struct GridRect {
    double Top = 0, Left = 0, Bottom = 0, Right = 0;
};

enum class Weight { Regular, Bold };

// A line of text whose top lies at (Row, Column).
struct Text {
    double Row = 0, Column = 0;
    double Points = 8;
    Weight FontWeight = Weight::Regular;
    std::string Value;
};

// A framed box with a caption in its top-left corner, or its bottom-left corner where
// the data leaves no room under the top rule; a leading box number in the caption
// ("1 Rents") prints bold.
struct Box {
    std::string Name;
    GridRect Area;
    std::vector<std::string> CaptionLines;
    bool Framed = true;
    bool CaptionAtFoot = false;
};

struct Shade {
    GridRect Area;
    int Percent = 10;
};

// A solid rule: a line of the given thickness in dots (1/300 inch).
struct Rule {
    GridRect Area;
    int ThicknessDots = 3;
};

// Where the stock is perforated: a dashed line across the sheet at a row of the
// page. It belongs to the sheet, not to a form, so it is drawn once and stays where
// it is whatever rows the forms are placed at.
struct Perforation {
    double Row = 0;
};

// One element of a layout; Variant is empty for what every copy carries.
struct Element {
    std::string Variant;
    enum class Kind { Box, Rule, Shade, Text, Perforation } What = Kind::Box;
    Box AsBox;
    Rule AsRule;
    Shade AsShade;
    Text AsText;
    Perforation AsPerforation;
};

struct Layout {
    std::string Name;
    std::vector<Element> Elements;
};

// One overlay file of the program: FileName drawn from Layout with the elements of
// Variant, once per row offset.
struct Overlay {
    std::string FileName;
    std::string LayoutName;
    std::string Variant;
    std::vector<double> RowOffsets;
};

// The page an overlay draws, with the offsets applied and only its variant's elements.
struct Page {
    std::vector<Box> Boxes;
    std::vector<Shade> Shades;
    std::vector<Rule> Rules;
    std::vector<Text> Texts;
    std::vector<Perforation> Perforations;
};

// Parses a layout description; throws std::runtime_error naming the line at fault.
Layout ParseLayout(const std::string& Name, const std::string& Description);
// Parses the overlay list; throws std::runtime_error naming the line at fault.
std::vector<Overlay> ParseOverlayList(const std::string& Description);

// Reads assets/forms: the overlay list and every layout it names.
struct FormSet {
    std::vector<Overlay> Overlays;
    std::vector<Layout> Layouts;
    const Layout& LayoutNamed(const std::string& Name) const;
};
FormSet LoadFormSet(const std::string& FormsDir);

Page BuildPage(const FormSet& Forms, const Overlay& Which);

}  // namespace formimages
