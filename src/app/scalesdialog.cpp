#include "scalesdialog.h"

#include "dialogbuttons.h"
#include "design/scalereferences.h"
#include "helpviewer.h"
#include "lawcombodelegate.h"
#include "scalestablemodel.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vernalith {

namespace {

// How many tickmarks and digits rows name scale `number`.
int rowsOnScale(const DialDesign &design, int number, int scaleCount)
{
    int count = 0;
    for (TableKind kind : {TableKind::ScaleTickmarks, TableKind::ScaleDigits}) {
        const int col = extraColumn(kind, QStringLiteral("Scale"));
        for (const QStringList &row : design.table(kind)) {
            if (col < row.size() && scaleNumber(row.at(col), scaleCount) == number)
                ++count;
        }
    }
    return count;
}

} // namespace

ScalesDialog::ScalesDialog(const DialDesign &design, QWidget *parent)
    : QDialog(parent), m_design(design), m_model(new ScalesTableModel(design.scales, this))
{
    setObjectName(QStringLiteral("scalesDialog"));
    setWindowTitle(QStringLiteral("Scales"));

    auto *intro = new QLabel(
        QStringLiteral("Rows of the Scale Tickmarks and Scale Digits tables use a scale by its number "
                       "(Design > Row Properties...). Points, for the table law: value=deflection; ..."),
        this);
    intro->setWordWrap(true);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("scalesTable"));
    m_table->setModel(m_model);
    m_table->setItemDelegateForColumn(0, new LawComboDelegate(m_table));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(0, 80);
    m_table->setColumnWidth(1, 70);
    m_table->setColumnWidth(2, 70);
    m_table->setColumnWidth(3, 80);
    m_table->setMinimumSize(560, 200);

    auto *add = new QPushButton(QStringLiteral("&Add"), this);
    add->setObjectName(QStringLiteral("addScale"));
    add->setAutoDefault(false);
    m_remove = new QPushButton(QStringLiteral("&Remove"), this);
    m_remove->setObjectName(QStringLiteral("removeScale"));
    m_remove->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, &ScalesDialog::addScale);
    connect(m_remove, &QPushButton::clicked, this, &ScalesDialog::removeScale);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("scaleProblem"));
    m_problem->setWordWrap(true);

    m_buttons = addOkCancelHelpButtons(*this, HelpTopicScales);

    auto *rowButtons = new QHBoxLayout;
    rowButtons->addWidget(add);
    rowButtons->addWidget(m_remove);
    rowButtons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_table);
    layout->addLayout(rowButtons);
    layout->addWidget(m_problem);
    layout->addWidget(m_buttons);

    connect(m_model, &QAbstractItemModel::dataChanged, this, &ScalesDialog::updateState);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &ScalesDialog::updateState);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &ScalesDialog::updateState);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this, &ScalesDialog::updateState);
    if (m_model->rowCount() > 0)
        m_table->setCurrentIndex(m_model->index(0, 0));
    updateState();
}

TableRows ScalesDialog::scales() const
{
    return m_model->scales();
}

QVector<int> ScalesDialog::newNumberOfOld() const
{
    return m_model->newNumberOfOld();
}

void ScalesDialog::addScale()
{
    const int row = m_model->appendScale();
    m_table->setCurrentIndex(m_model->index(row, 0));
    m_table->setFocus();
}

void ScalesDialog::removeScale()
{
    const QModelIndex current = m_table->currentIndex();
    if (!current.isValid())
        return;
    m_model->removeScale(current.row());
    const int rows = m_model->rowCount();
    if (rows > 0)
        m_table->setCurrentIndex(m_model->index(std::min(current.row(), rows - 1), current.column()));
    updateState();
}

void ScalesDialog::updateState()
{
    m_remove->setEnabled(m_table->currentIndex().isValid());
    const QString problem = m_model->firstProblem();
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(problem.isEmpty());

    // Removing a scale in use takes it from the rows that use it; say so before OK.
    QStringList notes;
    const QVector<int> renumbered = m_model->newNumberOfOld();
    const int before = static_cast<int>(renumbered.size());
    for (int old = 1; old <= before; ++old) {
        const int users = rowsOnScale(m_design, old, before);
        if (users == 0)
            continue;
        if (renumbered.at(old - 1) == 0)
            notes << QStringLiteral("Scale %1 is removed: %2 row(s) using it will have no scale.").arg(old).arg(users);
        else if (renumbered.at(old - 1) != old)
            notes << QStringLiteral("Scale %1 becomes scale %2 in the rows using it.").arg(old).arg(renumbered.at(old - 1));
    }
    if (!problem.isEmpty())
        notes.prepend(problem);
    m_problem->setText(notes.join(QLatin1Char('\n')));
    QPalette palette = m_problem->palette();
    palette.setColor(QPalette::WindowText, problem.isEmpty() ? palette.color(QPalette::Text) : QColor(160, 20, 10));
    m_problem->setPalette(palette);
}

} // namespace vernalith
