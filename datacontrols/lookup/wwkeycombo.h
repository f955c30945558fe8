#pragma once
// The index chooser ("Search By"): a drop-down list of a data set's indexes, or of its
// indexable fields; choosing an item switches the data set's order. It is the library's
// combo box, with its Frame and its button's looks (a down arrow unless set otherwise).

#include "datacontrols/edits/wwdbcomb.h"
#include "platform/db/datalink.h"

class TDataSet;
class TDataSource;
class TIndexDef;
class TdwCustomDBGrid;
class TdwKeyCombo;

// The chooser's link: it refills the list when the data set opens or changes.
class TdwKeyDataLink : public TDataLink {
public:
    explicit TdwKeyDataLink(TdwKeyCombo* Combo) : FCombo(Combo) { }

    String ClassName() const override { return "TdwKeyDataLink"; }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    // Moving through the records does not change the order.
    void DataSetScrolled(int /*Distance*/) override { }

private:
    TdwKeyCombo* FCombo;
};

class TdwKeyCombo : public TdwDBCustomComboBox {
public:
    explicit TdwKeyCombo(TComponent* AOwner);
    ~TdwKeyCombo() override;

    String ClassName() const override { return "TdwKeyCombo"; }
    bool InheritsFrom(const String& name) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // The data set whose order the combo chooses (not a field the combo is bound to). A
    // source whose data set has no index information is refused with a message, and the
    // old source stays.
    TDataSource* DataSource() const { return FDataLink.DataSource(); }
    void SetDataSource(TDataSource* Value);
    // Index names instead of field labels.
    bool ShowAllIndexes() const { return FShowAllIndexes; }
    void SetShowAllIndexes(bool Value);
    // The item of an index without a name; empty reads as "PrimaryKey".
    String PrimaryKeyName() const;
    void SetPrimaryKeyName(const String& Value) { FPrimaryKeyName = Value; }

    // Rebuilds the items; with a grid, a field is listed when the grid shows it.
    void FillIndexList(TdwCustomDBGrid* Grid);
    // The data set's order is chosen by naming fields (IndexFieldNames), not indexes.
    virtual bool UsesFieldsAsIndexes(TDataSet* DataSet) const;

protected:
    friend class TdwKeyDataLink;

    // Applies the chosen item to the data set.
    void Change() override;
    // From the link: the data set changed while browsing; the items stay unless stale.
    virtual void DataSetChanged();
    // An item is being chosen in code: no change by the user.
    bool Selecting() const { return FSelecting; }

private:
    void FillFieldList(TDataSet* DataSet, TdwCustomDBGrid* Grid);
    void FillIndexDefList(TDataSet* DataSet, TdwCustomDBGrid* Grid);
    // Every item still names a field of the data set.
    bool ItemsStillValid(TDataSet* DataSet) const;
    // An index definition's item: its first field's label, " - Desc" added for a
    // descending one; empty when the data set lacks the field.
    String IndexLabel(TDataSet* DataSet, const TIndexDef* Def) const;
    void SelectItem(const String& Item);

    TdwKeyDataLink FDataLink {this};
    bool FShowAllIndexes = false;
    String FPrimaryKeyName = "PrimaryKey";
    // Refilling from the link: the items stay when they still fit.
    bool FKeepItems = false;
    // The combo itself is changing the order; the link's refresh waits.
    bool FSelfChange = false;
    // An item is being chosen in code, not by the user.
    bool FSelecting = false;
};
