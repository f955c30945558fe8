#include "efile/missingitems.h"

#include <memory>

const char* const MissingItemSuffix = " Required information missing";

String MissingItemsText;

namespace {

std::unique_ptr<TStringList> CurrentList = std::make_unique<TStringList>();

}  // namespace

TStringList& MissingItems() { return *CurrentList; }

void ResetMissingItems() {
    MissingItemsText.clear();
    CurrentList = std::make_unique<TStringList>();
}

void AddUnfileableItem(const String& Line) {
    CurrentList->Add(Line);
    MissingItemsText += " " + Line;
}

void AddMissingItem(const String& Value, const String& Label) {
    if (Value.empty()) AddUnfileableItem(Label + MissingItemSuffix);
}
