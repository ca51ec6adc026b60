#include "display/distance_table_view.h"

#include "base/lenient_number.h"
#include "base/tessarin_error.h"
#include "base/str_n.h"

#include <cmath>

namespace tessarin {

namespace {

constexpr int LightCyan = 11;
constexpr int Black = 0;

} // namespace

void DistanceMatrix(DrawingSurface &box, const DistanceData &data, const std::string &sizeText)
{
    const int n = data.ItemCount;
    if (n + 1 > 32767)
        throw TessarinError("a table of " + std::to_string(n) + " items is too large to draw");
    box.setScale(0, 0, n + 1, n + 1);
    box.setBackColor(LightCyan);
    box.setForeColor(Black);
    box.clear();

    const double size = LenientNumber(sizeText);
    if (n == 0)
        throw TessarinError("there is no distance table to draw: open a distance file first");
    const double perItem = size / n;
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
        if (box.stopped())
            return;
    }
    box.print("", true);
    FieldFormatter cellText(3);
    const std::string diagonal = " - ";
    const std::string blank = "   ";
    for (int i = 1; i <= n; ++i) {
        box.setCurrentY(static_cast<float>(i));
        box.setCurrentX(0);
        box.printNumber(i, false);
        for (int j = 1; j <= n; ++j) {
            box.setCurrentX(static_cast<float>(j));
            // A missing pair (weight 0) is a blank cell.
            box.print(j == i                              ? diagonal
                      : data.pairWeight(i, j) == 0.0f ? blank
                                                      : cellText(data.distance(i, j)),
                      false);
            if (box.stopped())
                return;
        }
        box.print("", true);
    }
}

} // namespace tessarin
