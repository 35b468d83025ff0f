#pragma once

#include <QString>
#include <QVector>

namespace vernalith {

// A design that ships with the program as a starting point.
struct DesignTemplate {
    QString fileName; // "vu-meter.vlt": the name in the resources and in share/vernalith/templates
    QString title;    // "VU meter (-20 ... +3 VU)": what the menu shows
    QString path() const { return QStringLiteral(":/templates/") + fileName; }
};

// The bundled templates, in the order the File > New from Template menu lists them. Every one is
// a dial file compiled into the program as a Qt resource (path()).
const QVector<DesignTemplate> &designTemplates();

} // namespace vernalith
