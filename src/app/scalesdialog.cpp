#include "scalesdialog.h"

#include "choicecombodelegate.h"
#include "design/scalelaw.h"
#include "design/scalereferences.h"
#include "helpviewer.h"

#include <QTableView>

namespace vernalith {

namespace {

// How many tickmarks and digits rows and bands name scale `number`.
int usersOfScale(const DialDesign &design, int number, int scaleCount)
{
    int count = 0;
    const auto countIn = [&](const TableRows &rows, int col) {
        for (const QStringList &row : rows) {
            if (scaleNumber(row.value(col), scaleCount) == number)
                ++count;
        }
    };
    for (TableKind kind : {TableKind::ScaleTickmarks, TableKind::ScaleDigits})
        countIn(design.table(kind), extraColumn(kind, QStringLiteral("Scale")));
    countIn(design.bands, static_cast<int>(BandColumn::Scale));
    return count;
}

RowsTableKind scalesKind()
{
    RowsTableKind kind;
    kind.titles = scaleColumnTitles();
    kind.rowNoun = QStringLiteral("Scale");
    kind.newRow = QStringList{QStringLiteral("linear"), QStringLiteral("0"), QStringLiteral("100"), QString(),
                              QString()};
    kind.lowerCased = {static_cast<int>(ScaleColumn::Law)};
    kind.problem = [](const QStringList &row) {
        QString error;
        ScaleLaw::parse(row, &error);
        return error;
    };
    return kind;
}

RowsTableDialogSetup scalesSetup()
{
    RowsTableDialogSetup setup;
    setup.plural = QStringLiteral("scales");
    setup.singular = QStringLiteral("scale");
    setup.title = QStringLiteral("Scales");
    setup.intro = QStringLiteral("Rows of the Scale Tickmarks and Scale Digits tables, and bands, use a scale by "
                                 "its number (Design > Row Properties..., Design > Bands...). Points, for the "
                                 "table law: value=deflection; ...");
    setup.helpTopic = HelpTopicScales;
    setup.columnWidths = {80, 70, 70, 80};
    return setup;
}

} // namespace

ScalesDialog::ScalesDialog(const DialDesign &design, QWidget *parent)
    : RowsTableDialog(scalesKind(), design.scales, scalesSetup(), parent), m_design(design)
{
    QVector<ChoiceComboDelegate::Choice> laws;
    for (const QString &law : scaleLawNames())
        laws.push_back({law, law});
    table()->setItemDelegateForColumn(static_cast<int>(ScaleColumn::Law),
                                      new ChoiceComboDelegate(laws, QStringLiteral("lawChoice"), table()));
    updateState();
}

QStringList ScalesDialog::notes() const
{
    // Removing a scale in use takes it from the rows that use it; say so before OK.
    QStringList notes;
    const QVector<int> renumbered = newNumberOfOld();
    const int before = static_cast<int>(renumbered.size());
    for (int old = 1; old <= before; ++old) {
        const int users = usersOfScale(m_design, old, before);
        if (users == 0)
            continue;
        if (renumbered.at(old - 1) == 0)
            notes << QStringLiteral("Scale %1 is removed: %2 row(s) using it will have no scale.").arg(old).arg(users);
        else if (renumbered.at(old - 1) != old)
            notes << QStringLiteral("Scale %1 becomes scale %2 in the rows using it.")
                         .arg(old)
                         .arg(renumbered.at(old - 1));
    }
    return notes;
}

} // namespace vernalith
