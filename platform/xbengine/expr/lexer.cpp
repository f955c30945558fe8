#include "platform/xbengine/expr/lexer.h"

#include "platform/rtl/strutils.h"

namespace xbexpr {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool SameWord(std::string_view word, std::string_view upper)
{
    if (word.size() != upper.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (AnsiUpperChar(word[i]) != upper[i])
            return false;
    return true;
}

}  // namespace

// ".T.", ".F.", ".Y.", ".N.", ".AND.", ".OR.", ".NOT."; FPos is on the first dot.
Token Lexer::DotWord(size_t start)
{
    size_t i = FPos + 1;
    while (i < FText.size() && IsLetter(FText[i]))
        ++i;
    if (i >= FText.size() || FText[i] != '.')
        return {Tok::Bad, {}, start + 1};
    const std::string_view word = FText.substr(FPos + 1, i - FPos - 1);
    Tok kind;
    if (SameWord(word, "T") || SameWord(word, "Y"))
        kind = Tok::True;
    else if (SameWord(word, "F") || SameWord(word, "N"))
        kind = Tok::False;
    else if (SameWord(word, "AND"))
        kind = Tok::And;
    else if (SameWord(word, "OR"))
        kind = Tok::Or;
    else if (SameWord(word, "NOT"))
        kind = Tok::Not;
    else
        return {Tok::Bad, {}, start + 1};
    FPos = i + 1;
    return {kind, {}, start + 1};
}

Token Lexer::Next()
{
    while (FPos < FText.size() && IsBlank(FText[FPos]))
        ++FPos;
    const size_t start = FPos;
    if (FPos >= FText.size())
        return {Tok::End, {}, start + 1};
    const char c = FText[FPos];
    const char next = FPos + 1 < FText.size() ? FText[FPos + 1] : '\0';
    auto simple = [&](Tok kind, size_t length) {
        FPos += length;
        return Token {kind, {}, start + 1};
    };

    if (IsDigit(c) || (c == '.' && IsDigit(next))) {
        while (FPos < FText.size() && IsDigit(FText[FPos]))
            ++FPos;
        if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsDigit(FText[FPos + 1])) {
            ++FPos;
            while (FPos < FText.size() && IsDigit(FText[FPos]))
                ++FPos;
        }
        return {Tok::Number, FText.substr(start, FPos - start), start + 1};
    }
    if (IsLetter(c)) {
        while (FPos < FText.size() && (IsLetter(FText[FPos]) || IsDigit(FText[FPos])))
            ++FPos;
        return {Tok::Ident, FText.substr(start, FPos - start), start + 1};
    }
    if (c == '"' || c == '\'' || c == '[') {
        const char close = c == '[' ? ']' : c;
        const size_t end = FText.find(close, FPos + 1);
        if (end == std::string_view::npos)
            return {Tok::Bad, {}, start + 1};
        FPos = end + 1;
        return {Tok::String, FText.substr(start + 1, end - start - 1), start + 1};
    }
    switch (c) {
    case '.': return DotWord(start);
    case '(': return simple(Tok::LParen, 1);
    case ')': return simple(Tok::RParen, 1);
    case ',': return simple(Tok::Comma, 1);
    case '+': return simple(Tok::Plus, 1);
    case '-': return next == '>' ? simple(Tok::Arrow, 2) : simple(Tok::Minus, 1);
    case '*': return next == '*' ? simple(Tok::Power, 2) : simple(Tok::Star, 1);
    case '/': return simple(Tok::Slash, 1);
    case '%': return simple(Tok::Percent, 1);
    case '^': return simple(Tok::Power, 1);
    case '$': return simple(Tok::Dollar, 1);
    case '#': return simple(Tok::NotEqual, 1);
    case '=': return next == '=' ? simple(Tok::ExactEqual, 2) : simple(Tok::Equal, 1);
    case '!': return next == '=' ? simple(Tok::NotEqual, 2) : simple(Tok::Not, 1);
    case '<':
        if (next == '>')
            return simple(Tok::NotEqual, 2);
        return next == '=' ? simple(Tok::LessEqual, 2) : simple(Tok::Less, 1);
    case '>': return next == '=' ? simple(Tok::GreaterEqual, 2) : simple(Tok::Greater, 1);
    default: return {Tok::Bad, {}, start + 1};
    }
}

}  // namespace xbexpr
