// Dial files in three layers: what is written reads back as the same design; the row limits;
// then one case per odd or broken input the reader meets, and the ways a save can fail.

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

Q_DECLARE_METATYPE(vernalith::DialFileError::Kind)

namespace {

// "a|b|c" as a row of cells.
QStringList cells(const char *joined)
{
    return QString::fromUtf8(joined).split(QLatin1Char('|'));
}

// A table's rows, each written "a|b|c".
QStringList rowList(std::initializer_list<const char *> rows)
{
    QStringList list;
    for (const char *row : rows)
        list.append(QString::fromUtf8(row));
    return list;
}

TableRows rowsOf(const QStringList &rows)
{
    TableRows result;
    for (const QString &row : rows)
        result.append(row.split(QLatin1Char('|')));
    return result;
}

// The lines of a file, each ended with CR LF (an empty string is an empty line).
QByteArray crlfFile(std::initializer_list<const char *> lines)
{
    QByteArray bytes;
    for (const char *line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

// The dimensions a file is read against; a file without a dimensions section keeps them.
DimensionTexts currentDimensions()
{
    return {QStringLiteral("c1"), QStringLiteral("c2"), QStringLiteral("c3"), QStringLiteral("c4"),
            QStringLiteral("c5"), QStringLiteral("c6"), QStringLiteral("c7"), QStringLiteral("c8")};
}

DialDesign workedExample()
{
    DialDesign design = DialDesign::startup();
    design.table(TableKind::ScaleArcs) = rowsOf({QStringLiteral("20"), QStringLiteral("22")});
    design.table(TableKind::ScaleTickmarks) = rowsOf({QStringLiteral("10|22|20"), QStringLiteral("50|22|21")});
    design.table(TableKind::ScaleDigits) = rowsOf({QStringLiteral("5|0|100|0|24|6")});
    design.table(TableKind::FaceLabels) = rowsOf({QStringLiteral("26|40|mA|8")});
    return design;
}

const QByteArray kWorkedExampleFile = crlfFile({"[Vernalith1.0]", "[Dimensions]", "52", "45", "26", "33", "5", "12",
                                                "47", "12", "[Arcs]", "20", "22", "[Tickmarks]", "10\t22\t20\t",
                                                "50\t22\t21\t", "[Digits]", "5\t0\t100\t0\t24\t6\t", "[Labels]",
                                                "26\t40\tmA\t8\t", ""});

QString describe(const DialDesign &design)
{
    QStringList parts;
    QStringList dims;
    for (const QString &d : design.dimensions)
        dims.append(d);
    parts.append(QStringLiteral("dims ") + dims.join(QLatin1Char(',')));
    for (TableKind kind : kAllTables) {
        QStringList rows;
        for (const QStringList &row : design.table(kind))
            rows.append(row.join(QLatin1Char('|')));
        parts.append(QString::fromLatin1(tableInfo(kind).sectionHeader) + QLatin1Char(' ') +
                     rows.join(QStringLiteral(" / ")));
    }
    return parts.join(QStringLiteral("; "));
}

// A text of up to `maxLength` characters from the code page, without the given bytes.
QString randomText(QRandomGenerator &random, int maxLength, const QByteArray &excluded)
{
    const int length = random.bounded(4) == 0 ? 0 : random.bounded(maxLength + 1);
    QByteArray bytes;
    while (bytes.size() < length) {
        // Mostly printable ASCII, sometimes any byte at all.
        const char b = static_cast<char>(random.bounded(3) == 0 ? random.bounded(256) : 32 + random.bounded(95));
        if (!excluded.contains(b))
            bytes.append(b);
    }
    return decode1252(bytes);
}

int randomRowCount(QRandomGenerator &random)
{
    switch (random.bounded(10)) {
    case 0:
        return 1 + random.bounded(300);
    case 1:
    case 2:
        return 1;
    default:
        return 1 + random.bounded(6);
    }
}

DialDesign randomDesign(QRandomGenerator &random)
{
    DialDesign design;
    for (QString &d : design.dimensions)
        d = randomText(random, 10, QByteArray("\r\n"));
    for (TableKind kind : kAllTables) {
        TableRows &rows = design.table(kind);
        const int count = randomRowCount(random);
        for (int r = 0; r < count; ++r) {
            QStringList row;
            for (int k = 0; k < columnCount(kind); ++k)
                row.append(randomText(random, 8, QByteArray("\t\r\n")));
            while (row.first().startsWith(QLatin1Char('[')))
                row.first().remove(0, 1);
            rows.append(row);
        }
    }
    return design;
}

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<cannot open>");
    return file.readAll();
}

bool writeContents(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A device whose reads fail, as a vanished network file would.
class FailingDevice : public QIODevice
{
public:
    FailingDevice() { open(QIODevice::ReadOnly); }

protected:
    qint64 readData(char *, qint64) override
    {
        setErrorString(QStringLiteral("the disk went away"));
        return -1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
};

} // namespace

class TestDialFile : public QObject
{
    Q_OBJECT

private slots:
    // Layer 1: round trip.
    void workedExampleIsWrittenByteForByte();
    void workedExampleReadsBack();
    void emptiedDesignIsNineteenLines();
    void randomDesignsSurviveWriteAndRead();
    void randomDesignsSurviveSaveAndLoad();
    void codePageBytesBothWays_data();
    void codePageBytesBothWays();
    void everyByteSurvivesReadAndWrite();
    void onlyTheFirstCellMayNotBeginWithABracket();

    // Layer 2: boundaries.
    void mostRowsPerSectionAreRead();
    void oneRowMoreIsRefused_data();
    void oneRowMoreIsRefused();
    void sectionReadTwiceCountsTowardsTheLimit();
    void manyRepeatedSectionsAreRefusedAtOnce();
    void surplusCellsOfAHandBuiltDesignAreNotWritten();
    void tooManyRowsAreNotWritten();

    // Layer 3: reader rules and corruptions.
    void readFileLine_data();
    void readFileLine();
    void readerRules_data();
    void readerRules();
    void lfOnlyFileReadsLikeCrLf();
    void crOnlyFileIsRejected();
    void bottomFirstFileIsReadAsItStands();
    void handEditedFixtureFile();
    void unstorableDesignsAreRefused_data();
    void unstorableDesignsAreRefused();

    // Files on disk.
    void loadingAMissingFileCannotOpen();
    void loadingAFolderCannotOpen();
    void failedReadIsReported();
    void savingIntoAMissingFolderFails();
    void savingOverAFolderFails();
    void failedWriteLeavesTheOldFile();
    void refusedDesignLeavesTheOldFile();
    void savingOverALongerFileLeavesOnlyTheNewContent();
    void writingToADeviceThatRefuses();
};

// --- Layer 1: round trip ---------------------------------------------------------------------

void TestDialFile::workedExampleIsWrittenByteForByte()
{
    const DialDesign design = workedExample();
    QVERIFY(checkStorable(design).ok());
    const QByteArray bytes = dialFileBytes(design);
    QCOMPARE(bytes.size(), 164);
    QCOMPARE(bytes.count("\r\n"), 21);
    QCOMPARE(bytes, kWorkedExampleFile);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(writeDialFile(buffer, design).ok());
    QCOMPARE(buffer.data(), kWorkedExampleFile);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("example.vlt"));
    QVERIFY(saveDialFile(path, design).ok());
    QCOMPARE(fileContents(path), kWorkedExampleFile);
}

void TestDialFile::workedExampleReadsBack()
{
    const DialReadResult result = parseDialFile(kWorkedExampleFile, currentDimensions());
    QVERIFY2(result.ok(), qPrintable(result.error.detail));
    QVERIFY2(result.design == workedExample(), qPrintable(describe(result.design)));
    QVERIFY(result.error.detail.isEmpty());
}

void TestDialFile::emptiedDesignIsNineteenLines()
{
    const QByteArray expected = crlfFile({"[Vernalith1.0]", "[Dimensions]", "52", "45", "26", "33", "5", "12", "47",
                                          "12", "[Arcs]", "", "[Tickmarks]", "\t\t\t", "[Digits]", "\t\t\t\t\t\t",
                                          "[Labels]", "\t\t\t\t", ""});
    const QByteArray bytes = dialFileBytes(DialDesign::startup());
    QCOMPARE(bytes.count("\r\n"), 19);
    QCOMPARE(bytes, expected);

    const DialReadResult result = parseDialFile(bytes, currentDimensions());
    QVERIFY(result.ok());
    QVERIFY2(result.design == DialDesign::startup(), qPrintable(describe(result.design)));
}

void TestDialFile::randomDesignsSurviveWriteAndRead()
{
    QRandomGenerator random(20240611u);
    for (int i = 0; i < 500; ++i) {
        const DialDesign design = randomDesign(random);
        const DialFileError check = checkStorable(design);
        QVERIFY2(check.ok(), qPrintable(check.detail));

        const QByteArray bytes = dialFileBytes(design);
        qsizetype rows = 0;
        for (TableKind kind : kAllTables)
            rows += design.table(kind).size();
        QCOMPARE(bytes.count('\n'), 15 + rows);
        QVERIFY(bytes.endsWith("\r\n\r\n"));

        const DialReadResult result = parseDialFile(bytes, currentDimensions());
        QVERIFY2(result.ok(), qPrintable(result.error.detail));
        QVERIFY2(result.design == design,
                 qPrintable(QStringLiteral("design %1\nwritten %2\nread    %3")
                                .arg(i)
                                .arg(describe(design), describe(result.design))));
        // Writing what was read gives the same bytes again.
        QCOMPARE(dialFileBytes(result.design), bytes);
    }
}

void TestDialFile::randomDesignsSurviveSaveAndLoad()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("random.vlt"));
    QRandomGenerator random(7u);
    for (int i = 0; i < 20; ++i) {
        const DialDesign design = randomDesign(random);
        const DialFileError saved = saveDialFile(path, design);
        QVERIFY2(saved.ok(), qPrintable(saved.detail));
        const DialReadResult loaded = loadDialFile(path, currentDimensions());
        QVERIFY2(loaded.ok(), qPrintable(loaded.error.detail));
        QVERIFY2(loaded.design == design, qPrintable(describe(loaded.design)));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("random.vlt")});
}

void TestDialFile::codePageBytesBothWays_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("euro sign") << QStringLiteral("\u20ac") << QByteArray("\x80");
    QTest::newRow("micro sign") << QStringLiteral("\u00b5A") << QByteArray("\xb5" "A");
    QTest::newRow("degree sign") << QStringLiteral("90\u00b0") << QByteArray("90\xb0");
    QTest::newRow("plus-minus and superscript two") << QStringLiteral("\u00b1x\u00b2") << QByteArray("\xb1x\xb2");
    QTest::newRow("e acute, y diaeresis") << QStringLiteral("\u00e9\u00ff") << QByteArray("\xe9\xff");
    QTest::newRow("per mille, en dash, trade mark") << QStringLiteral("\u2030\u2013\u2122")
                                                    << QByteArray("\x89\x96\x99");
    QTest::newRow("S caron, Y diaeresis") << QStringLiteral("\u0160\u0178") << QByteArray("\x8a\x9f");
    QTest::newRow("byte the code page leaves undefined") << QStringLiteral("\u0081") << QByteArray("\x81");
}

void TestDialFile::codePageBytesBothWays()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    DialDesign design = DialDesign::startup();
    design.dimension(Dimension::CardWidth) = text;
    design.table(TableKind::FaceLabels) = TableRows{{QStringLiteral("26"), QStringLiteral("40"), text, QStringLiteral("8")}};
    QVERIFY(checkStorable(design).ok());

    const QByteArray file = dialFileBytes(design);
    QVERIFY2(file.contains("[Dimensions]\r\n" + bytes + "\r\n45\r\n"), file.toHex(' ').constData());
    QVERIFY2(file.contains("[Labels]\r\n26\t40\t" + bytes + "\t8\t\r\n"), file.toHex(' ').constData());

    const DialReadResult result = parseDialFile(file, currentDimensions());
    QVERIFY(result.ok());
    QCOMPARE(result.design.dimension(Dimension::CardWidth), text);
    QCOMPARE(result.design.table(TableKind::FaceLabels).at(0).at(2), text);
}

void TestDialFile::everyByteSurvivesReadAndWrite()
{
    // A file whose label holds every byte but tab, CR and LF, and whose first dimension holds
    // every byte but CR and LF (a tab is plain text there), reads and writes back byte for byte.
    QByteArray label;
    QByteArray dimension;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            dimension.append(static_cast<char>(b));
        if (b != '\t' && b != '\r' && b != '\n')
            label.append(static_cast<char>(b));
    }
    dimension.prepend('\0');
    const QByteArray file = "[Vernalith1.0]\r\n[Dimensions]\r\n" + dimension +
                            "\r\n45\r\n26\r\n33\r\n5\r\n12\r\n47\r\n12\r\n[Arcs]\r\n\r\n[Tickmarks]\r\n\t\t\t\r\n"
                            "[Digits]\r\n\t\t\t\t\t\t\r\n[Labels]\r\n26\t40\t" +
                            label + "\t8\t\r\n\r\n";
    const DialReadResult result = parseDialFile(file, currentDimensions());
    QVERIFY(result.ok());
    QCOMPARE(result.design.dimension(Dimension::CardWidth).size(), dimension.size());
    QCOMPARE(result.design.table(TableKind::FaceLabels).at(0).at(2).size(), label.size());
    QVERIFY(checkStorable(result.design).ok());
    QCOMPARE(dialFileBytes(result.design), file);
}

void TestDialFile::onlyTheFirstCellMayNotBeginWithABracket()
{
    // A "[" anywhere but at the start of a row's line is plain text.
    DialDesign design = DialDesign::startup();
    design.table(TableKind::FaceLabels) = rowsOf(rowList({"26|40|[mA]|8", " [x|[|[|["}));
    design.table(TableKind::ScaleArcs) = rowsOf(rowList({"20["}));
    design.dimension(Dimension::CardWidth) = QStringLiteral("[Arcs]");
    QVERIFY(checkStorable(design).ok());
    const DialReadResult result = parseDialFile(dialFileBytes(design), currentDimensions());
    QVERIFY(result.ok());
    QVERIFY2(result.design == design, qPrintable(describe(result.design)));
}

// --- Layer 2: boundaries ---------------------------------------------------------------------

void TestDialFile::mostRowsPerSectionAreRead()
{
    DialDesign design = DialDesign::startup();
    for (TableKind kind : kAllTables) {
        TableRows rows;
        for (int r = 1; r <= kMaxDataRows; ++r) {
            QStringList row = emptyRow(kind);
            row[0] = QString::number(r);
            rows.append(row);
        }
        design.table(kind) = rows;
    }
    QVERIFY(checkStorable(design).ok());
    const QByteArray bytes = dialFileBytes(design);
    QCOMPARE(bytes.count('\n'), 15 + 4 * kMaxDataRows);
    const DialReadResult result = parseDialFile(bytes, currentDimensions());
    QVERIFY2(result.ok(), qPrintable(result.error.detail));
    for (TableKind kind : kAllTables) {
        QCOMPARE(result.design.table(kind).size(), kMaxDataRows);
        QCOMPARE(result.design.table(kind).last().first(), QString::number(kMaxDataRows));
    }
    QVERIFY(result.design == design);
}

void TestDialFile::oneRowMoreIsRefused_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<QByteArray>("ending");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("caption");

    QTest::newRow("arcs at the limit") << QByteArray("[Arcs]") << QByteArray("20") << QByteArray("\r\n\r\n")
                                       << kMaxDataRows << true << QString();
    QTest::newRow("arcs one more") << QByteArray("[Arcs]") << QByteArray("20") << QByteArray("\r\n\r\n")
                                   << kMaxDataRows + 1 << false << QStringLiteral("Scale Arcs");
    QTest::newRow("tickmarks one more") << QByteArray("[Tickmarks]") << QByteArray("1\t2\t3\t")
                                        << QByteArray("\r\n[Digits]\r\n") << kMaxDataRows + 1 << false
                                        << QStringLiteral("Scale Tickmarks");
    QTest::newRow("digits far more") << QByteArray("[Digits]") << QByteArray("") << QByteArray("\r\n\r\n")
                                     << 40000 << false << QStringLiteral("Scale Digits");
    // The last line of the file is read as a row, so it counts.
    QTest::newRow("labels at the limit, last line a row") << QByteArray("[Labels]") << QByteArray("1\t2\tx\t4")
                                                          << QByteArray() << kMaxDataRows << true << QString();
    QTest::newRow("labels one more, last line a row") << QByteArray("[Labels]") << QByteArray("1\t2\tx\t4")
                                                      << QByteArray() << kMaxDataRows + 1 << false
                                                      << QStringLiteral("Face Labels");
}

void TestDialFile::oneRowMoreIsRefused()
{
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, row);
    QFETCH(QByteArray, ending);
    QFETCH(int, rows);
    QFETCH(bool, accepted);
    QFETCH(QString, caption);

    QByteArray file = "[Vernalith1.0]\r\n" + section;
    for (int r = 0; r < rows; ++r)
        file += "\r\n" + row;
    file += ending;

    const DialReadResult result = parseDialFile(file, currentDimensions());
    if (accepted) {
        QVERIFY2(result.ok(), qPrintable(result.error.detail));
        int longest = 0;
        for (TableKind kind : kAllTables)
            longest = std::max(longest, static_cast<int>(result.design.table(kind).size()));
        QCOMPARE(longest, rows);
    } else {
        QCOMPARE(result.error.kind, DialFileError::Kind::ReadFailed);
        QVERIFY2(result.error.detail.contains(caption), qPrintable(result.error.detail));
        QVERIFY2(result.error.detail.contains(QStringLiteral("32766")), qPrintable(result.error.detail));
    }
}

void TestDialFile::sectionReadTwiceCountsTowardsTheLimit()
{
    // Two arcs sections (the second after an unknown header) add up to more than a table holds.
    QByteArray file = "[Vernalith1.0]\r\n[Arcs]";
    for (int r = 0; r < kMaxDataRows; ++r)
        file += "\r\n5";
    file += "\r\n[Notes]\r\n[Arcs]\r\n6\r\n7\r\n\r\n";
    const DialReadResult result = parseDialFile(file, currentDimensions());
    QCOMPARE(result.error.kind, DialFileError::Kind::ReadFailed);
    QVERIFY2(result.error.detail.contains(QStringLiteral("Scale Arcs")), qPrintable(result.error.detail));
}

void TestDialFile::manyRepeatedSectionsAreRefusedAtOnce()
{
    // Each repeated section inserts its rows above the ones read before; without a limit on the
    // table this 13 MB file takes hours to reject, far past the test's time-out.
    QByteArray section = "[Arcs]\n";
    section += QByteArray(kMaxDataRows, '\n');
    QByteArray file = "[Vernalith1.0]\n" + section.repeated(400) + "x";
    const DialReadResult result = parseDialFile(file, currentDimensions());
    QCOMPARE(result.error.kind, DialFileError::Kind::ReadFailed);
    QVERIFY2(result.error.detail.contains(QStringLiteral("Scale Arcs")), qPrintable(result.error.detail));
}

void TestDialFile::surplusCellsOfAHandBuiltDesignAreNotWritten()
{
    DialDesign design = DialDesign::startup();
    design.table(TableKind::ScaleTickmarks) = {{QStringLiteral("10"), QStringLiteral("22"), QStringLiteral("20"),
                                                QStringLiteral("surplus")}};
    const QByteArray bytes = dialFileBytes(design);
    QVERIFY2(bytes.contains("[Tickmarks]\r\n10\t22\t20\t\r\n[Digits]"), bytes.constData());
    QVERIFY(!bytes.contains("surplus"));
}

void TestDialFile::tooManyRowsAreNotWritten()
{
    DialDesign design = DialDesign::startup();
    design.table(TableKind::ScaleDigits) = TableRows(kMaxDataRows + 1, emptyRow(TableKind::ScaleDigits));
    const DialFileError check = checkStorable(design);
    QCOMPARE(check.kind, DialFileError::Kind::CannotStore);
    QVERIFY2(check.detail.contains(QStringLiteral("Scale Digits")), qPrintable(check.detail));
    QVERIFY2(check.detail.contains(QStringLiteral("32767")), qPrintable(check.detail));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.vlt"));
    QCOMPARE(saveDialFile(path, design).kind, DialFileError::Kind::CannotStore);
    QVERIFY(!QFile::exists(path));

    design.table(TableKind::ScaleDigits).removeLast();
    QVERIFY(checkStorable(design).ok());
}

// --- Layer 3: reader rules and corruptions ---------------------------------------------------

void TestDialFile::readFileLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");  // the lines read until no byte is left
    QTest::addColumn<QList<bool>>("atEnd"); // after each line

    QTest::newRow("CR LF lines") << QByteArray("ab\r\ncd\r\n") << cells("ab|cd") << QList<bool>{false, true};
    QTest::newRow("LF lines") << QByteArray("ab\ncd\n") << cells("ab|cd") << QList<bool>{false, true};
    QTest::newRow("end of the bytes ends a line") << QByteArray("ab\ncd") << cells("ab|cd")
                                                  << QList<bool>{false, true};
    QTest::newRow("CR dropped wherever it stands") << QByteArray("\ra\rb\r\r\n\rc") << cells("ab|c")
                                                   << QList<bool>{false, true};
    QTest::newRow("CR only: one line") << QByteArray("ab\rcd\r") << cells("abcd") << QList<bool>{true};
    QTest::newRow("empty lines") << QByteArray("\r\n\n\r\n") << cells("||") << QList<bool>{false, false, true};
    QTest::newRow("tabs kept") << QByteArray("\ta\t\n") << cells("\ta\t") << QList<bool>{true};
}

void TestDialFile::readFileLine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(QList<bool>, atEnd);

    DialLineReader reader(bytes);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QVERIFY(!reader.atEnd());
        QCOMPARE(reader.readFileLine(), lines[i]);
        QCOMPARE(reader.atEnd(), atEnd[i]);
    }
    // Reading with no byte left gives an empty line, again and again.
    QCOMPARE(reader.readFileLine(), QString());
    QCOMPARE(reader.readFileLine(), QString());
    QVERIFY(reader.atEnd());
}

void TestDialFile::readerRules_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<DialFileError::Kind>("error");
    QTest::addColumn<QStringList>("dimensions"); // empty: the current texts are kept
    // Rows as "a|b|c"; an empty list: the table holds its one empty row.
    QTest::addColumn<QStringList>("arcs");
    QTest::addColumn<QStringList>("tickmarks");
    QTest::addColumn<QStringList>("digits");
    QTest::addColumn<QStringList>("labels");

    using K = DialFileError::Kind;
    const QStringList none;
    const QStringList dims = cells("52|45|26|33|5|12|47|12");

    // Identification.
    QTest::newRow("wrong first line") << crlfFile({"[Vernalith2.0]", "[Dimensions]", "1", "2", "3", "4", "5", "6",
                                                   "7", "8", ""})
                                      << K::UnknownFormat << none << none << none << none << none;
    QTest::newRow("first line in another case") << crlfFile({"[VERNALITH1.0]", ""}) << K::UnknownFormat << none
                                                << none << none << none << none;
    QTest::newRow("blank after the first line") << crlfFile({"[Vernalith1.0] ", ""}) << K::UnknownFormat << none
                                                << none << none << none << none;
    QTest::newRow("blanks before the first line") << crlfFile({"  [Vernalith1.0]", ""}) << K::UnknownFormat << none
                                                  << none << none << none << none;
    QTest::newRow("byte-order mark") << QByteArray("\xef\xbb\xbf") + crlfFile({"[Vernalith1.0]", ""})
                                     << K::UnknownFormat << none << none << none << none << none;
    QTest::newRow("empty file") << QByteArray() << K::UnknownFormat << none << none << none << none << none;
    QTest::newRow("empty first line") << crlfFile({"", "[Vernalith1.0]", ""}) << K::UnknownFormat << none << none
                                      << none << none << none;
    QTest::newRow("CR-only line ends") << QByteArray("[Vernalith1.0]\r[Dimensions]\r1\r2\r") << K::UnknownFormat
                                       << none << none << none << none << none;

    // Files that are accepted.
    QTest::newRow("only the first line") << crlfFile({"[Vernalith1.0]"}) << K::None << none << none << none << none
                                         << none;
    QTest::newRow("only the first line, no line end") << QByteArray("[Vernalith1.0]") << K::None << none << none
                                                      << none << none << none;
    QTest::newRow("CR inside lines dropped")
        << QByteArray("[Verna\rlith1.0]\r\n[Dimen\rsions]\r\n5\r2\r\n45\r\n26\r\n33\r\n5\r\n12\r\n47\r\n12\r\n"
                      "[Arcs]\r\n2\r0\r\r\n\r\n")
        << K::None << dims << rowList({"20"}) << none << none << none;
    QTest::newRow("no dimensions section")
        << crlfFile({"[Vernalith1.0]", "[Arcs]", "20", "[Labels]", "1\t2\t3\t4", ""}) << K::None << none
        << rowList({"20"}) << none << none << rowList({"1|2|3|4"});
    QTest::newRow("no arcs section") << crlfFile({"[Vernalith1.0]", "[Dimensions]", "52", "45", "26", "33", "5", "12",
                                                  "47", "12", "[Tickmarks]", "10\t22\t20\t", "[Digits]",
                                                  "5\t0\t100\t0\t24\t6\t", "[Labels]", "26\t40\tmA\t8\t", ""})
                                     << K::None << dims << none << rowList({"10|22|20"}) << rowList({"5|0|100|0|24|6"})
                                     << rowList({"26|40|mA|8"});
    QTest::newRow("section without rows") << crlfFile({"[Vernalith1.0]", "[Arcs]", "[Tickmarks]", "1\t2\t3\t", ""})
                                          << K::None << none << none << rowList({"1|2|3"}) << none << none;
    QTest::newRow("labels before arcs: arcs lost")
        << crlfFile({"[Vernalith1.0]", "[Labels]", "26\t40\tmA\t8\t", "[Arcs]", "20", "[Tickmarks]", "1\t2\t3\t", ""})
        << K::None << none << none << rowList({"1|2|3"}) << none << rowList({"26|40|mA|8"});
    QTest::newRow("tickmarks before arcs: arcs lost")
        << crlfFile({"[Vernalith1.0]", "[Tickmarks]", "1\t2\t3\t", "[Arcs]", "20", "21", "[Digits]", "9", ""})
        << K::None << none << none << rowList({"1|2|3"}) << rowList({"9|||||"}) << none;
    QTest::newRow("dimensions after a table section are lost")
        << crlfFile({"[Vernalith1.0]", "[Arcs]", "20", "[Dimensions]", "1", "2", "3", "4", "5", "6", "7", "8",
                     "[Labels]", "1\t2\tx\t4\t", ""})
        << K::None << none << rowList({"20"}) << none << none << rowList({"1|2|x|4"});
    QTest::newRow("a header in fixed order is seen in the same pass")
        << crlfFile({"[Vernalith1.0]", "[Arcs]", "20", "[Digits]", "1\t2", "[Labels]", "", ""}) << K::None << none
        << rowList({"20"}) << none << rowList({"1|2||||"}) << rowList({"|||"});
    QTest::newRow("unrecognised header inside a section")
        << crlfFile({"[Vernalith1.0]", "[Arcs]", "20", "[Notes]", "21", "22", "[Tickmarks]", "1\t2\t3\t", ""})
        << K::None << none << rowList({"20"}) << rowList({"1|2|3"}) << none << none;
    QTest::newRow("row starting with a bracket")
        << crlfFile({"[Vernalith1.0]", "[Arcs]", "20", "[21", "22", "[Tickmarks]", "1\t2\t3\t", ""}) << K::None
        << none << rowList({"20"}) << rowList({"1|2|3"}) << none << none;
    QTest::newRow("header in another case is an unknown one")
        << crlfFile({"[Vernalith1.0]", "[arcs]", "20", "[Arcs] ", "21", ""}) << K::None << none << none << none
        << none << none;
    QTest::newRow("empty line inside a section")
        << crlfFile({"[Vernalith1.0]", "[Arcs]", "20", "", "22", "[Tickmarks]", "1\t2\t3\t", "", "4\t5\t6\t", ""})
        << K::None << none << rowList({"20", "", "22"}) << rowList({"1|2|3", "||", "4|5|6"}) << none << none;
    QTest::newRow("surplus pieces dropped")
        << crlfFile({"[Vernalith1.0]", "[Arcs]", "20\t30\t40", "[Tickmarks]", "1\t2\t3\t4\t5\t6\t7", ""}) << K::None
        << none << rowList({"20"}) << rowList({"1|2|3"}) << none << none;
    QTest::newRow("missing pieces empty")
        << crlfFile({"[Vernalith1.0]", "[Digits]", "5", "5\t0\t100", "[Labels]", "26\t40", ""}) << K::None << none
        << none << none << rowList({"5|||||", "5|0|100|||"}) << rowList({"26|40||"});
    QTest::newRow("file ends inside the dimensions")
        << crlfFile({"[Vernalith1.0]", "[Dimensions]", "60", "50", "30"}) << K::None << cells("60|50|30|||||")
        << none << none << none << none;
    QTest::newRow("file ends inside the dimensions, no line end")
        << QByteArray("[Vernalith1.0]\r\n[Dimensions]\r\n60\r\n50") << K::None << cells("60|50||||||") << none << none
        << none << none;
    QTest::newRow("header among the dimension lines is a text")
        << crlfFile({"[Vernalith1.0]", "[Dimensions]", "52", "[Arcs]", "26", "33", "5", "12", "47", "12", "20", ""})
        << K::None << cells("52|[Arcs]|26|33|5|12|47|12") << none << none << none << none;
    QTest::newRow("lines before the first header skipped")
        << crlfFile({"[Vernalith1.0]", "written by hand", "20", "", "[Arcs]", "21", ""}) << K::None << none
        << rowList({"21"}) << none << none << none;
    QTest::newRow("dimensions read twice: the second wins")
        << crlfFile({"[Vernalith1.0]", "[Dimensions]", "1", "2", "3", "4", "5", "6", "7", "8", "[Dimensions]", "52",
                     "45", "26", "33", "5", "12", "47", "12", ""})
        << K::None << dims << none << none << none << none;
    // Each section inserts its rows from row 1 on and then drops the row below them, which is
    // the spare empty row the first time and a row read before the second time.
    QTest::newRow("arcs read twice")
        << crlfFile({"[Vernalith1.0]", "[Arcs]", "1", "2", "[Notes]", "[Arcs]", "3", ""}) << K::None << none
        << rowList({"3", "2"}) << none << none << none;

    // The last line of a file.
    QTest::newRow("last line a row, no line end")
        << QByteArray("[Vernalith1.0]\r\n[Labels]\r\n1\t2\tx\t4\t\r\n26\t40\tmA\t8\t") << K::None << none << none
        << none << none << rowList({"1|2|x|4", "26|40|mA|8"});
    QTest::newRow("final empty line deleted by an editor")
        << QByteArray("[Vernalith1.0]\r\n[Labels]\r\n1\t2\tx\t4\t\r\n26\t40\tmA\t8\t\r\n") << K::None << none
        << none << none << none << rowList({"1|2|x|4", "26|40|mA|8"});
    QTest::newRow("last line of the arcs section a row")
        << QByteArray("[Vernalith1.0]\n[Arcs]\n20\n22") << K::None << none << rowList({"20", "22"}) << none << none
        << none;
    QTest::newRow("final empty line is not a row")
        << QByteArray("[Vernalith1.0]\n[Arcs]\n20\n\n") << K::None << none << rowList({"20"}) << none << none << none;
    QTest::newRow("last line a header")
        << QByteArray("[Vernalith1.0]\n[Arcs]\n20\n[Labels]") << K::None << none << rowList({"20"}) << none << none
        << none;
    QTest::newRow("last line a row starting with a bracket")
        << QByteArray("[Vernalith1.0]\n[Arcs]\n20\n[21") << K::None << none << rowList({"20"}) << none << none
        << none;
}

void TestDialFile::readerRules()
{
    QFETCH(QByteArray, file);
    QFETCH(DialFileError::Kind, error);
    QFETCH(QStringList, dimensions);
    QFETCH(QStringList, arcs);
    QFETCH(QStringList, tickmarks);
    QFETCH(QStringList, digits);
    QFETCH(QStringList, labels);

    const DialReadResult result = parseDialFile(file, currentDimensions());
    QCOMPARE(result.error.kind, error);
    if (error != DialFileError::Kind::None) {
        QVERIFY(!result.ok());
        QVERIFY(!result.error.detail.isEmpty());
        if (error == DialFileError::Kind::UnknownFormat)
            QVERIFY2(result.error.detail.contains(QStringLiteral("[Vernalith1.0]")), qPrintable(result.error.detail));
        return;
    }
    QVERIFY(result.ok());

    DialDesign expected;
    expected.dimensions = currentDimensions();
    for (int d = 0; d < dimensions.size(); ++d)
        expected.dimensions[static_cast<size_t>(d)] = dimensions[d];
    const QStringList *tables[] = {&arcs, &tickmarks, &digits, &labels};
    for (TableKind kind : kAllTables) {
        const QStringList &rows = *tables[tableIndex(kind)];
        expected.table(kind) = rows.isEmpty() ? emptyTable(kind) : rowsOf(rows);
    }
    QVERIFY2(result.design == expected,
             qPrintable(QStringLiteral("\nread     %1\nexpected %2").arg(describe(result.design), describe(expected))));
}

void TestDialFile::lfOnlyFileReadsLikeCrLf()
{
    QByteArray lfOnly = kWorkedExampleFile;
    lfOnly.replace("\r\n", "\n");
    QCOMPARE(lfOnly.size(), 164 - 21);
    const DialReadResult crlf = parseDialFile(kWorkedExampleFile, currentDimensions());
    const DialReadResult lf = parseDialFile(lfOnly, currentDimensions());
    QVERIFY(lf.ok());
    QVERIFY(lf.design == crlf.design);

    // Mixed line ends, and a CR before every character, read the same too.
    QByteArray mixed;
    for (char c : lfOnly) {
        mixed += '\r';
        mixed += c;
    }
    const DialReadResult crs = parseDialFile(mixed, currentDimensions());
    QVERIFY(crs.ok());
    QVERIFY2(crs.design == crlf.design, qPrintable(describe(crs.design)));
}

void TestDialFile::crOnlyFileIsRejected()
{
    QByteArray crOnly = kWorkedExampleFile;
    crOnly.replace("\r\n", "\r");
    const DialReadResult result = parseDialFile(crOnly, currentDimensions());
    QCOMPARE(result.error.kind, DialFileError::Kind::UnknownFormat);
}

void TestDialFile::bottomFirstFileIsReadAsItStands()
{
    // A file whose writer put each table's bottom row first keeps that order when read.
    const QByteArray bottomFirst = crlfFile({"[Vernalith1.0]", "[Dimensions]", "52", "45", "26", "33", "5", "12",
                                             "47", "12", "[Arcs]", "22", "20", "[Tickmarks]", "50\t22\t21\t",
                                             "10\t22\t20\t", "[Digits]", "5\t0\t100\t0\t24\t6\t", "[Labels]",
                                             "26\t40\tmA\t8\t", ""});
    QCOMPARE(bottomFirst.size(), 164);
    const DialReadResult result = parseDialFile(bottomFirst, currentDimensions());
    QVERIFY(result.ok());
    QCOMPARE(result.design.table(TableKind::ScaleArcs), rowsOf(rowList({"22", "20"})));
    QCOMPARE(result.design.table(TableKind::ScaleTickmarks), rowsOf(rowList({"50|22|21", "10|22|20"})));
    // Saving it again writes the rows in the order they are shown.
    QCOMPARE(dialFileBytes(result.design), bottomFirst);
}

void TestDialFile::handEditedFixtureFile()
{
    // LF line ends, a note line before the first header, no arcs section, a micro sign in
    // Windows-1252, blanks kept in a cell, and the final empty line deleted.
    const DialReadResult result =
        loadDialFile(QStringLiteral(VERNALITH_TEST_DATA "/hand-edited.vlt"), currentDimensions());
    QVERIFY2(result.ok(), qPrintable(result.error.detail));
    DialDesign expected;
    expected.dimensions = {QStringLiteral("60"), QStringLiteral("50"), QStringLiteral("30"), QStringLiteral("40"),
                           QStringLiteral("8"),  QStringLiteral("15"), QStringLiteral("52"), QStringLiteral("15")};
    expected.table(TableKind::ScaleArcs) = emptyTable(TableKind::ScaleArcs);
    expected.table(TableKind::ScaleTickmarks) = rowsOf(rowList({"10|25.5|23", "50|25.5|24"}));
    expected.table(TableKind::ScaleDigits) = rowsOf(rowList({"5|0|100|0|21|6"}));
    expected.table(TableKind::FaceLabels) = rowsOf(rowList({"30|42|\u00b5A|8", "30|47| class 1.5 |6"}));
    QVERIFY2(result.design == expected, qPrintable(describe(result.design)));
}

void TestDialFile::unstorableDesignsAreRefused_data()
{
    QTest::addColumn<int>("dimension"); // -1: the text goes into a cell instead
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("mentions");

    QTest::newRow("Greek letter in a dimension") << 0 << 0 << 0 << 0 << QStringLiteral("5\u03b1")
                                                 << QStringList{QStringLiteral("Card Width"), QStringLiteral("\u03b1")};
    QTest::newRow("line break in a dimension") << 7 << 0 << 0 << 0 << QStringLiteral("1\n2")
                                               << QStringList{QStringLiteral("Max position Y"),
                                                              QStringLiteral("line break")};
    QTest::newRow("CR in a dimension") << 2 << 0 << 0 << 0 << QStringLiteral("1\r")
                                       << QStringList{QStringLiteral("Needle Pivot X")};
    QTest::newRow("ohm sign in a label") << -1 << 3 << 2 << 2 << QStringLiteral("10 k\u2126")
                                         << QStringList{QStringLiteral("Face Labels, row 2"), QStringLiteral("\u2126")};
    QTest::newRow("emoji in a label") << -1 << 3 << 1 << 2 << QStringLiteral("ok \U0001F600")
                                      << QStringList{QStringLiteral("Face Labels, row 1"),
                                                     QStringLiteral("\"\U0001F600\"")};
    QTest::newRow("tab in a cell") << -1 << 1 << 1 << 1 << QStringLiteral("2\t3")
                                   << QStringList{QStringLiteral("Scale Tickmarks, row 1"), QStringLiteral("tab")};
    QTest::newRow("line feed in a cell") << -1 << 2 << 2 << 3 << QStringLiteral("0.0\n")
                                         << QStringList{QStringLiteral("Scale Digits, row 2")};
    QTest::newRow("first cell begins with a bracket") << -1 << 0 << 2 << 0 << QStringLiteral("[Tickmarks]")
                                                      << QStringList{QStringLiteral("Scale Arcs, row 2"),
                                                                     QStringLiteral("\"[\"")};
    QTest::newRow("first label cell begins with a bracket") << -1 << 3 << 1 << 0 << QStringLiteral("[")
                                                            << QStringList{QStringLiteral("Face Labels, row 1")};
}

void TestDialFile::unstorableDesignsAreRefused()
{
    QFETCH(int, dimension);
    QFETCH(int, table);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, text);
    QFETCH(QStringList, mentions);

    DialDesign design = workedExample();
    design.table(TableKind::FaceLabels).append(cells("30|45|V|8"));
    design.table(TableKind::ScaleDigits).append(cells("5|0|10|0.0|20|6"));
    QVERIFY(checkStorable(design).ok());
    if (dimension >= 0)
        design.dimensions[static_cast<size_t>(dimension)] = text;
    else
        design.tables[static_cast<size_t>(table)][row - 1][col] = text;

    const DialFileError check = checkStorable(design);
    QCOMPARE(check.kind, DialFileError::Kind::CannotStore);
    for (const QString &mention : mentions)
        QVERIFY2(check.detail.contains(mention), qPrintable(check.detail));

    // Nothing is written, neither to a device nor to a file.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QCOMPARE(writeDialFile(buffer, design).kind, DialFileError::Kind::CannotStore);
    QCOMPARE(buffer.size(), 0);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("refused.vlt"));
    const DialFileError saved = saveDialFile(path, design);
    QCOMPARE(saved.kind, DialFileError::Kind::CannotStore);
    QCOMPARE(saved.detail, check.detail);
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty());
}

// --- Files on disk ---------------------------------------------------------------------------

void TestDialFile::loadingAMissingFileCannotOpen()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing.vlt"));
    const DialReadResult result = loadDialFile(path, currentDimensions());
    QCOMPARE(result.error.kind, DialFileError::Kind::CannotOpen);
    QVERIFY2(result.error.detail.contains(path), qPrintable(result.error.detail));
}

void TestDialFile::loadingAFolderCannotOpen()
{
    QTemporaryDir dir;
    const DialReadResult result = loadDialFile(dir.path(), currentDimensions());
    QCOMPARE(result.error.kind, DialFileError::Kind::CannotOpen);
    QVERIFY2(result.error.detail.contains(dir.path()), qPrintable(result.error.detail));
}

void TestDialFile::failedReadIsReported()
{
    FailingDevice device;
    const DialReadResult result = readDialFile(device, currentDimensions());
    QCOMPARE(result.error.kind, DialFileError::Kind::ReadFailed);
    QVERIFY2(result.error.detail.contains(QStringLiteral("the disk went away")), qPrintable(result.error.detail));
}

void TestDialFile::savingIntoAMissingFolderFails()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no/such/folder/dial.vlt"));
    const DialFileError saved = saveDialFile(path, workedExample());
    QCOMPARE(saved.kind, DialFileError::Kind::WriteFailed);
    QVERIFY2(saved.detail.contains(path), qPrintable(saved.detail));
    QVERIFY(!QFile::exists(path));
    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

void TestDialFile::savingOverAFolderFails()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("dial.vlt")));
    const QString path = dir.filePath(QStringLiteral("dial.vlt"));
    const DialFileError saved = saveDialFile(path, workedExample());
    QCOMPARE(saved.kind, DialFileError::Kind::WriteFailed);
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("dial.vlt")});
}

void TestDialFile::failedWriteLeavesTheOldFile()
{
    // GIVEN a saved design and a process that may write no file longer than 150 bytes (as on a
    // full disk; root ignores permissions, not this limit)
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dial.vlt"));
    const QByteArray old = dialFileBytes(DialDesign::startup());
    QVERIFY(old.size() < 150);
    QVERIFY(kWorkedExampleFile.size() > 150);
    QVERIFY(writeContents(path, old));

    struct rlimit saved {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 150;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);

    // WHEN a longer design is saved over it
    const DialFileError result = saveDialFile(path, workedExample());

    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    // THEN the save fails and the old file is as it was, with nothing left beside it
    QCOMPARE(result.kind, DialFileError::Kind::WriteFailed);
    QVERIFY2(result.detail.contains(path), qPrintable(result.detail));
    QCOMPARE(fileContents(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("dial.vlt")});
}

void TestDialFile::refusedDesignLeavesTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dial.vlt"));
    QVERIFY(saveDialFile(path, workedExample()).ok());
    DialDesign design = workedExample();
    design.table(TableKind::FaceLabels)[0][2] = QStringLiteral("\u03a9");
    QCOMPARE(saveDialFile(path, design).kind, DialFileError::Kind::CannotStore);
    QCOMPARE(fileContents(path), kWorkedExampleFile);
}

void TestDialFile::savingOverALongerFileLeavesOnlyTheNewContent()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dial.vlt"));
    DialDesign longer = workedExample();
    for (int r = 0; r < 50; ++r)
        longer.table(TableKind::FaceLabels).append(cells("1|2|a long label text|8"));
    QVERIFY(saveDialFile(path, longer).ok());
    QVERIFY(fileContents(path).size() > 1000);

    QVERIFY(saveDialFile(path, DialDesign::startup()).ok());
    QCOMPARE(fileContents(path), dialFileBytes(DialDesign::startup()));
    QCOMPARE(fileContents(path).count("\r\n"), 19);
}

void TestDialFile::writingToADeviceThatRefuses()
{
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): ReadOnly device");
    const DialFileError result = writeDialFile(readOnly, workedExample());
    QCOMPARE(result.kind, DialFileError::Kind::WriteFailed);
}

QTEST_APPLESS_MAIN(TestDialFile)
#include "test_dialfile.moc"
