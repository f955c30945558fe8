#pragma once
// A list of small pictures of one size, drawn by index: glyphs for grid cells and titles.

#include <memory>
#include <vector>

#include "platform/classes/component.h"

class TBitmap;
class TCanvas;

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner);
    ~TImageList() override;

    String ClassName() const override { return "TImageList"; }

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // A new size empties the list.
    void SetSize(int AWidth, int AHeight);
    int Count() const { return static_cast<int>(FImages.size()); }

    // Adds a copy of Image cut or padded (white) to the list's size, transparent where
    // Image is; returns its index.
    int Add(TBitmap* Image);

    // Draws image Index with its top-left corner at (X, Y); nothing for an index out of range.
    void Draw(TCanvas* Canvas, int X, int Y, int Index);
    // Copies image Index into Image; false (Image untouched) for an index out of range.
    bool GetBitmap(int Index, TBitmap* Image);

private:
    bool ValidIndex(int Index) const { return Index >= 0 && Index < Count(); }

    int FWidth = 16;
    int FHeight = 16;
    std::vector<std::unique_ptr<TBitmap>> FImages;
};
