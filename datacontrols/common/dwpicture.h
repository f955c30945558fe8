#pragma once
// The picture-mask validator: whether a text fits a picture, converting case,
// turning a trailing blank into the expected literal and, with auto-fill, appending
// the literals the picture requires next.
//
// Picture characters: # digit, ? letter, & letter to upper case, ~ letter to lower
// case, ! any character to upper case, @ any character, *n repeat the next element n
// times (any number of times without n), [ ] optional group, { } group, ',' between
// alternatives, ';' takes the next character literally; anything else is a literal,
// matched ignoring case.

#include "platform/classes/object.h"

// Results of Match; callers compare against these numbers.
enum TdwPicResult {
    prComplete = 0,
    prIncomplete = 1,
    prEmpty = 2,
    prError = 3,
    prSyntax = 4,
    // Used while matching only; Match reports them as prComplete and prIncomplete.
    prAmbiguous = 5,
    prIncompNoFill = 6,
};

constexpr Word dwPicAutoFill = 1;

class TdwPictureValidator : public TObject {
public:
    TdwPictureValidator(const String& Picture, bool AutoFill);

    String ClassName() const override { return "TdwPictureValidator"; }

    // 0 for a sound picture, 1 for a malformed one (an empty picture included).
    Word Status() const { return FStatus; }
    Word Options() const { return FOptions; }
    const String& Picture() const { return FPic; }

    // Matches with auto-fill when the option is on and SuppressFill is false; true
    // unless the text cannot fit. Text is rewritten in place.
    virtual bool IsValidInput(String& Text, bool SuppressFill);
    // True when a copy of Text fills the picture or is empty.
    virtual bool IsValid(const String& Text);
    virtual TdwPicResult Match(String& Text, bool AutoFill);

private:
    Word FStatus = 0;
    Word FOptions = 0;
    String FPic;
};
