#include "rowstyle.h"

#include <QColor>
#include <QFontDatabase>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <cmath>

namespace vernalith {

namespace {

void report(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
}

// The SVG colour names, lower case; QColor also knows "transparent", which a card cannot print.
bool isColourName(const QString &lower)
{
    static const QStringList names = [] {
        QStringList all = QColor::colorNames();
        all.removeAll(QStringLiteral("transparent"));
        return all;
    }();
    return names.contains(lower);
}

} // namespace

bool parseColourCell(const QString &text, QString *normalised, QString *error)
{
    const QString cell = text.trimmed();
    if (cell.isEmpty()) {
        if (normalised)
            normalised->clear();
        return true;
    }
    static const QRegularExpression hex(QStringLiteral("^#([0-9A-Fa-f]{3}|[0-9A-Fa-f]{6})$"));
    const QString lower = cell.toLower();
    if (!hex.match(cell).hasMatch() && !isColourName(lower)) {
        report(error, QStringLiteral("Colour \"%1\" is not #RRGGBB or a colour name").arg(cell));
        return false;
    }
    if (normalised)
        *normalised = QColor(lower).name(QColor::HexRgb).toUpper();
    return true;
}

bool parseWidthCell(const QString &text, double *mm, QString *error)
{
    const QString cell = text.trimmed();
    if (cell.isEmpty()) {
        if (mm)
            *mm = 0;
        return true;
    }
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator); // "1,5" is not 15
    bool ok = false;
    const double value = c.toDouble(cell, &ok);
    if (!ok || !std::isfinite(value)) {
        report(error, QStringLiteral("Width \"%1\" is not a number of millimetres").arg(cell));
        return false;
    }
    if (value < kMinLineWidthMm || value > kMaxLineWidthMm) {
        report(error,
               QStringLiteral("Width %1 is outside %2 ... %3 mm").arg(cell).arg(kMinLineWidthMm).arg(kMaxLineWidthMm));
        return false;
    }
    if (mm)
        *mm = value;
    return true;
}

QString defaultFontFamily()
{
    return QStringLiteral("DejaVu Sans");
}

QString fontFamilyOrDefault(const QString &family, bool *missing)
{
    const QString wanted = family.trimmed();
    if (missing)
        *missing = false;
    if (wanted.isEmpty())
        return defaultFontFamily();
    for (const QString &installed : QFontDatabase::families()) {
        if (installed.compare(wanted, Qt::CaseInsensitive) == 0)
            return installed;
    }
    if (missing)
        *missing = true;
    return defaultFontFamily();
}

QStringList missingFontFamilies(const DialDesign &design)
{
    // Tables of thousands of rows mostly repeat one family or none: each is looked up once.
    QSet<QString> named;
    for (TableKind kind : {TableKind::ScaleDigits, TableKind::FaceLabels}) {
        const int column = extraColumn(kind, QStringLiteral("Font"));
        for (const QStringList &row : design.table(kind)) {
            const QString family = row.value(column).trimmed();
            if (!family.isEmpty())
                named.insert(family);
        }
    }
    QStringList missing;
    for (const QString &family : named) {
        bool notInstalled = false;
        fontFamilyOrDefault(family, &notInstalled);
        if (notInstalled)
            missing.append(family);
    }
    missing.sort();
    return missing;
}

QString fontFallbackMessage(const QString &family)
{
    return QStringLiteral("Font \"%1\" is not installed; %2 is used instead").arg(family, defaultFontFamily());
}

} // namespace vernalith
