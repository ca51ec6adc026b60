#pragma once

#include "data/distance_data.h"

#include <QString>

namespace tessarin {

/// How many warnings the window's notice lists; the rest are counted.
constexpr int NoticeWarningLines = 10;

/// The text of the notice the window shows once after a reading: the
/// reading's warnings (at most NoticeWarningLines of them, with the count of
/// all) and, when the statistics had to be made from double-precision sums,
/// a note saying so with the two relative errors. Names `fileName`. Empty
/// when the reading has nothing to tell.
QString ReadingNoticeText(const QString &fileName, const DistanceData &data);

} // namespace tessarin
