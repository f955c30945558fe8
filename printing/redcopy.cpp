#include "printing/redcopy.h"

#include <array>

#include "printing/form1099.h"

namespace {

// The two forms of the 1099-MISC sheet; the bottom form's rows are its own.
constexpr TBoxPlace RedMiscTop[] = {
        {TBox::PayerName, 3, 4},          {TBox::PayerStreet, 4, 4},         {TBox::PayerCity, 5, 4},
        {TBox::PayerNumber, 10.5, 4},     {TBox::RecipientNumber, 10.5, 21}, {TBox::RecipientName, 14.5, 4},
        {TBox::RecipientStreet, 17.6, 4}, {TBox::RecipientCity, 19.7, 4},    {TBox::Income, 1.8, 49, 'R'},
        {TBox::Income, 4.8, 49, 'Y'},     {TBox::Income, 7.3, 49, 'O'},      {TBox::Income, 10.8, 49, 'F'},
        {TBox::Income, 14.8, 49, 'N'},    {TBox::Income, 22.8, 49, 'G'},     {TBox::Income, 10.8, 63, 'M'},
        {TBox::Income, 14.8, 63, 'P'},    {TBox::Income, 17.8, 63, 'C'},     {TBox::Income, 22.8, 63, 'A'},
        {TBox::FederalWithheld, 7.2, 63}, {TBox::DirectSales, 17.8, 49},     {TBox::StateWithheld1, 25, 49},
        {TBox::StateNumber1, 25, 51},     {TBox::StateIncome1, 25, 75},      {TBox::StateWithheld2, 26, 49},
        {TBox::StateNumber2, 26, 51},     {TBox::StateIncome2, 26, 75},
};

constexpr TBoxPlace RedMiscBottom[] = {
        {TBox::PayerName, 36, 4},          {TBox::PayerStreet, 37, 4},        {TBox::PayerCity, 38, 4},
        {TBox::PayerNumber, 43.8, 4},      {TBox::RecipientNumber, 43.8, 21}, {TBox::RecipientName, 47, 4},
        {TBox::RecipientStreet, 50.5, 4},  {TBox::RecipientCity, 52.8, 4},    {TBox::Income, 34.5, 49, 'R'},
        {TBox::Income, 37.5, 49, 'Y'},     {TBox::Income, 40.2, 49, 'O'},     {TBox::Income, 43.8, 49, 'F'},
        {TBox::Income, 47.6, 49, 'N'},     {TBox::Income, 55.7, 49, 'G'},     {TBox::Income, 43.8, 63, 'M'},
        {TBox::Income, 47.6, 63, 'P'},     {TBox::Income, 50.8, 63, 'C'},     {TBox::Income, 55.7, 63, 'A'},
        {TBox::FederalWithheld, 40.2, 63}, {TBox::DirectSales, 50.8, 49},     {TBox::StateWithheld1, 58, 49},
        {TBox::StateNumber1, 58, 51},      {TBox::StateIncome1, 58, 75},      {TBox::StateWithheld2, 59, 49},
        {TBox::StateNumber2, 59, 51},      {TBox::StateIncome2, 59, 75},
};

// A 1099-INT form of the sheet, rows from its base row (0, 22, 44).
constexpr std::array RedInt = {
        TBoxPlace {TBox::PayerName, 1, 4},           TBoxPlace {TBox::PayerName2, 2, 4},
        TBoxPlace {TBox::PayerStreet, 3, 4},         TBoxPlace {TBox::PayerCity, 4, 4},
        TBoxPlace {TBox::PayerNumber, 6.75, 4},      TBoxPlace {TBox::RecipientNumber, 6.75, 21},
        TBoxPlace {TBox::RecipientName, 8.75, 4},    TBoxPlace {TBox::RecipientName2, 9.75, 4},
        TBoxPlace {TBox::RecipientStreet, 11.75, 4}, TBoxPlace {TBox::RecipientCity, 13.75, 4},
        TBoxPlace {TBox::Income, 2.75, 48},          TBoxPlace {TBox::FederalWithheld, 9.75, 48},
};

// The second form's interest stands a little higher than the others'.
constexpr auto RedIntSecond = [] {
    auto layout = RedInt;
    for (TBoxPlace& place : layout)
        if (place.Box == TBox::Income)
            place.Row = 2.65;
    return layout;
}();

constexpr int RedIntBaseRows[] = {0, 22, 44};

}  // namespace

void PrintRedCopyMisc(const String&, bool OnlyCurrent)
{
    const TRedFormMode laser;
    PrintSheet({"", 2, "Federal Red Copy 1099 Misc", "RED1099MISC_"}, OnlyCurrent,
               [](FormPrinter& printer, int form) {
                   return TSheetForm {TBoxPlacer::Red(printer),
                                      form == 0 ? TFormLayout(RedMiscTop) : TFormLayout(RedMiscBottom)};
               });
}

void PrintRedCopyInt(const String&, bool OnlyCurrent)
{
    const TRedFormMode laser;
    PrintSheet({"", 3, "Federal Red Copy 1099 INT", "RED1099INT_"}, OnlyCurrent,
               [](FormPrinter& printer, int form) {
                   return TSheetForm {TBoxPlacer::Red(printer, RedIntBaseRows[form]),
                                      form == 1 ? TFormLayout(RedIntSecond) : TFormLayout(RedInt)};
               });
}
