#include "holesdialog.h"

#include "design/valuelist.h"
#include "helpviewer.h"

#include <cmath>

namespace vernalith {

QString holeProblem(const QStringList &hole)
{
    const QStringList titles = holeColumnTitles();
    for (int col = 0; col < kHoleColumnCount; ++col) {
        const QString cell = hole.value(col).trimmed();
        const std::optional<double> value = parseListNumber(cell);
        if (!value || !std::isfinite(*value))
            return QStringLiteral("%1 \"%2\" is not a number of millimetres").arg(titles.at(col), cell);
        if (col == static_cast<int>(HoleColumn::Diameter) && *value <= 0)
            return QStringLiteral("Diameter %1 is not above 0").arg(cell);
    }
    return QString();
}

namespace {

RowsTableKind holesKind()
{
    RowsTableKind kind;
    kind.titles = holeColumnTitles();
    kind.rowNoun = QStringLiteral("Hole");
    kind.newRow = QStringList{QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("3")};
    kind.problem = holeProblem;
    return kind;
}

RowsTableDialogSetup holesSetup()
{
    RowsTableDialogSetup setup;
    setup.plural = QStringLiteral("holes");
    setup.singular = QStringLiteral("hole");
    setup.title = QStringLiteral("Holes");
    setup.intro = QStringLiteral("Holes to cut in the card, in millimetres from its top-left corner: the centre "
                                 "(X-Pos, Y-Pos) and the diameter. Each is drawn as a circle with a small centre "
                                 "cross, and goes to the cut layer of an export.");
    setup.helpTopic = HelpTopicStyle;
    setup.columnWidths = {100, 100};
    return setup;
}

} // namespace

HolesDialog::HolesDialog(const TableRows &holes, QWidget *parent)
    : RowsTableDialog(holesKind(), holes, holesSetup(), parent)
{
}

TableRows HolesDialog::holes() const
{
    TableRows result = rows();
    for (QStringList &row : result) {
        for (QString &cell : row)
            cell = cell.trimmed();
    }
    return result;
}

} // namespace vernalith
