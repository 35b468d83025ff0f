#include "filedrop.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace vernalith {

QStringList droppedFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

FileDrop::FileDrop(QWidget *window, std::function<void(const QString &)> open, std::function<void(int)> several)
    : QObject(window), m_window(window), m_open(std::move(open)), m_several(std::move(several))
{
    m_window->setAcceptDrops(true);
    // The fields take drops of their own; a file dropped on one still opens the file.
    qApp->installEventFilter(this);
}

bool FileDrop::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    if (!watched->isWidgetType() || static_cast<QWidget *>(watched)->window() != m_window)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const QStringList files = droppedFiles(drop->mimeData());
    if (files.isEmpty())
        return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop) {
        if (files.size() == 1)
            m_open(files.first());
        else
            m_several(static_cast<int>(files.size()));
    }
    return true;
}

} // namespace vernalith
