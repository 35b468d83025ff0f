#pragma once

#include "design/tablekind.h"

#include <QObject>

#include <array>
#include <optional>

class QAction;
class QEvent;
class QModelIndex;
class QPoint;
class QWidget;

namespace vernalith {

class DesignModel;
class DesignTableView;
class ScalesDialog;

// The Design menu's work. Scales..., Bands... and Holes... edit the design's lists of scales,
// bands and holes; Row Properties... edits the cells not shown as columns (scale, values, width,
// colour, font, as the table has them) of the current row of the table that last had the focus
// (it is disabled, with a tooltip saying why, until one has). The same command is on the context
// menu of every table's rows, and rows that have properties carry a mark.
//
// Dialogs are opened without blocking (window-modal); their result is applied when they are
// accepted, as ordinary edits of the model.
class DesignCommands : public QObject
{
    Q_OBJECT

public:
    // None is owned; all must outlive this object. `views` are the four tables' views in
    // kAllTables order; `rowProperties` is the menu entry to keep enabled or disabled.
    DesignCommands(DesignModel *model, const std::array<DesignTableView *, 4> &views, QAction *rowProperties,
                   QWidget *window);

    void editScales();
    void editBands();
    void editHoles();
    void editRowProperties();
    // The table Row Properties... works on; none until a table had the focus.
    std::optional<TableKind> propertiesTable() const { return m_table; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void noteFocus(QWidget *now);
    void editRowPropertiesOf(TableKind kind);
    // `index` is the row's cell the menu is for; `at` is where it opens, in the view's viewport.
    void showContextMenu(TableKind kind, const QModelIndex &index, const QPoint &at);
    void applyScales(const ScalesDialog &dialog);
    DesignTableView *view(TableKind kind) const { return m_views[static_cast<size_t>(tableIndex(kind))]; }

    DesignModel *m_model;
    std::array<DesignTableView *, 4> m_views;
    QAction *m_rowProperties;
    QWidget *m_window;
    std::optional<TableKind> m_table;
};

} // namespace vernalith
