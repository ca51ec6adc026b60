#pragma once

#include <string>
#include <vector>

namespace tessarin {

/// What the map explorer knows about the items besides their positions. Each
/// list is either empty (not known) or holds one entry per item, item i at
/// index i - 1.
struct ExplorerInput {
    /// The item names; empty when the items are known by their numbers.
    std::vector<std::string> names;
    /// The group of each item, an index into groupNames, or -1 for none.
    std::vector<int> groups;
    /// The names of the groups, in the order of their indices.
    std::vector<std::string> groupNames;
    /// Each item's share of the stress, in per cent.
    std::vector<double> stressShares;
    /// The factor that turns map distances into the table's units (the
    /// scale of stress-1), or 0 when not known.
    double mapScale = 0;

    bool hasNames(int itemCount) const { return static_cast<int>(names.size()) == itemCount && itemCount > 0; }
    bool hasGroups(int itemCount) const
    {
        return static_cast<int>(groups.size()) == itemCount && itemCount > 0 && !groupNames.empty();
    }
    bool hasStressShares(int itemCount) const
    {
        return static_cast<int>(stressShares.size()) == itemCount && itemCount > 0;
    }
};

} // namespace tessarin
