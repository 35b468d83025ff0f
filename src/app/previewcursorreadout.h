#pragma once

#include "design/tablekind.h"

#include <QObject>
#include <QRect>

#include <functional>
#include <optional>

class QLabel;
class QWidget;

namespace vernalith {

class DesignModel;

// While the mouse is over the card in the preview, a one-line readout at the edge of the preview
// area: the point in mm from the card's corner, its radius and angle from the pivot, and the
// scale value there when the current row of the last-used tickmarks or digits table is on a
// scale (see cursorReadout). The readout is placed where it covers no part of the card when the
// preview area has such a place; it goes when the mouse leaves the card.
class PreviewCursorReadout : public QObject
{
    Q_OBJECT

public:
    using TableSource = std::function<std::optional<TableKind>()>;

    // `area` is the window's client area, on which the card is drawn as paintPreview() places it;
    // `previewArea` is the part of it no control covers. `lastTable` names the table whose current
    // row gives the scale. None is owned; `area` and `model` must outlive this object.
    PreviewCursorReadout(QWidget *area, const QRect &previewArea, DesignModel *model, TableSource lastTable);

    // The readout's label: hidden while the mouse is not over the card.
    QLabel *label() const { return m_label; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pointAt(const QPoint &pos);
    void place(const QRect &card);

    QWidget *m_area;
    QRect m_previewArea;
    DesignModel *m_model;
    TableSource m_lastTable;
    QLabel *m_label;
};

} // namespace vernalith
