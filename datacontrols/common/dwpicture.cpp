#include "datacontrols/common/dwpicture.h"

#include <cctype>
#include <cstring>

#include "platform/rtl/strutils.h"

namespace {

// A repetition count stops growing here; no text is that long.
constexpr int MaxRepeatCount = 1000000;

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

bool IsLetter(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') || code > 128;
}

// Escapes are honoured; brackets must close in order and all be closed; the picture
// must not end in an escape or a repetition.
bool SyntaxSound(const String& Pic)
{
    if (Pic.empty())
        return false;
    int brackets = 0, braces = 0;
    for (size_t i = 0; i < Pic.size(); ++i) {
        switch (Pic[i]) {
        case ';':
            if (++i == Pic.size())
                return false;
            break;
        case '*':
            if (i + 1 == Pic.size())
                return false;
            break;
        case '[': ++brackets; break;
        case ']':
            if (--brackets < 0)
                return false;
            break;
        case '{': ++braces; break;
        case '}':
            if (--braces < 0)
                return false;
            break;
        }
    }
    return brackets == 0 && braces == 0;
}

// One run of Match over a picture and a text; I and J are 1-based positions in them.
class TPictureMatch {
public:
    TPictureMatch(const String& Pic, String& Text) : FPic(Pic), FText(Text) { }

    int I = 1;
    int J = 1;

    int PicEnd() const { return static_cast<int>(FPic.size()) + 1; }
    char P(int i) const { return FPic[static_cast<size_t>(i - 1)]; }
    bool TextLeft() const { return J <= static_cast<int>(FText.size()); }

    // Tries the alternatives of the stretch from I to End.
    TdwPicResult Process(int End)
    {
        int startI = I, startJ = J;
        bool incomplete = false;
        int incompleteI = 0, incompleteJ = 0;
        bool trailingBlank = false;
        TdwPicResult result;
        for (;;) {
            result = Scan(End, trailingBlank);
            if ((result == prComplete || result == prAmbiguous) && incomplete && incompleteJ > J) {
                result = prIncomplete;
                I = incompleteI;
                J = incompleteJ;
            }
            if (result != prError && result != prIncomplete)
                break;
            if (result == prIncomplete && !incomplete) {
                incomplete = true;
                incompleteI = I;
                incompleteJ = J;
            }
            I = startI;
            J = startJ;
            if (!SkipToComma(End)) {
                if (incomplete) {
                    result = prIncomplete;
                    I = incompleteI;
                    J = incompleteJ;
                }
                return result;
            }
            startI = I;
        }
        return incomplete && result == prComplete ? prAmbiguous : result;
    }

private:
    void Consume(char Ch)
    {
        FText[static_cast<size_t>(J - 1)] = Ch;
        ++I;
        ++J;
    }

    // Walks one alternative.
    TdwPicResult Scan(int End, bool& TrailingBlank)
    {
        TdwPicResult result = prEmpty;
        while (I < End && P(I) != ',') {
            if (!TextLeft())
                return CheckComplete(result, End);
            const char c = FText[static_cast<size_t>(J - 1)];
            switch (P(I)) {
            case '#':
                if (!IsDigit(c))
                    return prError;
                Consume(c);
                break;
            case '?':
                if (!IsLetter(c))
                    return prError;
                Consume(c);
                break;
            case '&':
                if (!IsLetter(c))
                    return prError;
                Consume(AnsiUpperChar(c));
                break;
            case '~':
                if (!IsLetter(c))
                    return prError;
                Consume(AnsiLowerChar(c));
                break;
            case '!': Consume(AnsiUpperChar(c)); break;
            case '@': Consume(c); break;
            case '*':
                result = Iteration(End);
                if (result != prComplete && result != prAmbiguous)
                    return result;
                break;
            case '{':
                result = Group(End);
                if (result != prComplete && result != prAmbiguous)
                    return result;
                break;
            case '[':
                result = Group(End);
                if (result == prIncomplete || result == prIncompNoFill)
                    return result;
                if (result == prError)
                    result = prAmbiguous;
                break;
            default: {
                if (P(I) == ';')
                    ++I;
                const char literal = P(I);
                const bool lastChar = J == static_cast<int>(FText.size());
                if (AnsiUpperChar(c) == AnsiUpperChar(literal)) {
                    if (c == ' ' && lastChar)
                        TrailingBlank = true;
                } else if (!(c == ' ' && lastChar && !TrailingBlank)) {
                    return prError;
                }
                Consume(literal);
                break;
            }
            }
            result = result == prAmbiguous ? prIncompNoFill : prIncomplete;
        }
        return result == prIncompNoFill ? prAmbiguous : prComplete;
    }

    TdwPicResult Iteration(int End)
    {
        ++I;
        int count = 0;
        while (I < End && IsDigit(P(I))) {
            if (count < MaxRepeatCount)
                count = count * 10 + (P(I) - '0');
            ++I;
        }
        if (I >= End)
            return prSyntax;
        const int element = I;
        const int elementEnd = GroupEnd(I, End);
        TdwPicResult result = prEmpty;
        if (count > 0) {
            for (int n = 0; n < count; ++n) {
                I = element;
                result = Process(elementEnd);
                if (result != prComplete && result != prAmbiguous) {
                    if (result != prEmpty)
                        return result;
                    return P(I) == '[' ? prComplete : prIncomplete;
                }
            }
        } else {
            for (;;) {
                I = element;
                const int before = J;
                result = Process(elementEnd);
                if ((result != prComplete && result != prAmbiguous) || J == before)
                    break;
            }
            if (result == prEmpty || result == prError)
                result = prAmbiguous;
        }
        I = elementEnd;
        return result;
    }

    TdwPicResult Group(int End)
    {
        const int groupEnd = GroupEnd(I, End);
        ++I;
        const TdwPicResult result = Process(groupEnd - 1);
        if (result != prIncomplete && result != prIncompNoFill)
            I = groupEnd;
        return result;
    }

    // The text ran out at I: the rest of the stretch may still be optional.
    TdwPicResult CheckComplete(TdwPicResult Result, int End)
    {
        if (Result != prIncomplete && Result != prIncompNoFill)
            return Result;
        return Skippable(I, End) ? prAmbiguous : Result;
    }

    // Whether the picture from i to End can be left out entirely.
    bool Skippable(int i, int End) const
    {
        while (i < End) {
            switch (P(i)) {
            case '[': i = GroupEnd(i, End); break;
            case '*': {
                int k = i + 1;
                while (k < End && IsDigit(P(k)))
                    ++k;
                if (k == i + 1)
                    i = GroupEnd(i, End);
                else if (k < End && P(k) == '[')
                    i = GroupEnd(k, End);
                else
                    return false;
                break;
            }
            case ',': return true;
            case '{': {
                const int groupEnd = GroupEnd(i, End);
                if (!AlternativeSkippable(i + 1, groupEnd - 1))
                    return false;
                i = groupEnd;
                break;
            }
            default: return false;
            }
        }
        return true;
    }

    // Whether one of the alternatives between Start and End can be left out.
    bool AlternativeSkippable(int Start, int End) const
    {
        int i = Start;
        for (;;) {
            int alternativeEnd = i;
            while (alternativeEnd < End && P(alternativeEnd) != ',')
                alternativeEnd = GroupEnd(alternativeEnd, End);
            if (Skippable(i, alternativeEnd))
                return true;
            if (alternativeEnd >= End)
                return false;
            i = alternativeEnd + 1;
        }
    }

    // The position after the whole element at i, or End.
    int GroupEnd(int i, int End) const
    {
        int brackets = 0, braces = 0;
        do {
            if (i >= End)
                return End;
            switch (P(i)) {
            case ';': ++i; break;
            case '*':
                ++i;
                while (i < End && IsDigit(P(i)))
                    ++i;
                i = GroupEnd(i, End);
                continue;
            case '[': ++brackets; break;
            case ']': --brackets; break;
            case '{': ++braces; break;
            case '}': --braces; break;
            }
            ++i;
        } while (brackets != 0 || braces != 0);
        return i < End ? i : End;
    }

    // Steps over whole elements up to a ',' and over it; false when none is left.
    bool SkipToComma(int End)
    {
        while (I < End && P(I) != ',')
            I = GroupEnd(I, End);
        if (I < End)
            ++I;
        return I < End;
    }

    const String& FPic;
    String& FText;
};

}  // namespace

TdwPictureValidator::TdwPictureValidator(const String& Picture, bool AutoFill) : FPic(Picture)
{
    if (AutoFill)
        FOptions |= dwPicAutoFill;
    String empty;
    if (Match(empty, false) != prEmpty)
        FStatus = 1;
}

bool TdwPictureValidator::IsValidInput(String& Text, bool SuppressFill)
{
    return Match(Text, (FOptions & dwPicAutoFill) && !SuppressFill) != prError;
}

bool TdwPictureValidator::IsValid(const String& Text)
{
    String copy = Text;
    const TdwPicResult result = Match(copy, false);
    return result == prComplete || result == prEmpty;
}

TdwPicResult TdwPictureValidator::Match(String& Text, bool AutoFill)
{
    if (!SyntaxSound(FPic))
        return prSyntax;
    if (Text.empty())
        return prEmpty;
    TPictureMatch match(FPic, Text);
    TdwPicResult result = match.Process(match.PicEnd());
    if (result != prError && result != prSyntax && match.TextLeft())
        result = prError;
    if (result == prIncomplete && AutoFill) {
        bool appended = false;
        while (match.I < match.PicEnd() && !std::strchr("!#&*,?@[]{}~", match.P(match.I))) {
            if (match.P(match.I) == ';')
                ++match.I;
            Text += match.P(match.I);
            ++match.I;
            appended = true;
        }
        if (appended) {
            match.I = 1;
            match.J = 1;
            result = match.Process(match.PicEnd());
        }
    }
    if (result == prAmbiguous)
        return prComplete;
    if (result == prIncompNoFill)
        return prIncomplete;
    return result;
}
