#pragma once

#include "design/tablekind.h"

#include <QObject>

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

// The Design menu's work. Scales... edits the design's scale list; Row Properties... edits the
// scale and value list of the current row of the tickmarks or digits table that last had the
// focus (it is disabled, with a tooltip saying why, until one has). The same command is on the
// context menu of those two tables' rows, and their rows that have properties carry a mark.
//
// Dialogs are opened without blocking (window-modal); their result is applied when they are
// accepted, as ordinary edits of the model.
class DesignCommands : public QObject
{
    Q_OBJECT

public:
    // None is owned; all must outlive this object. `rowProperties` is the menu entry to keep
    // enabled or disabled.
    DesignCommands(DesignModel *model, DesignTableView *tickmarks, DesignTableView *digits,
                   QAction *rowProperties, QWidget *window);

    void editScales();
    void editRowProperties();
    // The table Row Properties... works on; none until the tickmarks or digits table had the focus.
    std::optional<TableKind> propertiesTable() const { return m_table; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void noteFocus(QWidget *now);
    void editRowPropertiesOf(TableKind kind);
    // `index` is the row's cell the menu is for; `at` is where it opens, in the view's viewport.
    void showContextMenu(TableKind kind, const QModelIndex &index, const QPoint &at);
    void applyScales(const ScalesDialog &dialog);
    DesignTableView *view(TableKind kind) const;

    DesignModel *m_model;
    DesignTableView *m_tickmarks;
    DesignTableView *m_digits;
    QAction *m_rowProperties;
    QWidget *m_window;
    std::optional<TableKind> m_table;
};

} // namespace vernalith
