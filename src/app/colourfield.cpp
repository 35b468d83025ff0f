#include "colourfield.h"

#include "render/rowstyle.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace vernalith {

ColourField::ColourField(const QString &name, const QString &text, QWidget *parent)
    : QWidget(parent), m_name(name)
{
    m_text = new QLineEdit(text, this);
    m_text->setObjectName(name + QStringLiteral("Text"));
    m_text->setPlaceholderText(QStringLiteral("black"));
    m_swatch = new QLabel(this);
    m_swatch->setObjectName(name + QStringLiteral("Swatch"));
    m_swatch->setFixedSize(22, 18);
    m_swatch->setFrameShape(QFrame::Box);
    m_swatch->setAutoFillBackground(true);
    auto *pickButton = new QToolButton(this);
    pickButton->setObjectName(name + QStringLiteral("Pick"));
    pickButton->setText(QStringLiteral("..."));
    pickButton->setToolTip(QStringLiteral("Choose a colour"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_swatch);
    layout->addWidget(pickButton);
    setFocusProxy(m_text);

    connect(m_text, &QLineEdit::textChanged, this, [this](const QString &now) {
        showSwatch();
        emit textChanged(now);
    });
    connect(pickButton, &QToolButton::clicked, this, &ColourField::pick);
    showSwatch();
}

QString ColourField::text() const
{
    return m_text->text();
}

void ColourField::setText(const QString &text)
{
    m_text->setText(text);
}

void ColourField::showSwatch()
{
    QString colour;
    const bool known = parseColourCell(m_text->text(), &colour, nullptr);
    // An unknown colour shows the window's own background: nothing to show.
    QPalette palette = m_swatch->palette();
    palette.setColor(QPalette::Window, !known                ? palette.color(QPalette::Button)
                                       : colour.isEmpty()    ? QColor(Qt::black)
                                                             : QColor(colour));
    m_swatch->setPalette(palette);
    m_swatch->setToolTip(known ? (colour.isEmpty() ? QStringLiteral("black") : colour) : QString());
}

void ColourField::pick()
{
    QString colour;
    parseColourCell(m_text->text(), &colour, nullptr);
    auto *dialog = new QColorDialog(colour.isEmpty() ? QColor(Qt::black) : QColor(colour), this);
    dialog->setObjectName(m_name + QStringLiteral("Dialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QColorDialog::colorSelected, this,
            [this](const QColor &chosen) { m_text->setText(chosen.name(QColor::HexRgb).toUpper()); });
    dialog->open();
}

} // namespace vernalith
