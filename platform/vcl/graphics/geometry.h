#pragma once
// Points, sizes and rectangles in pixels. A rectangle excludes its right and
// bottom edges, as the Windows ones do.

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const TSize&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Contains(TPoint P) const { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }
    bool operator==(const TRect&) const = default;
};

inline TRect Rect(int Left, int Top, int Right, int Bottom) { return TRect {Left, Top, Right, Bottom}; }
inline TRect Bounds(int Left, int Top, int Width, int Height)
{
    return TRect {Left, Top, Left + Width, Top + Height};
}
inline TPoint Point(int X, int Y) { return TPoint {X, Y}; }
