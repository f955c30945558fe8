#include "platform/rtl/texthelpers.h"

#include <climits>
#include <cmath>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/twodigityear.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(const String& text)
{
    for (char c : text) {
        if (!IsDigit(c))
            return false;
    }
    return true;
}

// The nine digits of the text split into two or three groups joined by hyphens, or
// the text itself when it does not hold exactly nine digits.
String NineDigitsGrouped(const String& text, int first, int second)
{
    const String digits = DigitsOnly(text);
    if (digits.size() != 9)
        return text;
    String result = digits.substr(0, first);
    result.append("-").append(digits, first, second);
    if (first + second < 9)
        result.append("-").append(digits, first + second);
    return result;
}

}  // namespace

String LeftChars(const String& Text, int N) { return Copy(Text, 1, N); }

String RightChars(const String& Text, int N)
{
    if (N <= 0)
        return "";
    return Copy(Text, static_cast<int>(Text.size()) - N + 1, N);
}

String MidChars(const String& Text, int Start, int Count) { return Copy(Text, Start, Count); }

String CharsFrom(const String& Text, int Start) { return Copy(Text, Start, INT_MAX); }

String FixedWidthText(const String& Text, int N)
{
    if (N <= 0)
        return "";
    String result = LeftChars(Text, N);
    result.resize(static_cast<std::size_t>(N), ' ');
    return result;
}

bool IsEmptyText(const String& Text) { return Text.empty(); }

String DigitsOnly(const String& Text) { return KeepChars(Text, "0123456789"); }

String KeepChars(const String& Text, const String& Allowed)
{
    String result;
    for (char c : Text) {
        if (Allowed.find(c) != String::npos)
            result += c;
    }
    return result;
}

String KeepLettersDigits(const String& Text, const String& Extra)
{
    return KeepChars(Text, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789" + Extra);
}

String FormatSSN(const String& Text) { return NineDigitsGrouped(Text, 3, 2); }

String FormatEIN(const String& Text) { return NineDigitsGrouped(Text, 2, 7); }

String FormatZip(const String& Text) { return NineDigitsGrouped(Text, 5, 4); }

String FormatPhone(const String& Text)
{
    if (Text.size() != 10 || !AllDigits(Text))
        return Text;
    String result = "(";
    result.append(Text, 0, 3).append(") ").append(Text, 3, 3).append("-").append(Text, 6);
    return result;
}

String ExtractLastName(const String& Name)
{
    const auto cut = Name.find_last_of(" ,");
    return Trim(cut == String::npos ? Name : Name.substr(cut + 1));
}

String NameControl(const String& Name)
{
    String name = UpperCase(Name);
    if (LeftChars(name, 4) == "THE ")
        name = CharsFrom(name, 5);
    return LeftChars(KeepLettersDigits(name, ""), 4);
}

int RoundHalfUp(double X)
{
    const float whole = static_cast<float>(std::floor(X));
    const float frac = static_cast<float>(X - static_cast<double>(whole));
    const float rounded = frac >= 0.5f ? whole + 1.0f : whole;
    // Also false for NaN.
    if (!(rounded >= -2147483648.0f && rounded < 2147483648.0f))
        throw ERangeError("Range check error");
    return static_cast<int>(rounded);
}

int TextToRoundedInt(const String& Text)
{
    if (Text.find('E') != String::npos)
        return 0;
    const String number = KeepChars(Text, "0123456789.-");
    if (number.empty())
        return 0;
    return RoundHalfUp(StrToFloat(number));
}

TDateTime DateTextToDate(const String& Text)
{
    if (Text.empty())
        return 0;
    // mm?dd?yyyy: anything else would be read as some other date.
    const bool shaped = Text.size() == 10 && AllDigits(MidChars(Text, 1, 2)) &&
                        AllDigits(MidChars(Text, 4, 2)) && AllDigits(MidChars(Text, 7, 4));
    if (!shaped)
        throw EConvertError("'" + Text + "' is not a valid date");
    const int year = TextToRoundedInt(RightChars(Text, 4));
    const int month = TextToRoundedInt(LeftChars(Text, 2));
    const int day = TextToRoundedInt(MidChars(Text, 4, 2));
    return EncodeDate(year, month, day);
}

String FormatDateText(const String& Text, const String& Target)
{
    if (Text == "VARIOUS" || Text == "INHERITED")
        return Text;
    const String digits = DigitsOnly(Text);
    const String mm = LeftChars(digits, 2);
    const String dd = MidChars(digits, 3, 2);
    const std::size_t count = digits.size();
    if (Target == "MM/DD/YY" && (count == 8 || count == 6))
        return mm + "/" + dd + "/" + RightChars(digits, 2);
    if (Target == "MM/DD/YYYY" && count == 8)
        return mm + "/" + dd + "/" + RightChars(digits, 4);
    if (Target == "MM/DD/YYYY" && count == 6)
        return mm + "/" + dd + "/" + IntToStr(SlashedDateTextTwoDigitYear(StrToInt(RightChars(digits, 2))));
    if (Target == "MM-DD-YYYY" && count == 8)
        return mm + "-" + dd + "-" + RightChars(digits, 4);
    if (Target == "MM-DD-YYYY" && count == 6)
        return mm + "-" + dd + "-" + IntToStr(DashedDateTextTwoDigitYear(StrToInt(RightChars(digits, 2))));
    return Text;
}

String TodayText() { return FormatDateTime("mm'-'dd'-'yyyy", Date()); }

String TodayTextSlashed()
{
    // Quoted: a bare "/" would be the date separator setting.
    return FormatDateTime("mm'/'dd'/'yyyy", Date());
}

bool PromptCreateDirectory(const String& Path, bool Ask, const TAskYesNo& AskYesNo)
{
    // No trailing "/", except for the root; nothing at all is the root too.
    const String dir = Path.empty() ? String("/") : ExcludeTrailingPathDelimiter(NormalizePath(Path));
    if (DirectoryExists(dir))
        return true;
    if (!Ask)
        return false;
    if (!AskYesNo("The directory [" + dir + "] does not exist. Would you like to create it ?"))
        return false;
    return CreateDir(dir);
}
