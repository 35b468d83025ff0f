#include "rowstabledialog.h"

#include "dialogbuttons.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vernalith {

namespace {

QString capitalised(QString word)
{
    if (!word.isEmpty())
        word[0] = word.at(0).toUpper();
    return word;
}

} // namespace

RowsTableDialog::RowsTableDialog(RowsTableKind kind, const TableRows &rows, const RowsTableDialogSetup &setup,
                                 QWidget *parent)
    : QDialog(parent), m_model(new RowsTableModel(std::move(kind), rows, this))
{
    setObjectName(setup.plural + QStringLiteral("Dialog"));
    setWindowTitle(setup.title);

    auto *intro = new QLabel(setup.intro, this);
    intro->setWordWrap(true);

    m_table = new QTableView(this);
    m_table->setObjectName(setup.plural + QStringLiteral("Table"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setStretchLastSection(true);
    for (int col = 0; col < setup.columnWidths.size(); ++col) {
        if (setup.columnWidths.at(col) > 0)
            m_table->setColumnWidth(col, setup.columnWidths.at(col));
    }
    m_table->setMinimumSize(560, 200);

    auto *add = new QPushButton(QStringLiteral("&Add"), this);
    add->setObjectName(QStringLiteral("add") + capitalised(setup.singular));
    add->setAutoDefault(false);
    m_remove = new QPushButton(QStringLiteral("&Remove"), this);
    m_remove->setObjectName(QStringLiteral("remove") + capitalised(setup.singular));
    m_remove->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, &RowsTableDialog::addRow);
    connect(m_remove, &QPushButton::clicked, this, &RowsTableDialog::removeRow);

    m_problem = new QLabel(this);
    m_problem->setObjectName(setup.singular + QStringLiteral("Problem"));
    m_problem->setWordWrap(true);

    m_buttons = addOkCancelHelpButtons(*this, setup.helpTopic);

    m_rowButtons = new QHBoxLayout;
    m_rowButtons->addWidget(add);
    m_rowButtons->addWidget(m_remove);
    m_rowButtons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_table);
    layout->addLayout(m_rowButtons);
    layout->addWidget(m_problem);
    layout->addWidget(m_buttons);

    connect(m_model, &QAbstractItemModel::dataChanged, this, &RowsTableDialog::updateState);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &RowsTableDialog::updateState);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &RowsTableDialog::updateState);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this, &RowsTableDialog::updateState);
    if (m_model->rowCount() > 0)
        m_table->setCurrentIndex(m_model->index(0, 0));
    // Subclasses are not built yet: their notes come with the first edit, or their own call.
    updateState();
}

void RowsTableDialog::addRow()
{
    const int row = m_model->appendRow();
    m_table->setCurrentIndex(m_model->index(row, 0));
    m_table->setFocus();
}

void RowsTableDialog::removeRow()
{
    const QModelIndex current = m_table->currentIndex();
    if (!current.isValid())
        return;
    m_model->removeRow(current.row());
    const int rows = m_model->rowCount();
    if (rows > 0)
        m_table->setCurrentIndex(m_model->index(std::min(current.row(), rows - 1), current.column()));
    updateState();
}

void RowsTableDialog::updateState()
{
    m_remove->setEnabled(m_table->currentIndex().isValid());
    const QString problem = m_model->firstProblem();
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(problem.isEmpty());
    QStringList lines = notes();
    if (!problem.isEmpty())
        lines.prepend(problem);
    m_problem->setText(lines.join(QLatin1Char('\n')));
    QPalette palette = m_problem->palette();
    palette.setColor(QPalette::WindowText, problem.isEmpty() ? palette.color(QPalette::Text) : QColor(160, 20, 10));
    m_problem->setPalette(palette);
}

} // namespace vernalith
