#pragma once
// A data set's update object: the component that writes the data set's cached changes
// back for it. A data set holds at most one, and one serves at most one data set; the
// link goes when either is freed.

#include "platform/classes/component.h"

class TDataSet;

class TDataSetUpdateObject : public TComponent {
public:
    explicit TDataSetUpdateObject(TComponent* AOwner) : TComponent(AOwner) { }

    String ClassName() const override { return "TDataSetUpdateObject"; }
    bool InheritsFrom(const String& name) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // The data set served; set by the data set's UpdateObject setter.
    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* Value);

private:
    TDataSet* FDataSet = nullptr;
};
