#pragma once
// The page-viewer control: shows the first page of a PCL page file at normal
// or enlarged size, and saves it as a metafile (our own replayable drawing).

#include <memory>
#include <optional>

#include "platform/pcl/displaylist.h"
#include "platform/vcl/controls/controls.h"

class TBitmap;

// The whole page file; false when it cannot be read (a later print run removed it).
bool ReadPageFile(const String& FileName, String& Bytes);

// What stands in place of a page whose file is gone (a later print run removed it).
String MissingPageText(const String& FileName);

class TADTaxViewerX : public TGraphicControl {
public:
    explicit TADTaxViewerX(TComponent* AOwner);
    ~TADTaxViewerX() override;

    String ClassName() const override { return "TADTaxViewerX"; }

    // Drops the page shown.
    void Clear();
    // Loads and shows the first page of that PCL file; the control takes the page's
    // size. A file that cannot be read shows that the page is gone.
    const String& HpFile() const { return FHpFile; }
    void SetHpFile(const String& FileName);
    // Enlarged (true) or normal size.
    bool LargeForm() const { return FLargeForm; }
    void SetLargeForm(bool Value);
    // Whether a page is loaded (a blank page counts).
    bool Loaded() const { return FPage.has_value(); }
    // Writes the loaded page as a metafile under FileName, replacing such a file;
    // false when no page is loaded or the file cannot be written.
    bool SaveMetafile(const String& FileName);

    // Pixels per inch of the two sizes.
    static constexpr int NormalDpi = 96;
    static constexpr int LargeDpi = 150;

protected:
    void Paint() override;

private:
    void Render();

    String FHpFile;
    bool FLargeForm = false;
    bool FMissing = false;
    std::optional<pcl::Page> FPage;
    std::unique_ptr<TBitmap> FImage;
};
