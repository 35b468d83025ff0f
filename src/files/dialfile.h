#pragma once

#include "design/dialdesign.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

namespace vernalith {

inline constexpr char kDialFileFirstLine[] = "[Vernalith1.0]";

// Reads a dial file's bytes one line at a time: LF ends a line and is consumed, every CR is
// dropped wherever it stands, the end of the bytes ends the last line, and reading with no byte
// left gives an empty line.
class DialLineReader
{
public:
    explicit DialLineReader(QByteArrayView bytes) : m_bytes(bytes) {}
    QString readFileLine();
    bool atEnd() const { return m_pos >= m_bytes.size(); }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

struct DialFileError {
    enum class Kind {
        None,
        UnknownFormat, // the first line is not "[Vernalith1.0]"
        CannotOpen,    // the file cannot be opened for reading
        ReadFailed,    // reading failed, or the file is not one that can be read (a table too long)
        CannotStore,   // the design holds something a dial file cannot keep
        WriteFailed,   // the file cannot be created or written
    };
    Kind kind = Kind::None;
    QString detail; // what went wrong, for a person; empty when kind is None

    bool ok() const { return kind == Kind::None; }
};

struct DialReadResult {
    DialDesign design;
    DialFileError error;
    bool ok() const { return error.ok(); }
};

// Parses a whole dial file. A design missing the dimensions section keeps `currentDimensions`;
// a missing table section gives that table one empty row. A file is all or nothing: on any
// error the returned design is meaningless and the caller keeps what it had.
DialReadResult parseDialFile(QByteArrayView bytes, const DimensionTexts &currentDimensions);
DialReadResult readDialFile(QIODevice &in, const DimensionTexts &currentDimensions);
DialReadResult loadDialFile(const QString &path, const DimensionTexts &currentDimensions);

// Checks that every text of the design survives a save and a later open unchanged: characters
// that Windows-1252 holds, no tab or line break in a cell, no line break in a dimension, no
// first cell that begins with "[" (it would end its section when read), at most 32766 rows.
DialFileError checkStorable(const DialDesign &design);

// The file's bytes: CR LF after every line, a TAB after every cell of a multi-column row,
// rows top to bottom, a final empty line. The design must have passed checkStorable().
QByteArray dialFileBytes(const DialDesign &design);

// Both check the design first and write nothing when it cannot be stored.
DialFileError writeDialFile(QIODevice &out, const DialDesign &design);
// Writes through a temporary file that replaces `path` only when complete: a failed save
// leaves an existing file untouched and no partial file behind.
DialFileError saveDialFile(const QString &path, const DialDesign &design);

} // namespace vernalith
