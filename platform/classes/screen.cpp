#include "platform/classes/screen.h"

#include <algorithm>

#include "platform/classes/listindex.h"

namespace {

// Never freed: data modules and forms may outlive static destruction order.
TScreen* GScreen = nullptr;

void Add(std::vector<TComponent*>& list, TComponent* item)
{
    if (item != nullptr && std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

void Drop(std::vector<TComponent*>& list, TComponent* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

TComponent* TScreen::DataModules(int Index) const { return ListItem(FDataModules, Index); }
TComponent* TScreen::Forms(int Index) const { return ListItem(FForms, Index); }

void TScreen::RegisterDataModule(TComponent* DataModule) { Add(FDataModules, DataModule); }
void TScreen::UnregisterDataModule(TComponent* DataModule) { Drop(FDataModules, DataModule); }
void TScreen::RegisterForm(TComponent* Form) { Add(FForms, Form); }
void TScreen::UnregisterForm(TComponent* Form) { Drop(FForms, Form); }

void TScreen::MoveRegistrationsTo(TScreen& Other)
{
    for (TComponent* dataModule : FDataModules)
        Other.RegisterDataModule(dataModule);
    for (TComponent* form : FForms)
        Other.RegisterForm(form);
    FDataModules.clear();
    FForms.clear();
}

TScreen* Screen()
{
    if (GScreen == nullptr)
        GScreen = new TScreen;
    return GScreen;
}

void SetScreen(std::unique_ptr<TScreen> NewScreen)
{
    if (!NewScreen || NewScreen.get() == GScreen)
        return;
    TScreen* former = GScreen;
    GScreen = NewScreen.release();
    if (former != nullptr) {
        former->MoveRegistrationsTo(*GScreen);
        former->Free();
    }
}
