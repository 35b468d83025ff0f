// Dial files in layers: round trips, the row limits, one case per reader rule, refusals and failed saves.

#include "tablerows.h"

#include "files/codepage1252.h"
#include "files/dialfile.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace vernalith;
using namespace Qt::StringLiterals;
using K = DialFileError::Kind;

Q_DECLARE_METATYPE(vernalith::DialFileError::Kind)
Q_DECLARE_METATYPE(vernalith::DialDesign)

// A file of LF-ended lines after the identifying first line, as an editor may leave it.
static QByteArray vlt(const char *lines)
{
    return QByteArray("[Vernalith1.0]\n") + lines;
}

static QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<cannot open>");
}

// The dimensions a file is read against; a file without a dimensions section keeps them.
static const DimensionTexts kCurrent{u"c1"_s, u"c2"_s, u"c3"_s, u"c4"_s, u"c5"_s, u"c6"_s, u"c7"_s, u"c8"_s};

static DialDesign workedExample()
{
    DialDesign design = DialDesign::startup();
    design.tables = {rowsOf("20;22"), rowsOf("10|22|20;50|22|21"), rowsOf("5|0|100|0|24|6"), rowsOf("26|40|mA|8")};
    return design;
}

// Saved with CR LF for each LF; rows in the order they are shown (arcs 20 then 22).
static const QByteArray kWorkedExampleLf =
    vlt("[Dimensions]\n52\n45\n26\n33\n5\n12\n47\n12\n[Arcs]\n20\n22\n[Tickmarks]\n10\t22\t20\t\n50\t22\t21\t\n"
        "[Digits]\n5\t0\t100\t0\t24\t6\t\n[Labels]\n26\t40\tmA\t8\t\n\n");

// What a design holds beyond an opened file's start (kCurrent, emptied tables): "dims 1,2,..; [Arcs] 20 / 22".
static QString describe(const DialDesign &design)
{
    QStringList parts;
    if (design.dimensions != kCurrent)
        parts.append(u"dims "_s + QStringList(design.dimensions.begin(), design.dimensions.end()).join(u','));
    for (TableKind kind : kAllTables) {
        QStringList rows;
        for (QStringList row : design.table(kind)) {
            while (row.size() > columnCount(kind) && row.last().isEmpty()) // unset extra cells
                row.removeLast();
            rows.append(row.join(u'|'));
        }
        if (design.table(kind) != emptyTable(kind))
            parts.append(QString::fromLatin1(tableInfo(kind).sectionHeader) + u' ' + rows.join(u" / "_s));
    }
    QStringList scales;
    for (const QStringList &row : design.scales)
        scales.append(row.join(u'|'));
    if (!scales.isEmpty())
        parts.append(u"scales "_s + scales.join(u" / "_s));
    return parts.join(u"; "_s);
}

// Up to `maxLength` characters of the code page, mostly printable ASCII, none of `excluded`.
static QString randomText(QRandomGenerator &random, int maxLength, const QByteArray &excluded)
{
    QByteArray bytes;
    for (const int length = random.bounded(maxLength + 1); bytes.size() < length;) {
        const char b = char(random.bounded(3) == 0 ? random.bounded(256) : 32 + random.bounded(95));
        if (!excluded.contains(b))
            bytes.append(b);
    }
    return decode1252(bytes);
}

static DialDesign randomDesign(QRandomGenerator &random)
{
    DialDesign design;
    for (QString &d : design.dimensions)
        d = randomText(random, 10, "\r\n");
    for (TableKind kind : kAllTables) {
        for (int r = 1 + (random.bounded(10) == 0 ? random.bounded(300) : random.bounded(6)); r > 0; --r) {
            QStringList row;
            for (int k = 0; k < columnCount(kind); ++k) // a first cell "[..." would end its section
                row.append(randomText(random, 8, k == 0 ? "[\t\r\n" : "\t\r\n"));
            design.table(kind).append(row);
        }
    }
    return design;
}

// Empty when the design is storable, reads back equal and is then written to the same bytes.
static QString roundTripFault(const DialDesign &design)
{
    if (const DialFileError check = checkStorable(design); !check.ok())
        return check.detail;
    const QByteArray bytes = dialFileBytes(design);
    const DialReadResult read = parseDialFile(bytes, kCurrent);
    if (!read.ok() || read.design != design)
        return read.error.detail + describe(design) + u" read as "_s + describe(read.design);
    return dialFileBytes(read.design) == bytes ? QString() : u"written differently once read"_s;
}

// A file of `size` bytes that begins with `start` and counts what is read of it.
class LargeFile : public QIODevice
{
public:
    LargeFile(QByteArray start, qint64 size) : m_start(std::move(start)), m_size(size) { open(QIODevice::ReadOnly); }
    qint64 size() const override { return m_size; }
    bool isSequential() const override { return false; }
    qint64 bytesHandedOut = 0;

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min(maxSize, m_size - pos());
        for (qint64 i = 0; i < n; ++i)
            data[i] = pos() + i < m_start.size() ? m_start[pos() + i] : '\n';
        bytesHandedOut += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_start;
    qint64 m_size;
};

class TestDialFile : public QObject
{
    Q_OBJECT

private slots:
    // Saved, then read back; only a table's stored cells are written, so a surplus cell is not.
    void savedByteForByte_data()
    {
        QTest::addColumn<DialDesign>("design");
        QTest::addColumn<QByteArray>("lf"); // the file with LF for each CR LF
        QTest::newRow("worked example") << workedExample() << kWorkedExampleLf;
        QTest::newRow("emptied design, 19 lines")
            << DialDesign::startup() << vlt("[Dimensions]\n52\n45\n26\n33\n5\n12\n47\n12\n[Arcs]\n\n[Tickmarks]\n"
                                            "\t\t\t\n[Digits]\n\t\t\t\t\t\t\n[Labels]\n\t\t\t\t\n\n");
        DialDesign v11 = workedExample();
        v11.table(TableKind::FaceLabels)[0][2] = u"\u2126"_s;
        v11.table(TableKind::ScaleTickmarks)[1] = cells("50|22|21|2|1:10:1, 20:100:10||");
        v11.scales = {scaleRow("db", "-20", "3"), scaleRow("table", "", "", "", "1=0; 9=0.5; 29=1")};
        QTest::newRow("1.1: every row at its full width, then the scales")
            << v11 << QByteArray("[Vernalith1.1]\n[Dimensions]\n52\n45\n26\n33\n5\n12\n47\n12\n[Arcs]\n20\t\t\t\n22\t\t\t\n"
                                 "[Tickmarks]\n10\t22\t20\t\t\t\t\t\n50\t22\t21\t2\t1:10:1, 20:100:10\t\t\t\n"
                                 "[Digits]\n5\t0\t100\t0\t24\t6\t\t\t\t\t\n[Labels]\n26\t40\t\xe2\x84\xa6\t8\t\t\t\n"
                                 "[Scales]\ndb\t-20\t3\t\t\t\ntable\t\t\t\t1=0; 9=0.5; 29=1\t\n\n");
    }

    void savedByteForByte()
    {
        QFETCH(DialDesign, design);
        QFETCH(QByteArray, lf);
        DialDesign handBuilt = design;
        QStringList &row = handBuilt.table(TableKind::ScaleTickmarks)[0];
        row = wideRow(TableKind::ScaleTickmarks, row) << u"surplus"_s;
        QTemporaryDir dir;
        const QString path = dir.filePath(u"dial.vlt"_s);
        QVERIFY(saveDialFile(path, handBuilt).ok());
        QCOMPARE(contents(path), lf.replace("\n", "\r\n"));
        const DialReadResult read = loadDialFile(path, kCurrent);
        QVERIFY2(read.ok() && read.design == design, qPrintable(describe(read.design)));
    }

    // What 1.0 can hold is written exactly as before 1.1 existed: the bytes of these designs
    // hash to what the writer of that time gave for them.
    void oneZeroDesignsRoundTripAsBefore()
    {
        QRandomGenerator random(19700101u);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (int i = 0; i < 500; ++i) {
            const DialDesign design = randomDesign(random);
            QCOMPARE(dialFileVersion(design), DialFileVersion::V1_0);
            const QString fault = roundTripFault(design);
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
            hash.addData(dialFileBytes(design));
        }
        hash.addData(dialFileBytes(workedExample()));
        hash.addData(dialFileBytes(DialDesign::startup()));
        QCOMPARE(hash.result().toHex(), QByteArray(kOneZeroFingerprint));
    }

    // What a design holds decides the file: 1.0 for what that can hold, 1.1 for more, and a refusal
    // naming the place for what no dial file can hold (then nothing is written).
    void whatTheDesignHoldsDecidesTheFile_data()
    {
        QTest::addColumn<QList<int>>("where"); // {dimension} or {table, row, column}; table 4 is the scales;
                                               // rows up to `row` are added empty
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("outcome"); // "1.0", "1.1" or words of the refusal
        using L = QList<int>;
        QTest::newRow("last byte of the code page") << L{3, 1, 2} << u"\u00ff"_s << u"1.0"_s;
        QTest::newRow("C1 control the code page lacks") << L{3, 1, 2} << u"\u0080"_s << u"1.1"_s;
        QTest::newRow("infinity in a dimension") << L{0} << u"\u221e"_s << u"1.1"_s;
        QTest::newRow("emoji") << L{1, 1, 0} << u"\U0001F600"_s << u"1.1"_s;
        QTest::newRow("scale of a tickmarks row") << L{1, 1, 3} << u"1"_s << u"1.1"_s;
        QTest::newRow("an empty scale row") << L{4, 1, 0} << QString() << u"1.1"_s;
        QTest::newRow("half a character in a dimension") << L{0} << u"5"_s + QChar(0xD83D)
                                                          << u"Card Width: half of a character (U+D83D)"_s;
        QTest::newRow("line feed in a dimension") << L{7} << u"1\n2"_s << u"Max position Y: a line break"_s;
        QTest::newRow("tab in an extra cell") << L{1, 1, 4} << u"1\t2"_s << u"Scale Tickmarks, row 1: a tab"_s;
        QTest::newRow("first cell begins with \"[\"") << L{0, 2, 0} << u"[x"_s << u"Scale Arcs, row 2: a first cell"_s;
        QTest::newRow("scale law begins with \"[\"") << L{4, 2, 0} << u"[db"_s << u"Scales, row 2: a first cell"_s;
        QTest::newRow("line break in scale points") << L{4, 1, 4} << u"1=0;\n2=1"_s << u"Scales, row 1: a tab or line"_s;
        QTest::newRow("the most rows a table holds") << L{0, kMaxDataRows, 0} << QString() << u"1.0"_s;
        QTest::newRow("one row more") << L{0, kMaxDataRows + 1, 0} << QString() << u"Scale Arcs: 32767 rows"_s;
    }

    void whatTheDesignHoldsDecidesTheFile()
    {
        QFETCH(QList<int>, where);
        QFETCH(QString, text);
        QFETCH(QString, outcome);
        DialDesign design = workedExample();
        if (where.size() == 1) {
            design.dimensions[static_cast<size_t>(where[0])] = text;
        } else {
            const size_t t = static_cast<size_t>(where[0]);
            TableRows &rows = t == 4 ? design.scales : design.tables[t];
            while (rows.size() < where[1])
                rows.append(QStringList(kScaleColumnCount, QString()));
            QStringList &row = rows[where[1] - 1];
            row = t == 4 ? row : wideRow(kAllTables[t], row);
            row[where[2]] = text;
        }
        if (outcome.startsWith(u"1."_s)) {
            QCOMPARE(dialFileVersion(design), outcome == u"1.1"_s ? DialFileVersion::V1_1 : DialFileVersion::V1_0);
            QCOMPARE(dialFileBytes(design).startsWith("[Vernalith1.1]\r\n"), outcome == u"1.1"_s);
            const QString fault = roundTripFault(design);
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
            return;
        }
        const DialFileError check = checkStorable(design);
        QCOMPARE(check.kind, K::CannotStore);
        QVERIFY2(check.detail.contains(outcome), qPrintable(check.detail));
        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::WriteOnly) && writeDialFile(buffer, design).kind == K::CannotStore);
        QCOMPARE(buffer.size(), 0);
    }

    // A file over 256 MiB is refused by its size and first line, without being read whole.
    void oversizedFileRefusedUnread_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<K>("error");
        QTest::newRow("dial file one byte over the limit") << QByteArray("[Vernalith1.1]\r\n") << 256LL * 1024 * 1024 + 1
                                                           << K::ReadFailed;
        QTest::newRow("other file over the limit") << QByteArray("%PDF-1.4\n") << 300LL * 1024 * 1024 << K::UnknownFormat;
        QTest::newRow("small file: read whole") << QByteArray("[Vernalith1.0]\r\n") << 100LL * 1000 << K::None;
    }

    void oversizedFileRefusedUnread()
    {
        QFETCH(QByteArray, start);
        QFETCH(qint64, size);
        QFETCH(K, error);
        LargeFile file(start, size);
        const DialReadResult read = readDialFile(file, kCurrent);
        QCOMPARE(read.error.kind, error);
        // A refused file is read no further than its first line and the device's own buffer.
        QVERIFY2((file.bytesHandedOut <= 64 * 1024) == (error != K::None), QByteArray::number(file.bytesHandedOut));
        QVERIFY2(error != K::ReadFailed || read.error.detail.contains(u"too large"_s), qPrintable(read.error.detail));
    }

    void readerRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<K>("error");
        QTest::addColumn<QString>("read"); // describe() of the design read, or words of the error

        const K ok = K::None, bad = K::UnknownFormat, refused = K::ReadFailed;
        const QString none, arcs20 = u"[Arcs] 20"_s, arcs20ticks123 = u"[Arcs] 20; [Tickmarks] 1|2|3"_s;
        const QString first10 = u"\"[Vernalith1.0]\""_s;

        // Identification: the first line exactly, or nothing is read.
        QTest::newRow("byte-order mark") << QByteArray("\xef\xbb\xbf[Vernalith1.0]\r\n") << bad << first10;
        // Lines: LF ends a line, every CR is dropped.
        QTest::newRow("LF line ends") << kWorkedExampleLf << ok << describe(workedExample());
        QTest::newRow("CR dropped anywhere") << QByteArray("[Verna\rlith1.0]\n\r[Arcs]\r\n2\r0\r\r\n") << ok << arcs20;
        QTest::newRow("hand-edited file") << contents(u"" VERNALITH_TEST_DATA "/hand-edited.vlt"_s) << ok
            << u"dims 60,50,30,40,8,15,52,15; [Tickmarks] 10|25.5|23 / 50|25.5|24; [Digits] 5|0|100|0|21|6; "
               "[Labels] 30|42|\u00b5A|8 / 30|47| class 1.5 |6"_s;
        // Sections, recognised in the fixed order of the header tests.
        QTest::newRow("rows written bottom first") << vlt("[Arcs]\n22\n20\n[Tickmarks]\n5\t6\t7\n1\t2\t3\n\n") << ok
                                                   << u"[Arcs] 22 / 20; [Tickmarks] 5|6|7 / 1|2|3"_s;
        QTest::newRow("dimensions after a table") << vlt("[Arcs]\n20\n[Dimensions]\n1\n[Tickmarks]\n1\t2\t3\n") << ok
                                                  << arcs20ticks123;
        QTest::newRow("unknown header, row starting with a bracket")
            << vlt("[Arcs]\n20\n[Notes]\n21\n[Tickmarks]\n1\t2\t3\n[4\n5\n\n") << ok << arcs20ticks123;
        QTest::newRow("header in another case") << vlt("[arcs]\n20\n[Arcs] \n21\n\n") << ok << none;
        QTest::newRow("lines before the first header") << vlt("by hand\n21\n\n[Arcs]\n20\n\n") << ok << arcs20;
        // A section read again puts its rows on top and removes the row that then follows them.
        QTest::newRow("arcs read twice") << vlt("[Arcs]\n1\n2\n[Notes]\n[Arcs]\n3\n\n") << ok << u"[Arcs] 3 / 2"_s;
        QTest::newRow("arcs read again, empty") << vlt("[Arcs]\n1\n2\n[Notes]\n[Arcs]\n[Notes]\n") << ok << u"[Arcs] 2"_s;
        // The most rows a table holds, the last line being one of them; one row more is refused.
        const QByteArray fullLabels = vlt("[Labels]") + QByteArray("\n1\t2\t3").repeated(kMaxDataRows);
        QTest::newRow("the most rows") << fullLabels << ok
                                       << u"[Labels] "_s + QStringList(kMaxDataRows, u"1|2|3|"_s).join(u" / "_s);
        QTest::newRow("one row more") << fullLabels + "\n4\n\n" << refused << u"Face Labels"_s;
        // Unbounded, this 13 MB file would take hours: each section inserts its rows above the others.
        const QByteArray fullArcs = "[Arcs]\n" + QByteArray(kMaxDataRows, '\n');
        QTest::newRow("400 full sections") << vlt("") + fullArcs.repeated(400) + "x" << refused << u"Scale Arcs"_s;
        // Rows and dimension lines.
        QTest::newRow("empty line inside a section") << vlt("[Arcs]\n20\n\n22\n\n") << ok << u"[Arcs] 20 /  / 22"_s;
        QTest::newRow("surplus pieces") << vlt("[Arcs]\n20\t30\n[Tickmarks]\n1\t2\t3\t4\n\n") << ok << arcs20ticks123;
        QTest::newRow("missing pieces") << vlt("[Digits]\n5\t0\t100\n\n") << ok << u"[Digits] 5|0|100|||"_s;
        QTest::newRow("header among the dimension lines") << vlt("[Dimensions]\n52\n[Arcs]\n3\n4\n5\n6\n7\n8\n") << ok
                                                          << u"dims 52,[Arcs],3,4,5,6,7,8"_s;
        // The last line of a file: a row unless it is empty or begins with "[".
        QTest::newRow("final empty line deleted by an editor") << vlt("[Labels]\n1\t2\tx\t4\t\n26\t40\tmA\t8\t\n") << ok
                                                               << u"[Labels] 1|2|x|4 / 26|40|mA|8"_s;
        QTest::newRow("last line begins with a bracket") << vlt("[Arcs]\n20\n[21") << ok << arcs20;
        // 1.0 passes over what only 1.1 holds.
        QTest::newRow("1.0 passes scales over") << vlt("[Scales]\ndb\t-20\t3\n[Arcs]\n20\t1\t2\n\n") << ok << arcs20;

        // 1.1: UTF-8, the extra cells and the scales.
        const QByteArray v11 = "[Vernalith1.1]\n";
        QTest::newRow("UTF-8 text") << v11 + "[Labels]\n1\t2\t10 k\xe2\x84\xa6\t8\t\t\t\n\n" << ok
                                    << u"[Labels] 1|2|10 k\u2126|8"_s;
        QTest::newRow("extra cells read") << v11 + "[Tickmarks]\n10\t22\t20\t1\t0 5 inf\t0.3\tred\t\n\n" << ok
                                          << u"[Tickmarks] 10|22|20|1|0 5 inf|0.3|red"_s;
        QTest::newRow("scales") << v11 + "[Scales]\nohms\t0\tinf\t50\t\t\nlog\t1\t10\n\n" << ok
                                << u"scales ohms|0|inf|50| / log|1|10||"_s;
        QTest::newRow("arcs after scales passed over") << v11 + "[Scales]\n[Arcs]\n20\n\n" << ok << none;
        QTest::newRow("empty later section passed over") << v11 + "[Scales]\ndb\t-20\t3\n[Future]\n\t\t\n[Labels]\n1\t2\tx\n\n"
                                                         << ok << u"[Labels] 1|2|x|; scales db|-20|3||"_s;
        QTest::newRow("unknown section with a row refused") << v11 + "[Notes]\n21\n" << refused << u"[Notes] section"_s;
        QTest::newRow("set cell past the last") << v11 + "[Arcs]\n20\t1\tred\tmore\t\n\n" << refused
                                                << u"Scale Arcs table holds cells"_s;
        QTest::newRow("empty cells past the last") << v11 + "[Arcs]\n20\t1\tred\t\t\t\n\n" << ok << u"[Arcs] 20|1|red"_s;
        QTest::newRow("overlong form") << v11 + "[Arcs]\n\xc0\xaf\n\n" << refused << u"UTF-8"_s;
        QTest::newRow("cut-off sequence at the end") << v11 + "[Arcs]\n\xe2\x84" << refused << u"UTF-8"_s;
        QTest::newRow("invalid UTF-8 in a dimension") << v11 + "[Dimensions]\n\xff\n" << refused << u"UTF-8"_s;
        QTest::newRow("largest character") << v11 + "[Arcs]\n\xf4\x8f\xbf\xbf\n\n" << ok << u"[Arcs] \U0010FFFF"_s;
    }

    void readerRules()
    {
        QFETCH(QByteArray, file);
        QFETCH(K, error);
        QFETCH(QString, read);
        const DialReadResult result = parseDialFile(file, kCurrent);
        QCOMPARE(result.error.kind, error);
        if (result.ok())
            QCOMPARE(describe(result.design), read);
        else
            QVERIFY2(result.error.detail.contains(read), qPrintable(result.error.detail));
    }

    void failedOpenIsReported()
    {
        QTemporaryDir dir;
        for (const QString &path : {dir.filePath(u"missing.vlt"_s), dir.path()}) {
            const DialReadResult read = loadDialFile(path, kCurrent);
            QCOMPARE(read.error.kind, K::CannotOpen);
            QVERIFY2(read.error.detail.contains(path), qPrintable(read.error.detail));
        }
        QBuffer unreadable; // never opened: every read fails
        QTest::ignoreMessage(QtWarningMsg, "QIODevice::read (QBuffer): device not open");
        QCOMPARE(readDialFile(unreadable, kCurrent).error.kind, K::ReadFailed);
    }

    void failedSaveLeavesTheOldFile_data()
    {
        QTest::addColumn<QString>("name"); // in a folder holding old.vlt
        QTest::addColumn<int>("sizeLimit"); // bytes a file may grow to, as on a full disk (even for root)

        QTest::newRow("into a missing folder") << u"none/dial.vlt"_s << 0;
        QTest::newRow("over a folder") << u"."_s << 0;
        QTest::newRow("disk full") << u"old.vlt"_s << 150;
    }

    // Saving the worked example (164 bytes) fails, saying why; the old, shorter file is as it was
    // and nothing is left beside it.
    void failedSaveLeavesTheOldFile()
    {
        QFETCH(QString, name);
        QFETCH(int, sizeLimit);
        QTemporaryDir dir;
        QVERIFY(saveDialFile(dir.filePath(u"old.vlt"_s), DialDesign::startup()).ok());
        struct rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        struct rlimit limited = saved;
        limited.rlim_cur = sizeLimit > 0 ? static_cast<rlim_t>(sizeLimit) : saved.rlim_cur;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const DialFileError result = saveDialFile(dir.filePath(name), workedExample());
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QCOMPARE(result.kind, K::WriteFailed);
        QVERIFY2(result.detail.contains(dir.filePath(name)), qPrintable(result.detail));
        QCOMPARE(contents(dir.filePath(u"old.vlt"_s)), dialFileBytes(DialDesign::startup()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{u"old.vlt"_s});
    }

private:
    static constexpr char kOneZeroFingerprint[] = "2a360392f9e87c123973532702584f6f069b446b9ed13fbe59c1cdb46a9f5dbd";
};

QTEST_APPLESS_MAIN(TestDialFile)
#include "test_dialfile.moc"
