#include "messagesink.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace vernalith {

void BoxMessageSink::critical(const QString &text, const QString &reason)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Vernalith"), text, QMessageBox::Ok, m_parent);
    if (!reason.isEmpty())
        box.setInformativeText(reason);
    box.exec();
}

void BoxMessageSink::beep()
{
    QApplication::beep();
}

void StderrMessageSink::critical(const QString &text, const QString &reason)
{
    ++m_count;
    QString line = QStringLiteral("Vernalith: ") + text;
    if (!reason.isEmpty())
        line += QStringLiteral(" (") + reason + QLatin1Char(')');
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

void StderrMessageSink::beep()
{
}

} // namespace vernalith
