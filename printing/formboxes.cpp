#include "printing/formboxes.h"

#include "app/mainform.h"
#include "printing/formprinter.h"

TBoxPlacer::TBoxPlacer(FormPrinter& Printer, bool Fractional, double RowShift, double ColumnShift)
    : FPrinter(&Printer), FFractional(Fractional), FRowShift(RowShift), FColumnShift(ColumnShift)
{
}

TBoxPlacer TBoxPlacer::Whole(FormPrinter& Printer, int RowOffset)
{
    return TBoxPlacer(Printer, false, RowOffset, 0);
}

TBoxPlacer TBoxPlacer::Red(FormPrinter& Printer, int BaseRow)
{
    const TUser& user = *FMain->User;
    return TBoxPlacer(Printer, true, BaseRow + double(user.RedCopyOffsetY), double(user.RedCopyOffsetX));
}

TBoxPlacer TBoxPlacer::Below(int Rows) const
{
    TBoxPlacer placer = *this;
    placer.FRowShift += Rows;
    return placer;
}

// The sums go to the engine as single-precision values, as the adjustments are kept.
float TBoxPlacer::FractionalRow(double Row) const { return static_cast<float>(Row + FRowShift); }
float TBoxPlacer::FractionalColumn(double Column) const { return static_cast<float>(Column + FColumnShift); }

void TBoxPlacer::Text(double Row, double Column, const String& Text, const String& Label) const
{
    if (FFractional)
        FPrinter->PrintTextChoiceF(FractionalRow(Row), FractionalColumn(Column), Text, Label);
    else
        FPrinter->PrintTextChoice(int(Row + FRowShift), int(Column), Text, Label);
}

void TBoxPlacer::Amount(double Row, double Column, double Value, const String& Label,
                        const String& Mask) const
{
    if (FFractional)
        FPrinter->PrintAmountF(FractionalRow(Row), FractionalColumn(Column), Value, Label, Mask);
    else
        FPrinter->PrintAmount(int(Row + FRowShift), int(Column), Value, Label, Mask);
}

void TBoxPlacer::Check(double Row, double Column, bool Checked, const String& Label) const
{
    if (FFractional)
        FPrinter->PrintCheckF(FractionalRow(Row), FractionalColumn(Column), Checked, Label);
    else
        FPrinter->PrintCheck(int(Row + FRowShift), int(Column), Checked, Label);
}

TRedFormMode::TRedFormMode() : FNoLaserPrint(FMain->User->NoLaserPrint) { FMain->User->NoLaserPrint = false; }

TRedFormMode::~TRedFormMode() { FMain->User->NoLaserPrint = FNoLaserPrint; }
