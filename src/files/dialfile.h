#pragma once

#include "design/dialdesign.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

namespace vernalith {

// Two versions share one layout. 1.0 is Windows-1252 and holds the columns the tables show.
// 1.1 is UTF-8 (no byte-order mark) and holds, besides, every row's extra cells (all of them, set
// or not, each tab-ended like the columns; a one-column row then ends in a tab too) and, after
// [Labels], a [Scales] section, then [Bands] and [Holes] when they have rows (cells in the column
// order of dialdesign.h). An older build refuses a 1.1 file as of unknown format
// rather than drawing its scales wrongly; in turn a 1.1 reader refuses a 1.1 file carrying what
// it does not know (a later section with rows, or a set cell past a row's last known one), as it
// could not draw or keep it. Empty unknown sections are read as nothing.
inline constexpr char kDialFileFirstLine[] = "[Vernalith1.0]";
inline constexpr char kDialFileFirstLine11[] = "[Vernalith1.1]";
inline constexpr char kScalesSectionHeader[] = "[Scales]";

enum class DialFileVersion { V1_0, V1_1 };

// Reads a dial file's bytes one line at a time: LF ends a line and is consumed, every CR is
// dropped wherever it stands, the end of the bytes ends the last line, and reading with no byte
// left gives an empty line. Lines are Windows-1252 until setUtf8(); a line that is not valid
// UTF-8 then reads as empty and sets hadInvalidUtf8().
class DialLineReader
{
public:
    explicit DialLineReader(QByteArrayView bytes) : m_bytes(bytes) {}
    QString readFileLine();
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    void setUtf8() { m_utf8 = true; }
    bool hadInvalidUtf8() const { return m_invalidUtf8; }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    bool m_utf8 = false;
    bool m_invalidUtf8 = false;
    QByteArray m_line; // reused, so that a line costs no allocation of its own
};

struct DialFileError {
    enum class Kind {
        None,
        UnknownFormat, // the first line is neither "[Vernalith1.0]" nor "[Vernalith1.1]"
        CannotOpen,    // the file cannot be opened for reading
        ReadFailed,    // reading failed, or the file is not one that can be read (a table too long,
                       // text that is not UTF-8 in a 1.1 file, something only a later build knows)
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

// Parses a whole dial file of either version. A design missing the dimensions section keeps
// `currentDimensions`; a missing table section gives that table one empty row, a missing
// [Scales], [Bands] or [Holes] section no rows. Every row read holds all its cells (storedColumnCount; 5 for a
// scale). A section met again inserts its rows above the table's and then removes the row that
// follows them, as it always has ([Arcs] 1 2 ... [Arcs] 3 gives 3, 2); the cost stays linear in
// the file's size. A file is all or nothing: on any error the returned design is meaningless
// and the caller keeps what it had. Files over 256 MiB are refused before they are read.
DialReadResult parseDialFile(QByteArrayView bytes, const DimensionTexts &currentDimensions);
DialReadResult readDialFile(QIODevice &in, const DimensionTexts &currentDimensions);
DialReadResult loadDialFile(const QString &path, const DimensionTexts &currentDimensions);

// The version a save writes: 1.0 whenever the design holds nothing 1.0 cannot (no scales, bands
// or holes, no extra cell set, every character in Windows-1252), so such files stay byte for
// byte as they always were; 1.1 otherwise.
DialFileVersion dialFileVersion(const DialDesign &design);

// Checks that every text of the design survives a save and a later open unchanged: no tab or
// line break in a cell, no line break in a dimension, no first cell (of a row or a scale) that
// begins with "[" (it would end its section when read), no half of a surrogate pair, at most
// 32766 rows per table, scales, bands and holes.
DialFileError checkStorable(const DialDesign &design);

// The file's bytes in dialFileVersion(design): CR LF after every line, a TAB after every cell of
// a multi-column row (every row in 1.1), rows top to bottom, a final empty line. The design must
// have passed checkStorable().
QByteArray dialFileBytes(const DialDesign &design);

// Both check the design first and write nothing when it cannot be stored.
DialFileError writeDialFile(QIODevice &out, const DialDesign &design);
// Writes through a temporary file that replaces `path` only when complete: a failed save
// leaves an existing file untouched and no partial file behind. Only a regular file (or a link
// to one) is replaced: a folder, device, FIFO or socket at `path` is refused.
DialFileError saveDialFile(const QString &path, const DialDesign &design);

} // namespace vernalith
