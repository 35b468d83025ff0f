// What the window draws, and how the program ends: the card behind the controls, a drawing error
// in red in the preview, Close, Exit and Esc.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designtable.h"
#include "fakes.h"

#include <QAction>
#include <QPushButton>
#include <QTimer>

using namespace vernalith;

// The first and last dark pixel on the line `yMm` down the image, in whole millimetres.
static QPair<int, int> darkSpanMm(const QImage &image, double yMm, double dpi)
{
    QPair<int, int> span(-1, -1);
    for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, qRound(yMm * dpi / 25.4))) < 160)
            span = {span.first < 0 ? qRound(x * 25.4 / dpi) : span.first, qRound(x * 25.4 / dpi)};
    return span;
}

static qsizetype redPixels(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const auto *p = reinterpret_cast<const QRgb *>(rgb.constBits());
    return std::count_if(p, p + rgb.width() * rgb.height(),
                         [](QRgb c) { return qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90; });
}

class TestFrmMainPreview : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;
    QWidget *client() { return w->window.centralWidget(); }
    double dpi() { return client()->logicalDpiX(); }
    // The part of the client area that no control covers, 7800 x 3960 twips.
    QImage preview() { return client()->grab(QRect(0, 0, dpi() * 7800 / 1440, dpi() * 3960 / 1440)).toImage(); }
    void setDivisions(const QString &text) { w->window.table(TableKind::ScaleDigits).setCell(1, 0, text); }

private slots:
    void init() { w = std::make_unique<testing::ShownWindow>(); QVERIFY(QTest::qWaitForWindowActive(&w->window)); }

    void thePreviewDrawsTheCardAtTrueSizeOrSaysInRedWhyItCannot()
    {
        QCOMPARE(darkSpanMm(preview(), 32.5, dpi()), qMakePair(10, 62)); // halfway down the start-up card
        setDivisions("40000");
        QTest::mouseClick(w->child<QPushButton>("cmdPreview"), Qt::LeftButton);
        QVERIFY(redPixels(preview()) > 20);
        QVERIFY2(w->window.previewError().contains("40000"), qPrintable(w->window.previewError()));
        QCOMPARE(darkSpanMm(preview(), 32.5, dpi()).first, 10); // what was drawn before the error stays
        QVERIFY(w->messages.texts.isEmpty());
        setDivisions("4");
        QTest::mouseClick(w->child<QPushButton>("cmdPreview"), Qt::LeftButton);
        QCOMPARE(redPixels(preview()), 0);
    }

    void theProgramEndsAtOnce_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"cmdClose", "mnuExit", "Esc txtZeroPosY", "Esc grdFaceLabels", "Esc cmdPrint", "close"})
            QTest::newRow(how) << how;
    }
    void theProgramEndsAtOnce()
    {
        QFETCH(QString, how);
        setDivisions("5"); // unsaved changes are no reason to ask
        QTimer::singleShot(0, this, [this, how] {
            if (how.startsWith("Esc "))
                QTest::keyClick(w->child(qPrintable(how.mid(4))), Qt::Key_Escape);
            else if (how == "cmdClose")
                QTest::mouseClick(w->child<QPushButton>("cmdClose"), Qt::LeftButton);
            else if (how == "mnuExit")
                w->child<QAction>("mnuExit")->trigger();
            else
                w->window.close();
        });
        QObject guard; // should the program not end, this ends the loop with a code that fails the test
        QTimer::singleShot(20000, &guard, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!w->window.isVisible());
    }
};

QTEST_MAIN(TestFrmMainPreview)
#include "test_frmmain_preview.moc"
