#include "printing/copyc.h"

#include "printing/form1099.h"

namespace {

// The rows each form of a sheet lies below the top one.
constexpr int MiscOffsets[] = {0, 33};
constexpr int IntOffsets[] = {0, 21, 43};

}  // namespace

void PrintCopyCMisc(const String&, bool OnlyCurrent)
{
    PrintSheet({"USMISCC1.HP", 2, "1099 Copy C MISC", "COPYC1099MISC_"}, OnlyCurrent,
               [](FormPrinter& printer, int form) {
                   return TSheetForm {TBoxPlacer::Whole(printer, MiscOffsets[form]), PlainMiscLayout};
               });
}

void PrintCopyCInt(const String&, bool OnlyCurrent)
{
    PrintSheet({"USINTC1.HP", 3, "1099 Copy C INT", "COPYC1099INT_"}, OnlyCurrent,
               [](FormPrinter& printer, int form) {
                   return TSheetForm {TBoxPlacer::Whole(printer, IntOffsets[form]), PlainIntLayout};
               });
}
