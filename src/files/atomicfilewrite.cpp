#include "atomicfilewrite.h"

#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>

namespace vernalith {

namespace {

// What stands at the path when it is not a regular file; null when it is one or nothing is there.
// stat() follows links: a link is judged by what it leads to.
const char *otherThanRegularFile(const QByteArray &nativePath)
{
    struct stat status {};
    if (::stat(nativePath.constData(), &status) != 0 || S_ISREG(status.st_mode))
        return nullptr;
    if (S_ISDIR(status.st_mode))
        return "it is a folder";
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return "it is a device";
    if (S_ISFIFO(status.st_mode))
        return "it is a FIFO";
    if (S_ISSOCK(status.st_mode))
        return "it is a socket";
    return "it is not a regular file";
}

QString reasonOf(const QSaveFile &file)
{
    const QString reason = file.errorString();
    return reason.isEmpty() ? QStringLiteral("the file cannot be written") : reason;
}

} // namespace

QString replaceableFileProblem(const QString &path)
{
    const char *other = otherThanRegularFile(QFile::encodeName(path));
    if (!other)
        return QString();
    return QString::fromLatin1(other) + QStringLiteral("; only regular files are replaced");
}

QString writeFileAtomically(const QString &path, const std::function<QString(QIODevice &)> &produce)
{
    const QString problem = replaceableFileProblem(path);
    if (!problem.isEmpty())
        return problem;

    QSaveFile file(path); // discards its temporary file unless committed
    if (!file.open(QIODevice::WriteOnly))
        return reasonOf(file);
    const QString produced = produce(file);
    if (!produced.isEmpty())
        return produced;
    // commit() flushes too, but a failure there goes unnoticed; writers such as QPdfWriter do not
    // look at what write() returns either, so the file's own error state is the judge.
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return reasonOf(file);
    if (file.size() != file.pos())
        return QStringLiteral("the file was cut short (%1 of %2 bytes written)").arg(file.size()).arg(file.pos());
    if (!file.commit())
        return reasonOf(file);
    return QString();
}

} // namespace vernalith
