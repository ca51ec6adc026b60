#pragma once

#include "distances/item_groups.h"

#include <string>
#include <vector>

namespace tessarin {

/// The text the map prints for item i (1-based): its number in the number
/// print form (" 12 ") when `names` is empty, else its name with the same
/// blank before and after (" Paris "), so the label offset means the same.
/// Control characters in a name print as blanks.
std::string MapLabelText(const std::vector<std::string> &names, int item);

/// Item i for a tooltip: "3 Chicago", or "3" when the items have no names.
std::string ItemTitle(const std::vector<std::string> &names, int item);

/// A pair and its distance for a tooltip: "3 Chicago – 7 Denver: 920", the
/// distance in its shortest exact form.
std::string PairTitle(const std::vector<std::string> &names, int i, int j, float distance);

/// ItemTitle and PairTitle with each item's group after it in brackets when
/// there are groups: "3 Chicago (east)", "3 (a) – 7 (b): 920".
std::string ItemTitle(const std::vector<std::string> &names, const ItemGroups &groups, int item);
std::string PairTitle(const std::vector<std::string> &names, const ItemGroups &groups, int i, int j, float distance);

} // namespace tessarin
