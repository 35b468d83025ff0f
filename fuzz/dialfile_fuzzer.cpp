// Feeds arbitrary bytes to the dial file reader. Besides crashes and undefined behaviour it
// checks what every successful read promises: the design is well formed, it can be stored,
// and writing it and reading the bytes back gives the same design and the same bytes.

#include "files/dialfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace vernalith;

namespace {

[[noreturn]] void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "dialfile_fuzzer: %s %s\n", what, detail.toUtf8().constData());
    std::abort();
}

void checkWellFormed(const DialDesign &design)
{
    for (const QString &dimension : design.dimensions) {
        if (dimension.contains(QLatin1Char('\r')) || dimension.contains(QLatin1Char('\n')))
            fail("a dimension holds a line break");
    }
    for (TableKind kind : kAllTables) {
        const TableRows &rows = design.table(kind);
        if (rows.isEmpty() || rows.size() > kMaxDataRows)
            fail("a table has no rows or too many", QString::fromLatin1(tableInfo(kind).controlName));
        for (const QStringList &row : rows) {
            if (row.size() != storedColumnCount(kind))
                fail("a row has the wrong number of cells", QString::fromLatin1(tableInfo(kind).controlName));
            if (row.first().startsWith(QLatin1Char('[')))
                fail("a first cell begins with [", row.first());
            for (const QString &cell : row) {
                if (cell.contains(QLatin1Char('\t')) || cell.contains(QLatin1Char('\r')) ||
                    cell.contains(QLatin1Char('\n')))
                    fail("a cell holds a tab or line break", cell);
            }
        }
    }
    if (design.scales.size() > kMaxDataRows)
        fail("too many scales");
    for (const QStringList &row : design.scales) {
        if (row.size() != kScaleColumnCount)
            fail("a scale has the wrong number of cells");
    }
    if (!design.reference.isEmpty() && design.reference.size() != kReferenceColumnCount)
        fail("the reference has the wrong number of cells");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const DimensionTexts current = DialDesign::startup().dimensions;

    const DialReadResult read = parseDialFile(bytes, current);
    if (!read.ok()) {
        if (read.error.kind != DialFileError::Kind::UnknownFormat && read.error.kind != DialFileError::Kind::ReadFailed)
            fail("unexpected error kind", read.error.detail);
        if (read.error.detail.isEmpty())
            fail("an error without a message");
        return 0;
    }

    checkWellFormed(read.design);
    const DialFileError storable = checkStorable(read.design);
    if (!storable.ok())
        fail("a design that was read cannot be stored:", storable.detail);

    const QByteArray written = dialFileBytes(read.design);
    const DialReadResult again = parseDialFile(written, current);
    if (!again.ok())
        fail("the written file cannot be read:", again.error.detail);
    if (again.design != read.design)
        fail("the written file reads as another design");
    if (dialFileBytes(again.design) != written)
        fail("writing the design a second time gives other bytes");
    return 0;
}
