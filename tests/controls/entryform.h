#pragma once
// A keyboard-driven data-entry form of the kind the program builds, for the tests:
// one line per numbered caption, the command panel at the bottom.

#include <vector>

#include "controls/kvbutton.h"
#include "controls/kvcheckbox.h"
#include "controls/kvedit.h"
#include "controls/kvforms.h"
#include "controls/kvintedit.h"
#include "controls/kvlabel.h"
#include "tests/support/formtesting.h"

class TEntryForm : public TKVMouseFreeForm {
public:
    explicit TEntryForm(TComponent* AOwner) : TKVMouseFreeForm(AOwner)
    {
        SetCaption("Recipient");
        Name = Line<TKVEdit>("Name", "Name");
        Amount = Line<TKVIntEdit>("Amount", "Amount");
        Street = Line<TKVEdit>("Street", "Address");
        City = Make<TKVEdit>("City", Street->Left() + 180, Street->Top());
        Labels.back()->SetLastControl(City);
        Print = Line<TKVCheckBox>("Print", "Print");
        Path = Line<TKVEdit>("Path", "Path");
        Path->SetDontSlashClose(true);
        Recalc = Line<TKVButton>("Recalc", "Recalc");
        Recalc->SetCaption("Recalc");
        Recalc->OnClick = [this](TObject* Sender) { Clicks.push_back(Sender); };
        Hidden = Line<TKVEdit>("Hidden", "[XX]");
        Hidden->SetVisible(false);
        auto* loose = new TKVLabel(this);
        loose->SetParent(this);
        loose->SetBounds(8, NextTop, 60, 13);
        loose->SetCaption("Nothing");
        Labels.push_back(loose);
        Panel = new TKVCommander(this);
        Panel->SetParent(this);
    }

    // A caption and its field on the next line.
    template<class T> T* Line(const String& FieldName, const String& Caption)
    {
        auto* label = new TKVLabel(this);
        label->SetParent(this);
        label->SetBounds(8, NextTop + 4, 60, 13);
        label->SetCaption(Caption);
        T* control = Make<T>(FieldName, 120, NextTop);
        label->SetFirstControl(control);
        Labels.push_back(label);
        NextTop += 28;
        return control;
    }

    template<class T> T* Make(const String& FieldName, int Left, int Top)
    {
        T* control = new T(this);
        control->SetName(FieldName);
        control->SetParent(this);
        control->SetLeft(Left);
        control->SetTop(Top);
        return control;
    }

    int NextTop = 8;
    std::vector<TKVLabel*> Labels;
    std::vector<TObject*> Clicks;
    TKVEdit* Name;
    TKVIntEdit* Amount;
    TKVEdit* Street;
    TKVEdit* City;
    TKVCheckBox* Print;
    TKVEdit* Path;
    TKVButton* Recalc;
    TKVEdit* Hidden;
    TKVCommander* Panel;
};

inline String ActiveName(TCustomForm* Form)
{
    TWinControl* active = Form->ActiveControl();
    if (!active)
        return "(none)";
    if (auto* commander = dynamic_cast<TKVCommander*>(active->Owner())) {
        if (active == commander->MouseFreeEdit())
            return "entry";
    }
    return active->Name();
}
