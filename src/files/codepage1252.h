#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace vernalith {

// Dial files are 8-bit text in Windows-1252 (ASCII byte for byte). The five bytes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the
// same value, so every byte reads and writes back unchanged.

QString decode1252(QByteArrayView bytes);

// True when `c` has a byte in Windows-1252.
bool isEncodable1252(QChar c);

// Index of the first character that Windows-1252 cannot hold, or -1 when there is none.
qsizetype firstUnencodable1252(QStringView text);

// Encodes text that firstUnencodable1252() accepted; any other character becomes '?'.
QByteArray encode1252(QStringView text);
// The same, appended to `out`.
void appendEncoded1252(QByteArray &out, QStringView text);

} // namespace vernalith
