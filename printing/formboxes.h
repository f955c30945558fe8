#pragma once
// Where a form routine puts its boxes: at whole cells of the form page, the
// whole form shifted down by some rows (the copies on plain paper), or between
// cells with the user's print adjustment added (the red pre-printed forms).

#include "platform/rtl/types.h"

class FormPrinter;

class TBoxPlacer {
public:
    // Whole cells, every row moved down by RowOffset.
    static TBoxPlacer Whole(FormPrinter& Printer, int RowOffset = 0);
    // Fractional cells: every row moved by BaseRow and the vertical adjustment,
    // every column by the horizontal one (the user's settings, read now).
    static TBoxPlacer Red(FormPrinter& Printer, int BaseRow = 0);

    // The same placing for another form on the page, BaseRow rows further down.
    TBoxPlacer Below(int Rows) const;

    void Text(double Row, double Column, const String& Text, const String& Label) const;
    void Amount(double Row, double Column, double Value, const String& Label, const String& Mask) const;
    void Check(double Row, double Column, bool Checked, const String& Label) const;

private:
    TBoxPlacer(FormPrinter& Printer, bool Fractional, double RowShift, double ColumnShift);
    float FractionalRow(double Row) const;
    float FractionalColumn(double Column) const;

    FormPrinter* FPrinter;
    bool FFractional;
    double FRowShift;
    double FColumnShift;
};

// For the life of the object the user's "No Laser Print?" setting is off, so the
// form page engine made meanwhile speaks PCL to the red forms; the setting is
// back as it was when the object goes, however the routine ends.
class TRedFormMode {
public:
    TRedFormMode();
    ~TRedFormMode();
    TRedFormMode(const TRedFormMode&) = delete;
    TRedFormMode& operator=(const TRedFormMode&) = delete;

private:
    bool FNoLaserPrint;
};
