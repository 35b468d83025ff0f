#pragma once

#include "drawingsurface.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace vernalith {

// A drawing surface that draws nothing and keeps every drawing operation, in order, for tests
// and tools to inspect. Text metrics are fixed and independent of any font: the em is the font
// size in millimetres (points x 25.4 / 72), a text is 0.6 em wide per character and 1.2 em high
// whatever it holds. The font size starts at 10 points. Measuring calls (textWidth,
// textHeight) change nothing and are not recorded.
class RecordingSurface : public DrawingSurface
{
public:
    enum class Kind { Clear, Line, Box, Arc, FontSize, Text };

    struct Operation {
        Kind kind = Kind::Clear;
        CardPoint from;          // line start, first box corner, arc centre, text top-left corner
        CardPoint to;            // line end, second box corner
        double radius = 0;       // arc
        double startAngle = 0;   // arc
        double endAngle = 0;     // arc
        double points = 0;       // FontSize: the size set; Text: the size it is drawn in
        QString text;            // Text
    };

    void clear() override;
    void line(CardPoint from, CardPoint to) override;
    void box(CardPoint corner1, CardPoint corner2) override;
    void arc(CardPoint centre, double radius, double startAngle, double endAngle) override;
    void setFontSize(double points) override;
    double textWidth(const QString &text) override;
    double textHeight(const QString &text) override;
    void text(CardPoint topLeft, const QString &text) override;

    const QVector<Operation> &operations() const { return m_operations; }
    // The operations of one kind, in order.
    QVector<Operation> operations(Kind kind) const;
    // Every operation except font-size changes: what shows on the card.
    QVector<Operation> drawn() const;
    double fontSize() const { return m_points; }

    static double emMillimetres(double points) { return points * 25.4 / 72.0; }

    // One line per operation, coordinates and angles to 4 decimals, for comparisons and
    // failure messages: "line (13.2721, 20.2721)-(10.4437, 17.4437)",
    // "box (0.0000, 0.0000)-(52.0000, 45.0000)", "arc (26.0000, 33.0000) r 20.0000 from 0.7854
    // to 2.3562", "font 8.0000", "text (12.4255, 18.5788) 8.0000 \"0\"", "clear".
    static QString describe(const Operation &operation);
    static QStringList describe(const QVector<Operation> &operations);

private:
    QVector<Operation> m_operations;
    double m_points = 10.0;
};

} // namespace vernalith
