#pragma once

#include "data/distance_data.h"

#include <string>
#include <vector>

namespace tessarin {

/// Builds the DistanceData of a table read in one of the named layouts
/// (square matrix, lower triangle, PHYLIP), so that every layout ends the way
/// the distance file's reader does: a zeroed (N + 1) x (N + 1) table, the
/// pairs stored in both halves, a zero diagonal, the statistics, the packed
/// pairs.
class NamedTableBuilder {
public:
    explicit NamedTableBuilder(std::string fileName) : m_fileName(std::move(fileName)) {}

    /// Checks the item count (2..MaxItemCount; `where` names the file and line
    /// it was read from) and takes the zeroed table, unless `withTable` is
    /// false: a file too short to hold the table is then read through for its
    /// error without one.
    void begin(int itemCount, const std::string &where, bool withTable);
    /// Gives the items their names, N of them (none for an unnamed table):
    /// none may be empty and no two alike. `lines` gives the line each name
    /// was read on, for the error.
    void setNames(std::vector<std::string> names, const std::vector<long> &lines);

    /// Stores the distance of items i != j in (i, j) and (j, i).
    void setPair(int i, int j, float value);
    /// Marks the pair of items i != j missing: it weighs 0, its cells hold 0.
    void setMissing(int i, int j);
    bool isMissing(int i, int j) const;
    /// The distance stored for items i and j (0 before it is stored).
    float pair(int i, int j) const;
    bool hasTable() const { return !m_data.Distances.empty(); }
    int itemCount() const { return m_data.ItemCount; }

    /// The finished data, its missing pairs weighing 0. Throws TessarinError
    /// when the statistics leave the single-precision range, when the present
    /// pairs do not join every item, or when the table was not taken (the
    /// file changed while it was read).
    DistanceData finish();

private:
    std::string m_fileName;
    DistanceData m_data;
    /// One flag a pair, in pair order; empty until a pair is missing.
    std::vector<char> m_missing;
};

} // namespace tessarin
