#include "datacontrols/richtext/dwrichunits.h"

#include <cmath>

#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"

int UnitTextToTwips(const String& Text, TdwMeasurementUnits Units)
{
    String number = Text;
    const auto trimTail = [&number] {
        while (!number.empty() && (number.back() == ' ' || number.back() == '\'' || number.back() == '"'))
            number.pop_back();
    };
    trimTail();
    bool centimetres = Units == muCentimeters;
    if (number.size() >= 2 && SameText(number.substr(number.size() - 2), "cm")) {
        number.resize(number.size() - 2);
        centimetres = true;
        trimTail();
    }
    return UnitsToTwips(StrToFloat(Trim(number)), centimetres ? muCentimeters : muInches);
}

int UnitsToTwips(double Value, TdwMeasurementUnits Units)
{
    double value = Value * 1440;
    if (Units == muCentimeters)
        value /= dwCentimetersPerInch;
    return static_cast<int>(std::lround(value));
}

double TwipsToUnits(int Twips, TdwMeasurementUnits Units)
{
    double value = Twips / 1440.0;
    if (Units == muCentimeters)
        value *= dwCentimetersPerInch;
    return std::round(value * 100) / 100;
}

String FormatUnits(double Value, TdwMeasurementUnits Units)
{
    return FloatToStr(Value) + (Units == muInches ? "''" : " cm");
}

String RoundToStep(int Twips, TdwMeasurementUnits Units, int Step)
{
    const int step = Step > 0 ? Step : (Units == muInches ? 8 : 20);
    const double value = std::round(TwipsToUnits(Twips, Units) * step) / step;
    return FormatUnits(std::round(value * 100) / 100, Units);
}
