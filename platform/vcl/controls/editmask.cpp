#include "platform/vcl/controls/editmask.h"

#include "platform/rtl/strutils.h"

namespace {

// A letter of Windows-1252, as the edits' letter places take them.
bool IsLetter(char C)
{
    const auto u = static_cast<unsigned char>(C);
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z'))
        return true;
    if (u == 0x8A || u == 0x8C || u == 0x8E || u == 0x9A || u == 0x9C || u == 0x9E || u == 0x9F)
        return true;
    return u >= 0xC0 && u != 0xD7 && u != 0xF7;
}

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// Where the mask's fields part: the last one or two ';' not taken as literals.
std::vector<String> MaskFields(const String& EditMask)
{
    std::vector<String> fields(1);
    for (size_t i = 0; i < EditMask.size(); ++i) {
        const char c = EditMask[i];
        if (c == '\\' && i + 1 < EditMask.size() && fields.size() == 1) {
            fields.back() += c;
            fields.back() += EditMask[++i];
        } else if (c == ';' && fields.size() < 3) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

}  // namespace

TEditMask::TEditMask(const String& EditMask)
{
    const std::vector<String> fields = MaskFields(EditMask);
    if (fields.size() > 1 && !fields[1].empty())
        FSavesLiterals = fields[1][0] != '0';
    if (fields.size() > 2 && !fields[2].empty())
        FBlank = fields[2][0];
    const String& mask = fields[0];
    TCase current = mcNone;
    for (size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        TPosition position;
        position.Case = current;
        switch (c) {
        case '!': continue;
        case '>': current = mcUpper; continue;
        case '<':
            if (i + 1 < mask.size() && mask[i + 1] == '>') {
                current = mcNone;
                ++i;
            } else {
                current = mcLower;
            }
            continue;
        case '\\':
            if (++i >= mask.size())
                continue;
            position.Literal = mask[i];
            break;
        case '_': position.Literal = ' '; break;
        case '0':
            position.Place = mpDigit;
            position.Required = true;
            break;
        case '9': position.Place = mpDigit; break;
        case '#': position.Place = mpDigitOrSign; break;
        case 'L':
            position.Place = mpLetter;
            position.Required = true;
            break;
        case 'l': position.Place = mpLetter; break;
        case 'A':
            position.Place = mpLetterOrDigit;
            position.Required = true;
            break;
        case 'a': position.Place = mpLetterOrDigit; break;
        case 'C':
            position.Place = mpAny;
            position.Required = true;
            break;
        case 'c': position.Place = mpAny; break;
        default: position.Literal = c; break;
        }
        FPositions.push_back(position);
    }
}

bool TEditMask::IsLiteral(int Position) const
{
    return Position < 0 || Position >= Size() || FPositions[static_cast<size_t>(Position)].Place == mpLiteral;
}

bool TEditMask::Accepts(int Position, char& C) const
{
    if (IsLiteral(Position))
        return false;
    const TPosition& position = FPositions[static_cast<size_t>(Position)];
    bool fits = false;
    switch (position.Place) {
    case mpDigit: fits = IsDigit(C); break;
    case mpDigitOrSign: fits = IsDigit(C) || C == '+' || C == '-'; break;
    case mpLetter: fits = IsLetter(C); break;
    case mpLetterOrDigit: fits = IsLetter(C) || IsDigit(C); break;
    case mpAny: fits = static_cast<unsigned char>(C) >= 32; break;
    case mpLiteral: break;
    }
    if (!fits)
        return false;
    if (position.Case == mcUpper)
        C = AnsiUpperCase(String(1, C))[0];
    else if (position.Case == mcLower)
        C = AnsiLowerCase(String(1, C))[0];
    return true;
}

int TEditMask::NextPlace(int Position) const
{
    for (int i = std::max(0, Position); i < Size(); ++i)
        if (!IsLiteral(i))
            return i;
    return -1;
}

int TEditMask::PreviousPlace(int Position) const
{
    for (int i = std::min(Position, Size()) - 1; i >= 0; --i)
        if (!IsLiteral(i))
            return i;
    return -1;
}

String TEditMask::Format(const String& Text) const
{
    String shown;
    size_t next = 0;
    for (int i = 0; i < Size(); ++i) {
        const TPosition& position = FPositions[static_cast<size_t>(i)];
        if (position.Place == mpLiteral) {
            if (FSavesLiterals && next < Text.size() && Text[next] == position.Literal)
                ++next;
            shown += position.Literal;
            continue;
        }
        char c = next < Text.size() ? Text[next++] : ' ';
        shown += c != ' ' && Accepts(i, c) ? c : FBlank;
    }
    return shown;
}

String TEditMask::TextOf(const String& Shown) const
{
    String text;
    bool filled = false;
    for (int i = 0; i < Size(); ++i) {
        const char c = static_cast<size_t>(i) < Shown.size() ? Shown[static_cast<size_t>(i)] : FBlank;
        if (IsLiteral(i)) {
            if (FSavesLiterals)
                text += FPositions[static_cast<size_t>(i)].Literal;
        } else if (c == FBlank) {
            text += ' ';
        } else {
            text += c;
            filled = true;
        }
    }
    return filled ? text : String();
}

bool TEditMask::IsComplete(const String& Shown) const
{
    // An empty text is no value, which any mask lets be.
    if (TextOf(Shown).empty())
        return true;
    for (int i = 0; i < Size(); ++i) {
        if (IsLiteral(i) || !FPositions[static_cast<size_t>(i)].Required)
            continue;
        if (static_cast<size_t>(i) >= Shown.size() || Shown[static_cast<size_t>(i)] == FBlank)
            return false;
    }
    return true;
}

void TEditMask::Validate(const String& Shown) const
{
    if (!IsComplete(Shown))
        throw EDBEditError("Invalid input value.  Use escape key to abandon changes.");
}
