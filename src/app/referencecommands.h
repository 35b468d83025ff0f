#pragma once

#include <QObject>

#include <functional>

class QAction;
class QWidget;

namespace vernalith {

class DesignModel;
class FileChooser;

// Design > Reference Image... and Design > Show Reference Image. The first opens the
// reference image dialog without blocking (window-modal) and writes its cells, or drops the
// reference, when it is accepted. The second is checked while the reference is shown and
// disabled, with a tooltip saying why, while there is none.
class ReferenceCommands : public QObject
{
    Q_OBJECT

public:
    using FileSource = std::function<FileChooser &()>;

    // None is owned; all must outlive this object. `files` gives the window's file chooser at
    // the time the dialog opens.
    ReferenceCommands(DesignModel *model, QAction *showEntry, FileSource files, QWidget *window);

    void editReference();
    void setShown(bool shown);

signals:
    // The dialog was accepted: the image may have been put back or changed on disk even where
    // its name did not change.
    void referenceEdited();

private:
    void updateShowEntry();

    DesignModel *m_model;
    QAction *m_showEntry;
    FileSource m_files;
    QWidget *m_window;
};

} // namespace vernalith
