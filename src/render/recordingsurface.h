#pragma once

#include "drawingsurface.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace vernalith {

// A drawing surface that draws nothing and keeps every drawing operation, in order, for tests
// and tools to inspect. Text metrics are fixed and independent of any font: the em is the font
// size in millimetres (points x 25.4 / 72), a text is 0.6 em wide per character and 1.2 em high
// whatever it holds, in any face. The font size starts at 10 points. Measuring calls (textWidth,
// textHeight) change nothing and are not recorded; nor are layer, style and face changes, which
// each operation carries instead (so a drawing without styles records what it always did).
class RecordingSurface : public DrawingSurface
{
public:
    enum class Kind { Clear, Line, Box, Arc, FontSize, Text, Sector, Circle };

    struct Operation {
        Kind kind = Kind::Clear;
        CardPoint from;          // line start, first box corner, centre (arc, sector, circle), text top-left
        CardPoint to;            // line end, second box corner
        double radius = 0;       // arc, circle; a sector's outer radius
        double innerRadius = 0;  // sector
        double startAngle = 0;   // arc, sector
        double endAngle = 0;     // arc, sector
        bool filled = false;     // sector
        double points = 0;       // FontSize: the size set; Text: the size it is drawn in
        QString text;            // Text
        DrawLayer layer = DrawLayer::Marks; // as set when the operation was made
        DrawStyle style;
        QString fontFamily;      // Text: the face asked for; empty = the default
    };

    void clear() override;
    void line(CardPoint from, CardPoint to) override;
    void box(CardPoint corner1, CardPoint corner2) override;
    void arc(CardPoint centre, double radius, double startAngle, double endAngle) override;
    void setFontSize(double points) override;
    double textWidth(const QString &text) override;
    double textHeight(const QString &text) override;
    void text(CardPoint topLeft, const QString &text) override;
    void setLayer(DrawLayer layer) override { m_layer = layer; }
    void setStyle(const DrawStyle &style) override { m_style = style; }
    void setFontFamily(const QString &family) override { m_family = family; }
    void sector(CardPoint centre, double inner, double outer, double startAngle, double endAngle, bool filled) override;
    void circle(CardPoint centre, double radius) override;

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
    // to 2.3562", "font 8.0000", "text (12.4255, 18.5788) 8.0000 \"0\"", "clear",
    // "sector (26.0000, 33.0000) r 18.0000-20.0000 from 0.7854 to 1.5708 filled" (or "cut"),
    // "circle (5.0000, 5.0000) r 1.5000". A style other than the default follows as
    // " colour #FF0000 width 0.5000" (only the parts that differ), a text's face as " in \"Serif\"".
    static QString describe(const Operation &operation);
    static QStringList describe(const QVector<Operation> &operations);

private:
    Operation &record(Kind kind);
    static QString describeShape(const Operation &operation);

    QVector<Operation> m_operations;
    double m_points = 10.0;
    DrawLayer m_layer = DrawLayer::Marks;
    DrawStyle m_style;
    QString m_family;
};

} // namespace vernalith
