#include "recentfiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace vernalith {

namespace {

const QString kKey = QStringLiteral("recentFiles");

QString absolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

RecentFiles::RecentFiles(QMenu *menu, QAction *before, std::function<void(const QString &)> open, QObject *parent)
    : QObject(parent), m_menu(menu), m_before(before), m_open(std::move(open))
{
    m_menu->setToolTipsVisible(true);
}

void RecentFiles::setSettings(QSettings *settings)
{
    m_settings = settings;
    QStringList files;
    if (m_settings) {
        for (const QString &path : m_settings->value(kKey).toStringList()) {
            if (!path.isEmpty() && !files.contains(path) && files.size() < kMaxFiles)
                files << path;
        }
    }
    m_files = files;
    rebuild();
}

void RecentFiles::add(const QString &path)
{
    const QString full = absolute(path);
    m_files.removeAll(full);
    m_files.prepend(full);
    while (m_files.size() > kMaxFiles)
        m_files.removeLast();
    store();
    rebuild();
}

void RecentFiles::remove(const QString &path)
{
    if (m_files.removeAll(absolute(path)) == 0)
        return;
    store();
    rebuild();
}

void RecentFiles::store()
{
    if (m_settings)
        m_settings->setValue(kKey, m_files);
}

void RecentFiles::rebuild()
{
    qDeleteAll(m_actions);
    m_actions.clear();
    delete m_separator;
    m_separator = nullptr;
    for (int i = 0; i < m_files.size(); ++i) {
        const QString path = m_files.at(i);
        QString name = QFileInfo(path).fileName();
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto *action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name), m_menu);
        action->setObjectName(QStringLiteral("mnuRecent%1").arg(i + 1));
        action->setToolTip(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] { m_open(path); });
        m_menu->insertAction(m_before, action);
        m_actions << action;
    }
    if (!m_actions.isEmpty())
        m_separator = m_menu->insertSeparator(m_before);
}

} // namespace vernalith
