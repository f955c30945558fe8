#pragma once
// Splits expression text into tokens.

#include <string_view>

#include "platform/rtl/types.h"

namespace xbexpr {

enum class Tok {
    End,
    Number,
    String,
    Ident,
    True,
    False,
    LParen,
    RParen,
    Comma,
    Arrow,
    Plus,
    Minus,
    Star,
    Slash,
    Percent,
    Power,
    Equal,
    ExactEqual,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    Dollar,
    And,
    Or,
    Not,
    Bad,
};

struct Token {
    Tok kind = Tok::End;
    std::string_view text;  // identifier, number or the string literal's contents
    size_t position = 0;    // 1-based position in the expression text
};

class Lexer {
public:
    explicit Lexer(std::string_view text) : FText(text) { }
    // The next token; Tok::Bad for a character or literal that cannot start one.
    Token Next();

private:
    Token DotWord(size_t start);

    std::string_view FText;
    size_t FPos = 0;
};

}  // namespace xbexpr
