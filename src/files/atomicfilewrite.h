#pragma once

#include <QString>

#include <functional>

class QIODevice;

namespace vernalith {

// Why `path` may not be replaced by a written file, for a person; empty when it may: it does not
// exist yet, or it is a regular file or a symbolic link to one (whose content is replaced). A
// folder, device, FIFO or socket, or a link to one, is never replaced.
QString replaceableFileProblem(const QString &path);

// Writes the file at `path` as a whole or not at all. `produce` writes the content to the device
// it is given (a temporary file beside `path`) and returns an empty string, or its own error
// text. The temporary file replaces `path` only when `produce` succeeded and every byte reached
// the file system, checked by flushing and comparing the file's size with what was written.
// Returns an empty string on success. Otherwise `path` is as it was, no temporary file is left,
// and the text is `produce`'s own error, replaceableFileProblem()'s, or the system's reason for
// the failing step ("No space left on device").
QString writeFileAtomically(const QString &path, const std::function<QString(QIODevice &)> &produce);

} // namespace vernalith
