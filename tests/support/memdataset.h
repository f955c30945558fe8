#pragma once
// An in-memory data set for the framework's tests. It keeps its rows in a vector,
// records every protocol call it receives in Log, and can be told to fail.

#include <map>
#include <vector>

#include "platform/db/dataset.h"

struct MemColumn {
    String Name;
    TFieldType DataType;
    int Size = 0;
};

class TMemDataSet : public TDataSet {
public:
    explicit TMemDataSet(TComponent* AOwner, std::vector<MemColumn> Columns = {});
    ~TMemDataSet() override;

    // Appends stored rows directly (no events), one text per column as AsString takes it.
    void AddRows(const std::vector<std::vector<String>>& Rows);
    int StoredCount() const { return static_cast<int>(FRows.size()); }

    std::vector<String> Log;
    bool ReadOnlySet = false;
    // InternalOpen gives up without opening and without an error.
    bool RefuseOpen = false;
    // The next InternalPost raises this many times.
    int PostFailures = 0;

    bool GetFieldData(TField* Field, void* Buffer) override;
    void SetFieldData(TField* Field, const void* Buffer) override;
    std::unique_ptr<TStream> CreateBlobStream(TField* Field, TBlobStreamMode Mode) override;
    int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override;
    bool BookmarkValid(const TBookmark& Bookmark) override;
    bool IsSequenced() const override { return !Filtered(); }
    void SetRecNo(int Value) override;

    // For tests that look at the window the way a grid does.
    using TDataSet::ActiveRecord;
    using TDataSet::BufferCount;
    using TDataSet::BufferedRecordCount;
    // The id of the record in window buffer Index (0 = none).
    Integer BufferId(int Index) const;

protected:
    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& Buffer) override;
    TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
    int GetRecordSize() override { return FFieldAreaSize + CalcFieldsSize(); }
    void InternalInitRecord(TRecordBuffer Buffer) override;
    void InternalOpen() override;
    void InternalClose() override;
    void InternalInitFieldDefs() override;
    bool IsCursorOpen() override { return FCursorOpen; }
    void InternalFirst() override;
    void InternalLast() override;
    void InternalSetToRecord(TRecordBuffer Buffer) override;
    void InternalGotoBookmark(const void* Bookmark) override;
    void GetBookmarkData(TRecordBuffer Buffer, void* Data) override;
    void SetBookmarkData(TRecordBuffer Buffer, const void* Data) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
    void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
    void InternalPost() override;
    void InternalDelete() override;
    void InternalCancel() override;
    bool GetCanModify() const override { return !ReadOnlySet; }
    int GetRecordCount() override { return static_cast<int>(FRows.size()); }
    int GetRecNo() override;
    void ClearCalcFields(TRecordBuffer Buffer) override;

private:
    friend class TMemBlobStream;
    struct Row {
        Integer Id = 0;
        std::vector<char> Data;
        std::map<int, String> Blobs;
    };

    int RowIndex(Integer Id) const;
    Integer TrailerId(TRecordBuffer Buffer) const;
    void SetTrailerId(TRecordBuffer Buffer, Integer Id) const;
    char& TrailerFlag(TRecordBuffer Buffer) const;
    // The buffer a field reads in the current state; null when there is none.
    TRecordBuffer FieldBuffer() const;
    char* FieldSlot(TRecordBuffer Buffer, TField* Field) const;

    std::vector<MemColumn> FColumns;
    std::vector<Row> FRows;
    std::vector<int> FOffsets;
    int FFieldAreaSize = 0;
    Integer FNextId = 0;
    int FCursor = -1;
    bool FCursorOpen = false;
    TRecordBuffer FFilterBuffer = nullptr;
    // Blob values written in the edited record, kept until Post or Cancel.
    std::map<int, String> FPendingBlobs;
};
