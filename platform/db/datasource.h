#pragma once
// TDataSource: the connection between one data set and the data links of the
// controls that show it.

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/db/dbtypes.h"

class TDataSet;
class TDataLink;
class TField;

using TDataChangeEvent = std::function<void(TObject* Sender, TField* Field)>;

class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* AOwner);
    // Lets go of the data set and of every data link.
    ~TDataSource() override;

    String ClassName() const override { return "TDataSource"; }
    bool InheritsFrom(const String& name) const override;

    TDataSet* DataSet() const { return FDataSet; }
    // Raises "A data source cannot be linked to itself" when DataSet takes this source,
    // directly or through other sources, as its master.
    void SetDataSet(TDataSet* Value);
    // A disabled source shows its links an inactive data set; enabling it again makes
    // them read the data set afresh.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Whether controls may put the data set into edit state on their own.
    bool AutoEdit() const { return FAutoEdit; }
    void SetAutoEdit(bool Value) { FAutoEdit = Value; }
    // The data set's state as the links see it: dsInactive without data set or disabled.
    TDataSetState State() const { return FState; }
    // Puts the data set into edit state when AutoEdit allows and it is browsing.
    void Edit();
    // Whether DataSet is this source's data set or a master of it, however far up.
    bool IsLinkedTo(TDataSet* DataSet) const;

    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Field is the changed field for a field change, else null.
    TDataChangeEvent OnDataChange;
    TNotifyEvent OnStateChange;
    TNotifyEvent OnUpdateData;

protected:
    virtual void DoDataChange(TField* Field);
    virtual void DoStateChange();
    virtual void DoUpdateData();

private:
    friend class TDataSet;
    friend class TDataLink;

    void DataEvent(TDataEvent Event, std::intptr_t Info);
    // Takes the data set's state (or dsInactive) and tells the links.
    void UpdateState();
    void AddDataLink(TDataLink* Link);
    void RemoveDataLink(TDataLink* Link);

    TDataSet* FDataSet = nullptr;
    bool FEnabled = true;
    bool FAutoEdit = true;
    TDataSetState FState = dsInactive;
    std::vector<TDataLink*> FDataLinks;
};
