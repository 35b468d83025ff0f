#pragma once

#include <QStyledItemDelegate>
#include <QVector>

namespace vernalith {

// Edits a cell by choosing from a list (a scale's law, a band's scale), so that only a value the
// program knows can be entered. Each choice is shown by its caption and stores its value; a cell
// holding a value not in the list is offered as it is, so that leaving the editor alone never
// changes it.
class ChoiceComboDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    struct Choice {
        QString caption;
        QString value;
    };
    // `editorName` is the object name of the list while it is open.
    ChoiceComboDelegate(QVector<Choice> choices, const QString &editorName, QObject *parent);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    QVector<Choice> m_choices;
    QString m_editorName;
};

} // namespace vernalith
