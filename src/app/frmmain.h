#pragma once

#include "design/dialdesign.h"
#include "design/tablekind.h"
#include "render/dialexport.h"

#include <QMainWindow>

#include <array>
#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSettings;

namespace vernalith {

class ClientArea;
class DesignCommands;
class DesignModel;
class DesignRecovery;
class DesignTable;
class DesignTableView;
class DimensionField;
class DlgPrinterCalibration;
class FileChooser;
class MessageSink;
class PreviewCache;
class PrintBackend;
class RecentFiles;
class ReferenceCommands;
class ReferenceUnderlay;

// The designer window: eight dimension fields, the four design tables with their "+" and "-"
// buttons, Preview, Print and Close, the File, Design and Help menus, and the card drawn at true
// size behind the controls. The design itself lives in a DesignModel the window owns; the window
// only wires controls to it and to the drawing, printing and file code.
//
// The handlers carry the names of the controls and events they serve; each forwards to one
// procedure shared by the four tables or the eight fields.
class FrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit FrmMain(QWidget *parent = nullptr);
    ~FrmMain() override;

    DesignModel &model() { return *m_model; }
    DesignTable &table(TableKind kind);

    // Seams. None is owned; each must outlive the window; nullptr puts back the real one
    // (message boxes, the system's printers, Qt's file dialogs).
    void setMessageSink(MessageSink *sink);
    void setPrintBackend(PrintBackend *printers);
    void setFileChooser(FileChooser *files);

    // Open's work without the dialog: reads the whole file, then replaces the design and
    // redraws. On any failure the design stays as it was and a message says why. A file that
    // reads fine but cannot be drawn is loaded; the preview shows why it cannot be drawn.
    bool loadFile(const QString &path);
    // Save's work without the dialog: writes the design atomically; a failure leaves an
    // existing file untouched and shows "An error occurred while saving".
    bool saveFile(const QString &path);
    // Export's work without the dialog: writes the card at true size in the format the name's
    // extension gives (.pdf, .svg, .png, .dxf); a failure shows "An error occurred while
    // exporting" with the reason and leaves an existing file untouched. Of `choices`, only the
    // text outlines and crop marks count; Export passes what the user chose for them.
    bool exportFile(const QString &path, const ExportOptions &choices = ExportOptions());
    // Printer Calibration's dialog, not yet shown, for the printer Print would use; nullptr, with
    // the message Print would show, when there is no such printer. Deleted when closed.
    DlgPrinterCalibration *newPrinterCalibrationDialog();
    // Opens a file named when the program was started, as Open would.
    void openAtStartup(const QString &path);
    // File > New from Template's work: loads the bundled design at `path` as Open loads a file
    // (same messages on failure), but leaves no file name, so that Save asks for a new one.
    bool loadTemplate(const QString &path);

    // Keeps the recent files in `settings` (not owned; must outlive the window) and the design
    // in a recovery file in `recoveryDirectory`, offering one an earlier session left there.
    // Without this call the window keeps neither beyond its own life (as in most tests).
    void keepSession(QSettings *settings, const QString &recoveryDirectory);

    // The name last chosen in the Open or Save dialog, offered first the next time.
    QString fileName() const { return m_fileName; }
    void setFileName(const QString &name) { m_fileName = name; }

    // Why the last paint could not draw the whole card; empty when it could.
    QString previewError() const { return m_previewError; }

public slots:
    void Form_Load();
    void cmdPreview_Click();
    void cmdPrint_Click();
    void cmdClose_Click();

    void cmdAddScaleArc_Click();
    void cmdAddTickmarks_Click();
    void cmdAddScaleDigit_Click();
    void cmdAddFaceLabel_Click();
    void cmdDelScaleArc_Click();
    void cmdDelTickmarks_Click();
    void cmdDelScaleDigit_Click();
    void cmdDelFaceLabel_Click();

    void txtCardWidth_GotFocus();
    void txtCardHeight_GotFocus();
    void txtNeedlePivotX_GotFocus();
    void txtNeedlePivotY_GotFocus();
    void txtZeroPosX_GotFocus();
    void txtZeroPosY_GotFocus();
    void txtMaxPosX_GotFocus();
    void txtMaxPosY_GotFocus();

    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuExport_Click();
    void mnuPrintTo_Click();
    void mnuPrinterCalibration_Click();
    void mnuRecover_Click();
    void mnuExit_Click();
    void mnuScales_Click();
    void mnuRowProperties_Click();
    void mnuBands_Click();
    void mnuHoles_Click();
    void mnuReferenceImage_Click();
    void mnuShowReferenceImage_Click();
    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();

public:
    // Key presses in the tables; true when the table took the key.
    bool grdScaleArcs_KeyPress(QChar code);
    bool grdScaleTickmarks_KeyPress(QChar code);
    bool grdScaleDigits_KeyPress(QChar code);
    bool grdFaceLabels_KeyPress(QChar code);

    void Form_Paint(QPainter &painter, const QRect &dirty);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void buildTabOrder();
    void buildTemplateMenu(QMenu *file);
    void wireDesignCommands();
    void wireReferenceImage();

    // The procedures the handlers share.
    bool tableKey(TableKind kind, QChar code);
    void addRow(TableKind kind);
    void removeRow(TableKind kind);
    void selectFieldText(Dimension d);
    void endProgram();
    void openRecent(const QString &path);
    // Open's reading: replaces the design with the file's and redraws, or says why it cannot.
    bool readDesign(const QString &path);
    void fileIsSafe(const QString &path);

    MessageSink &messages();
    PrintBackend &printers();
    FileChooser &files();

    DesignModel *m_model;
    ClientArea *m_client = nullptr;
    std::array<DimensionField *, kDimensionCount> m_fields{};
    std::array<DesignTableView *, 4> m_views{};
    QPushButton *m_cmdPreview = nullptr;
    QPushButton *m_cmdClose = nullptr;
    DesignCommands *m_designCommands = nullptr;
    ReferenceCommands *m_referenceCommands = nullptr;
    ReferenceUnderlay *m_referenceUnderlay = nullptr;

    std::unique_ptr<MessageSink> m_defaultMessages;
    std::unique_ptr<PrintBackend> m_defaultPrinters;
    std::unique_ptr<FileChooser> m_defaultFiles;
    MessageSink *m_messages = nullptr;
    PrintBackend *m_printers = nullptr;
    FileChooser *m_files = nullptr;

    QString m_dialFilter;
    QString m_fileName;
    QString m_exportName;
    ExportOptions m_exportChoices;
    QString m_previewError;
    PreviewCache *m_preview = nullptr;
    RecentFiles *m_recent = nullptr;
    std::unique_ptr<DesignRecovery> m_recovery;
    QAction *m_mnuRecover = nullptr;
    bool m_ending = false;
};

} // namespace vernalith
