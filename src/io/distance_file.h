#pragma once

#include "data/distance_data.h"
#include "io/distance_cell.h"

#include <string>

namespace tessarin {

/// The layouts a distance table can be read from.
enum class DistanceFormat {
    /// Our own distance file: the count and a title, then the rows above the
    /// diagonal (ReadDistances).
    DistanceFile,
    /// A comma- or tab-separated square matrix, named or not (ReadSquareMatrix).
    SquareMatrix,
    /// A named lower triangle (ReadLowerTriangle).
    LowerTriangle,
    /// A PHYLIP distance file (ReadPhylip).
    Phylip,
    /// A lower triangle as R prints a dist object, in blocks of columns
    /// (ReadPrintedDist).
    PrintedDist,
};

/// The format's name as messages show it ("square matrix").
const char *DistanceFormatName(DistanceFormat format);

/// Chooses the reader for a file by its first lines: the count with a title
/// is our distance file, unless a tab follows the count and line 2 is a name
/// (the .dst lower triangle); a line 1 of only a count
/// with a name and numbers below it is PHYLIP; a line 1 of comma- or
/// tab-separated names, or of numbers starting with the diagonal 0, is a
/// square matrix; a line 1 of blank-separated names or of one name is a
/// lower triangle, if line 2 is its next row. The extension decides only
/// between our file and PHYLIP when the content fits both (.phy, .dist and
/// .phylip for PHYLIP). Throws TessarinError when the file cannot be opened,
/// or when it fits none, saying for each format what in line 1 or 2 ruled it
/// out.
DistanceFormat ChooseDistanceFormat(const std::string &fileName);

/// Reads a distance table in whichever format ChooseDistanceFormat finds; our
/// own distance file reads exactly as ReadDistances reads it. When that
/// reading fails (or no format fits the first lines), the other formats are
/// tried in turn (square matrix, lower triangle, R's printed dist, PHYLIP):
/// the first that reads the file cleanly is taken, so that a file which only
/// looks like ours at its start still reads. All or nothing: when none
/// reads it, throws the TessarinError of the first choice, naming the file,
/// the line and the value at fault. `meaning` says whether the messages of
/// the named layouts call a cell a distance or a weight; our own distance
/// file's reading and messages do not change with it.
DistanceData ReadDistanceFile(const std::string &fileName, CellMeaning meaning);
/// The same with the cells read as distances.
DistanceData ReadDistanceFile(const std::string &fileName);

} // namespace tessarin
