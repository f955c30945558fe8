#pragma once
// The grid that forms place: the data-aware grid that applies its Selected column list
// to the data set's fields when the link opens, and paints fixed data columns in the
// title colour.

#include "datacontrols/wwdbigrd.h"

class TdwDBGrid;

// Where the grid keeps its column layout: one key per column in a section of an INI
// file, "width" Delimiter "title" Delimiter "T|F".
class TdwIniAttributes {
public:
    explicit TdwIniAttributes(TdwDBGrid* Grid) : FGrid(Grid) {}

    // Loads the layout when the grid first opens and saves it when the grid goes.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    // The stored name; else the library's IniFileName; else the executable's name
    // (without directory and extension) with ".ini".
    String FileName() const;
    void SetFileName(const String& Value) { FFileName = Value; }
    // The stored name; else the parent form's name followed by the grid's.
    String SectionName() const;
    void SetSectionName(const String& Value) { FSectionName = Value; }
    const String& Delimiter() const { return FDelimiter; }
    void SetDelimiter(const String& Value) { FDelimiter = Value; }
    // A load keeps the columns of the current list that the file does not name.
    bool CheckNewFields() const { return FCheckNewFields; }
    void SetCheckNewFields(bool Value) { FCheckNewFields = Value; }

private:
    TdwDBGrid* FGrid;
    bool FEnabled = false;
    String FFileName;
    String FSectionName;
    String FDelimiter = ";;";
    bool FCheckNewFields = false;
};

class TdwDBGrid : public TdwCustomDBGrid {
public:
    explicit TdwDBGrid(TComponent* AOwner) : TdwCustomDBGrid(AOwner), FIniAttributes(this) {}
    ~TdwDBGrid() override;

    String ClassName() const override { return "TdwDBGrid"; }
    bool InheritsFrom(const String& name) const override;

    TdwIniAttributes* IniAttributes() { return &FIniAttributes; }
    // Write and read the column layout; a problem is reported in a message box.
    void SaveIniAttributes();
    void LoadIniAttributes();

protected:
    void LinkActive(bool Value) override;
    TColor ColumnColor(int DataCol) const override;

private:
    void ApplySelected();
    // The file is usable: a delimiter and an existing directory; else a message (none
    // while the grid is being destroyed) and false.
    bool CheckIniFile(bool Quiet);

    TdwIniAttributes FIniAttributes;
    bool FInLinkActive = false;
    bool FIniLoaded = false;
};
