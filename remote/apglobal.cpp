#include "remote/apglobal.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strutils.h"

void StreamWrite(TStream& Stream, const String& Text)
{
    if (!Text.empty())
        Stream.WriteBuffer(Text.data(), static_cast<Int64>(Text.size()));
}

void StreamWriteLn(TStream& Stream, const String& Text) { StreamWrite(Stream, Text + "\r\n"); }

bool StreamEOF(TStream& Stream) { return Stream.Size() > 0 && Stream.Position() >= Stream.Size(); }

namespace {
void CheckNotAtEnd(TStream& Stream)
{
    if (Stream.Position() >= Stream.Size())
        throw Exception("Input past end of stream");
}

// After a carriage return at the stream's position: consumes a line feed.
void SkipLineFeed(TStream& Stream)
{
    char ch = 0;
    if (Stream.Read(&ch, 1) == 1 && ch != '\n')
        Stream.Seek(-1, soFromCurrent);
}

// Reads blocks of up to Block characters until a carriage return or MaxLength
// characters; leaves the stream right after the line end.
String ReadLineInBlocks(TStream& Stream, int Block, int MaxLength, bool& Found)
{
    CheckNotAtEnd(Stream);
    String line;
    Found = false;
    char buffer[256];
    while (static_cast<int>(line.size()) < MaxLength) {
        const int want = std::min(Block, MaxLength - static_cast<int>(line.size()));
        const Int64 got = Stream.Read(buffer, want);
        if (got <= 0)
            break;
        const String piece(buffer, static_cast<size_t>(got));
        const size_t cr = piece.find('\r');
        if (cr != String::npos) {
            line += piece.substr(0, cr);
            Stream.Seek(static_cast<Int64>(cr) + 1 - got, soFromCurrent);
            SkipLineFeed(Stream);
            Found = true;
            break;
        }
        line += piece;
    }
    return line;
}
}  // namespace

String StreamReadLn(TStream& Stream)
{
    CheckNotAtEnd(Stream);
    String line;
    char ch = 0;
    while (Stream.Read(&ch, 1) == 1) {
        if (ch == '\r') {
            SkipLineFeed(Stream);
            break;
        }
        line += ch;
    }
    return line;
}

String StreamReadShortLn(TStream& Stream)
{
    bool found = false;
    String line;
    do
        line += ReadLineInBlocks(Stream, 254, 1 << 30, found);
    while (!found && Stream.Position() < Stream.Size());
    return line;
}

String StreamReadLongLn(TStream& Stream, bool& Found, int MaxLength)
{
    return ReadLineInBlocks(Stream, 254, MaxLength, Found);
}

String StreamReadXChars(TStream& Stream, int Count)
{
    String text(static_cast<size_t>(std::max(Count, 0)), '\0');
    Stream.ReadBuffer(text.data(), static_cast<Int64>(text.size()));
    return text;
}

int RPos(const String& Sub, const String& Text, int Start)
{
    const int last = static_cast<int>(Text.size()) - static_cast<int>(Sub.size()) + 1;
    int from = Start < 0 ? last : std::min(Start, last);
    for (int i = from; i >= 1; --i)
        if (Text.compare(static_cast<size_t>(i - 1), Sub.size(), Sub) == 0)
            return i;
    return 0;
}

int PosInStrArray(const String& Text, std::initializer_list<const char*> Array)
{
    int i = 0;
    for (const char* item : Array) {
        if (Text == item)
            return i;
        ++i;
    }
    return -1;
}

int StrToMonth(const String& Text)
{
    const int i = PosInStrArray(UpperCase(Text), {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG",
                                                  "SEP", "OCT", "NOV", "DEC"});
    return i + 1;
}

int StrToDay(const String& Text)
{
    return PosInStrArray(UpperCase(Text), {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"}) + 1;
}

String UpcaseFirst(const String& Text)
{
    String text = AnsiLowerCase(Text);
    if (!text.empty())
        text[0] = AnsiUpperChar(text[0]);
    return text;
}

bool IsNumeric(char Ch)
{
    const auto c = static_cast<unsigned char>(Ch);
    return std::isalnum(c) && !std::isalpha(c);
}

String StringReplace(const String& Text, const String& Old, const String& New, TReplaceFlags Flags)
{
    if (Old.empty())
        return Text;
    const String haystack = Flags & rfIgnoreCase ? AnsiUpperCase(Text) : Text;
    const String needle = Flags & rfIgnoreCase ? AnsiUpperCase(Old) : Old;
    String result;
    size_t from = 0;
    for (;;) {
        const size_t at = haystack.find(needle, from);
        if (at == String::npos)
            break;
        result += Text.substr(from, at - from) + New;
        from = at + Old.size();
        if (!(Flags & rfReplaceAll))
            break;
    }
    return result + Text.substr(from);
}

String NoAngleBrackets(const String& Text)
{
    String text = Text;
    if (!text.empty() && text.front() == '<')
        text.erase(0, 1);
    if (!text.empty() && text.back() == '>')
        text.pop_back();
    return text;
}

String TabPAD(const String& Text)
{
    String text = Text + ' ';
    while (text.size() % 8)
        text += ' ';
    return text;
}

String Pad10(Int64 Number)
{
    const String digits = IntToStr(Number);
    return digits.size() >= 10 ? digits : String(10 - digits.size(), '0') + digits;
}

double OffsetFromUTC()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    if (!localtime_r(&now, &local))
        throw Exception("Failed attempting to retrieve time zone information.");
    const long minutes = local.tm_gmtoff / 60;
    const double magnitude = (std::labs(minutes) / 60 + (std::labs(minutes) % 60) / 60.0) / 24.0;
    return minutes < 0 ? -magnitude : magnitude;
}
