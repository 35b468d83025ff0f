#pragma once

#include "design/dialdesign.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace vernalith {

class FileChooser;
class ReferenceImageLoader;
class ReferencePointView;
struct ReferenceImage;

// Design > Reference Image...: the scanned card laid under the preview and how it is registered
// to the card. Registration is by resolution (dpi, prefilled from the file when it records one,
// and a click on the card's top-left corner) or by three clicks (pivot, tip at zero, tip at
// full scale), shown with the residual and a warning above kRegistrationWarnMm. The image is
// read on a worker thread. The dialog only collects the reference cells; the caller writes
// them, or drops the reference when Remove was chosen. F1 and Help open the help on copying an
// old scale.
class ReferenceImageDialog : public QDialog
{
    Q_OBJECT

public:
    // `design` gives the dimensions the points register to and the reference cells to start
    // from (empty: a new reference, opacity 50 %, shown). `files` (not owned) must outlive the
    // dialog.
    ReferenceImageDialog(const DialDesign &design, FileChooser &files, QWidget *parent = nullptr);
    ~ReferenceImageDialog() override;

    // The kReferenceColumnCount cells as the dialog stands: cells it does not edit (the other
    // mode's points, Shown) keep what they held.
    QStringList cells() const;
    // Remove was pressed: the caller drops the reference.
    bool removeChosen() const { return m_remove; }

    // Reads `path` as if Browse had chosen it.
    void setImagePath(const QString &path);
    ReferencePointView *view() const { return m_view; }
    // Handles events until the image is read; false when `timeoutMs` passed first.
    bool waitUntilLoaded(int timeoutMs);

private:
    bool pointsMode() const;
    void browse();
    void imageLoaded(const QString &path, const ReferenceImage &image);
    void modeChanged();
    void pointsChanged();
    void updateRegistration();

    DialDesign m_design;
    FileChooser &m_files;
    QStringList m_cells;
    bool m_remove = false;

    ReferenceImageLoader *m_loader;
    QLineEdit *m_path;
    QLabel *m_imageState;
    QComboBox *m_mode;
    QLineEdit *m_dpi;
    QSpinBox *m_opacity;
    QButtonGroup *m_placing;
    QList<QRadioButton *> m_pointChoices;
    ReferencePointView *m_view;
    QLabel *m_registration;
    QLabel *m_warning;
    QPushButton *m_ok;
};

} // namespace vernalith
