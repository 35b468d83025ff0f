#include "testsheet.h"

#include <QStringList>

#include <cmath>

namespace vernalith {

namespace {

constexpr double kMinorTickMm = 2.0;
constexpr double kHalfTickMm = 3.5;
constexpr double kMajorTickMm = 5.0;
constexpr double kNumberPoints = 8.0;
constexpr double kTextPoints = 9.0;
constexpr double kTitlePoints = 11.0;

double tickLength(int mm)
{
    if (mm % 10 == 0)
        return kMajorTickMm;
    return mm % 5 == 0 ? kHalfTickMm : kMinorTickMm;
}

} // namespace

TestSheetLayout testSheetLayout()
{
    TestSheetLayout layout;
    layout.rulerCorner = {0.0, 17.0};
    layout.cardCorner = {20.0, 40.0};
    layout.cardRoomXMm = kTestSheetRulerXMm - layout.cardCorner.x;
    layout.cardRoomYMm = layout.rulerCorner.y + kTestSheetRulerYMm - layout.cardCorner.y;
    return layout;
}

void drawTestSheet(DrawingSurface &surface, const QString &printerName, double cardWidthMm, double cardHeightMm)
{
    const TestSheetLayout layout = testSheetLayout();
    const CardPoint o = layout.rulerCorner;

    surface.setFontSize(kTitlePoints);
    surface.text({0.0, 0.0}, QStringLiteral("Vernalith printer test sheet: %1").arg(printerName));

    // The rulers: a base line from the 0 mark to the end; the horizontal ruler's ticks point up
    // and the vertical one's right, so that no tick crosses the other ruler at the shared corner.
    surface.line(o, {o.x + kTestSheetRulerXMm, o.y});
    surface.line(o, {o.x, o.y + kTestSheetRulerYMm});
    surface.setFontSize(kNumberPoints);
    for (int mm = 0; mm <= static_cast<int>(kTestSheetRulerXMm); ++mm) {
        const double x = o.x + mm;
        surface.line({x, o.y}, {x, o.y - tickLength(mm)});
        if (mm % 10 == 0) {
            const QString number = QString::number(mm / 10);
            surface.text({x - surface.textWidth(number) / 2, o.y - kMajorTickMm - 0.5 - surface.textHeight(number)},
                         number);
        }
    }
    for (int mm = 0; mm <= static_cast<int>(kTestSheetRulerYMm); ++mm) {
        const double y = o.y + mm;
        surface.line({o.x, y}, {o.x + tickLength(mm), y});
        if (mm % 10 == 0 && mm > 0) {
            const QString number = QString::number(mm / 10);
            surface.text({o.x + kMajorTickMm + 1.0, y - surface.textHeight(number) / 2}, number);
        }
    }

    surface.setFontSize(kTextPoints);
    const CardPoint c = layout.cardCorner;
    const double lineMm = surface.textHeight(QStringLiteral("X"));
    if (std::isfinite(cardWidthMm) && std::isfinite(cardHeightMm) && cardWidthMm > 0 && cardHeightMm > 0 &&
        cardWidthMm <= layout.cardRoomXMm && cardHeightMm <= layout.cardRoomYMm) {
        surface.text({c.x, c.y - lineMm - 0.5},
                     QStringLiteral("The card's outline, %1 x %2 mm:").arg(cardWidthMm).arg(cardHeightMm));
        surface.box(c, {c.x + cardWidthMm, c.y + cardHeightMm});
    } else {
        surface.text({c.x, c.y - lineMm - 0.5}, QStringLiteral("The card's outline does not fit on this sheet."));
    }

    const QStringList help = {
        QStringLiteral("Measure each ruler from its 0 mark to its last mark: nominally 150 mm across"),
        QStringLiteral("and 200 mm down. Type the two lengths in File > Printer Calibration."),
        QStringLiteral("Printed at nominal size: any stored correction is not applied to this sheet."),
    };
    double y = o.y + kTestSheetRulerYMm + 6.0;
    for (const QString &line : help) {
        surface.text({0.0, y}, line);
        y += lineMm;
    }
}

} // namespace vernalith
