#include "dialfile.h"

#include "codepage1252.h"

#include <QFile>
#include <QIODevice>
#include <QSaveFile>

namespace vernalith {

namespace {

// Lines have no length limit, but a file this large is not a dial file (4 x 32766 rows of
// ordinary cells is a few megabytes); refusing it keeps a wrong pick from eating the memory.
constexpr qsizetype kMaxFileBytes = 256 * 1024 * 1024;

QString tableCaption(TableKind kind)
{
    return QString::fromLatin1(tableInfo(kind).caption);
}

DialFileError error(DialFileError::Kind kind, const QString &detail)
{
    return DialFileError{kind, detail};
}

// Removes the table's row at grid row `n`, or empties it when it is the only one.
void removeRowOrEmpty(TableRows &rows, TableKind kind, int n)
{
    if (rows.size() == 1)
        rows[0] = emptyRow(kind);
    else if (n >= 1 && n <= rows.size())
        rows.removeAt(n - 1);
}

} // namespace

QString DialLineReader::readFileLine()
{
    QByteArray line;
    while (m_pos < m_bytes.size()) {
        const char c = m_bytes[m_pos++];
        if (c == '\n')
            break;
        if (c != '\r')
            line.append(c);
    }
    return decode1252(line);
}

DialReadResult parseDialFile(QByteArrayView bytes, const DimensionTexts &currentDimensions)
{
    DialReadResult result;
    DialLineReader reader(bytes);
    if (reader.readFileLine() != QLatin1String(kDialFileFirstLine)) {
        result.error = error(DialFileError::Kind::UnknownFormat,
                             QStringLiteral("The first line is not \"%1\"").arg(QLatin1String(kDialFileFirstLine)));
        return result;
    }

    // What opening starts from: the tables emptied, the dimensions as they were.
    result.design.dimensions = currentDimensions;
    for (TableKind kind : kAllTables)
        result.design.table(kind) = emptyTable(kind);

    // Rows are inserted from position 1 on, pushing the table's spare empty row down, which is
    // then removed; a table read twice therefore behaves as it always has.
    auto readSection = [&](TableKind kind, QString &current) -> bool {
        TableRows &rows = result.design.table(kind);
        int n = 1;
        for (;;) {
            current = reader.readFileLine();
            const bool last = reader.atEnd();
            if (current.startsWith(QLatin1Char('[')))
                break;
            // The final empty line ends a file; a non-empty last line (an editor dropped the
            // empty one) is still a row.
            if (last && current.isEmpty())
                break;
            // The table holds its spare empty row besides the rows read so far: one row over the
            // limit now means the table would end over it. Checking the table rather than the
            // section also stops a file that repeats a section from growing it without bound.
            if (rows.size() > kMaxDataRows) {
                result.error = error(DialFileError::Kind::ReadFailed,
                                     QStringLiteral("The %1 table has more than %2 rows")
                                         .arg(tableCaption(kind))
                                         .arg(kMaxDataRows));
                return false;
            }
            rows.insert(n - 1, splitItem(kind, current));
            ++n;
            if (last)
                break;
        }
        removeRowOrEmpty(rows, kind, n);
        return true;
    };

    while (!reader.atEnd()) {
        QString current = reader.readFileLine();
        if (current == QLatin1String("[Dimensions]")) {
            for (QString &dimension : result.design.dimensions)
                dimension = reader.readFileLine();
        }
        for (TableKind kind : kAllTables) {
            if (current == QLatin1String(tableInfo(kind).sectionHeader) && !readSection(kind, current))
                return result;
        }
    }

    return result;
}

DialReadResult readDialFile(QIODevice &in, const DimensionTexts &currentDimensions)
{
    QByteArray bytes;
    char chunk[64 * 1024];
    for (;;) {
        const qint64 got = in.read(chunk, sizeof chunk);
        if (got < 0) {
            DialReadResult result;
            result.error = error(DialFileError::Kind::ReadFailed, in.errorString());
            return result;
        }
        if (got == 0)
            break;
        bytes.append(chunk, got);
        if (bytes.size() > kMaxFileBytes) {
            DialReadResult result = parseDialFile(QByteArrayView(bytes).first(1024), currentDimensions);
            if (result.error.kind != DialFileError::Kind::UnknownFormat)
                result.error = error(DialFileError::Kind::ReadFailed,
                                     QStringLiteral("The file is too large to be a dial file"));
            return result;
        }
    }
    return parseDialFile(bytes, currentDimensions);
}

DialReadResult loadDialFile(const QString &path, const DimensionTexts &currentDimensions)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        DialReadResult result;
        result.error = error(DialFileError::Kind::CannotOpen, QStringLiteral("%1: %2").arg(path, file.errorString()));
        return result;
    }
    return readDialFile(file, currentDimensions);
}

namespace {

// What keeps `text` from being stored as one dial file line (or one cell of one), or an empty
// string when nothing does. One pass: this runs for every cell of every save.
QString storageProblem(const QString &text, bool isCell)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return isCell ? QStringLiteral("a tab or line break cannot be stored")
                          : QStringLiteral("a line break cannot be stored");
        if (isCell && c == QLatin1Char('\t'))
            return QStringLiteral("a tab or line break cannot be stored");
        if (!isEncodable1252(c)) {
            // Name the whole character, not half of a surrogate pair.
            const qsizetype length = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            return QStringLiteral("the character \"%1\" cannot be stored in a dial file").arg(text.mid(i, length));
        }
    }
    return QString();
}

} // namespace

DialFileError checkStorable(const DialDesign &design)
{
    for (int d = 0; d < kDimensionCount; ++d) {
        const QString problem = storageProblem(design.dimensions[static_cast<size_t>(d)], false);
        if (!problem.isEmpty())
            return error(DialFileError::Kind::CannotStore,
                         dimensionTitle(static_cast<Dimension>(d)) + QStringLiteral(": ") + problem);
    }

    for (TableKind kind : kAllTables) {
        const TableRows &rows = design.table(kind);
        if (rows.size() > kMaxDataRows)
            return error(DialFileError::Kind::CannotStore,
                         QStringLiteral("%1: %2 rows are more than a dial file can hold (at most %3)")
                             .arg(tableCaption(kind))
                             .arg(rows.size())
                             .arg(kMaxDataRows));
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const QStringList &row = rows[r];
            QString problem;
            if (!row.isEmpty() && row.first().startsWith(QLatin1Char('[')))
                problem = QStringLiteral("a first cell that begins with \"[\" cannot be stored");
            for (qsizetype k = 0; problem.isEmpty() && k < row.size(); ++k)
                problem = storageProblem(row[k], true);
            if (!problem.isEmpty())
                return error(DialFileError::Kind::CannotStore,
                             QStringLiteral("%1, row %2: %3").arg(tableCaption(kind)).arg(r + 1).arg(problem));
        }
    }
    return DialFileError{};
}

QByteArray dialFileBytes(const DialDesign &design)
{
    QByteArray out;
    out.reserve(4096);
    const auto line = [&out](QStringView text) {
        appendEncoded1252(out, text);
        out += "\r\n";
    };

    line(QString::fromLatin1(kDialFileFirstLine));
    line(u"[Dimensions]");
    for (const QString &dimension : design.dimensions)
        line(dimension);
    for (TableKind kind : kAllTables) {
        line(QString::fromLatin1(tableInfo(kind).sectionHeader));
        const bool oneColumn = columnCount(kind) == 1;
        for (const QStringList &row : design.table(kind)) {
            if (oneColumn) {
                line(row.value(0));
                continue;
            }
            for (int k = 0; k < columnCount(kind); ++k) {
                appendEncoded1252(out, row.value(k));
                out += '\t';
            }
            out += "\r\n";
        }
    }
    line(u"");
    return out;
}

DialFileError writeDialFile(QIODevice &out, const DialDesign &design)
{
    const DialFileError check = checkStorable(design);
    if (!check.ok())
        return check;
    const QByteArray bytes = dialFileBytes(design);
    if (out.write(bytes) != bytes.size())
        return error(DialFileError::Kind::WriteFailed, out.errorString());
    return DialFileError{};
}

DialFileError saveDialFile(const QString &path, const DialDesign &design)
{
    const DialFileError check = checkStorable(design);
    if (!check.ok())
        return check;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return error(DialFileError::Kind::WriteFailed, QStringLiteral("%1: %2").arg(path, file.errorString()));
    const QByteArray bytes = dialFileBytes(design);
    // commit() ignores a failing flush: a disk that fills up half way (a short write) would leave
    // a cut-off file in place of the old one. Flushing first and checking catches it; the
    // temporary file is then discarded and the existing file stays as it was.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.size() != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return error(DialFileError::Kind::WriteFailed, QStringLiteral("%1: %2").arg(path, reason));
    }
    if (!file.commit())
        return error(DialFileError::Kind::WriteFailed, QStringLiteral("%1: %2").arg(path, file.errorString()));
    return DialFileError{};
}

} // namespace vernalith
