#pragma once
// The registry of the program's forms and data modules, in creation order, through
// which code finds them (Screen()->DataModules(i), Screen()->Forms(i)).

#include <memory>
#include <vector>

#include "platform/classes/component.h"

class TScreen : public TComponent {
public:
    TScreen() : TComponent(nullptr) { }

    String ClassName() const override { return "TScreen"; }

    int DataModuleCount() const { return static_cast<int>(FDataModules.size()); }
    TComponent* DataModules(int Index) const;
    int FormCount() const { return static_cast<int>(FForms.size()); }
    TComponent* Forms(int Index) const;

    // Registration by the data modules and forms themselves; registering twice or
    // unregistering what is not registered does nothing.
    void RegisterDataModule(TComponent* DataModule);
    void UnregisterDataModule(TComponent* DataModule);
    void RegisterForm(TComponent* Form);
    void UnregisterForm(TComponent* Form);

    // Hands the registrations over to a replacement screen (see SetScreen).
    void MoveRegistrationsTo(TScreen& Other);

private:
    std::vector<TComponent*> FDataModules;
    std::vector<TComponent*> FForms;
};

// The program's screen; a plain TScreen is made on first use.
TScreen* Screen();
// Replaces the screen with a descendant (the GUI's), which takes over the forms and
// data modules registered so far; the former screen is freed.
void SetScreen(std::unique_ptr<TScreen> NewScreen);
