#include "codepage1252.h"

namespace vernalith {

namespace {

// Bytes 0x80..0x9F; the undefined ones keep their own value.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int byteFor(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == u)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

QString decode1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHighControls[b - 0x80]) : QChar(char16_t(b));
    }
    return text;
}

bool isEncodable1252(QChar c)
{
    return byteFor(c.unicode()) >= 0;
}

qsizetype firstUnencodable1252(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isEncodable1252(text[i]))
            return i;
    }
    return -1;
}

QByteArray encode1252(QStringView text)
{
    QByteArray bytes;
    appendEncoded1252(bytes, text);
    return bytes;
}

void appendEncoded1252(QByteArray &out, QStringView text)
{
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char *bytes = out.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const int b = u < 0x80 ? u : byteFor(u);
        bytes[i] = static_cast<char>(b < 0 ? '?' : b);
    }
}

} // namespace vernalith
