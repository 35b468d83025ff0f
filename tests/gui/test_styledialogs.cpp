// Style, bands and holes as a person sets them: the Bands and Holes dialogs, Row Properties of
// every table, the colour picker, Export's options, and the templates' bands.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designmodel.h"
#include "fakes.h"
#include "helpviewer.h"
#include "files/dialfile.h"
#include "render/dialrenderer.h"
#include "render/recordingsurface.h"
#include "rowmarkdelegate.h"
#include "rowpropertiesdialog.h"
#include "rowstabledialog.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

using namespace vernalith;
Q_DECLARE_METATYPE(vernalith::TableKind)

class TestStyleDialogs : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;

    template <typename Dialog> Dialog *opened(const char *objectName)
    {
        auto *dialog = w->window.findChild<Dialog *>(objectName);
        if (!dialog || !dialog->isVisible())
            return nullptr;
        QApplication::setActiveWindow(dialog); // no window manager brings it to the front
        return QTest::qWaitForWindowActive(dialog) ? dialog : nullptr;
    }
    static QPushButton *ok(QDialog *dialog)
    {
        return dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    }

private slots:
    void init()
    {
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
        w->window.model().setScales({{"db", "-20", "3", "", ""}});
    }

    void aBandOrHoleThatCannotBeDrawnBlocksOk_data()
    {
        QTest::addColumn<QString>("list"); // "bands" or "holes"
        QTest::addColumn<QString>("typed"); // the row's cells, joined by '|'
        QTest::addColumn<QString>("fault"); // the start of what is said; empty: none
        QTest::addColumn<QString>("stored"); // empty: nothing
        QTest::newRow("red zone, named colour") << "bands" << "1|0|3|34|36| Red" << "" << "1|0|3|34|36|#FF0000";
        QTest::newRow("mirror window, fractions") << "bands" << "|0.05|.95|21|23|CUT" << "" << "|0.05|.95|21|23|cut";
        QTest::newRow("unknown scale") << "bands" << "2|0|3|34|36|" << "Band 1: there is no scale 2" << "";
        QTest::newRow("reading off the scale") << "bands" << "1|0|4|34|36|" << "Band 1: To 4 lies outside scale 1" << "";
        QTest::newRow("screw hole") << "holes" << " 4|41.5|3.2" << "" << "4|41.5|3.2";
        QTest::newRow("no diameter") << "holes" << "4|4|0" << "Hole 1: Diameter 0 is not above 0" << "";
    }
    void aBandOrHoleThatCannotBeDrawnBlocksOk()
    {
        QFETCH(QString, list);
        QFETCH(QString, typed);
        QFETCH(QString, fault);
        QFETCH(QString, stored);
        const QString singular = list.chopped(1);
        w->child<QAction>(list == "bands" ? "mnuBands" : "mnuHoles")->trigger();
        auto *dialog = opened<RowsTableDialog>(qPrintable(list + "Dialog"));
        QVERIFY(dialog);
        QTest::mouseClick(dialog->findChild<QPushButton *>("add" + singular.left(1).toUpper() + singular.mid(1)),
                          Qt::LeftButton);
        auto *table = dialog->findChild<QTableView *>(list + "Table");
        QCOMPARE(table->model()->rowCount(), 1);
        QVERIFY(ok(dialog)->isEnabled()); // a new row is one that can be drawn
        const QStringList cells = typed.split('|');
        for (int col = 0; col < cells.size(); ++col)
            table->model()->setData(table->model()->index(0, col), cells.at(col));

        const QString said = dialog->findChild<QLabel *>(singular + "Problem")->text();
        QVERIFY2(fault.isEmpty() ? said.isEmpty() : said.startsWith(fault), qPrintable(said));
        QTest::mouseClick(ok(dialog), Qt::LeftButton);
        QCOMPARE(dialog->isVisible(), !fault.isEmpty());
        const DialDesign design = w->window.model().design();
        QCOMPARE(list == "bands" ? design.bands : design.holes,
                 stored.isEmpty() ? TableRows() : TableRows{stored.split('|')});
    }

    // Every table has Row Properties, offering exactly its own style cells.
    void rowPropertiesSetsTheStyleOfAnyTablesRow_data()
    {
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<QString>("width"); // "-": not offered
        QTest::addColumn<QString>("colour");
        QTest::addColumn<QString>("font");
        QTest::addColumn<QString>("fault"); // the start of what is said; empty: nothing
        QTest::addColumn<QString>("stored"); // the row's non-empty extra cells; empty: OK is disabled
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("arc, bold navy") << TableKind::ScaleArcs << "0.5" << "navy" << "-" << "" << "0.5|#000080"
                                        << "Width: 0.5 mm\nColour: #000080";
        QTest::newRow("tick, short hex") << TableKind::ScaleTickmarks << "0.05" << "#a1b" << "-" << "" << "0.05|#AA11BB"
                                         << "Width: 0.05 mm\nColour: #AA11BB";
        QTest::newRow("digits, bad colour") << TableKind::ScaleDigits << "-" << "grau" << "" << "Colour \"grau\""
                                            << "" << "";
        QTest::newRow("label, font elsewhere") << TableKind::FaceLabels << "-" << "Red" << "Nowhere Sans"
                                               << "Font \"Nowhere Sans\" is not installed; DejaVu Sans"
                                               << "#FF0000|Nowhere Sans" << "Colour: #FF0000\nFont: Nowhere Sans";
    }
    void rowPropertiesSetsTheStyleOfAnyTablesRow()
    {
        QFETCH(TableKind, kind);
        QFETCH(QString, width);
        QFETCH(QString, colour);
        QFETCH(QString, font);
        QFETCH(QString, fault);
        QFETCH(QString, stored);
        QFETCH(QString, tooltip);
        QTableView *view = w->view(kind);
        view->setFocus(Qt::MouseFocusReason);
        w->child<QAction>("mnuRowProperties")->trigger();
        auto *dialog = opened<RowPropertiesDialog>("rowPropertiesDialog");
        QVERIFY(dialog);
        QCOMPARE(!dialog->findChild<QLineEdit *>("rowWidth"), width == "-");
        QCOMPARE(!dialog->findChild<QComboBox *>("rowFont"), font == "-");
        if (width != "-")
            QTest::keyClicks(dialog->findChild<QLineEdit *>("rowWidth"), width);
        QTest::keyClicks(dialog->findChild<QLineEdit *>("rowColourText"), colour);
        if (font != "-")
            QTest::keyClicks(dialog->findChild<QComboBox *>("rowFont")->lineEdit(), font);
        const QString said = dialog->findChild<QLabel *>("valuesProblem")->text();
        QVERIFY2(fault.isEmpty() ? said.isEmpty() : said.startsWith(fault), qPrintable(said));
        QCOMPARE(ok(dialog)->isEnabled(), !stored.isEmpty());
        QTest::mouseClick(ok(dialog), Qt::LeftButton);
        const QStringList row = w->window.model().design().table(kind).first();
        QCOMPARE(row.mid(columnCount(kind)).filter(QRegularExpression(".")).join('|'), stored);
        QCOMPARE(qobject_cast<RowMarkDelegate *>(view->itemDelegateForColumn(0))->rowTooltip(0), tooltip);
    }

    void aPickedColourIsStoredAsHex_data()
    {
        QTest::addColumn<QString>("opener");
        QTest::newRow("band") << "pickBandColour";
        QTest::newRow("row") << "rowColourPick";
    }
    void aPickedColourIsStoredAsHex()
    {
        QFETCH(QString, opener);
        const bool band = opener == "pickBandColour";
        if (band) {
            w->window.model().setBands({{"", "0", "1", "20", "22", ""}});
            w->child<QAction>("mnuBands")->trigger();
        } else {
            w->view(TableKind::ScaleArcs)->setFocus(Qt::MouseFocusReason);
            w->child<QAction>("mnuRowProperties")->trigger();
        }
        auto *dialog = opened<QDialog>(band ? "bandsDialog" : "rowPropertiesDialog");
        QVERIFY(dialog);
        QTest::mouseClick(dialog->findChild<QAbstractButton *>(opener), Qt::LeftButton);
        auto *picker = dialog->findChild<QColorDialog *>();
        QVERIFY(picker && picker->isVisible());
        picker->setCurrentColor(QColor(0x12, 0xab, 0x56));
        picker->accept();
        QTest::mouseClick(ok(dialog), Qt::LeftButton);
        const DialDesign design = w->window.model().design();
        QCOMPARE(band ? design.bands.first().last()
                      : design.table(TableKind::ScaleArcs).first().at(extraColumn(TableKind::ScaleArcs, "Colour")),
                 "#12AB56");
    }

    void f1InTheStyleDialogsOpensTheirHelp_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("byButton");
        QTest::newRow("Bands, F1") << "mnuBands" << "bandsDialog" << false;
        QTest::newRow("an arc's Row Properties, Help") << "mnuRowProperties" << "rowPropertiesDialog" << true;
    }
    void f1InTheStyleDialogsOpensTheirHelp()
    {
        QFETCH(QString, entry);
        QFETCH(QString, dialog);
        QFETCH(bool, byButton);
        w->view(TableKind::ScaleArcs)->setFocus(Qt::MouseFocusReason);
        w->child<QAction>(qPrintable(entry))->trigger();
        auto *shown = opened<QDialog>(qPrintable(dialog));
        QVERIFY(shown);
        if (byButton)
            QTest::mouseClick(shown->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Help), Qt::LeftButton);
        else
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QVERIFY(helpViewerInstance() && helpViewerInstance()->isVisible());
        QCOMPARE(helpViewerInstance()->currentTitle(), "Style, bands and holes");
    }

    void exportAsksForTheOptionsOfItsFormat_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("absent"); // what the file lacks with outlines chosen
        QTest::newRow("SVG") << "card.svg" << true << false << "<text";
        QTest::newRow("PDF") << "card.pdf" << true << false << "/FontFile";
        QTest::newRow("SVG, cancelled") << "card.svg" << true << true << "";
        QTest::newRow("PNG: nothing to ask") << "card.png" << false << false << "";
    }
    void exportAsksForTheOptionsOfItsFormat()
    {
        QFETCH(QString, file);
        QFETCH(bool, asked);
        QFETCH(bool, cancel);
        QFETCH(QString, absent);
        QVERIFY(w->window.loadTemplate(":/templates/vu-meter.vlt"));
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        auto &files = w->files;
        files.outlines = true;
        files.cancelOptions = cancel;
        for (int i = 0; i < 2; ++i) {
            files.answers << path;
            w->child<QAction>("mnuExport")->trigger();
        }
        QCOMPARE(files.optionFormats.size(), asked ? 2 : 0);
        if (asked && !cancel) // the choice is offered again
            QVERIFY(!files.offeredOptions.at(0).textOutlines && files.offeredOptions.at(1).textOutlines);
        QCOMPARE(QFile::exists(path), !cancel);
        QFile out(path);
        if (!absent.isEmpty() && out.open(QIODevice::ReadOnly))
            QVERIFY2(!out.readAll().contains(absent.toLatin1()), "the texts are outlines");
        QCOMPARE(w->messages.texts, QStringList());
    }

    void theVuAndOhmmeterTemplatesDrawTheirBands_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("sector");
        // The VU zone: +3 VU at full scale, atan(24.4 / 29.1); 0 VU at 10^(-3/20) of the sweep from
        // the mirror angle. The ohmmeter's window: 5 % ... 95 % of the 90 degree sweep from 135 degrees.
        QTest::newRow("VU") << "vu-meter.vlt" << "sector (40.0000, 46.0000) r 34.0000-36.0000 from 0.6978 to 1.2077 "
                                                "filled colour #D00000";
        QTest::newRow("ohmmeter") << "ohmmeter.vlt" << "sector (32.0000, 40.0000) r 23.0000-25.0000 from 0.8639 "
                                                       "to 2.2777 cut";
    }
    void theVuAndOhmmeterTemplatesDrawTheirBands()
    {
        QFETCH(QString, file);
        QFETCH(QString, sector);
        QVERIFY(w->window.loadTemplate(":/templates/" + file));
        RecordingSurface surface;
        drawDial(w->window.model().design(), surface);
        QCOMPARE(RecordingSurface::describe(surface.operations(RecordingSurface::Kind::Sector)), QStringList{sector});
        const QVector<RecordingSurface::Operation> drawn = surface.drawn();
        const auto first = [&drawn](RecordingSurface::Kind kind) {
            return std::find_if(drawn.begin(), drawn.end(), [kind](const auto &op) { return op.kind == kind; });
        };
        using Kind = RecordingSurface::Kind;
        QVERIFY(first(Kind::Sector) < first(Kind::Arc) && first(Kind::Sector) < first(Kind::Text)); // underneath
    }
};

QTEST_MAIN(TestStyleDialogs)
#include "test_styledialogs.moc"
