#include "platform/vcl/graphics/imagelist.h"

#include <algorithm>

#include "platform/vcl/graphics/bitmap.h"

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) { }

TImageList::~TImageList() = default;

void TImageList::SetSize(int AWidth, int AHeight)
{
    AWidth = std::max(1, AWidth);
    AHeight = std::max(1, AHeight);
    if (AWidth == FWidth && AHeight == FHeight)
        return;
    FWidth = AWidth;
    FHeight = AHeight;
    FImages.clear();
}

int TImageList::Add(TBitmap* Image)
{
    auto copy = std::make_unique<TBitmap>();
    if (Image) {
        copy->Assign(Image);
        copy->SetTransparent(Image->Transparent());
    }
    copy->SetSize(FWidth, FHeight);
    FImages.push_back(std::move(copy));
    return Count() - 1;
}

void TImageList::Draw(TCanvas* Canvas, int X, int Y, int Index)
{
    if (!Canvas || !ValidIndex(Index))
        return;
    Canvas->Draw(X, Y, FImages[Index].get());
}

bool TImageList::GetBitmap(int Index, TBitmap* Image)
{
    if (!Image || !ValidIndex(Index))
        return false;
    Image->Assign(FImages[Index].get());
    Image->SetTransparent(FImages[Index]->Transparent());
    return true;
}
