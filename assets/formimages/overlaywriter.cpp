#include "assets/formimages/overlaywriter.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace formimages {
namespace {

const std::string Esc = "\x1b";
// Captions sit this far inside their box, in dots, and their lines are this far apart.
constexpr int CaptionInset = 6;
constexpr double CaptionPoints = 6;
constexpr double LineSpacing = 1.15;
// A generous average width of the caption typeface's characters, as a share of its
// size: how far across a caption is taken to reach.
constexpr double AverageWidthEm = 0.56;
// A perforation is drawn as dashes of a hairline across the print area's 8 inches.
constexpr int PerforationDashDots = 24;
constexpr int PerforationGapDots = 12;
constexpr int PerforationThicknessDots = 2;
constexpr int PrintAreaWidthDots = 80 * DotsPerColumn;

int Dots(double Units, int PerUnit) { return static_cast<int>(std::lround(Units * PerUnit)); }

int PointsToDots(double Points) { return static_cast<int>(std::lround(Points * 300.0 / 72.0)); }

// The distance from the top of a line of text to its baseline, and from the baseline
// to the bottom of its descenders.
int AscentDots(double Points) { return static_cast<int>(std::lround(Points * 0.78 * 300.0 / 72.0)); }
int DescentDots(double Points) { return static_cast<int>(std::lround(Points * 0.22 * 300.0 / 72.0)); }

std::string Number(double Value)
{
    if (Value == std::floor(Value))
        return std::to_string(static_cast<long long>(Value));
    std::string s = std::to_string(Value);
    s.erase(s.find_last_not_of('0') + 1);
    return s;
}

class PclPage {
public:
    PclPage()
    {
        // Letter, portrait, no top margin: rows count from the top of the paper.
        FOut = Esc + "&l2A" + Esc + "&l0O" + Esc + "&l0E" + Esc + "(19U";
    }

    void Rectangle(int X, int Y, int Width, int Height, const std::string& Fill)
    {
        if (Width <= 0 || Height <= 0)
            return;
        MoveTo(std::max(X, 0), std::max(Y, 0));
        FOut += Esc + "*c" + std::to_string(Width) + "a" + std::to_string(Height) + "b" + Fill;
    }

    void Text(int X, int Baseline, double Points, Weight W, const std::string& Value)
    {
        MoveTo(X, Baseline);
        Font(Points, W);
        Append(Value);
    }

    // Continues the line just written in another weight.
    void MoreText(double Points, Weight W, const std::string& Value)
    {
        Font(Points, W);
        Append(Value);
    }

    std::string Finish()
    {
        // The data that follows is placed by row and column in 10-pitch Courier.
        FOut += Esc + "&l6D" + Esc + "(19U" + Esc + "(s0p10h12v0s0b4099T" + Esc + "&alrC";
        return FOut;
    }

private:
    void MoveTo(int X, int Y) { FOut += Esc + "*p" + std::to_string(X) + "x" + std::to_string(Y) + "Y"; }

    void Font(double Points, Weight W)
    {
        if (Points == FPoints && W == FWeight)
            return;
        FPoints = Points;
        FWeight = W;
        FOut += Esc + "(s1p" + Number(Points) + "v0s" + (W == Weight::Bold ? "3" : "0") + "b4148T";
    }

    void Append(const std::string& Value)
    {
        for (unsigned char c : Value)
            if (c < 0x20 || c == 0x7F)
                throw std::runtime_error("a form text holds a control byte: " + Value);
        FOut += Value;
    }

    std::string FOut;
    double FPoints = 0;
    Weight FWeight = Weight::Regular;
};

void DrawRule(PclPage& Out, const Rule& R)
{
    const GridRect& a = R.Area;
    int half = R.ThicknessDots / 2;
    int x = Dots(a.Left, DotsPerColumn), y = Dots(a.Top, DotsPerRow);
    if (a.Top == a.Bottom)
        Out.Rectangle(x - half, y - half, Dots(a.Right, DotsPerColumn) - x + R.ThicknessDots, R.ThicknessDots,
                      "0P");
    else
        Out.Rectangle(x - half, y - half, R.ThicknessDots, Dots(a.Bottom, DotsPerRow) - y + R.ThicknessDots,
                      "0P");
}

void DrawPerforation(PclPage& Out, const Perforation& P)
{
    const int y = Dots(P.Row, DotsPerRow) - PerforationThicknessDots / 2;
    for (int x = 0; x < PrintAreaWidthDots; x += PerforationDashDots + PerforationGapDots)
        Out.Rectangle(x, y, std::min(PerforationDashDots, PrintAreaWidthDots - x), PerforationThicknessDots,
                      "0P");
}

int CaptionLinePitchDots()
{
    return static_cast<int>(std::lround(PointsToDots(CaptionPoints) * LineSpacing));
}

// The baseline of a box's caption line, in dots: the lines hang from the top rule, or
// stand on the bottom rule for a caption at the foot.
int CaptionBaseline(const Box& B, size_t Line)
{
    const int pitch = CaptionLinePitchDots();
    if (!B.CaptionAtFoot)
        return Dots(B.Area.Top, DotsPerRow) + CaptionInset + AscentDots(CaptionPoints) +
               static_cast<int>(Line) * pitch;
    const int linesBelow = static_cast<int>(B.CaptionLines.size() - 1 - Line);
    return Dots(B.Area.Bottom, DotsPerRow) - CaptionInset - DescentDots(CaptionPoints) - linesBelow * pitch;
}

// A box number: one or two digits and at most one letter ("1", "15a"; not "2nd" or
// a form number such as "1098").
bool IsBoxNumber(const std::string& Word)
{
    const size_t digits = std::min(Word.find_first_not_of("0123456789"), Word.size());
    return digits >= 1 && digits <= 2 && Word.size() - digits <= 1;
}

// A caption line whose first word is a box number prints that word bold.
void DrawCaptionLine(PclPage& Out, int X, int Baseline, const std::string& Line)
{
    size_t blank = Line.find(' ');
    bool numbered = blank != std::string::npos && IsBoxNumber(Line.substr(0, blank));
    if (!numbered) {
        Out.Text(X, Baseline, CaptionPoints, Weight::Regular, Line);
        return;
    }
    Out.Text(X, Baseline, CaptionPoints, Weight::Bold, Line.substr(0, blank));
    Out.MoreText(CaptionPoints, Weight::Regular, Line.substr(blank));
}

void DrawBox(PclPage& Out, const Box& B)
{
    const GridRect& a = B.Area;
    if (B.Framed) {
        DrawRule(Out, Rule {{a.Top, a.Left, a.Top, a.Right}, 3});
        DrawRule(Out, Rule {{a.Bottom, a.Left, a.Bottom, a.Right}, 3});
        DrawRule(Out, Rule {{a.Top, a.Left, a.Bottom, a.Left}, 3});
        DrawRule(Out, Rule {{a.Top, a.Right, a.Bottom, a.Right}, 3});
    }
    const int x = Dots(a.Left, DotsPerColumn) + CaptionInset;
    for (size_t i = 0; i < B.CaptionLines.size(); ++i)
        if (!B.CaptionLines[i].empty())
            DrawCaptionLine(Out, x, CaptionBaseline(B, i), B.CaptionLines[i]);
}

}  // namespace

std::vector<GridRect> CaptionAreas(const Box& B)
{
    std::vector<GridRect> areas;
    const double left = B.Area.Left + static_cast<double>(CaptionInset) / DotsPerColumn;
    for (size_t i = 0; i < B.CaptionLines.size(); ++i) {
        const std::string& line = B.CaptionLines[i];
        if (line.empty())
            continue;
        const int baseline = CaptionBaseline(B, i);
        const bool descends = line.find_first_of("gjpqy,;()") != std::string::npos;
        const double width = static_cast<double>(line.size()) * CaptionPoints * AverageWidthEm / 72 * 10;
        areas.push_back(
                {static_cast<double>(baseline - AscentDots(CaptionPoints)) / DotsPerRow, left,
                 static_cast<double>(baseline + (descends ? DescentDots(CaptionPoints) : 0)) / DotsPerRow,
                 left + width});
    }
    return areas;
}

std::string WriteOverlay(const Page& P)
{
    PclPage out;
    // Shading first, so that rules and texts stay on top of it.
    for (const Shade& s : P.Shades) {
        int x = Dots(s.Area.Left, DotsPerColumn), y = Dots(s.Area.Top, DotsPerRow);
        out.Rectangle(x, y, Dots(s.Area.Right, DotsPerColumn) - x, Dots(s.Area.Bottom, DotsPerRow) - y,
                      std::to_string(s.Percent) + "g2P");
    }
    for (const Rule& r : P.Rules)
        DrawRule(out, r);
    for (const Perforation& p : P.Perforations)
        DrawPerforation(out, p);
    for (const Box& b : P.Boxes)
        DrawBox(out, b);
    for (const Text& t : P.Texts)
        out.Text(Dots(t.Column, DotsPerColumn), Dots(t.Row, DotsPerRow) + AscentDots(t.Points), t.Points,
                 t.FontWeight, t.Value);
    return out.Finish();
}

}  // namespace formimages
