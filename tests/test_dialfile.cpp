// Dial files in layers: round trips, the row limits, one case per reader rule, refusals and failed saves.

#include "files/codepage1252.h"
#include "files/dialfile.h"

#include <QBuffer>
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

// Rows written "a|b|c".
static TableRows rowsOf(std::initializer_list<const char *> rows)
{
    TableRows result;
    for (const char *row : rows)
        result.append(QString::fromUtf8(row).split(u'|'));
    return result;
}

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
    design.tables = {rowsOf({"20", "22"}), rowsOf({"10|22|20", "50|22|21"}), rowsOf({"5|0|100|0|24|6"}),
                     rowsOf({"26|40|mA|8"})};
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
        for (const QStringList &row : design.table(kind)) {
            // The extra cells only when one is set, so 1.0 rows read as they always have.
            const bool extras = !row.mid(columnCount(kind)).join(QString()).isEmpty();
            rows.append(row.mid(0, extras ? row.size() : columnCount(kind)).join(u'|'));
        }
        if (design.table(kind) != emptyTable(kind))
            parts.append(QString::fromLatin1(tableInfo(kind).sectionHeader) + u' ' + rows.join(u" / "_s));
    }
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

class TestDialFile : public QObject
{
    Q_OBJECT

private slots:
    void savedByteForByte_data()
    {
        QTest::addColumn<DialDesign>("design");
        QTest::addColumn<QByteArray>("lf"); // the file with LF for each CR LF
        QTest::newRow("worked example") << workedExample() << kWorkedExampleLf;
        QTest::newRow("emptied design, 19 lines")
            << DialDesign::startup() << vlt("[Dimensions]\n52\n45\n26\n33\n5\n12\n47\n12\n[Arcs]\n\n[Tickmarks]\n"
                                            "\t\t\t\n[Digits]\n\t\t\t\t\t\t\n[Labels]\n\t\t\t\t\n\n");
    }

    void savedByteForByte()
    {
        QFETCH(DialDesign, design);
        QFETCH(QByteArray, lf);
        DialDesign handBuilt = design; // only a table's columns are written
        handBuilt.table(TableKind::ScaleTickmarks)[0].append(u"surplus"_s);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"dial.vlt"_s);
        QVERIFY(saveDialFile(path, handBuilt).ok());
        QCOMPARE(contents(path), lf.replace("\n", "\r\n"));
        const DialReadResult read = loadDialFile(path, kCurrent);
        QVERIFY2(read.ok() && read.design == design, qPrintable(describe(read.design)));
    }

    void randomDesignsSurviveWriteAndRead()
    {
        QRandomGenerator random(20240611u);
        for (int i = 0; i < 500; ++i) {
            const DialDesign design = randomDesign(random);
            QVERIFY2(checkStorable(design).ok(), qPrintable(checkStorable(design).detail));
            const QByteArray bytes = dialFileBytes(design);
            const DialReadResult read = parseDialFile(bytes, kCurrent);
            QVERIFY2(read.ok() && read.design == design,
                     qPrintable(describe(design) + u" read as "_s + describe(read.design)));
            QCOMPARE(dialFileBytes(read.design), bytes);
        }
    }

    void codePageBothWays_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("micro, degree, euro, 0xFF") << QByteArray("\xb5\xb0\x80\xff") << u"\u00b5\u00b0\u20ac\u00ff"_s;
        QTest::newRow("per mille, dash, S caron") << QByteArray("\x89\x96\x8a") << u"\u2030\u2013\u0160"_s;
        QTest::newRow("undefined byte") << QByteArray("\x81") << u"\u0081"_s;
    }

    void codePageBothWays()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);

        DialDesign design = DialDesign::startup();
        design.table(TableKind::FaceLabels) = TableRows{{u"26"_s, u"40"_s, text, u"8"_s}};
        QVERIFY(checkStorable(design).ok());
        const QByteArray file = dialFileBytes(design);
        QVERIFY2(file.contains("[Labels]\r\n26\t40\t" + bytes + "\t8\t\r\n"), file.toHex(' ').constData());
        const DialReadResult read = parseDialFile(file, kCurrent);
        QVERIFY2(read.ok() && read.design == design, qPrintable(describe(read.design)));
    }

    // 32766 rows per table are written and read; one more is refused both ways, naming the table.
    void rowLimit_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("finalEmptyLine"); // without it the file's last line is a row

        QTest::newRow("arcs at the limit") << 0 << kMaxDataRows << true;
        QTest::newRow("arcs one more") << 0 << kMaxDataRows + 1 << true;
        QTest::newRow("labels at the limit, last line a row") << 3 << kMaxDataRows << false;
        QTest::newRow("labels one more, last line a row") << 3 << kMaxDataRows + 1 << false;
    }

    void rowLimit()
    {
        QFETCH(int, table);
        QFETCH(int, rows);
        QFETCH(bool, finalEmptyLine);
        const TableKind kind = kAllTables[static_cast<size_t>(table)];
        const bool fits = rows <= kMaxDataRows;
        DialDesign design = DialDesign::startup();
        design.table(kind) = TableRows(rows, emptyRow(kind));
        const DialFileError check = checkStorable(design);
        QCOMPARE(check.kind, fits ? K::None : K::CannotStore);
        const QByteArray file = vlt(tableInfo(kind).sectionHeader) + QByteArray("\r\n1\t2\t3").repeated(rows) + "\r\n";
        const DialReadResult read = parseDialFile(file + (finalEmptyLine ? "\r\n" : ""), kCurrent);
        QCOMPARE(read.error.kind, fits ? K::None : K::ReadFailed);
        if (fits)
            QCOMPARE(read.design.table(kind).size(), rows);
        for (const QString &detail : {check.detail, read.error.detail})
            QVERIFY2(fits || detail.contains(QString::fromLatin1(tableInfo(kind).caption)), qPrintable(detail));
    }

    void manyRepeatedSectionsAreRefusedAtOnce()
    {
        // Each section inserts its rows above earlier ones: unbounded, this 13 MB file takes hours.
        const QByteArray section = "[Arcs]\n" + QByteArray(kMaxDataRows, '\n');
        const DialReadResult read = parseDialFile("[Vernalith1.0]\n" + section.repeated(400) + "x", kCurrent);
        QCOMPARE(read.error.kind, K::ReadFailed);
        QVERIFY2(read.error.detail.contains(u"Scale Arcs"_s), qPrintable(read.error.detail));
    }

    void readerRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<K>("error");
        QTest::addColumn<QString>("read"); // describe() of the design read

        const K ok = K::None, bad = K::UnknownFormat;
        const QString none, arcs20 = u"[Arcs] 20"_s, arcs20ticks123 = u"[Arcs] 20; [Tickmarks] 1|2|3"_s;

        // Identification: the first line exactly, or nothing is read.
        QTest::newRow("first line in another case") << QByteArray("[VERNALITH1.0]\n[Arcs]\n20\n") << bad << none;
        QTest::newRow("blank after the first line") << QByteArray("[Vernalith1.0] \n") << bad << none;
        QTest::newRow("byte-order mark") << QByteArray("\xef\xbb\xbf[Vernalith1.0]\r\n") << bad << none;
        QTest::newRow("empty file") << QByteArray() << bad << none;
        QTest::newRow("CR-only line ends") << QByteArray("[Vernalith1.0]\r[Arcs]\r20\r") << bad << none;
        // Lines: LF ends a line, every CR is dropped.
        QTest::newRow("only the first line") << vlt("") << ok << none;
        QTest::newRow("LF line ends") << kWorkedExampleLf << ok << describe(workedExample());
        QTest::newRow("CR dropped anywhere") << QByteArray("[Verna\rlith1.0]\n\r[Arcs]\r\n2\r0\r\r\n") << ok << arcs20;
        QTest::newRow("hand-edited file") << contents(u"" VERNALITH_TEST_DATA "/hand-edited.vlt"_s) << ok
            << u"dims 60,50,30,40,8,15,52,15; [Tickmarks] 10|25.5|23 / 50|25.5|24; [Digits] 5|0|100|0|21|6; "
               "[Labels] 30|42|\u00b5A|8 / 30|47| class 1.5 |6"_s;
        // Sections, recognised in the fixed order of the header tests.
        QTest::newRow("rows written bottom first") << vlt("[Arcs]\n22\n20\n[Tickmarks]\n5\t6\t7\n1\t2\t3\n\n") << ok
                                                   << u"[Arcs] 22 / 20; [Tickmarks] 5|6|7 / 1|2|3"_s;
        QTest::newRow("empty section") << vlt("[Arcs]\n[Tickmarks]\n1\t2\t3\n\n") << ok << u"[Tickmarks] 1|2|3"_s;
        QTest::newRow("labels before arcs") << vlt("[Labels]\n1\t2\tmA\n[Arcs]\n20\n[Digits]\n9\n\n") << ok
                                            << u"[Digits] 9|||||; [Labels] 1|2|mA|"_s;
        QTest::newRow("dimensions after a table") << vlt("[Arcs]\n20\n[Dimensions]\n1\n[Tickmarks]\n1\t2\t3\n") << ok
                                                  << arcs20ticks123;
        QTest::newRow("unknown header, row starting with a bracket")
            << vlt("[Arcs]\n20\n[Notes]\n21\n[Tickmarks]\n1\t2\t3\n[4\n5\n\n") << ok << arcs20ticks123;
        QTest::newRow("header in another case") << vlt("[arcs]\n20\n[Arcs] \n21\n\n") << ok << none;
        QTest::newRow("lines before the first header") << vlt("by hand\n21\n\n[Arcs]\n20\n\n") << ok << arcs20;
        QTest::newRow("arcs read twice") << vlt("[Arcs]\n1\n2\n[Notes]\n[Arcs]\n3\n\n") << ok << u"[Arcs] 3 / 2"_s;
        // Rows and dimension lines.
        QTest::newRow("empty line inside a section") << vlt("[Arcs]\n20\n\n22\n\n") << ok << u"[Arcs] 20 /  / 22"_s;
        QTest::newRow("surplus pieces") << vlt("[Arcs]\n20\t30\n[Tickmarks]\n1\t2\t3\t4\n\n") << ok << arcs20ticks123;
        QTest::newRow("missing pieces") << vlt("[Digits]\n5\t0\t100\n\n") << ok << u"[Digits] 5|0|100|||"_s;
        QTest::newRow("file ends in the dimensions") << vlt("[Dimensions]\n60\n50\n") << ok << u"dims 60,50,,,,,,"_s;
        QTest::newRow("header among the dimension lines") << vlt("[Dimensions]\n52\n[Arcs]\n3\n4\n5\n6\n7\n8\n") << ok
                                                          << u"dims 52,[Arcs],3,4,5,6,7,8"_s;
        // The last line of a file: a row unless it is empty or begins with "[".
        QTest::newRow("final empty line deleted by an editor") << vlt("[Labels]\n1\t2\tx\t4\t\n26\t40\tmA\t8\t\n") << ok
                                                               << u"[Labels] 1|2|x|4 / 26|40|mA|8"_s;
        QTest::newRow("final empty line") << vlt("[Arcs]\n20\n\n") << ok << arcs20;
        QTest::newRow("last line begins with a bracket") << vlt("[Arcs]\n20\n[21") << ok << arcs20;
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
            QVERIFY2(result.error.detail.contains(u"\"[Vernalith1.0]\""_s), qPrintable(result.error.detail));
    }

    void unstorableDesignsAreRefused_data()
    {
        QTest::addColumn<QList<int>>("where"); // {dimension} or {table, row, column}
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named"); // in the message
        using L = QList<int>;

        QTest::newRow("Greek letter in a dimension") << L{0} << u"5\u03b1"_s << u"Card Width: the character \"\u03b1"_s;
        QTest::newRow("line feed in a dimension") << L{7} << u"1\n2"_s << u"Max position Y: a line break"_s;
        QTest::newRow("CR in a dimension") << L{2} << u"1\r"_s << u"Needle Pivot X: a line break"_s;
        QTest::newRow("ohm sign in a label") << L{3, 1, 2} << u"10 k\u2126"_s << u"Face Labels, row 1: the character"_s;
        QTest::newRow("emoji in a cell") << L{3, 1, 0} << u"ok \U0001F600"_s << u"\"\U0001F600\""_s;
        QTest::newRow("tab in a cell") << L{1, 1, 1} << u"2\t3"_s << u"Scale Tickmarks, row 1: a tab"_s;
        QTest::newRow("first cell begins with \"[\"") << L{0, 2, 0} << u"[x"_s << u"Scale Arcs, row 2: a first cell"_s;
    }

    void unstorableDesignsAreRefused()
    {
        QFETCH(QList<int>, where);
        QFETCH(QString, text);
        QFETCH(QString, named);

        DialDesign design = workedExample();
        if (where.size() == 1)
            design.dimensions[static_cast<size_t>(where[0])] = text;
        else
            design.tables[static_cast<size_t>(where[0])][where[1] - 1][where[2]] = text;
        const DialFileError check = checkStorable(design);
        QCOMPARE(check.kind, K::CannotStore);
        QVERIFY2(check.detail.contains(named), qPrintable(check.detail));
        QBuffer buffer; // and nothing is written
        QVERIFY(buffer.open(QIODevice::WriteOnly) && writeDialFile(buffer, design).kind == K::CannotStore);
        QCOMPARE(buffer.size(), 0);
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

    void failedSaveLeavesTheOldFile()
    {
        QFETCH(QString, name);
        QFETCH(int, sizeLimit);

        // GIVEN a saved design shorter than the limit
        QTemporaryDir dir;
        QVERIFY(saveDialFile(dir.filePath(u"old.vlt"_s), DialDesign::startup()).ok());
        // WHEN the worked example (164 bytes) is saved
        struct rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        struct rlimit limited = saved;
        limited.rlim_cur = sizeLimit > 0 ? static_cast<rlim_t>(sizeLimit) : saved.rlim_cur;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const DialFileError result = saveDialFile(dir.filePath(name), workedExample());
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        // THEN it fails, saying why, the old file is as it was and nothing is left beside it
        QCOMPARE(result.kind, K::WriteFailed);
        QVERIFY2(result.detail.contains(dir.filePath(name)), qPrintable(result.detail));
        QCOMPARE(contents(dir.filePath(u"old.vlt"_s)), dialFileBytes(DialDesign::startup()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{u"old.vlt"_s});
    }
};

QTEST_APPLESS_MAIN(TestDialFile)
#include "test_dialfile.moc"
