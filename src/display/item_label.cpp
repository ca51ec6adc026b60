#include "display/item_label.h"

#include "base/number_texts.h"
#include "display/drawing_surface.h"

namespace tessarin {

namespace {

std::string printable(std::string text)
{
    for (char &c : text)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = ' ';
    return text;
}

} // namespace

std::string MapLabelText(const std::vector<std::string> &names, int item)
{
    if (names.empty() || item < 1 || static_cast<std::size_t>(item) > names.size())
        return NumberPrintForm(item);
    return " " + printable(names[static_cast<std::size_t>(item - 1)]) + " ";
}

std::string ItemTitle(const std::vector<std::string> &names, int item)
{
    if (names.empty() || item < 1 || static_cast<std::size_t>(item) > names.size())
        return std::to_string(item);
    return std::to_string(item) + " " + printable(names[static_cast<std::size_t>(item - 1)]);
}

std::string PairTitle(const std::vector<std::string> &names, int i, int j, float distance)
{
    return ItemTitle(names, i) + " \u2013 " + ItemTitle(names, j) + ": " + ShortestText(distance);
}

} // namespace tessarin
