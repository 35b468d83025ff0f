#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QAction;
class QMenu;
class QSettings;

namespace vernalith {

// The last files opened or saved, newest first, as entries "&1 name" .. "&8 name" in a menu
// just before a given entry. Kept in memory only, until settings are given to keep them in.
class RecentFiles : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxFiles = 8;

    // The entries go into `menu` before `before`, with a separator after them while there are
    // any. Choosing one calls `open` with its path.
    RecentFiles(QMenu *menu, QAction *before, std::function<void(const QString &)> open, QObject *parent = nullptr);

    // Reads the list from `settings` (not owned; must outlive this) and keeps it there from now on.
    void setSettings(QSettings *settings);

    QStringList files() const { return m_files; }
    // Puts `path` first (absolute, once), dropping the oldest past eight.
    void add(const QString &path);
    void remove(const QString &path);

private:
    void store();
    void rebuild();

    QMenu *m_menu;
    QAction *m_before;
    QAction *m_separator = nullptr;
    QList<QAction *> m_actions;
    std::function<void(const QString &)> m_open;
    QSettings *m_settings = nullptr;
    QStringList m_files;
};

} // namespace vernalith
