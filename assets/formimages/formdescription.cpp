#include "assets/formimages/formdescription.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace formimages {
namespace {

// Splits a line into words; a double-quoted string is one word without its quotes,
// in which a doubled quote ("") stands for one.
std::vector<std::string> Words(const std::string& Line, int LineNo)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < Line.size()) {
        if (Line[i] == ' ' || Line[i] == '\t') {
            ++i;
            continue;
        }
        if (Line[i] == '#')
            break;
        if (Line[i] == '"') {
            std::string word;
            for (++i;; ++i) {
                if (i >= Line.size())
                    throw std::runtime_error("line " + std::to_string(LineNo) + ": unterminated text");
                if (Line[i] != '"')
                    word += Line[i];
                else if (i + 1 < Line.size() && Line[i + 1] == '"')
                    word += Line[i++];
                else
                    break;
            }
            words.push_back(word);
            ++i;
        } else {
            size_t end = Line.find_first_of(" \t", i);
            if (end == std::string::npos)
                end = Line.size();
            words.push_back(Line.substr(i, end - i));
            i = end;
        }
    }
    return words;
}

class LineReader {
public:
    LineReader(const std::string& Source, std::vector<std::string> W, int LineNo)
        : FSource(Source), FWords(std::move(W)), FLine(LineNo)
    {
    }

    size_t Count() const { return FWords.size(); }
    const std::string& Word(size_t i) const { return FWords.at(i); }

    double Number(size_t i) const
    {
        const std::string& w = Need(i);
        double value = 0;
        auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), value);
        if (ec != std::errc() || end != w.data() + w.size())
            Fail("\"" + w + "\" is not a number");
        return value;
    }

    GridRect Rect(size_t first) const
    {
        GridRect r {Number(first), Number(first + 1), Number(first + 2), Number(first + 3)};
        if (r.Bottom < r.Top || r.Right < r.Left)
            Fail("the rectangle's corners are swapped");
        return r;
    }

    const std::string& Need(size_t i) const
    {
        if (i >= FWords.size())
            Fail("too few values");
        return FWords[i];
    }

    void ExpectAtMost(size_t n) const
    {
        if (FWords.size() > n)
            Fail("unexpected \"" + FWords[n] + "\"");
    }

    [[noreturn]] void Fail(const std::string& Why) const
    {
        throw std::runtime_error(FSource + " line " + std::to_string(FLine) + ": " + Why);
    }

private:
    std::string FSource;
    std::vector<std::string> FWords;
    int FLine;
};

std::vector<std::string> SplitCaption(const std::string& Caption)
{
    std::vector<std::string> lines;
    std::stringstream in(Caption);
    std::string line;
    while (std::getline(in, line, '|'))
        lines.push_back(line);
    return lines;
}

Element ParseElement(const LineReader& L, size_t at)
{
    Element e;
    const std::string& kind = L.Need(at);
    if (kind == "box" || kind == "cell") {
        e.What = Element::Kind::Box;
        e.AsBox.Name = L.Need(at + 1);
        e.AsBox.Area = L.Rect(at + 2);
        if (L.Count() > at + 6)
            e.AsBox.CaptionLines = SplitCaption(L.Word(at + 6));
        e.AsBox.Framed = kind == "box";
        if (L.Count() > at + 7) {
            if (L.Word(at + 7) != "foot")
                L.Fail("a caption stands at the top or at the \"foot\"");
            e.AsBox.CaptionAtFoot = true;
        }
        L.ExpectAtMost(at + 8);
    } else if (kind == "rule") {
        e.What = Element::Kind::Rule;
        e.AsRule.Area = L.Rect(at + 1);
        if (L.Count() > at + 5)
            e.AsRule.ThicknessDots = static_cast<int>(L.Number(at + 5));
        if (e.AsRule.Area.Top != e.AsRule.Area.Bottom && e.AsRule.Area.Left != e.AsRule.Area.Right)
            L.Fail("a rule is horizontal or vertical");
        L.ExpectAtMost(at + 6);
    } else if (kind == "shade") {
        e.What = Element::Kind::Shade;
        e.AsShade.Area = L.Rect(at + 1);
        e.AsShade.Percent = static_cast<int>(L.Number(at + 5));
        if (e.AsShade.Percent < 1 || e.AsShade.Percent > 100)
            L.Fail("shading is 1 to 100 percent");
        L.ExpectAtMost(at + 6);
    } else if (kind == "text") {
        e.What = Element::Kind::Text;
        e.AsText.Row = L.Number(at + 1);
        e.AsText.Column = L.Number(at + 2);
        e.AsText.Points = L.Number(at + 3);
        const std::string& weight = L.Need(at + 4);
        if (weight == "bold")
            e.AsText.FontWeight = Weight::Bold;
        else if (weight != "regular")
            L.Fail("weight is regular or bold");
        e.AsText.Value = L.Need(at + 5);
        L.ExpectAtMost(at + 6);
    } else if (kind == "perforation") {
        e.What = Element::Kind::Perforation;
        e.AsPerforation.Row = L.Number(at + 1);
        L.ExpectAtMost(at + 2);
    } else {
        L.Fail("unknown element \"" + kind + "\"");
    }
    return e;
}

template<typename Handle>
void ForEachLine(const std::string& Source, const std::string& Description, Handle&& H)
{
    std::stringstream in(Description);
    std::string line;
    int no = 0;
    while (std::getline(in, line)) {
        ++no;
        auto words = Words(line, no);
        if (!words.empty())
            H(LineReader(Source, std::move(words), no));
    }
}

std::string ReadFile(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + Path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void Shift(GridRect& R, double Rows)
{
    R.Top += Rows;
    R.Bottom += Rows;
}

}  // namespace

Layout ParseLayout(const std::string& Name, const std::string& Description)
{
    Layout layout;
    layout.Name = Name;
    ForEachLine(Name, Description, [&](const LineReader& L) {
        size_t at = 0;
        std::string variant;
        if (L.Word(0)[0] == '@') {
            variant = L.Word(0).substr(1);
            at = 1;
        }
        Element e = ParseElement(L, at);
        e.Variant = variant;
        layout.Elements.push_back(std::move(e));
    });
    return layout;
}

std::vector<Overlay> ParseOverlayList(const std::string& Description)
{
    std::vector<Overlay> overlays;
    ForEachLine("overlay list", Description, [&](const LineReader& L) {
        Overlay o;
        o.FileName = L.Need(0);
        o.LayoutName = L.Need(1);
        o.Variant = L.Need(2);
        for (size_t i = 3; i < L.Count(); ++i)
            o.RowOffsets.push_back(L.Number(i));
        if (o.RowOffsets.empty())
            L.Fail("an overlay draws its form at one row offset at least");
        overlays.push_back(std::move(o));
    });
    return overlays;
}

const Layout& FormSet::LayoutNamed(const std::string& Name) const
{
    for (const Layout& l : Layouts)
        if (l.Name == Name)
            return l;
    throw std::runtime_error("no layout named " + Name);
}

FormSet LoadFormSet(const std::string& FormsDir)
{
    FormSet forms;
    forms.Overlays = ParseOverlayList(ReadFile(FormsDir + "/overlays.txt"));
    for (const Overlay& o : forms.Overlays) {
        bool known = false;
        for (const Layout& l : forms.Layouts)
            known = known || l.Name == o.LayoutName;
        if (!known)
            forms.Layouts.push_back(
                    ParseLayout(o.LayoutName, ReadFile(FormsDir + "/" + o.LayoutName + ".form")));
    }
    return forms;
}

Page BuildPage(const FormSet& Forms, const Overlay& Which)
{
    Page page;
    const Layout& layout = Forms.LayoutNamed(Which.LayoutName);
    const auto drawn = [&](const Element& e) { return e.Variant.empty() || e.Variant == Which.Variant; };
    for (const Element& e : layout.Elements)
        if (e.What == Element::Kind::Perforation && drawn(e))
            page.Perforations.push_back(e.AsPerforation);
    for (double offset : Which.RowOffsets) {
        for (const Element& e : layout.Elements) {
            if (!drawn(e))
                continue;
            switch (e.What) {
            case Element::Kind::Box:
                page.Boxes.push_back(e.AsBox);
                Shift(page.Boxes.back().Area, offset);
                break;
            case Element::Kind::Rule:
                page.Rules.push_back(e.AsRule);
                Shift(page.Rules.back().Area, offset);
                break;
            case Element::Kind::Shade:
                page.Shades.push_back(e.AsShade);
                Shift(page.Shades.back().Area, offset);
                break;
            case Element::Kind::Text:
                page.Texts.push_back(e.AsText);
                page.Texts.back().Row += offset;
                break;
            case Element::Kind::Perforation: break;
            }
        }
    }
    return page;
}

}  // namespace formimages
