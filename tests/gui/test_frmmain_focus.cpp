// Which table has the keyboard focus, as a person sees it: a frame around that table and a
// strong colour on its current cell, a muted colour on the others' current cells; and the full
// titles of column headers that their widths cut short.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "currentcelldelegate.h"
#include "designtableview.h"
#include "fakes.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>

using namespace vernalith;
Q_DECLARE_METATYPE(vernalith::TableKind)

class TestFrmMainFocus : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;

    DesignTableView *view(TableKind kind) { return static_cast<DesignTableView *>(w->view(kind)); }
    // A pixel of the current cell's background clear of its text, and one on the viewport's edge
    // where the focus frame runs, clear of the grid lines.
    QColor currentCellColor(TableKind kind)
    {
        const QRect cell = view(kind)->visualRect(view(kind)->currentIndex());
        return view(kind)->viewport()->grab().toImage().pixelColor(cell.right() - 3, cell.bottom() - 2);
    }
    QColor edgeColor(TableKind kind)
    {
        const QImage image = view(kind)->viewport()->grab().toImage();
        return image.pixelColor(0, image.height() - 3);
    }

private slots:
    void init() { w = std::make_unique<testing::ShownWindow>(); QVERIFY(QTest::qWaitForWindowActive(&w->window)); }

    void theFocusedTableIsMarked_data()
    {
        QTest::addColumn<QString>("focused"); // a table, or a field: then no table is marked
        for (TableKind kind : kAllTables)
            QTest::newRow(tableInfo(kind).controlName) << QString::fromLatin1(tableInfo(kind).controlName);
        QTest::newRow("a field") << "txtCardWidth";
    }

    void theFocusedTableIsMarked()
    {
        QFETCH(QString, focused);
        QWidget *widget = w->child<QWidget>(qPrintable(focused));
        widget->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(widget->hasFocus());
        const QPalette palette = view(TableKind::ScaleArcs)->palette();
        const QColor strong = CurrentCellDelegate::strongColor(palette);
        const QColor muted = CurrentCellDelegate::mutedColor(palette);
        QVERIFY(strong != muted);
        for (TableKind kind : kAllTables) {
            const bool hasFocus = view(kind) == widget;
            QCOMPARE(currentCellColor(kind), hasFocus ? strong : muted);
            QCOMPARE(edgeColor(kind) == strong, hasFocus);
        }
    }

    void headersCutShortShowTheirTitleAsATooltip_data()
    {
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("Inner Radius") << TableKind::ScaleTickmarks << 2 << "Inner Radius";
        QTest::newRow("digits Fontsize fits its wider column") << TableKind::ScaleDigits << 5 << "";
        QTest::newRow("labels Fontsize") << TableKind::FaceLabels << 3 << "Fontsize";
        QTest::newRow("no such column") << TableKind::ScaleArcs << 1 << "";
    }

    void headersCutShortShowTheirTitleAsATooltip()
    {
        QFETCH(TableKind, kind);
        QFETCH(int, column);
        QFETCH(QString, tooltip);
        DesignTableView *v = view(kind);
        QCOMPARE(v->headerToolTip(column), tooltip);
        if (column >= v->model()->columnCount())
            return;

        // As the mouse rests on the header.
        QHeaderView *header = v->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + 3, header->height() / 2);
        QHelpEvent help(QEvent::ToolTip, at, header->viewport()->mapToGlobal(at));
        QApplication::sendEvent(header->viewport(), &help);
        QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), tooltip);
        QToolTip::hideText();
    }
};

QTEST_MAIN(TestFrmMainFocus)
#include "test_frmmain_focus.moc"
