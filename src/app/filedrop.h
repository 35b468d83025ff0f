#pragma once

#include <QObject>

#include <functional>

class QMimeData;
class QWidget;

namespace vernalith {

// The local files a drag carries; empty when it carries none.
QStringList droppedFiles(const QMimeData *data);

// Lets files be dropped anywhere on `window` (not owned): one file is handed to `open`, several
// to `several` with their count. Drags that carry no file are left to the controls (text into a
// field).
class FileDrop : public QObject
{
    Q_OBJECT

public:
    FileDrop(QWidget *window, std::function<void(const QString &)> open, std::function<void(int)> several);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    std::function<void(const QString &)> m_open;
    std::function<void(int)> m_several;
};

} // namespace vernalith
