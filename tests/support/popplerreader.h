#pragma once
// What an independent reader, poppler's command-line tools, sees in a PDF file:
// its page count and page sizes, its text, its embedded images, a rendered page.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <QImage>

namespace poppler {

// The command's standard output, with its error output when asked ("" when it
// could not run).
inline std::string Run(const std::string& Command, bool WithErrors = false)
{
    std::string out;
    if (FILE* pipe = ::popen((Command + (WithErrors ? " 2>&1" : " 2>/dev/null")).c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

inline std::string Quoted(const std::string& Path) { return "'" + Path + "'"; }

// The lines of pdfinfo's report that begin with Prefix, each without the text up
// to its first ": " and the blanks after it.
inline std::vector<std::string> InfoLines(const std::string& Pdf, const std::string& Prefix,
                                          const std::string& Options = "")
{
    std::vector<std::string> values;
    const std::string info = Run("pdfinfo " + Options + Quoted(Pdf));
    for (size_t at = 0; at < info.size();) {
        const size_t end = std::min(info.find('\n', at), info.size());
        const std::string line = info.substr(at, end - at);
        const size_t colon = line.find(": ");
        if (line.rfind(Prefix, 0) == 0 && colon != std::string::npos)
            values.push_back(line.substr(line.find_first_not_of(' ', colon + 1)));
        at = end + 1;
    }
    return values;
}

// The page count pdfinfo reads, -1 when it reads none. It refuses a page tree
// without pages with "Invalid page count 0", which is the count 0.
inline int PageCount(const std::string& Pdf)
{
    const std::vector<std::string> pages = InfoLines(Pdf, "Pages:");
    if (!pages.empty())
        return std::stoi(pages[0]);
    return Run("pdfinfo " + Quoted(Pdf), true).find("Invalid page count 0") != std::string::npos ? 0 : -1;
}

// Each page's size as pdfinfo gives it ("612 x 792 pts (letter)").
inline std::vector<std::string> PageSizes(const std::string& Pdf)
{
    std::vector<std::string> sizes;
    for (const std::string& line : InfoLines(Pdf, "Page ", "-f 1 -l 9999 "))
        if (line.find(" pts") != std::string::npos)
            sizes.push_back(line);
    return sizes;
}

// The text of one page (from 1), or of all pages with Page 0, in reading order.
inline std::string Text(const std::string& Pdf, int Page = 0)
{
    const std::string range = Page > 0 ? " -f " + std::to_string(Page) + " -l " + std::to_string(Page) : "";
    return Run("pdftotext -layout" + range + " " + Quoted(Pdf) + " -");
}

// The number of images the file embeds.
inline int ImageCount(const std::string& Pdf)
{
    const std::string list = Run("pdfimages -list " + Quoted(Pdf));
    int lines = 0;
    for (char c : list)
        lines += c == '\n';
    return list.empty() ? -1 : lines - 2;  // two header lines
}

// Page (from 1) rendered at Dpi into Png, and loaded.
inline QImage Render(const std::string& Pdf, int Page, int Dpi, const std::string& Png)
{
    const std::string stem = Png.substr(0, Png.size() - 4);
    Run("pdftoppm -png -singlefile -r " + std::to_string(Dpi) + " -f " + std::to_string(Page) + " -l " +
        std::to_string(Page) + " " + Quoted(Pdf) + " " + Quoted(stem));
    return QImage(QString::fromStdString(Png));
}

}  // namespace poppler
