#include "referencepath.h"

#include <QDir>
#include <QFileInfo>

namespace vernalith {

QString referencePathForFile(const QString &imagePath, const QString &dialFilePath)
{
    if (imagePath.isEmpty())
        return imagePath;
    const QString image = QDir::cleanPath(QFileInfo(imagePath).absoluteFilePath());
    const QString relative = QFileInfo(dialFilePath).absoluteDir().relativeFilePath(image);
    if (relative.isEmpty() || relative == QLatin1String("..") || relative.startsWith(QLatin1String("../")) ||
        QDir::isAbsolutePath(relative) || relative.startsWith(QLatin1Char('[')))
        return image;
    return relative;
}

QString referencePathFromFile(const QString &stored, const QString &dialFilePath)
{
    if (stored.isEmpty())
        return stored;
    return QDir::cleanPath(QFileInfo(dialFilePath).absoluteDir().absoluteFilePath(stored));
}

} // namespace vernalith
