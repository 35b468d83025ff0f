#pragma once

#include <QString>

namespace vernalith {

// How a dial file names its reference image: relative to the dial file's folder when the image
// lies in that folder or below it (so that the two can be moved together), absolute otherwise.
// A relative name that would begin with "[" stays absolute, as such a line would end its
// section. Separators are "/". An empty path stays empty.
QString referencePathForFile(const QString &imagePath, const QString &dialFilePath);

// The absolute, cleaned path of the image a dial file at `dialFilePath` names as `stored`.
// Does not look at the image itself.
QString referencePathFromFile(const QString &stored, const QString &dialFilePath);

} // namespace vernalith
