// What the window draws and prints, and how the program ends: the preview behind the controls,
// the drawing error shown in the preview, Print with and without a printer, and Close, Exit,
// Esc and the window's close all ending the program.


// The test tables are written with plain string literals.
#undef QT_NO_CAST_FROM_ASCII

#include "design/designmodel.h"
#include "design/designtable.h"
#include "fakes.h"
#include "frmmain.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

using namespace vernalith;
using vernalith::testing::FakeMessages;
using vernalith::testing::FakePrinters;

namespace {

// The first and last x in row `y` whose pixel is dark, between x0 and x1.
std::optional<std::pair<int, int>> darkSpan(const QImage &image, int y, int x0, int x1)
{
    std::optional<std::pair<int, int>> span;
    for (int x = x0; x < x1; ++x) {
        if (qGray(image.pixel(x, y)) < 160) {
            if (!span)
                span = std::make_pair(x, x);
            span->second = x;
        }
    }
    return span;
}

// The first and last y in column `x` whose pixel is dark, between y0 and y1.
std::optional<std::pair<int, int>> darkSpanDown(const QImage &image, int x, int y0, int y1)
{
    std::optional<std::pair<int, int>> span;
    for (int y = y0; y < y1; ++y) {
        if (qGray(image.pixel(x, y)) < 160) {
            if (!span)
                span = std::make_pair(y, y);
            span->second = y;
        }
    }
    return span;
}

int redPixels(const QImage &image, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) > 180 && qGreen(p) < 90 && qBlue(p) < 90)
                ++count;
        }
    }
    return count;
}

double mmToPixels(double mm, double dpi)
{
    return mm * dpi / 25.4;
}

} // namespace

class TestFrmMainPreview : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void previewDrawsTheCardAtTrueSize();
    void previewRedrawsTheCurrentDesign();
    void drawingErrorIsShownInRedInThePreview();
    void theControlsCoverTheDrawing();

    void printWithoutPrinterSaysSo();
    void printDrawsTheCardAtTrueSizeOnThePage();
    void printOfAnUndrawableDesignIsAPrinterError();
    void printOnAnUnusablePageIsAPrinterError();

    void theProgramEndsAtOnce_data();
    void theProgramEndsAtOnce();

private:
    QPushButton *button(const char *name)
    {
        return m_window->findChild<QPushButton *>(QString::fromLatin1(name));
    }
    void setDigitsDivisions(const QString &value);
    QImage clientImage() { return m_window->centralWidget()->grab().toImage(); }
    QRect previewArea() const
    {
        const double dpi = m_window->centralWidget()->logicalDpiX();
        return QRect(0, 0, qRound(7800 * dpi / 1440), qRound(3960 * dpi / 1440));
    }

    std::unique_ptr<FrmMain> m_window;
    FakeMessages m_messages;
    FakePrinters m_printers;
};

void TestFrmMainPreview::init()
{
    m_messages = FakeMessages();
    m_printers = FakePrinters();
    m_window = std::make_unique<FrmMain>();
    m_window->setMessageSink(&m_messages);
    m_window->setPrintBackend(&m_printers);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestFrmMainPreview::cleanup()
{
    m_window.reset();
}

// Types `value` into the Divisions cell of the digits table's first row, as a person would.
void TestFrmMainPreview::setDigitsDivisions(const QString &value)
{
    auto *view = m_window->findChild<QTableView *>(QStringLiteral("grdScaleDigits"));
    const QModelIndex cell = view->model()->index(0, 0);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(cell).center());
    QTest::keyClick(view, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClicks(view, value);
}

void TestFrmMainPreview::previewDrawsTheCardAtTrueSize()
{
    const double dpi = m_window->centralWidget()->logicalDpiX();
    const QImage image = clientImage();
    // Halfway down the 45 mm card: its left and right edges, 10 mm and 62 mm from the corner.
    const int y = qRound(mmToPixels(10 + 22.5, dpi));
    const auto span = darkSpan(image, y, 0, previewArea().right());
    QVERIFY(span);
    QVERIFY2(qAbs(span->first - mmToPixels(10, dpi)) <= 1.5, qPrintable(QString::number(span->first)));
    QVERIFY2(qAbs(span->second - mmToPixels(62, dpi)) <= 1.5, qPrintable(QString::number(span->second)));
    QVERIFY(m_window->previewError().isEmpty());
}

void TestFrmMainPreview::previewRedrawsTheCurrentDesign()
{
    const double dpi = m_window->centralWidget()->logicalDpiX();
    auto *width = m_window->findChild<QLineEdit *>(QStringLiteral("txtCardWidth"));
    width->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(width, QStringLiteral("80"));
    QTest::mouseClick(button("cmdPreview"), Qt::LeftButton);
    const QImage image = clientImage();
    const auto span = darkSpan(image, qRound(mmToPixels(10 + 22.5, dpi)), 0, previewArea().right());
    QVERIFY(span);
    QVERIFY2(qAbs(span->second - mmToPixels(90, dpi)) <= 1.5, qPrintable(QString::number(span->second)));
}

void TestFrmMainPreview::drawingErrorIsShownInRedInThePreview()
{
    setDigitsDivisions(QStringLiteral("40000"));
    QTest::mouseClick(button("cmdPreview"), Qt::LeftButton);
    const QImage broken = clientImage();
    QVERIFY(redPixels(broken, previewArea()) > 20);
    QVERIFY2(m_window->previewError().contains(QStringLiteral("40000")), qPrintable(m_window->previewError()));
    // What was drawn before the bad row stays: the card outline.
    QVERIFY(darkSpan(broken, qRound(mmToPixels(32.5, m_window->centralWidget()->logicalDpiX())), 0,
                     previewArea().right()));
    QVERIFY(m_messages.texts.isEmpty());

    // A repaint meets the same error again, and nothing else appears anywhere.
    m_window->centralWidget()->repaint();
    QVERIFY(!m_window->previewError().isEmpty());
    QVERIFY(m_messages.texts.isEmpty());

    // Corrected, the message goes.
    setDigitsDivisions(QStringLiteral("4"));
    QTest::mouseClick(button("cmdPreview"), Qt::LeftButton);
    QCOMPARE(redPixels(clientImage(), previewArea()), 0);
    QVERIFY(m_window->previewError().isEmpty());
}

void TestFrmMainPreview::theControlsCoverTheDrawing()
{
    // A card 100 mm high reaches down behind the scale arcs frame.
    const double dpi = m_window->centralWidget()->logicalDpiX();
    auto *height = m_window->findChild<QLineEdit *>(QStringLiteral("txtCardHeight"));
    height->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(height, QStringLiteral("100"));
    QTest::mouseClick(button("cmdPreview"), Qt::LeftButton);
    const QImage image = clientImage();
    const QWidget *frame = m_window->findChild<QWidget *>(QStringLiteral("Frame2"));
    const int x = qRound(mmToPixels(10, dpi));
    // The card's left edge runs down the preview area ...
    QVERIFY(darkSpan(image, previewArea().bottom() - 4, x - 3, x + 3));
    // ... and not through the frame's empty lower part, below the table.
    QVERIFY(!darkSpan(image, frame->geometry().bottom() - 4, x - 3, x + 3));
}

void TestFrmMainPreview::printWithoutPrinterSaysSo()
{
    m_printers.installed = false;
    QTest::mouseClick(button("cmdPrint"), Qt::LeftButton);
    QCOMPARE(m_messages.texts, QStringList{"You don't have a printer set up on this machine!"});
    QCOMPARE(m_printers.jobs, 0);
}

void TestFrmMainPreview::printDrawsTheCardAtTrueSizeOnThePage()
{
    const DialDesign before = m_window->model().design();
    QTest::mouseClick(button("cmdPrint"), Qt::LeftButton);
    QVERIFY(m_messages.texts.isEmpty());
    QCOMPARE(m_printers.jobs, 1);
    QVERIFY(!m_printers.aborted);

    const double dpi = FakePrinters::kDpi;
    const QImage &page = m_printers.page;
    // The card: 52 x 45 mm, its corner 10 mm in from the printable area's corner.
    const auto across = darkSpan(page, qRound(mmToPixels(32.5, dpi)), 0, page.width());
    QVERIFY(across);
    QVERIFY2(qAbs(across->first - mmToPixels(10, dpi)) <= 2, qPrintable(QString::number(across->first)));
    QVERIFY2(qAbs(across->second - mmToPixels(62, dpi)) <= 2, qPrintable(QString::number(across->second)));
    // 5 mm in from the card's left edge, clear of the pivot cross: its top and bottom edges.
    const auto down = darkSpanDown(page, qRound(mmToPixels(15, dpi)), 0, page.height());
    QVERIFY(down);
    QVERIFY2(qAbs(down->first - mmToPixels(10, dpi)) <= 2, qPrintable(QString::number(down->first)));
    QVERIFY2(qAbs(down->second - mmToPixels(55, dpi)) <= 2, qPrintable(QString::number(down->second)));
    QCOMPARE(m_window->model().design(), before);
}

void TestFrmMainPreview::printOfAnUndrawableDesignIsAPrinterError()
{
    setDigitsDivisions(QStringLiteral("40000"));
    QTest::mouseClick(button("cmdPrint"), Qt::LeftButton);
    QCOMPARE(m_messages.texts, QStringList{"Printer error!"});
    QVERIFY(m_messages.reasons.first().contains(QStringLiteral("40000")));
    QVERIFY(m_printers.aborted);
}

void TestFrmMainPreview::printOnAnUnusablePageIsAPrinterError()
{
    m_printers.unusable = true;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("QPainter::begin.*")));
    QTest::mouseClick(button("cmdPrint"), Qt::LeftButton);
    QCOMPARE(m_messages.texts, QStringList{"Printer error!"});
}

void TestFrmMainPreview::theProgramEndsAtOnce_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Close button") << "close button";
    QTest::newRow("File > Exit") << "exit";
    QTest::newRow("Esc in a field") << "esc field";
    QTest::newRow("Esc in a table") << "esc table";
    QTest::newRow("Esc on Print") << "esc print";
    QTest::newRow("closing the window") << "close window";
}

void TestFrmMainPreview::theProgramEndsAtOnce()
{
    QFETCH(QString, how);
    // Unsaved changes are no reason to ask.
    m_window->model().table(TableKind::ScaleArcs).setCell(1, 0, QStringLiteral("20"));

    QTimer::singleShot(0, this, [this, how] {
        if (how == QLatin1String("close button")) {
            QTest::mouseClick(button("cmdClose"), Qt::LeftButton);
        } else if (how == QLatin1String("exit")) {
            m_window->findChild<QAction *>(QStringLiteral("mnuExit"))->trigger();
        } else if (how == QLatin1String("esc field")) {
            QTest::keyClick(m_window->findChild<QWidget *>(QStringLiteral("txtZeroPosY")), Qt::Key_Escape);
        } else if (how == QLatin1String("esc table")) {
            auto *view = m_window->findChild<QTableView *>(QStringLiteral("grdFaceLabels"));
            view->setFocus(Qt::TabFocusReason);
            QTest::keyClick(view, Qt::Key_Escape);
        } else if (how == QLatin1String("esc print")) {
            button("cmdPrint")->setFocus(Qt::TabFocusReason);
            QTest::keyClick(button("cmdPrint"), Qt::Key_Escape);
        } else {
            m_window->close();
        }
    });
    // Should the program not end, this ends the loop with a code that fails the test.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [] { QCoreApplication::exit(99); });
    guard.start(20000);

    const int code = QCoreApplication::exec();
    QCOMPARE(code, 0);
    QVERIFY(!m_window->isVisible());
    QVERIFY(m_messages.texts.isEmpty());
    QCOMPARE(m_printers.jobs, 0);
}

QTEST_MAIN(TestFrmMainPreview)
#include "test_frmmain_preview.moc"
