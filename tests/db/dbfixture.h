#pragma once
// What the framework tests share: an in-memory set of numbered rows whose events
// are logged, and a data link that logs what it is told and reads its rows the way
// a grid paints them.

#include <memory>

#include "platform/db/datalink.h"
#include "platform/db/datasource.h"
#include "platform/rtl/strutils.h"
#include "tests/support/memdataset.h"

// Adds one log line per event of the data set.
inline void LogEvents(TMemDataSet& ds)
{
    auto log = [&ds](const char* name) { return [&ds, name](TDataSet*) { ds.Log.push_back(name); }; };
    ds.BeforeOpen = log("BeforeOpen");
    ds.AfterOpen = log("AfterOpen");
    ds.BeforeClose = log("BeforeClose");
    ds.AfterClose = log("AfterClose");
    ds.BeforeInsert = log("BeforeInsert");
    ds.AfterInsert = log("AfterInsert");
    ds.BeforeEdit = log("BeforeEdit");
    ds.AfterEdit = log("AfterEdit");
    ds.BeforePost = log("BeforePost");
    ds.AfterPost = log("AfterPost");
    ds.BeforeCancel = log("BeforeCancel");
    ds.AfterCancel = log("AfterCancel");
    ds.BeforeDelete = log("BeforeDelete");
    ds.AfterDelete = log("AfterDelete");
    ds.BeforeScroll = log("BeforeScroll");
    ds.AfterScroll = log("AfterScroll");
    ds.OnNewRecord = log("OnNewRecord");
}

// A link that writes its notifications into a log (the data set's, when given).
class TLogLink : public TDataLink {
public:
    explicit TLogLink(std::vector<String>* Log = nullptr) : FLog(Log ? Log : &OwnLog) { }

    std::vector<String> OwnLog;
    std::vector<int> Distances;

    // The ID column of each row the link shows, read the way a grid paints.
    std::vector<int> Rows()
    {
        std::vector<int> ids;
        int active = ActiveRecord();
        for (int row = 0; row < RecordCount(); ++row) {
            SetActiveRecord(row);
            ids.push_back(DataSet()->FieldByName("ID")->AsInteger());
        }
        SetActiveRecord(active);
        return ids;
    }

protected:
    void ActiveChanged() override { Add("link:ActiveChanged"); }
    void CheckBrowseMode() override { Add("link:CheckBrowseMode"); }
    void DataSetChanged() override { Add("link:DataSetChanged"); }
    void DataSetScrolled(int Distance) override
    {
        Distances.push_back(Distance);
        Add("link:Scrolled(" + IntToStr(Distance) + ")");
    }
    void EditingChanged() override { Add(String("link:EditingChanged(") + (Editing() ? "on" : "off") + ")"); }
    void LayoutChanged() override { Add("link:LayoutChanged"); }
    void RecordChanged(TField* Field) override
    {
        Add("link:RecordChanged(" + (Field ? Field->FieldName() : String()) + ")");
    }
    void UpdateData() override { Add("link:UpdateData"); }

private:
    void Add(const String& Line) { FLog->push_back(Line); }
    std::vector<String>* FLog;
};

inline std::vector<MemColumn> NumberedColumns()
{
    return {{"ID", ftInteger}, {"NAME", ftString, 10}, {"AMOUNT", ftFloat}};
}

// Rows with ID 1..Count and NAME "R1".."R<Count>".
inline std::vector<std::vector<String>> NumberedRows(int Count)
{
    std::vector<std::vector<String>> rows;
    for (int i = 1; i <= Count; ++i)
        rows.push_back({IntToStr(i), "R" + IntToStr(i), IntToStr(i * 10)});
    return rows;
}

// An open data set of numbered rows with a logging data source and link.
struct NumberedSet {
    explicit NumberedSet(int Count, int BufferCount = 1)
    {
        ds.Open();
        ds.AddRows(NumberedRows(Count));
        source.SetDataSet(&ds);
        link.SetDataSource(&source);
        link.SetBufferCount(BufferCount);
        ds.First();
        LogEvents(ds);
        ds.Log.clear();
        link.Distances.clear();
    }
    int Id() { return ds.FieldByName("ID")->AsInteger(); }

    TMemDataSet ds {nullptr, NumberedColumns()};
    TDataSource source {nullptr};
    TLogLink link {&ds.Log};
};
