#include "lawcombodelegate.h"

#include "design/scalelaw.h"

#include <QComboBox>

namespace vernalith {

QWidget *LawComboDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QStringLiteral("lawChoice"));
    combo->addItems(scaleLawNames());
    // The choice counts as soon as it is made, not only when the cell is left.
    connect(combo, &QComboBox::activated, this, [this, combo] { emit const_cast<LawComboDelegate *>(this)->commitData(combo); });
    return combo;
}

void LawComboDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *combo = static_cast<QComboBox *>(editor);
    const int found = combo->findText(index.data(Qt::EditRole).toString());
    combo->setCurrentIndex(found >= 0 ? found : 0);
}

void LawComboDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    model->setData(index, static_cast<QComboBox *>(editor)->currentText(), Qt::EditRole);
}

} // namespace vernalith
