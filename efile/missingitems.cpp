#include "efile/missingitems.h"

#include <memory>

String MissingItemsText;

namespace {

// Ends every line of an empty required item.
const char* const MissingItemSuffix = " Required information missing";

std::unique_ptr<TStringList> CurrentList = std::make_unique<TStringList>();

}  // namespace

TStringList& MissingItems() { return *CurrentList; }

void ResetMissingItems()
{
    MissingItemsText.clear();
    CurrentList = std::make_unique<TStringList>();
}

void AddUnfileableItem(const String& Line)
{
    CurrentList->Add(Line);
    MissingItemsText += " " + Line;
}

void AddMissingItem(const String& Value, const String& Label)
{
    if (Value.empty())
        AddUnfileableItem(Label + MissingItemSuffix);
}
