#pragma once
// The data-aware rich edit: a blob field's rich text (any other field's text) in the
// rich edit, loaded when shown (AutoDisplay) or on Enter or a double click, and written
// back only when the user changed it.

#include <memory>

#include "datacontrols/richtext/dwriched.h"
#include "platform/db/datalink.h"

class TDataSource;

class TdwDBRichEdit : public TdwCustomRichEdit {
public:
    explicit TdwDBRichEdit(TComponent* AOwner);
    ~TdwDBRichEdit() override;

    String ClassName() const override { return "TdwDBRichEdit"; }
    bool InheritsFrom(const String& name) const override;

    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    const String& DataField() const { return FDataLink->FieldName(); }
    void SetDataField(const String& Value);
    void SetReadOnly(bool Value) override;
    // Loads the blob whenever the record changes; off, the control shows "(label)" until
    // Enter or a double click loads it.
    bool AutoDisplay() const { return FAutoDisplay; }
    void SetAutoDisplay(bool Value);
    TFieldDataLink* DataLink() const { return FDataLink.get(); }

    bool IsReadOnly() const override;
    void BeginFieldEdit() override;
    void UpdateFieldData() override;
    bool IsContentLoaded() const override { return FMemoLoaded; }
    TField* GetField() const override { return FDataLink->Field(); }
    void LoadContent() override;
    void LoadBlobPreview(TField* Field, int ChunkLimit) override;
    TdwCustomRichEdit* CreateEditorControl(TComponent* AOwner) override { return new TdwDBRichEdit(AOwner); }

    int DialogCode() const override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DblClick() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // On another parent a loaded document is read again from the field, after what the
    // user changed in it went there: text and formats stay as they were.
    void SetParent(TWinControl* AParent) override;

protected:
    void Change() override;
    void DoEnter() override;
    void DoExit() override;

private:
    void DataChange();
    void EditingChange();
    bool BlobLinked() const;
    // As a grid's cell editor: the keys that leave the cell go to the grid; true when Key went.
    bool HandKeyToCellGrid(Word Key, TShiftState Shift);

    std::unique_ptr<TFieldDataLink> FDataLink;
    bool FAutoDisplay = true;
    bool FMemoLoaded = false;
    bool FFocused = false;
    bool FLoadingContent = false;
    // The field's text when editing began: a data change that leaves it so does not reload.
    String FSavedFieldText;
    bool FHasSavedFieldText = false;
};
