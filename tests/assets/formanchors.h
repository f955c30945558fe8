#pragma once
// Where the form routines print data on each form: the places the form images must
// frame.

#include <string>
#include <vector>

namespace formimages {

// A place where a form routine prints: the text's first column, or for an amount
// the column of its last character.
struct Anchor {
    double Row, Column;
    int Length;
    bool RightAligned;
    const char* BoxName;
};

// Where data is printed on Forms 1099-MISC (per form), 1099-INT (per form) and 1096.
inline const std::vector<Anchor> MiscAnchors = {
        {5, 4, 31, false, "payer"},     {6, 4, 31, false, "payer"},      {7, 4, 31, false, "payer"},
        {13, 4, 11, false, "payerTIN"}, {13, 21, 11, false, "recipTIN"}, {17, 4, 31, false, "recipName"},
        {20, 4, 31, false, "street"},   {22, 4, 31, false, "city"},      {5, 49, 10, true, "box1"},
        {8, 49, 10, true, "box2"},      {10, 49, 10, true, "box3"},      {14, 49, 10, true, "box5"},
        {18, 49, 10, true, "box7"},     {26, 49, 10, true, "box13"},     {10, 63, 10, true, "box4"},
        {14, 63, 10, true, "box6"},     {18, 63, 10, true, "box8"},      {21, 63, 10, true, "box10"},
        {26, 63, 10, true, "box14"},    {21, 49, 1, false, "check9"},    {28, 49, 10, true, "box16"},
        {29, 49, 10, true, "box16"},    {28, 51, 14, false, "box17"},    {29, 51, 14, false, "box17"},
        {28, 75, 10, true, "box18"},    {29, 75, 10, true, "box18"},
};
inline const std::vector<Anchor> IntAnchors = {
        {5, 4, 31, false, "payer"},     {6, 4, 31, false, "payer"},      {7, 4, 31, false, "payer"},
        {10, 4, 11, false, "payerTIN"}, {10, 21, 11, false, "recipTIN"}, {13, 4, 31, false, "recipName"},
        {15, 4, 31, false, "street"},   {17, 4, 31, false, "city"},      {6, 50, 10, true, "box1"},
        {13, 50, 10, true, "box4"},
};
inline const std::vector<Anchor> Form1096Anchors = {
        {8, 6, 37, false, "filer"},         {11, 6, 37, false, "address"},
        {12, 6, 37, false, "address"},      {16, 4, 27, false, "contact"},
        {16, 32, 3, false, "telephone"},    {16, 37, 12, false, "telephone"},
        {18, 4, 46, false, "email"},        {20, 4, 11, false, "box1"},
        {20, 17, 11, false, "box2"},        {20, 36, 6, false, "box3"},
        {20, 55, 12, true, "box4"},         {20, 74, 12, true, "box5"},
        {24, 68, 1, false, "check1099INT"}, {28, 5, 1, false, "check1099MISC"},
};

inline const std::vector<Anchor>& AnchorsOf(const std::string& Layout)
{
    if (Layout == "misc")
        return MiscAnchors;
    if (Layout == "int")
        return IntAnchors;
    return Form1096Anchors;
}

}  // namespace formimages
