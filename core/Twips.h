#pragma once
// Sizes and places are stored in twips, as the settings always held them:
// fifteen to a pixel.

#include <cmath>

// The most pixels a size or place can be (Qt's largest widget size).
inline constexpr int kMostPixels = (1 << 24) - 1;

// A stored size far past any screen (a settings file edited or damaged) is
// held to that, rather than wrapping round to some other number.
inline int TwipsToPixels(double twips)
{
    const double pixels = std::round(twips / 15);
    if (!(pixels >= -kMostPixels))
        return pixels < 0 ? -kMostPixels : 0; // NaN: nothing
    return pixels > kMostPixels ? kMostPixels : static_cast<int>(pixels);
}

inline double PixelsToTwips(int pixels)
{
    return pixels * 15.0;
}
