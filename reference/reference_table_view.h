// The distance table drawn cell by cell with strN at every cell, as it was
// drawn before the table's texts were formatted once per distinct value: the
// reference the table view's drawing is compared with (tests) and timed
// against (benchmark).
#pragma once

#include "data/distance_data.h"
#include "base/lenient_number.h"
#include "display/drawing_surface.h"
#include "base/str_n.h"

#include <cmath>
#include <string>

namespace tessarin::testing {

inline void ReferenceDistanceMatrix(DrawingSurface &box, const DistanceData &data, const std::string &sizeText)
{
    const int n = data.ItemCount;
    box.setScale(0, 0, n + 1, n + 1);
    box.setBackColor(11);
    box.setForeColor(0);
    box.clear();
    const double perItem = LenientNumber(sizeText) / n;
    if (perItem > 300) {
        box.setFontName("Times New Roman");
        box.setFontSize(static_cast<float>(std::floor(90.0 / n)));
    } else {
        box.setFontName("Small Fonts");
        box.setFontSize(static_cast<float>(std::floor(55.0 / n)));
        if (box.fontSize() < 5)
            box.setFontSize(5);
    }
    box.setCurrentY(0);
    for (int j = 1; j <= n; ++j) {
        box.setCurrentX(static_cast<float>(j));
        box.printNumber(j, false);
    }
    box.print("", true);
    for (int i = 1; i <= n; ++i) {
        box.setCurrentY(static_cast<float>(i));
        box.setCurrentX(0);
        box.printNumber(i, false);
        for (int j = 1; j <= n; ++j) {
            box.setCurrentX(static_cast<float>(j));
            box.print(j == i ? " - " : strN(3, data.distance(i, j)), false);
        }
        box.print("", true);
    }
}

} // namespace tessarin::testing
