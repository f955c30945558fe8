// The print-work table: a copy of the recipients one form-printing run prints.

#include "app/clientdatabase.h"

namespace {

// Whether the recipient belongs on the form: income type "I" for mode 1, any
// other income type otherwise.
bool Selected(TDataSet* Recipients, int Mode)
{
    const bool interest = Recipients->FieldByName("TRANS_TYPE")->AsString() == "I";
    return Mode == 1 ? interest : !interest;
}

}  // namespace

void TDClientDataBase::BuildPrintTable(int Mode, bool OnlyCurrent)
{
    TDaroruTable* print = tblEmployeePrint;
    print->Close();
    CreateTableFile(print, ProgramDir, PrintSchema);
    Aim(print, ProgramDir, PrintSchema.Name, true);
    print->Open();
    // A scratch table built anew each time: synced once, not at each row.
    TDaroruWriteGroup group(print);
    const auto copy = [&] {
        if (!Selected(tblEmployee, Mode))
            return;
        print->Append();
        for (const TFieldSchema& f : PrintSchema.Fields) {
            TField* from = tblEmployee->FieldByName(f.Name);
            TField* to = print->FieldByName(f.Name);
            if (from->IsNull())
                to->Clear();
            else if (f.Type == 'N')
                to->SetAsFloat(from->AsFloat());
            else
                to->SetAsString(from->AsString());
        }
        print->Post();
    };
    try {
        if (OnlyCurrent) {
            copy();
        } else {
            for (tblEmployee->First(); !tblEmployee->Eof(); tblEmployee->Next())
                copy();
            tblEmployee->First();
        }
        group.Done();
    } catch (...) {
        print->Close();
        throw;
    }
    print->Close();
}
