#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace vernalith {

// A colour cell as a person edits it: a line taking #RRGGBB, #RGB or a colour name, a swatch
// showing the colour (empty when the text is none), and a button opening Qt's colour dialog
// (without blocking; the choice replaces the text as #RRGGBB). The field does not judge the
// text beyond the swatch: its owner checks it with parseColourCell().
class ColourField : public QWidget
{
    Q_OBJECT

public:
    // `name` prefixes the parts' object names: nameText, nameSwatch, namePick, nameDialog.
    ColourField(const QString &name, const QString &text, QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);

signals:
    void textChanged(const QString &text);

private:
    void pick();
    void showSwatch();

    QString m_name;
    QLineEdit *m_text;
    QLabel *m_swatch;
};

} // namespace vernalith
