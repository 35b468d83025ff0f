#include "dialfile.h"

#include "atomicfilewrite.h"
#include "codepage1252.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <vector>

namespace vernalith {

namespace {

// Lines have no length limit, but a file this large is not a dial file (4 x 32766 rows of
// ordinary cells is a few megabytes); refusing it keeps a wrong pick from eating the memory.
constexpr qsizetype kMaxFileBytes = 256 * 1024 * 1024;
// Enough of a file's start to tell its first line.
constexpr qsizetype kFirstLineProbeBytes = 1024;

QString tableCaption(TableKind kind)
{
    return QString::fromLatin1(tableInfo(kind).caption);
}

// The 1.1 sections after the tables, in file order: rows of a fixed number of cells, none of
// them shown in a design table, and no spare empty row. Sections that came after the scales are
// written only when they have rows, so that a file without them stays as it was.
struct ListSection {
    const char *header;
    const char *caption;
    int cellCount;
    TableRows DialDesign::*rows;
    bool writtenWhenEmpty;
};
const std::array<ListSection, 3> kListSections = {{
    {kScalesSectionHeader, "Scales", kScaleColumnCount, &DialDesign::scales, true},
    {"[Bands]", "Bands", kBandColumnCount, &DialDesign::bands, false},
    {"[Holes]", "Holes", kHoleColumnCount, &DialDesign::holes, false},
}};

DialFileError error(DialFileError::Kind kind, const QString &detail)
{
    return DialFileError{kind, detail};
}

// Strict UTF-8: no overlong form, no surrogate, nothing past U+10FFFF.
bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        unsigned int low = 0x80, high = 0xBF; // the allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (i + extra >= n)
            return false;
        if (p[i + 1] < low || p[i + 1] > high)
            return false;
        for (int k = 2; k <= extra; ++k) {
            if (p[i + k] < 0x80 || p[i + k] > 0xBF)
                return false;
        }
        i += extra + 1;
    }
    return true;
}

// One table (or the scales) as opening builds it. Rows are kept bottom first, so that a section
// read again, which puts its rows on top, costs the length of that section rather than of the
// table.
class TableBuilder
{
public:
    // Rows of `cellCount` cells read, padded with empty ones to `paddedTo`. A table starts
    // with one empty row, its spare; the scales start with none.
    TableBuilder(int cellCount, int paddedTo, bool withSpare)
        : m_cellCount(cellCount), m_paddedTo(std::max(cellCount, paddedTo)), m_hasSpare(withSpare)
    {
        if (m_hasSpare)
            m_reversed.append(spareRow());
    }

    // True when one more row after `fresh` rows of a section would leave the table over the
    // limit. A table holds its spare empty row besides the rows read so far, so it may reach one
    // over the limit here; the scales have no such row.
    bool fullWith(qsizetype fresh) const
    {
        const qsizetype size = m_reversed.size() + fresh;
        return m_hasSpare ? size > kMaxDataRows : size >= kMaxDataRows;
    }

    // Puts a section's rows on top, then removes the row that follows them.
    void addSection(TableRows &&fresh)
    {
        if (!m_reversed.isEmpty())
            m_reversed.removeLast();
        m_reversed.reserve(m_reversed.size() + fresh.size());
        for (qsizetype k = fresh.size() - 1; k >= 0; --k)
            m_reversed.append(std::move(fresh[k]));
        // A table is never without a row: the one it had is emptied instead.
        if (m_reversed.isEmpty() && m_hasSpare)
            m_reversed.append(spareRow());
    }

    int paddedTo() const { return m_paddedTo; }
    int cellCount() const { return m_cellCount; }

    TableRows rows() const { return TableRows(m_reversed.rbegin(), m_reversed.rend()); }

private:
    QStringList spareRow() const { return QStringList(m_paddedTo, QString()); }

    int m_cellCount;
    int m_paddedTo;
    bool m_hasSpare;
    TableRows m_reversed;
};

// Splits a 1.1 row into `cellCount` cells, missing ones empty; false when a cell past them is
// set (a later build's).
bool splitKnownCells(const QString &item, int cellCount, QStringList &cells)
{
    cells.clear();
    cells.reserve(cellCount);
    qsizetype start = 0;
    while (cells.size() < cellCount) {
        const qsizetype tab = item.indexOf(QLatin1Char('\t'), start);
        if (tab < 0) {
            cells.append(item.mid(start));
            start = item.size();
            break;
        }
        cells.append(item.mid(start, tab - start));
        start = tab + 1;
    }
    while (cells.size() < cellCount)
        cells.append(QString());
    for (qsizetype i = start; i < item.size(); ++i) {
        if (item[i] != QLatin1Char('\t'))
            return false;
    }
    return true;
}

} // namespace

QString DialLineReader::readFileLine()
{
    const char *data = m_bytes.data();
    const qsizetype size = m_bytes.size();
    const void *found = m_pos < size ? std::memchr(data + m_pos, '\n', static_cast<size_t>(size - m_pos)) : nullptr;
    const qsizetype end = found ? static_cast<const char *>(found) - data : size;
    m_line.resize(0);
    for (qsizetype i = m_pos; i < end; ++i) {
        if (data[i] != '\r')
            m_line.append(data[i]);
    }
    m_pos = found ? end + 1 : size;
    if (!m_utf8)
        return decode1252(m_line);
    if (!isValidUtf8(m_line)) {
        m_invalidUtf8 = true;
        return QString();
    }
    return QString::fromUtf8(m_line);
}

DialReadResult parseDialFile(QByteArrayView bytes, const DimensionTexts &currentDimensions)
{
    DialReadResult result;
    DialLineReader reader(bytes);
    const QString firstLine = reader.readFileLine();
    const bool v11 = firstLine == QLatin1String(kDialFileFirstLine11);
    if (!v11 && firstLine != QLatin1String(kDialFileFirstLine)) {
        result.error = error(DialFileError::Kind::UnknownFormat,
                             QStringLiteral("The first line is not \"%1\" or \"%2\"")
                                 .arg(QLatin1String(kDialFileFirstLine), QLatin1String(kDialFileFirstLine11)));
        return result;
    }
    if (v11)
        reader.setUtf8();

    // What opening starts from: the tables emptied, the dimensions as they were, no scales.
    result.design.dimensions = currentDimensions;
    // A 1.0 row holds the columns only; its extra cells start empty.
    const auto builderFor = [v11](TableKind kind) {
        return TableBuilder(v11 ? storedColumnCount(kind) : columnCount(kind), storedColumnCount(kind), true);
    };
    std::array<TableBuilder, 4> tables = {builderFor(TableKind::ScaleArcs), builderFor(TableKind::ScaleTickmarks),
                                          builderFor(TableKind::ScaleDigits), builderFor(TableKind::FaceLabels)};
    std::vector<TableBuilder> lists;
    for (const ListSection &section : kListSections)
        lists.emplace_back(section.cellCount, section.cellCount, false);

    const auto fail = [&](const QString &detail) {
        result.error = error(DialFileError::Kind::ReadFailed, detail);
        return false;
    };
    const auto checkUtf8 = [&]() {
        return !reader.hadInvalidUtf8() || fail(QStringLiteral("The file is not valid UTF-8 text"));
    };

    // Reads rows up to the next line that begins with "[" (left in `current`) or the file's end.
    // Rows go in above the table's, pushing the row that was first down, which is then removed:
    // a table read twice therefore behaves as it always has.
    const auto readSection = [&](TableBuilder &table, const QString &caption, QString &current) -> bool {
        TableRows fresh;
        for (;;) {
            current = reader.readFileLine();
            if (!checkUtf8())
                return false;
            const bool last = reader.atEnd();
            if (current.startsWith(QLatin1Char('[')))
                break;
            // The final empty line ends a file; a non-empty last line (an editor dropped the
            // empty one) is still a row.
            if (last && current.isEmpty())
                break;
            // Checking the table rather than the section also stops a file that repeats a
            // section from growing it without bound.
            if (table.fullWith(fresh.size()))
                return fail(QStringLiteral("The %1 table has more than %2 rows").arg(caption).arg(kMaxDataRows));
            QStringList cells;
            if (!v11) {
                cells = splitCells(current, table.cellCount(), table.paddedTo());
            } else if (!splitKnownCells(current, table.cellCount(), cells)) {
                // A section of no cells is one a later build added.
                return fail(table.cellCount() == 0
                                ? QStringLiteral("The file holds a %1 section that this version cannot read; "
                                                 "it was saved by a later version")
                                      .arg(caption)
                                : QStringLiteral("The %1 table holds cells that this version cannot read; "
                                                 "the file was saved by a later version")
                                      .arg(caption));
            }
            fresh.append(std::move(cells));
            if (last)
                break;
        }
        table.addSection(std::move(fresh));
        return true;
    };

    const auto isKnownHeader = [](const QString &line) {
        if (line == QLatin1String("[Dimensions]"))
            return true;
        for (const ListSection &section : kListSections) {
            if (line == QLatin1String(section.header))
                return true;
        }
        for (TableKind kind : kAllTables) {
            if (line == QLatin1String(tableInfo(kind).sectionHeader))
                return true;
        }
        return false;
    };

    QString current;
    bool pending = false; // `current` ended a later build's section and is read as a fresh line
    while (pending || !reader.atEnd()) {
        if (!pending) {
            current = reader.readFileLine();
            if (!checkUtf8())
                return result;
        }
        pending = false;
        if (current == QLatin1String("[Dimensions]")) {
            for (QString &dimension : result.design.dimensions) {
                dimension = reader.readFileLine();
                if (!checkUtf8())
                    return result;
            }
            continue;
        }
        // Sections are tried in this fixed order, each on the line that ended the one before: a
        // header that ended a later section is not read again (the rule files were always read by).
        for (TableKind kind : kAllTables) {
            if (current == QLatin1String(tableInfo(kind).sectionHeader)
                && !readSection(tables[static_cast<size_t>(tableIndex(kind))], tableCaption(kind), current))
                return result;
        }
        if (!v11)
            continue;
        for (size_t k = 0; k < kListSections.size(); ++k) {
            const ListSection &section = kListSections[k];
            if (current == QLatin1String(section.header)
                && !readSection(lists[k], QString::fromLatin1(section.caption), current))
                return result;
        }
        if (current.startsWith(QLatin1Char('[')) && !isKnownHeader(current)) {
            // A section of a later build: nothing is lost by passing over it only while it is empty.
            const QString header = current;
            TableBuilder unknown(0, 0, false);
            if (!readSection(unknown, header, current))
                return result;
            pending = current.startsWith(QLatin1Char('['));
        }
    }

    for (TableKind kind : kAllTables)
        result.design.table(kind) = tables[static_cast<size_t>(tableIndex(kind))].rows();
    for (size_t k = 0; k < kListSections.size(); ++k)
        result.design.*kListSections[k].rows = lists[k].rows();
    return result;
}

DialReadResult readDialFile(QIODevice &in, const DimensionTexts &currentDimensions)
{
    const auto tooLarge = [&](const QByteArray &start) {
        DialReadResult result = parseDialFile(QByteArrayView(start).first(std::min(start.size(), kFirstLineProbeBytes)),
                                              currentDimensions);
        if (result.error.kind != DialFileError::Kind::UnknownFormat)
            result.error =
                error(DialFileError::Kind::ReadFailed, QStringLiteral("The file is too large to be a dial file"));
        return result;
    };
    const auto readFailed = [&]() {
        DialReadResult result;
        result.error = error(DialFileError::Kind::ReadFailed, in.errorString());
        return result;
    };

    QByteArray bytes;
    // A file says how large it is: an oversized one is refused on its first line alone.
    if (!in.isSequential()) {
        const qint64 remaining = in.size() - in.pos();
        if (remaining > kMaxFileBytes) {
            const QByteArray start = in.read(kFirstLineProbeBytes);
            return tooLarge(start);
        }
        if (remaining > 0)
            bytes.reserve(static_cast<qsizetype>(remaining));
    }
    char chunk[64 * 1024];
    for (;;) {
        const qint64 got = in.read(chunk, sizeof chunk);
        if (got < 0)
            return readFailed();
        if (got == 0)
            break;
        bytes.append(chunk, got);
        if (bytes.size() > kMaxFileBytes)
            return tooLarge(bytes);
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
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            return QStringLiteral("half of a character (U+%1) cannot be stored")
                .arg(QString::number(c.unicode(), 16).toUpper());
    }
    return QString();
}

QString rowsProblem(const TableRows &rows, const QString &caption)
{
    if (rows.size() > kMaxDataRows)
        return QStringLiteral("%1: %2 rows are more than a dial file can hold (at most %3)")
            .arg(caption)
            .arg(rows.size())
            .arg(kMaxDataRows);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QStringList &row = rows[r];
        QString problem;
        if (!row.isEmpty() && row.first().startsWith(QLatin1Char('[')))
            problem = QStringLiteral("a first cell that begins with \"[\" cannot be stored");
        for (qsizetype k = 0; problem.isEmpty() && k < row.size(); ++k)
            problem = storageProblem(row[k], true);
        if (!problem.isEmpty())
            return QStringLiteral("%1, row %2: %3").arg(caption).arg(r + 1).arg(problem);
    }
    return QString();
}

bool fitsCodePage(const QString &text)
{
    return firstUnencodable1252(text) < 0;
}

// Appends one row: every cell tab-ended, or a one-column 1.0 row as it stands.
void appendRow(QByteArray &out, const QStringList &row, int cellCount, bool v11)
{
    if (!v11 && cellCount == 1) {
        appendEncoded1252(out, row.value(0));
    } else {
        for (int k = 0; k < cellCount; ++k) {
            if (v11)
                out += row.value(k).toUtf8();
            else
                appendEncoded1252(out, row.value(k));
            out += '\t';
        }
    }
    out += "\r\n";
}

} // namespace

DialFileVersion dialFileVersion(const DialDesign &design)
{
    for (const ListSection &section : kListSections) {
        if (!(design.*section.rows).isEmpty())
            return DialFileVersion::V1_1;
    }
    for (const QString &dimension : design.dimensions) {
        if (!fitsCodePage(dimension))
            return DialFileVersion::V1_1;
    }
    for (TableKind kind : kAllTables) {
        for (const QStringList &row : design.table(kind)) {
            for (qsizetype k = 0; k < std::min<qsizetype>(row.size(), storedColumnCount(kind)); ++k) {
                // A set cell past the columns (an extra cell) needs 1.1 as much as a character does.
                if ((k >= columnCount(kind) && !row[k].isEmpty()) || !fitsCodePage(row[k]))
                    return DialFileVersion::V1_1;
            }
        }
    }
    return DialFileVersion::V1_0;
}

DialFileError checkStorable(const DialDesign &design)
{
    for (int d = 0; d < kDimensionCount; ++d) {
        const QString problem = storageProblem(design.dimensions[static_cast<size_t>(d)], false);
        if (!problem.isEmpty())
            return error(DialFileError::Kind::CannotStore,
                         dimensionTitle(static_cast<Dimension>(d)) + QStringLiteral(": ") + problem);
    }
    for (TableKind kind : kAllTables) {
        const QString problem = rowsProblem(design.table(kind), tableCaption(kind));
        if (!problem.isEmpty())
            return error(DialFileError::Kind::CannotStore, problem);
    }
    for (const ListSection &section : kListSections) {
        const QString problem = rowsProblem(design.*section.rows, QString::fromLatin1(section.caption));
        if (!problem.isEmpty())
            return error(DialFileError::Kind::CannotStore, problem);
    }
    return DialFileError{};
}

QByteArray dialFileBytes(const DialDesign &design)
{
    const bool v11 = dialFileVersion(design) == DialFileVersion::V1_1;
    QByteArray out;
    out.reserve(4096);
    const auto line = [&out, v11](QStringView text) {
        if (v11)
            out += text.toUtf8();
        else
            appendEncoded1252(out, text);
        out += "\r\n";
    };

    line(QString::fromLatin1(v11 ? kDialFileFirstLine11 : kDialFileFirstLine));
    line(u"[Dimensions]");
    for (const QString &dimension : design.dimensions)
        line(dimension);
    for (TableKind kind : kAllTables) {
        line(QString::fromLatin1(tableInfo(kind).sectionHeader));
        const int cellCount = v11 ? storedColumnCount(kind) : columnCount(kind);
        for (const QStringList &row : design.table(kind))
            appendRow(out, row, cellCount, v11);
    }
    if (v11) {
        for (const ListSection &section : kListSections) {
            if (!section.writtenWhenEmpty && (design.*section.rows).isEmpty())
                continue;
            line(QString::fromLatin1(section.header));
            for (const QStringList &row : design.*section.rows)
                appendRow(out, row, section.cellCount, true);
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
    const QByteArray bytes = dialFileBytes(design);
    const QString problem = writeFileAtomically(path, [&bytes](QIODevice &out) {
        return out.write(bytes) == bytes.size() ? QString() : out.errorString();
    });
    if (!problem.isEmpty())
        return error(DialFileError::Kind::WriteFailed, QStringLiteral("%1: %2").arg(path, problem));
    return DialFileError{};
}

} // namespace vernalith
