#include "bandsdialog.h"

#include "choicecombodelegate.h"
#include "design/scalelaw.h"
#include "design/scalereferences.h"
#include "design/valuelist.h"
#include "helpviewer.h"
#include "render/rowstyle.h"
#include "scaletext.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>

#include <cmath>

namespace vernalith {

namespace {

constexpr int kScale = static_cast<int>(BandColumn::Scale);
constexpr int kColour = static_cast<int>(BandColumn::Colour);

bool isCut(const QString &colour)
{
    return colour.trimmed().compare(QLatin1String("cut"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString bandProblem(const QStringList &band, const TableRows &scales)
{
    const QStringList titles = bandColumnTitles();
    const QString scaleCell = band.value(kScale).trimmed();
    const int number = scaleNumber(scaleCell, static_cast<int>(scales.size()));
    if (!scaleCell.isEmpty() && number == 0)
        return QStringLiteral("there is no scale %1").arg(scaleCell);
    ScaleLaw law;
    if (number > 0) {
        QString error;
        law = ScaleLaw::parse(scales.at(number - 1), &error);
        if (!error.isEmpty())
            return QStringLiteral("scale %1 cannot be used: %2").arg(number).arg(error);
    }
    for (BandColumn c : {BandColumn::From, BandColumn::To}) {
        const QString cell = band.value(static_cast<int>(c)).trimmed();
        const std::optional<double> value = parseListNumber(cell);
        const QString &title = titles.at(static_cast<int>(c));
        if (!value)
            return QStringLiteral("%1 \"%2\" is not a number").arg(title, cell);
        if (number > 0 && !law.contains(*value))
            return QStringLiteral("%1 %2 lies outside scale %3")
                .arg(title, cell, scaleCaption(number, scales.at(number - 1)));
        if (number == 0 && !(*value >= 0 && *value <= 1))
            return QStringLiteral("%1 %2 is outside 0 \u2026 1, the sweep's fractions used without a scale")
                .arg(title, cell);
    }
    double radius[2] = {0, 0};
    for (BandColumn c : {BandColumn::InnerRadius, BandColumn::OuterRadius}) {
        const QString cell = band.value(static_cast<int>(c)).trimmed();
        const std::optional<double> value = parseListNumber(cell);
        const QString &title = titles.at(static_cast<int>(c));
        if (!value || !std::isfinite(*value))
            return QStringLiteral("%1 \"%2\" is not a number of millimetres").arg(title, cell);
        if (*value <= 0)
            return QStringLiteral("%1 %2 is not above 0").arg(title, cell);
        radius[c == BandColumn::InnerRadius ? 0 : 1] = *value;
    }
    if (radius[0] >= radius[1])
        return QStringLiteral("Inner Radius %1 is not below Outer Radius %2").arg(radius[0]).arg(radius[1]);
    const QString colour = band.value(kColour);
    QString error;
    if (!isCut(colour) && !parseColourCell(colour, nullptr, &error))
        return error + QStringLiteral(" (or cut)");
    return QString();
}

namespace {

RowsTableKind bandsKind(const TableRows &scales)
{
    RowsTableKind kind;
    kind.titles = bandColumnTitles();
    kind.rowNoun = QStringLiteral("Band");
    kind.newRow = QStringList{QString(), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("20"),
                              QStringLiteral("22"), QStringLiteral("#FF0000")};
    kind.problem = [scales](const QStringList &row) { return bandProblem(row, scales); };
    kind.decoration = [](int column, const QString &cell) {
        QString colour;
        if (column != kColour || isCut(cell) || !parseColourCell(cell, &colour, nullptr))
            return QVariant();
        return QVariant(colour.isEmpty() ? QColor(Qt::black) : QColor(colour));
    };
    return kind;
}

RowsTableDialogSetup bandsSetup()
{
    RowsTableDialogSetup setup;
    setup.plural = QStringLiteral("bands");
    setup.singular = QStringLiteral("band");
    setup.title = QStringLiteral("Bands");
    setup.intro = QStringLiteral("A band is the ring between Inner and Outer Radius (mm) from the reading From to "
                                 "the reading To on its scale (fractions of the sweep, 0 \u2026 1, without a "
                                 "scale), drawn under everything else. Colour: #RRGGBB or a colour name; cut draws "
                                 "only its outline, as a line to cut along.");
    setup.helpTopic = HelpTopicStyle;
    setup.columnWidths = {110, 70, 70, 90, 90};
    return setup;
}

} // namespace

BandsDialog::BandsDialog(const TableRows &bands, const TableRows &scales, QWidget *parent)
    : RowsTableDialog(bandsKind(scales), bands, bandsSetup(), parent)
{
    QVector<ChoiceComboDelegate::Choice> choices{{QStringLiteral("None (0 \u2026 1)"), QString()}};
    for (int i = 0; i < scales.size(); ++i)
        choices.push_back({scaleCaption(i + 1, scales.at(i)), QString::number(i + 1)});
    table()->setItemDelegateForColumn(kScale, new ChoiceComboDelegate(choices, QStringLiteral("bandScale"), table()));

    auto *pick = new QPushButton(QStringLiteral("&Colour..."), this);
    pick->setObjectName(QStringLiteral("pickBandColour"));
    pick->setAutoDefault(false);
    pick->setToolTip(QStringLiteral("Choose the current band's colour"));
    connect(pick, &QPushButton::clicked, this, &BandsDialog::pickColour);
    rowButtons()->insertWidget(2, pick);
}

void BandsDialog::pickColour()
{
    const int row = table()->currentIndex().row();
    if (row < 0)
        return;
    const QModelIndex cell = model()->index(row, kColour);
    QString current;
    parseColourCell(cell.data().toString(), &current, nullptr);
    // Not blocking: the answer is written when it comes, to the row it was asked for.
    auto *dialog = new QColorDialog(current.isEmpty() ? QColor(Qt::black) : QColor(current), this);
    dialog->setObjectName(QStringLiteral("bandColourDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QColorDialog::colorSelected, this, [this, row](const QColor &colour) {
        if (row < model()->rowCount())
            model()->setData(model()->index(row, kColour), colour.name(QColor::HexRgb).toUpper());
    });
    dialog->open();
}

TableRows BandsDialog::bands() const
{
    TableRows result = rows();
    for (QStringList &row : result) {
        for (QString &cell : row)
            cell = cell.trimmed();
        QString &colour = row[kColour];
        if (isCut(colour))
            colour = QStringLiteral("cut");
        else if (QString normalised; parseColourCell(colour, &normalised, nullptr))
            colour = normalised;
    }
    return result;
}

} // namespace vernalith
