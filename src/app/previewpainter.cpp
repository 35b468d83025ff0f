#include "previewpainter.h"

#include "render/dialrenderer.h"
#include "render/paintersurface.h"

#include <QPainter>

#include <exception>
#include <new>

namespace vernalith {

QString paintPreview(QPainter &painter, const DialDesign &design, double logicalDpi, const QRect &messageArea)
{
    QString error;
    try {
        PainterSurface surface(painter, logicalDpi);
        drawDial(design, surface);
    } catch (const std::bad_alloc &) {
        error = QStringLiteral("Not enough memory to draw the card");
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
    }
    if (error.isEmpty())
        return error;

    // A paint must never open a box: the message would come back with every repaint.
    painter.save();
    painter.setPen(Qt::red);
    painter.drawText(messageArea, Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, error);
    painter.restore();
    return error;
}

} // namespace vernalith
