#pragma once
// Sizes and places are stored in twips, as the settings always held them:
// fifteen to a pixel.

#include <cmath>

inline int TwipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / 15));
}

inline double PixelsToTwips(int pixels)
{
    return pixels * 15.0;
}
