#include "previewcursorreadout.h"

#include "design/designmodel.h"
#include "design/numericprefix.h"
#include "previewpainter.h"
#include "render/cursorreadout.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

#include <cmath>

namespace vernalith {

namespace {

constexpr double kMmPerInch = 25.4;
constexpr int kMargin = 4;

} // namespace

PreviewCursorReadout::PreviewCursorReadout(QWidget *area, const QRect &previewArea, DesignModel *model,
                                           TableSource lastTable)
    : QObject(area), m_area(area), m_previewArea(previewArea), m_model(model), m_lastTable(std::move(lastTable))
{
    m_label = new QLabel(area);
    m_label->setObjectName(QStringLiteral("lblCursorReadout"));
    m_label->setAutoFillBackground(true);
    m_label->setFrameShape(QFrame::Box);
    m_label->setMargin(2);
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_label->hide();

    area->setMouseTracking(true);
    area->installEventFilter(this);
    // A move onto a control on the client area reaches the control, not the area: the control's
    // Enter is where the mouse left the preview.
    for (QObject *child : area->children()) {
        if (child->isWidgetType() && child != m_label)
            child->installEventFilter(this);
    }
}

bool PreviewCursorReadout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_area) {
        if (event->type() == QEvent::MouseMove)
            pointAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        else if (event->type() == QEvent::Leave)
            m_label->hide();
    } else if (event->type() == QEvent::Enter) {
        m_label->hide();
    }
    return false;
}

void PreviewCursorReadout::pointAt(const QPoint &pos)
{
    const DialDesign design = m_model->design();
    const double width = numericPrefix(design.dimension(Dimension::CardWidth));
    const double height = numericPrefix(design.dimension(Dimension::CardHeight));
    const QTransform cardToWindow =
        previewCardToWindow(m_area->logicalDpiX() / kMmPerInch, m_area->logicalDpiY() / kMmPerInch);
    // The pixel's centre.
    const QPointF mm = cardToWindow.inverted().map(QPointF(pos) + QPointF(0.5, 0.5));
    const CardPoint card{mm.x(), mm.y()};
    const bool onCard = std::isfinite(width) && std::isfinite(height) && card.x >= 0 && card.y >= 0
                        && card.x <= width && card.y <= height;
    if (!onCard || !m_previewArea.contains(pos)) {
        m_label->hide();
        return;
    }

    TableKind kind = TableKind::ScaleTickmarks;
    QStringList row;
    if (const std::optional<TableKind> last = m_lastTable()) {
        kind = *last;
        const DesignTable &table = m_model->table(kind);
        if (table.row() >= 1 && table.row() <= table.dataRowCount())
            row = table.rowsData().at(table.row() - 1);
    }
    m_label->setText(cursorReadout(design, card, kind, row).text());
    m_label->adjustSize();
    place(cardToWindow.mapRect(QRectF(0, 0, width, height)).toAlignedRect());
    m_label->show();
    m_label->raise();
}

void PreviewCursorReadout::place(const QRect &card)
{
    // The corners of the preview area, most out of the way first; the first that keeps the card
    // clear wins, else the first.
    const QRect area = m_previewArea.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    QRect box(QPoint(), m_label->size());
    const QPoint corners[] = {area.bottomRight() - QPoint(box.width() - 1, box.height() - 1),
                              QPoint(area.right() - box.width() + 1, area.top()),
                              QPoint(area.left(), area.bottom() - box.height() + 1)};
    QPoint chosen = corners[0];
    for (const QPoint &corner : corners) {
        if (!box.translated(corner).intersects(card)) {
            chosen = corner;
            break;
        }
    }
    m_label->move(chosen);
}

} // namespace vernalith
