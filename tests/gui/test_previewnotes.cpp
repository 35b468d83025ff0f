// The preview's message area: fonts that are not installed are named there in the ink, and a
// drawing error still shows below them in red.

#undef QT_NO_CAST_FROM_ASCII // the cases use plain string literals

#include "previewpainter.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

using namespace vernalith;

class TestPreviewNotes : public QObject
{
    Q_OBJECT

private slots:
    void messageArea_data()
    {
        QTest::addColumn<QString>("labelFont");
        QTest::addColumn<QString>("arcColour");
        QTest::addColumn<QString>("error");

        QTest::newRow("installed face") << "DejaVu Serif" << "" << "";
        QTest::newRow("missing face") << "No Such Face" << "" << "";
        QTest::newRow("missing face and an error") << "No Such Face" << "bleu"
                                                   << "Scale Arcs, row 1: Colour \"bleu\" is not #RRGGBB or a colour name";
    }

    void messageArea()
    {
        QFETCH(QString, labelFont);
        QFETCH(QString, arcColour);
        QFETCH(QString, error);
        DialDesign design = DialDesign::startup();
        design.table(TableKind::FaceLabels) = {{"20", "36", "mA", "10", "", labelFont}};
        design.table(TableKind::ScaleArcs) = {{"20", "", arcColour}};
        const QStringList notes = labelFont.startsWith("No Such")
            ? QStringList{"Font \"No Such Face\" is not installed; DejaVu Sans is used instead"} : QStringList();

        const QRect area(260, 8, 250, 280); // right of the card: only messages mark it
        QImage image(520, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(QApplication::font());
        QStringList told;
        QCOMPARE(paintPreview(painter, design, 96, area, nullptr, &told), error);
        painter.end();
        QCOMPARE(told, notes);
        int inked = 0, red = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                inked += c.red() < 128 && c.green() < 128;
                red += c.red() > 200 && c.green() < 80;
            }
        }
        QCOMPARE(inked > 0, !notes.isEmpty());
        QCOMPARE(red > 0, !error.isEmpty());
    }
};

QTEST_MAIN(TestPreviewNotes)
#include "test_previewnotes.moc"
