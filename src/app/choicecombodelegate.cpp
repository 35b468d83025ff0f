#include "choicecombodelegate.h"

#include <QComboBox>

namespace vernalith {

ChoiceComboDelegate::ChoiceComboDelegate(QVector<Choice> choices, const QString &editorName, QObject *parent)
    : QStyledItemDelegate(parent), m_choices(std::move(choices)), m_editorName(editorName)
{
}

QWidget *ChoiceComboDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(m_editorName);
    for (const Choice &choice : m_choices)
        combo->addItem(choice.caption, choice.value);
    // The choice counts as soon as it is made, not only when the cell is left.
    connect(combo, &QComboBox::activated, this,
            [this, combo] { emit const_cast<ChoiceComboDelegate *>(this)->commitData(combo); });
    return combo;
}

void ChoiceComboDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *combo = static_cast<QComboBox *>(editor);
    const QString value = index.data(Qt::EditRole).toString();
    int found = combo->findData(value);
    if (found < 0 && !value.trimmed().isEmpty()) {
        combo->addItem(value, value);
        found = combo->count() - 1;
    }
    combo->setCurrentIndex(std::max(found, 0));
}

void ChoiceComboDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    model->setData(index, static_cast<QComboBox *>(editor)->currentData(), Qt::EditRole);
}

} // namespace vernalith
