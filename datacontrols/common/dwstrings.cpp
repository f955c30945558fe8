#include "datacontrols/common/dwstrings.h"

#include <algorithm>

#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"

void dwGetToken(const String& Text, const String& Delim, int& Pos, String& Token)
{
    Token.clear();
    if (Pos <= 0)
        return;
    if (Pos > static_cast<int>(Text.size())) {
        Pos = -1;
        return;
    }
    const String rest = Copy(Text, Pos, static_cast<int>(Text.size()));
    int found;
    int delimLength;
    if (Delim.size() == 1) {
        found = ::Pos(Delim, rest);
        delimLength = 1;
    } else {
        const String word = " " + AnsiUpperCase(Delim) + " ";
        found = ::Pos(word, AnsiUpperCase(rest));
        delimLength = static_cast<int>(word.size());
    }
    if (found == 0) {
        Token = rest;
        Pos = -1;
        return;
    }
    Token = Copy(rest, 1, found - 1);
    Pos += found - 1 + delimLength;
}

void dwReadToken(const String& Text, int& Pos, int Options, String& Token, const String& Delims)
{
    Token.clear();
    const int length = static_cast<int>(Text.size());
    if (Pos < 1 || Pos > length)
        return;
    auto at = [&](int i) { return Text[static_cast<size_t>(i - 1)]; };
    if (Options & rtSkipBlanks) {
        while (Pos <= length && (at(Pos) == ' ' || at(Pos) == '\t'))
            ++Pos;
        if (Pos > length)
            return;
    }
    if ((Options & rtQuoted) && at(Pos) == '"') {
        const size_t close = Text.find('"', static_cast<size_t>(Pos));
        const int end = close == String::npos ? length + 1 : static_cast<int>(close) + 2;
        Token = Copy(Text, Pos, end - Pos);
        Pos = end;
        if (Options & rtStripQuotes) {
            auto isQuote = [](char c) { return c == '"' || c == '\''; };
            if (!Token.empty() && isQuote(Token.front()))
                Token.erase(0, 1);
            if (!Token.empty() && isQuote(Token.back()))
                Token.pop_back();
        }
        return;
    }
    int end = Pos;
    while (end <= length) {
        const char c = at(end);
        if (Delims.find(c) != String::npos || static_cast<unsigned char>(c) < ' ')
            break;
        if (c == ' ' && !(Options & rtKeepBlanks))
            break;
        ++end;
    }
    if (end == Pos) {
        Token = String(1, at(Pos));
        ++Pos;
        return;
    }
    Token = Copy(Text, Pos, end - Pos);
    Pos = end;
}

void dwSplitToStrings(const String& Text, char Delim, TStrings* Lines)
{
    Lines->Clear();
    size_t start = 0;
    for (;;) {
        const size_t found = Text.find(Delim, start);
        if (found == String::npos) {
            Lines->Add(Text.substr(start));
            return;
        }
        Lines->Add(Text.substr(start, found - start));
        start = found + 1;
    }
}

void dwTrimTrailingChars(String& Text, const String& CharSet)
{
    const size_t last = Text.find_last_not_of(CharSet);
    Text.erase(last == String::npos ? 0 : last + 1);
}

String dwReplaceChar(const String& Text, char FromChar, char ToChar)
{
    String result = Text;
    std::replace(result.begin(), result.end(), FromChar, ToChar);
    return result;
}

bool dwSameText(const String& A, const String& B) { return AnsiUpperCase(A) == AnsiUpperCase(B); }

int dwCountChar(const String& Text, char Ch)
{
    return static_cast<int>(std::count(Text.begin(), Text.end(), Ch));
}

int dwMaxInt(int A, int B) { return std::max(A, B); }

String dwTextAfterChar(const String& Text, char Ch)
{
    const size_t found = Text.find(Ch);
    return found == String::npos ? String() : Text.substr(found + 1);
}

String dwTextBeforeChar(const String& Text, char Ch)
{
    const size_t found = Text.find(Ch);
    return found == String::npos ? String() : Text.substr(0, found);
}

String dwExtractFileBaseName(const String& Path)
{
    const size_t slash = Path.find_last_of("/\\");
    const String name = slash == String::npos ? Path : Path.substr(slash + 1);
    return dwTextBeforeChar(name, '.');
}
