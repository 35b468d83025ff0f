#include "scalereferences.h"

namespace vernalith {

int scaleNumber(const QString &cell, int scaleCount)
{
    bool ok = false;
    const int number = cell.trimmed().toInt(&ok);
    return ok && number >= 1 && number <= scaleCount ? number : 0;
}

QString renumberedScaleCell(const QString &cell, const QVector<int> &newNumberOfOld)
{
    const int old = scaleNumber(cell, static_cast<int>(newNumberOfOld.size()));
    if (old == 0)
        return cell;
    const int renumbered = newNumberOfOld.at(old - 1);
    if (renumbered == old)
        return cell;
    return renumbered > 0 ? QString::number(renumbered) : QString();
}

} // namespace vernalith
