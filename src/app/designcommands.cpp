#include "designcommands.h"

#include "design/designmodel.h"
#include "design/scalereferences.h"
#include "bandsdialog.h"
#include "designtableview.h"
#include "holesdialog.h"
#include "rowmarkdelegate.h"
#include "rowpropertiesdialog.h"
#include "scalesdialog.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>

namespace vernalith {

namespace {

const QString kNoTableYet = QStringLiteral("Click a row of a table first: Row Properties works on the current "
                                           "row of the table you used last.");

} // namespace

DesignCommands::DesignCommands(DesignModel *model, const std::array<DesignTableView *, 4> &views,
                               QAction *rowProperties, QWidget *window)
    : QObject(window), m_model(model), m_views(views), m_rowProperties(rowProperties), m_window(window)
{
    m_rowProperties->setEnabled(false);
    m_rowProperties->setToolTip(kNoTableYet);
    m_rowProperties->setStatusTip(kNoTableYet);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { noteFocus(now); });

    for (TableKind kind : kAllTables) {
        DesignTableView *v = view(kind);
        v->setItemDelegateForColumn(0, new RowMarkDelegate(m_model, v));
        // A mouse's context menu reaches the viewport, the keyboard's the view itself.
        v->installEventFilter(this);
        v->viewport()->installEventFilter(this);
    }
}

void DesignCommands::noteFocus(QWidget *now)
{
    for (QWidget *w = now; w; w = w->parentWidget()) {
        for (TableKind kind : kAllTables) {
            if (w != view(kind))
                continue;
            m_table = kind;
            const QString tip = QStringLiteral("%1 of the current row of the %2 table")
                                    .arg(tableInfo(kind).extraTitles.join(QStringLiteral(", ")),
                                         QString::fromLatin1(tableInfo(kind).caption));
            m_rowProperties->setEnabled(true);
            m_rowProperties->setToolTip(tip);
            m_rowProperties->setStatusTip(tip);
            return;
        }
    }
}

void DesignCommands::editScales()
{
    auto *dialog = new ScalesDialog(m_model->design(), m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { applyScales(*dialog); });
    dialog->open();
}

void DesignCommands::applyScales(const ScalesDialog &dialog)
{
    // Rows name scales by number: follow the scales that moved, drop the ones removed.
    const QVector<int> renumbered = dialog.newNumberOfOld();
    for (TableKind kind : {TableKind::ScaleTickmarks, TableKind::ScaleDigits}) {
        DesignTable &table = m_model->table(kind);
        const int col = extraColumn(kind, QStringLiteral("Scale"));
        for (int row = 1; row <= table.dataRowCount(); ++row) {
            const QString before = table.cell(row, col);
            const QString after = renumberedScaleCell(before, renumbered);
            if (after != before)
                table.setCell(row, col, after);
        }
    }
    TableRows bands = m_model->bands();
    for (QStringList &band : bands) {
        QString &scale = band[static_cast<int>(BandColumn::Scale)];
        scale = renumberedScaleCell(scale, renumbered);
    }
    m_model->setBands(bands);
    m_model->setScales(dialog.scales());
}

void DesignCommands::editBands()
{
    auto *dialog = new BandsDialog(m_model->bands(), m_model->scales(), m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { m_model->setBands(dialog->bands()); });
    dialog->open();
}

void DesignCommands::editHoles()
{
    auto *dialog = new HolesDialog(m_model->holes(), m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { m_model->setHoles(dialog->holes()); });
    dialog->open();
}

void DesignCommands::editRowProperties()
{
    if (m_table)
        editRowPropertiesOf(*m_table);
}

void DesignCommands::editRowPropertiesOf(TableKind kind)
{
    DesignTable &table = m_model->table(kind);
    const int row = table.row();
    if (row < 1)
        return;
    const QString place =
        QStringLiteral("%1, row %2").arg(QString::fromLatin1(tableInfo(kind).caption)).arg(row);
    auto *dialog = new RowPropertiesDialog(kind, m_model->scales(), place, table.rowsData().value(row - 1),
                                           m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, kind, row, dialog] {
        DesignTable &t = m_model->table(kind);
        // The row may have gone while the dialog was open (Open, a template, Remove).
        if (row > t.dataRowCount())
            return;
        for (const QString &title : tableInfo(kind).extraTitles) {
            const int col = extraColumn(kind, title);
            if (t.cell(row, col) != dialog->cell(title))
                t.setCell(row, col, dialog->cell(title));
        }
    });
    dialog->open();
}

bool DesignCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ContextMenu)
        return QObject::eventFilter(watched, event);
    for (TableKind kind : kAllTables) {
        DesignTableView *v = view(kind);
        if (watched != v && watched != v->viewport())
            continue;
        const auto *request = static_cast<QContextMenuEvent *>(event);
        if (request->reason() == QContextMenuEvent::Keyboard) {
            // From the keyboard the menu is for the current row, shown beside its cell.
            const QModelIndex current = v->currentIndex();
            showContextMenu(kind, current, v->visualRect(current).center());
        } else {
            const QPoint at = v->viewport()->mapFromGlobal(request->globalPos());
            showContextMenu(kind, v->indexAt(at), at);
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void DesignCommands::showContextMenu(TableKind kind, const QModelIndex &index, const QPoint &at)
{
    if (!index.isValid())
        return;
    DesignTableView *v = view(kind);
    // The row clicked becomes the current one, as a click would make it.
    v->setFocus(Qt::PopupFocusReason);
    v->setCurrentIndex(index);
    auto *menu = new QMenu(v);
    menu->setObjectName(QStringLiteral("rowContextMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *properties = menu->addAction(QStringLiteral("Row &Properties..."));
    properties->setObjectName(QStringLiteral("rowContextProperties"));
    connect(properties, &QAction::triggered, this, [this, kind] { editRowPropertiesOf(kind); });
    menu->popup(v->viewport()->mapToGlobal(at));
}

} // namespace vernalith
