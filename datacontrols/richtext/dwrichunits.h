#pragma once
// Measures of the rich edit's dialogs and ruler: twips against the text a user reads
// and types, in inches ("1''") or centimetres ("2.54 cm").

#include "platform/rtl/types.h"

enum TdwMeasurementUnits { muInches, muCentimeters };

// The library counts 2.537 centimetres to the inch.
constexpr double dwCentimetersPerInch = 2.537;

// "1.5", "1.5''", "1.5\"" or "3.8 cm" in Units; a trailing unit name is accepted either
// way. Raises EConvertError for text that is no number.
int UnitTextToTwips(const String& Text, TdwMeasurementUnits Units);
// Value in Units as twips.
int UnitsToTwips(double Value, TdwMeasurementUnits Units);
// Twips in Units, rounded to two decimals.
double TwipsToUnits(int Twips, TdwMeasurementUnits Units);
// "1''" or "2.54 cm".
String FormatUnits(double Value, TdwMeasurementUnits Units);
// Twips in Units rounded to the nearest 1/Step (8 for inches and 20 for centimetres
// when Step is 0), formatted.
String RoundToStep(int Twips, TdwMeasurementUnits Units, int Step = 0);
