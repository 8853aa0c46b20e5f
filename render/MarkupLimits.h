#pragma once
#include <algorithm>

// Bounds on what markup may ask of the layout. Markup comes from our strings, from translators'
// libraries and from text a server sends; a value past these is hostile, not a layout, and is cut
// to the bound so that it can neither take the process's memory nor freeze its thread.
const int kMaxMarkupLength = 16384;      // widths, heights, paddings and spacings in pixels
const int kMaxMarkupFontHeight = 400;    // font height in pixels
const int kMaxMarkupPercent = 1000;      // sizes given in percent
const int kMaxMarkupImageSide = 2048;    // drawn width or height of a picture
const int kMaxMarkupRepeat = 100;        // the count of a line break or a tab
const int kMaxTableSpan = 1000;          // colspan, rowspan
const int kMaxTableCells = 1 << 18;      // rows x columns of one table's grid
const int kMaxTableDepth = 32;           // tables inside tables; deeper ones are left out
const int kMaxMarkupExtent = 1 << 24;     // the size of a whole table or run in pixels
const int kMaxMarkupPicturesDrawn = 128;  // pictures drawn in one drawing pass; later ones keep their room

// v cut to [-limit, limit].
inline int ClampMarkup(long long v, int limit)
{
    return static_cast<int>(std::max<long long>(-limit, std::min<long long>(limit, v)));
}

// A size (a width, height, padding or spacing) cut to [0, limit]: a negative one would lay the
// following text over the preceding and turn hot areas inside out.
inline int ClampMarkupSize(long long v, int limit)
{
    return static_cast<int>(std::max<long long>(0, std::min<long long>(limit, v)));
}

// percent % of base, rounded half away from zero as the system's MulDiv rounds.
inline long long MarkupPercent(long long base, long long percent)
{
    const long long product = base * percent;
    return (product >= 0 ? product + 50 : product - 50) / 100;
}
