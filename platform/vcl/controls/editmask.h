#pragma once
// The edit mask an edit types its text into: each position of the text is either a
// literal of the mask or a place for one character of a kind, which the typed character
// must be. The mask's own text is "mask;save;blank": after the mask, "0" when the edit's
// Text leaves the literals out ("1", the default, keeps them), and the character an empty
// place shows ("_" by default). In the mask: 0 a digit, 9 an optional digit, # an optional
// digit or sign, L a letter, l an optional letter, A a letter or digit, a an optional one,
// C any character, c an optional one; > upper-cases what follows, < lower-cases it, <>
// stops either; \ takes the next character as a literal, _ is a blank literal, ! is
// accepted and changes nothing; any other character is a literal.

#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"

// A text that fails its edit mask.
class EDBEditError : public Exception {
public:
    using Exception::Exception;
};

class TEditMask {
public:
    // An empty mask has no positions and changes no text.
    explicit TEditMask(const String& EditMask = String());

    bool Empty() const { return FPositions.empty(); }
    int Size() const { return static_cast<int>(FPositions.size()); }
    bool SavesLiterals() const { return FSavesLiterals; }
    char Blank() const { return FBlank; }

    bool IsLiteral(int Position) const;
    // Whether C may stand at Position, which is not a literal; C takes the case there.
    bool Accepts(int Position, char& C) const;
    // The first place for a character at or after Position (before it when going back);
    // -1 when there is none.
    int NextPlace(int Position) const;
    int PreviousPlace(int Position) const;

    // The text shown for a Text: its characters in the places, in order (after the
    // literals too when the mask keeps them), a space or a character that does not fit a
    // place leaving it empty.
    String Format(const String& Text) const;
    // The Text of a shown text: the characters of the places, an empty one as a space,
    // with the literals when the mask keeps them; empty when no place is filled.
    String TextOf(const String& Shown) const;
    // Every place a character must fill is filled, or none is (no value at all).
    bool IsComplete(const String& Shown) const;
    // Raises EDBEditError when the shown text is not complete.
    void Validate(const String& Shown) const;

private:
    enum TPlace { mpLiteral, mpDigit, mpDigitOrSign, mpLetter, mpLetterOrDigit, mpAny };
    enum TCase { mcNone, mcUpper, mcLower };
    struct TPosition {
        TPlace Place = mpLiteral;
        bool Required = false;
        TCase Case = mcNone;
        char Literal = 0;
    };

    std::vector<TPosition> FPositions;
    bool FSavesLiterals = true;
    char FBlank = '_';
};
