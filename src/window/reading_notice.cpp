#include "window/reading_notice.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>

namespace tessarin {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ReadingNotice", text);
}

} // namespace

QString ReadingNoticeText(const QString &fileName, const DistanceData &data)
{
    QStringList parts;
    if (data.WarningCount > 0) {
        QString warnings = data.WarningCount == 1
                               ? tr("%1 was read, but one thing in it may not be what its author meant:").arg(fileName)
                               : tr("%1 was read, but %2 things in it may not be what its author meant:")
                                     .arg(fileName)
                                     .arg(data.WarningCount);
        warnings += QLatin1Char('\n');
        const qsizetype listed = std::min<qsizetype>(data.Warnings.size(), NoticeWarningLines);
        for (qsizetype k = 0; k < listed; ++k) {
            const ReadingWarning &warning = data.Warnings[static_cast<std::size_t>(k)];
            warnings += QLatin1Char('\n') +
                        tr("line %1: %2").arg(warning.line).arg(QString::fromStdString(warning.text));
        }
        if (data.WarningCount > listed)
            warnings += QLatin1Char('\n') + tr("… and %1 more.").arg(data.WarningCount - listed);
        parts << warnings;
    }
    if (data.MissingPairs > 0) {
        const long long n = data.ItemCount;
        parts << tr("%1: %2 of the %3 pairs are missing. They are left out of the fit and drawn nowhere; the "
                    "table shows them blank.")
                     .arg(fileName)
                     .arg(data.MissingPairs)
                     .arg(n * (n - 1) / 2);
    }
    if (data.StatisticsFromDoubleSums)
        parts << tr("%1: the sums of the distances and of their squares drifted in single precision (relative "
                    "errors %2 and %3), so they were taken in double precision; the fit is computed from those.")
                     .arg(fileName)
                     .arg(data.SumRelativeError, 0, 'g', 3)
                     .arg(data.SquareSumRelativeError, 0, 'g', 3);
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace tessarin
