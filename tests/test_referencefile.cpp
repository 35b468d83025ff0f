// The reference image in the dial file: how its path is stored relative to the file, that the
// whole registration comes back, and what a damaged [Reference] section does.

#include "files/dialfile.h"
#include "files/referencepath.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vernalith;

namespace {

QStringList referenceCells(const QString &path)
{
    return {path, QStringLiteral("points"), QString(), QString(), QString(), QStringLiteral("1260.5"),
            QStringLiteral("1590"), QStringLiteral("630"), QStringLiteral("960"), QStringLiteral("1890"),
            QStringLiteral("960"), QStringLiteral("35"), QStringLiteral("0")};
}

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestReferenceFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Saved and opened again, the design is the same; on disk the path is relative where the
    // image lies in or below the dial file's folder.
    void roundTripStoresThePathRelativeWhereItCan_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("stored");
        const QString root = m_dir.path();
        QTest::newRow("beside the file") << root + u8("/dials/scan.png") << u8("scan.png");
        QTest::newRow("below it") << root + u8("/dials/scans/old/scan 2.tif") << u8("scans/old/scan 2.tif");
        QTest::newRow("in a sibling folder") << root + u8("/photos/scan.jpg") << root + u8("/photos/scan.jpg");
        QTest::newRow("elsewhere") << u8("/srv/archive/ammeter.png") << u8("/srv/archive/ammeter.png");
        QTest::newRow("below, in a folder named [old]") << root + u8("/dials/[old]/scan.png") << root + u8("/dials/[old]/scan.png");
        QTest::newRow("a name that is not ASCII") << root + u8("/dials/Skala Ω.png") << u8("Skala Ω.png");
    }
    void roundTripStoresThePathRelativeWhereItCan()
    {
        QFETCH(QString, image);
        QFETCH(QString, stored);
        QVERIFY(QDir().mkpath(m_dir.path() + u8("/dials")));
        const QString dial = m_dir.path() + u8("/dials/ammeter.vld");
        DialDesign design = DialDesign::startup();
        design.reference = referenceCells(image);
        QVERIFY(saveDialFile(dial, design).ok());

        const QByteArray bytes = fileBytes(dial);
        QVERIFY(bytes.startsWith("[Vernalith1.1]\r\n"));
        const QByteArray row = stored.toUtf8() + QByteArray("\tpoints\t\t\t\t1260.5\t1590\t630\t960\t1890\t960\t35\t0\t\r\n");
        QVERIFY2(bytes.endsWith("[Reference]\r\n" + row + "\r\n"), bytes.right(200).constData());

        const DialReadResult read = loadDialFile(dial, DialDesign::startup().dimensions);
        QVERIFY2(read.ok(), qPrintable(read.error.detail));
        QCOMPARE(read.design.reference, design.reference);
        QVERIFY(read.design == design);
        // The image was never there: opening does not look for it.
        QVERIFY(!QFile::exists(image));
    }

    // The reader of a device keeps the path as it stands; opening a file resolves it.
    void storedPathsAreResolvedAgainstTheFile_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("opened");
        QTest::newRow("beside") << u8("scan.png") << u8("/work/dials/scan.png");
        QTest::newRow("dotted") << u8("./scans/../scan.png") << u8("/work/dials/scan.png");
        QTest::newRow("above, written by hand") << u8("../scan.png") << u8("/work/scan.png");
        QTest::newRow("absolute") << u8("/srv/scan.png") << u8("/srv/scan.png");
    }
    void storedPathsAreResolvedAgainstTheFile()
    {
        QFETCH(QString, stored);
        QFETCH(QString, opened);
        QCOMPARE(referencePathFromFile(stored, QStringLiteral("/work/dials/a.vld")), opened);
        const QByteArray bytes = "[Vernalith1.1]\r\n[Reference]\r\n" + stored.toUtf8() + QByteArray("\tdpi\t300\t0\t0\r\n\r\n");
        const DialReadResult read = parseDialFile(bytes, DialDesign::startup().dimensions);
        QVERIFY2(read.ok(), qPrintable(read.error.detail));
        QCOMPARE(read.design.reference.size(), kReferenceColumnCount);
        QCOMPARE(read.design.reference.first(), stored);
        QCOMPARE(read.design.reference.at(static_cast<int>(ReferenceColumn::Dpi)), QStringLiteral("300"));
    }

    // A design without a reference image keeps the version and bytes it had.
    void noReferenceWritesNoSection()
    {
        DialDesign design = DialDesign::startup();
        QVERIFY(dialFileBytes(design).startsWith("[Vernalith1.0]\r\n"));
        design.scales = {{QStringLiteral("linear"), QStringLiteral("0"), QStringLiteral("1"), QString(), QString()}};
        const QByteArray bytes = dialFileBytes(design);
        QVERIFY(bytes.startsWith("[Vernalith1.1]\r\n"));
        QVERIFY(!bytes.contains("[Reference]"));
    }

    void damagedSectionsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QString>("says");
        QTest::newRow("two rows") << QByteArray("a.png\tdpi\t300\r\nb.png\tdpi\t600\r\n") << "more than one row";
        QTest::newRow("a cell past the last") << QByteArray("a.png\tdpi\t300\t\t\t\t\t\t\t\t\t50\t1\tnew\t\r\n")
                                              << "later version";
        QTest::newRow("not UTF-8") << QByteArray("sc\xe9.png\tdpi\r\n") << "UTF-8";
    }
    void damagedSectionsAreRefused()
    {
        QFETCH(QByteArray, section);
        QFETCH(QString, says);
        const DialReadResult read =
            parseDialFile("[Vernalith1.1]\r\n[Reference]\r\n" + section + "\r\n", DialDesign::startup().dimensions);
        QCOMPARE(read.error.kind, DialFileError::Kind::ReadFailed);
        QVERIFY2(read.error.detail.contains(says), qPrintable(read.error.detail));
    }

    void unstorablePathIsRefused()
    {
        DialDesign design = DialDesign::startup();
        design.reference = referenceCells(QStringLiteral("/scans/a\tb.png"));
        const DialFileError error = checkStorable(design);
        QCOMPARE(error.kind, DialFileError::Kind::CannotStore);
        QVERIFY2(error.detail.startsWith(QStringLiteral("Reference, row 1")), qPrintable(error.detail));
    }
};

QTEST_GUILESS_MAIN(TestReferenceFile)
#include "test_referencefile.moc"
