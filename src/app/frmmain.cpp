#include "frmmain.h"

#include "clientarea.h"
#include "design/designmodel.h"
#include "design/tablecommands.h"
#include "designcommands.h"
#include "designrecovery.h"
#include "designtableview.h"
#include "dialprinting.h"
#include "dlgprintercalibration.h"
#include "exportoptionsdialog.h"
#include "dimensionfield.h"
#include "filechooser.h"
#include "filedrop.h"
#include "frmabout.h"
#include "helptopics.h"
#include "helpviewer.h"
#include "files/dialfile.h"
#include "messagesink.h"
#include "previewcache.h"
#include "printbackend.h"
#include "previewcursorreadout.h"
#include "printercalibration.h"
#include "recentfiles.h"
#include "referencecommands.h"
#include "referenceunderlay.h"
#include "templatelibrary.h"
#include "render/dialexport.h"
#include "twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include <algorithm>

namespace vernalith {

namespace {

// The layout, in twips from the top-left corner of each control's container.
constexpr int kClientWidth = 10665;
constexpr int kClientHeight = 8100;
// No control covers the client area left of x = 7800 and above y = 3960: the preview area.
constexpr int kPreviewRight = 7800;
constexpr int kPreviewBottom = 3960;

struct FieldLayout {
    Dimension dimension;
    const char *label;
    const char *caption;
    const char *tooltip;
    void (FrmMain::*gotFocus)();
};

const FieldLayout kFields[kDimensionCount] = {
    {Dimension::CardWidth, "Label1", "Card Width:", "Meter face card width (mm)", &FrmMain::txtCardWidth_GotFocus},
    {Dimension::CardHeight, "Label2", "Card Height:", "Meter face card height (mm)",
     &FrmMain::txtCardHeight_GotFocus},
    {Dimension::NeedlePivotX, "Label3", "Needle Pivot X:",
     "Distance from left edge of meter face to needle pivot (mm)", &FrmMain::txtNeedlePivotX_GotFocus},
    {Dimension::NeedlePivotY, "Label4", "Needle Pivot Y:", "Distance from top of meter face to needle pivot (mm)",
     &FrmMain::txtNeedlePivotY_GotFocus},
    {Dimension::ZeroPosX, "Label5", "Zero position X:",
     "Distance from left edge of meter face to needle tip at \"zero\" reading (mm)", &FrmMain::txtZeroPosX_GotFocus},
    {Dimension::ZeroPosY, "Label6", "Zero position Y:",
     "Distance from top of meter face to needle tip at \"zero\" reading (mm)", &FrmMain::txtZeroPosY_GotFocus},
    {Dimension::MaxPosX, "Label7", "Max position X:",
     "Distance from left edge of meter face to needle tip at maximum reading (mm)", &FrmMain::txtMaxPosX_GotFocus},
    {Dimension::MaxPosY, "Label8", "Max position Y:",
     "Distance from top of meter face to needle tip at maximum reading (mm)", &FrmMain::txtMaxPosY_GotFocus},
};

struct TableLayout {
    TableKind kind;
    const char *frame;
    const char *caption;
    int frameLeft, frameTop, frameWidth, frameHeight;
    int tableWidth;
    int buttonsLeft;
    const char *addName;
    const char *addTooltip;
    const char *delName;
    const char *delTooltip;
    void (FrmMain::*add)();
    void (FrmMain::*remove)();
    bool (FrmMain::*keyPress)(QChar);
};

// In tab order: row by row, so the digits table to the right of the arcs table comes before
// the tickmarks table below them.
const TableLayout kTables[4] = {
    {TableKind::ScaleArcs, "Frame2", "Scale Arcs", 120, 3960, 4335, 1575, 3495, 3720, "cmdAddScaleArc",
     "Add Scale Arc", "cmdDelScaleArc", "Remove Scale Arc", &FrmMain::cmdAddScaleArc_Click,
     &FrmMain::cmdDelScaleArc_Click, &FrmMain::grdScaleArcs_KeyPress},
    {TableKind::ScaleDigits, "Frame4", "Scale Digits", 4560, 3960, 5895, 1575, 5175, 5400, "cmdAddScaleDigit",
     "Add Scale Digits", "cmdDelScaleDigit", "Remove Scale Digits", &FrmMain::cmdAddScaleDigit_Click,
     &FrmMain::cmdDelScaleDigit_Click, &FrmMain::grdScaleDigits_KeyPress},
    {TableKind::ScaleTickmarks, "Frame3", "Scale Tickmarks", 120, 5640, 4335, 1575, 3495, 3720, "cmdAddTickmarks",
     "Add Scale Tickmarks", "cmdDelTickmarks", "Remove Scale Tickmarks", &FrmMain::cmdAddTickmarks_Click,
     &FrmMain::cmdDelTickmarks_Click, &FrmMain::grdScaleTickmarks_KeyPress},
    {TableKind::FaceLabels, "Frame5", "Face Labels", 4560, 5640, 5895, 1575, 5175, 5400, "cmdAddFaceLabel",
     "Add face Labels", "cmdDelFaceLabel", "Remove Face Labels", &FrmMain::cmdAddFaceLabel_Click,
     &FrmMain::cmdDelFaceLabel_Click, &FrmMain::grdFaceLabels_KeyPress},
};

struct ButtonLayout {
    const char *name;
    const char *caption;
    int left, top, width, height;
    void (FrmMain::*click)();
};

const ButtonLayout kCommandButtons[3] = {
    {"cmdPreview", "Preview", 5040, 7560, 1935, 375, &FrmMain::cmdPreview_Click},
    {"cmdPrint", "Print", 7080, 7560, 1695, 375, &FrmMain::cmdPrint_Click},
    {"cmdClose", "Close", 8880, 7560, 1695, 375, &FrmMain::cmdClose_Click},
};

QString text(const char *latin1)
{
    return QString::fromLatin1(latin1);
}

} // namespace

FrmMain::FrmMain(QWidget *parent) : QMainWindow(parent), m_model(new DesignModel(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vernalith Designer"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/vernalith.svg")));

    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    setFont(font);

    m_preview = new PreviewCache(this);
    buildMenus();
    buildControls();
    connect(m_preview, &PreviewCache::repaintNeeded, m_client, qOverload<>(&QWidget::update));
    // Opened once the drop is over: a message about the file must not hold the dragging program.
    new FileDrop(
        this, [this](const QString &path) { QTimer::singleShot(0, this, [this, path] { openRecent(path); }); },
        [this](int count) {
            messages().critical(QStringLiteral("Only one file can be opened at a time; %1 files were dropped and "
                                               "none was opened.")
                                    .arg(count));
        });
    // The window is the menu bar over the fixed client area, and nothing else.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    buildTabOrder();
    wireDesignCommands();
    wireReferenceImage();
    Form_Load();

    m_fields[0]->setFocus(Qt::OtherFocusReason);
}

FrmMain::~FrmMain() = default;

DesignTable &FrmMain::table(TableKind kind)
{
    return m_model->table(kind);
}

void FrmMain::buildMenus()
{
    // The menus belong to the window, never to a desktop-wide bar: the client area is measured
    // from below them.
    menuBar()->setNativeMenuBar(false);

    QMenu *mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    auto addEntry = [this](QMenu *menu, const char *name, const QString &caption, void (FrmMain::*handler)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(text(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    buildTemplateMenu(mnuFile);
    addEntry(mnuFile, "mnuOpen", QStringLiteral("&Open"), &FrmMain::mnuOpen_Click);
    addEntry(mnuFile, "mnuSave", QStringLiteral("&Save"), &FrmMain::mnuSave_Click);
    addEntry(mnuFile, "mnuExport", QStringLiteral("Export..."), &FrmMain::mnuExport_Click);
    addEntry(mnuFile, "mnuPrintTo", QStringLiteral("&Print To..."), &FrmMain::mnuPrintTo_Click);
    addEntry(mnuFile, "mnuPrinterCalibration", QStringLiteral("Printer &Calibration..."),
             &FrmMain::mnuPrinterCalibration_Click);
    m_mnuRecover = addEntry(mnuFile, "mnuRecover", QStringLiteral("&Recover Last Design"), &FrmMain::mnuRecover_Click);
    m_mnuRecover->setEnabled(false);
    mnuFile->addSeparator();
    QAction *exit = addEntry(mnuFile, "mnuExit", QStringLiteral("E&xit"), &FrmMain::mnuExit_Click);
    m_recent = new RecentFiles(mnuFile, exit, [this](const QString &path) { openRecent(path); }, this);

    QMenu *mnuDesign = menuBar()->addMenu(QStringLiteral("&Design"));
    mnuDesign->setObjectName(QStringLiteral("mnuDesign"));
    // A disabled entry says in its tooltip what would enable it.
    mnuDesign->setToolTipsVisible(true);
    addEntry(mnuDesign, "mnuScales", QStringLiteral("&Scales..."), &FrmMain::mnuScales_Click);
    addEntry(mnuDesign, "mnuRowProperties", QStringLiteral("&Row Properties..."), &FrmMain::mnuRowProperties_Click);
    addEntry(mnuDesign, "mnuBands", QStringLiteral("&Bands..."), &FrmMain::mnuBands_Click);
    addEntry(mnuDesign, "mnuHoles", QStringLiteral("&Holes..."), &FrmMain::mnuHoles_Click);
    addEntry(mnuDesign, "mnuReferenceImage", QStringLiteral("Reference &Image..."), &FrmMain::mnuReferenceImage_Click);
    addEntry(mnuDesign, "mnuShowReferenceImage", QStringLiteral("Sho&w Reference Image"),
             &FrmMain::mnuShowReferenceImage_Click)
        ->setCheckable(true);

    QMenu *mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    addEntry(mnuHelp, "mnuHelpContents", QStringLiteral("&Contents"), &FrmMain::mnuHelpContents_Click);
    addEntry(mnuHelp, "mnuHelpAbout", QStringLiteral("&About Vernalith"), &FrmMain::mnuHelpAbout_Click);

    // F1 opens the help at the topic of the part of the window that has the focus. It is not a
    // menu shortcut: the menu entries carry none.
    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setObjectName(QStringLiteral("helpKey"));
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this,
            [this] { showHelpTopic(helpTopicFor(QApplication::focusWidget()), this); });
}

void FrmMain::buildTemplateMenu(QMenu *file)
{
    QMenu *templates = file->addMenu(QStringLiteral("New from &Template"));
    templates->setObjectName(QStringLiteral("mnuNewFromTemplate"));
    for (const DesignTemplate &t : designTemplates()) {
        QAction *action = templates->addAction(t.title);
        action->setObjectName(QStringLiteral("mnuTemplate_") + t.fileName);
        connect(action, &QAction::triggered, this, [this, path = t.path()] { loadTemplate(path); });
    }
}

void FrmMain::wireDesignCommands()
{
    // After the controls: the commands work on the tables' views.
    m_designCommands =
        new DesignCommands(m_model, m_views, findChild<QAction *>(QStringLiteral("mnuRowProperties")), this);
}

void FrmMain::wireReferenceImage()
{
    // After the controls and the design commands: the readout watches the client area's
    // controls and follows the table Row Properties works on.
    m_referenceCommands = new ReferenceCommands(
        m_model, findChild<QAction *>(QStringLiteral("mnuShowReferenceImage")),
        [this]() -> FileChooser & { return files(); }, this);
    const double pixelsPerMm = m_client->logicalDpiX() / 25.4 * m_client->devicePixelRatioF();
    m_referenceUnderlay = new ReferenceUnderlay(m_model, pixelsPerMm, this);
    m_referenceUnderlay->setObjectName(QStringLiteral("referenceUnderlay"));
    connect(m_referenceCommands, &ReferenceCommands::referenceEdited, m_referenceUnderlay,
            &ReferenceUnderlay::reload);
    connect(m_referenceUnderlay, &ReferenceUnderlay::changed, this, [this] {
        m_preview->setUnderlayNote(m_referenceUnderlay->note());
        m_client->update();
    });
    new PreviewCursorReadout(m_client, twipsRect(0, 0, kPreviewRight, kPreviewBottom, m_client->logicalDpiX()),
                             m_model, [this] { return m_designCommands->propertiesTable(); });
}

void FrmMain::buildControls()
{
    m_client = new ClientArea(this);
    m_client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(m_client);
    const double dpi = m_client->logicalDpiX();
    // A fixed client area fixes the window: the layout is absolute and nothing follows a resize.
    m_client->setFixedSize(twipsToPixels(kClientWidth, dpi), twipsToPixels(kClientHeight, dpi));
    m_client->setPaintHandler([this](QPainter &painter, const QRect &dirty) { Form_Paint(painter, dirty); });

    // Frames and buttons are opaque, as controls over the drawing: only what no control covers
    // of the card is seen.
    auto makeFrame = [this, dpi](const char *name, const char *caption, QRect twips) {
        auto *frame = new QGroupBox(text(caption), m_client);
        frame->setObjectName(text(name));
        frame->setAutoFillBackground(true);
        frame->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height(), dpi));
        return frame;
    };
    auto makeButton = [this, dpi](QWidget *parent, const char *name, const QString &caption, QRect twips,
                                  void (FrmMain::*click)()) {
        auto *button = new QPushButton(caption, parent);
        button->setObjectName(text(name));
        button->setAutoFillBackground(true);
        // Enter presses the button that has the focus; elsewhere it presses Preview.
        button->setAutoDefault(true);
        button->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height(), dpi));
        connect(button, &QPushButton::clicked, this, click);
        return button;
    };

    QGroupBox *frame1 = makeFrame("Frame1", "Meter Dimensions (mm)", QRect(7800, 240, 2655, 3375));
    for (int i = 0; i < kDimensionCount; ++i) {
        const FieldLayout &f = kFields[i];
        const int top = 360 + 360 * i;
        auto *label = new QLabel(text(f.caption), frame1);
        label->setObjectName(text(f.label));
        label->setToolTip(text(f.tooltip));
        label->setGeometry(twipsRect(240, top, 1335, 285, dpi));

        auto *field = new DimensionField(frame1);
        field->setObjectName(text(dimensionFieldName(f.dimension)));
        field->setToolTip(text(f.tooltip));
        field->setGeometry(twipsRect(1560, top, 615, 285, dpi));
        field->setText(m_model->dimension(f.dimension));
        connect(field, &DimensionField::gotFocus, this, f.gotFocus);
        connect(field, &QLineEdit::textChanged, this,
                [this, d = f.dimension](const QString &value) { m_model->setDimension(d, value); });
        m_fields[static_cast<size_t>(f.dimension)] = field;
    }
    connect(m_model, &DesignModel::dimensionChanged, this, [this](Dimension d, const QString &value) {
        DimensionField *field = m_fields[static_cast<size_t>(d)];
        if (field->text() != value)
            field->setText(value);
    });

    QFont signFont = font();
    signFont.setPointSizeF(12);
    for (const TableLayout &t : kTables) {
        QGroupBox *frame =
            makeFrame(t.frame, t.caption, QRect(t.frameLeft, t.frameTop, t.frameWidth, t.frameHeight));
        auto *view = new DesignTableView(frame);
        view->setObjectName(text(tableInfo(t.kind).controlName));
        view->setGeometry(twipsRect(120, 240, t.tableWidth, 1215, dpi));
        view->setDesignTable(&m_model->table(t.kind), dpi);
        connect(view, &DesignTableView::keyCode, this,
                [this, handler = t.keyPress](QChar code, bool *used) { *used = (this->*handler)(code); });
        connect(view, &DesignTableView::refused, this, [this] { messages().beep(); });
        m_views[static_cast<size_t>(tableIndex(t.kind))] = view;

        QPushButton *add = makeButton(frame, t.addName, QStringLiteral("+"), QRect(t.buttonsLeft, 240, 375, 375), t.add);
        add->setToolTip(text(t.addTooltip));
        add->setFont(signFont);
        QPushButton *del =
            makeButton(frame, t.delName, QStringLiteral("-"), QRect(t.buttonsLeft, 720, 375, 375), t.remove);
        del->setToolTip(text(t.delTooltip));
        del->setFont(signFont);
    }

    for (const ButtonLayout &b : kCommandButtons) {
        QPushButton *button =
            makeButton(m_client, b.name, text(b.caption), QRect(b.left, b.top, b.width, b.height), b.click);
        if (b.click == &FrmMain::cmdPreview_Click)
            m_cmdPreview = button;
        else if (b.click == &FrmMain::cmdClose_Click)
            m_cmdClose = button;
    }
    m_cmdPreview->setDefault(true);
}

void FrmMain::buildTabOrder()
{
    QWidget *previous = nullptr;
    auto chain = [&previous](QWidget *next) {
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    };
    for (DimensionField *field : m_fields)
        chain(field);
    for (const TableLayout &t : kTables) {
        chain(m_views[static_cast<size_t>(tableIndex(t.kind))]);
        chain(findChild<QPushButton *>(text(t.addName)));
        chain(findChild<QPushButton *>(text(t.delName)));
    }
    for (const ButtonLayout &b : kCommandButtons)
        chain(findChild<QPushButton *>(text(b.name)));
}

void FrmMain::setMessageSink(MessageSink *sink)
{
    m_messages = sink;
}

void FrmMain::setPrintBackend(PrintBackend *printers)
{
    m_printers = printers;
}

void FrmMain::setFileChooser(FileChooser *files)
{
    m_files = files;
}

MessageSink &FrmMain::messages()
{
    if (m_messages)
        return *m_messages;
    if (!m_defaultMessages)
        m_defaultMessages = std::make_unique<BoxMessageSink>(this);
    return *m_defaultMessages;
}

PrintBackend &FrmMain::printers()
{
    if (m_printers)
        return *m_printers;
    if (!m_defaultPrinters)
        m_defaultPrinters = std::make_unique<SystemPrintBackend>();
    return *m_defaultPrinters;
}

FileChooser &FrmMain::files()
{
    if (m_files)
        return *m_files;
    if (!m_defaultFiles)
        m_defaultFiles = std::make_unique<DialogFileChooser>();
    return *m_defaultFiles;
}

// --- Start-up and drawing ---

void FrmMain::Form_Load()
{
    // The tables, their headers and column widths are set up with the model and the views;
    // what is left is the file dialogs' filter.
    m_dialFilter = QStringLiteral("Vernalith files (*.vlt)");
}

void FrmMain::Form_Paint(QPainter &painter, const QRect &dirty)
{
    const double dpi = m_client->logicalDpiX();
    PreviewFrame frame;
    frame.size = m_client->size();
    frame.devicePixelRatio = m_client->devicePixelRatioF();
    frame.logicalDpiX = dpi;
    frame.logicalDpiY = m_client->logicalDpiY();
    frame.messageArea = twipsRect(120, 120, kPreviewRight - 240, kPreviewBottom - 240, dpi);
    frame.previewArea = twipsRect(0, 0, kPreviewRight, kPreviewBottom, dpi);
    frame.font = painter.font();
    frame.ink = painter.pen().color();
    frame.background = m_client->palette().color(m_client->backgroundRole());
    frame.underlay = m_referenceUnderlay->underlay();
    m_preview->paint(painter, dirty, m_model->design(), frame);
    m_previewError = m_preview->error();
}

void FrmMain::cmdPreview_Click()
{
    m_client->update();
}

void FrmMain::cmdPrint_Click()
{
    reportPrintOutcome(printDial(m_model->design(), printers(), PrinterCalibration()), messages());
}

void FrmMain::mnuPrintTo_Click()
{
    PrintOutcome choice = choosePrinter(printers());
    if (choice.result == PrintResult::NoPrinter) {
        reportPrintOutcome(choice, messages());
        return;
    }
    QString printer = choice.printer.isEmpty() ? choice.printers.value(0) : choice.printer;
    int copies = 1;
    if (!printers().askForPrinter(this, printer, copies))
        return;
    reportPrintOutcome(printDialOn(m_model->design(), printers(), printer, copies, PrinterCalibration()), messages());
}

DlgPrinterCalibration *FrmMain::newPrinterCalibrationDialog()
{
    const PrintOutcome choice = choosePrinter(printers());
    if (choice.result != PrintResult::Printed) {
        reportPrintOutcome(choice, messages());
        return nullptr;
    }
    auto *dialog = new DlgPrinterCalibration(choice.printer, m_model->design(), printers(), messages(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    return dialog;
}

void FrmMain::mnuPrinterCalibration_Click()
{
    if (DlgPrinterCalibration *dialog = newPrinterCalibrationDialog())
        dialog->open();
}

void FrmMain::cmdClose_Click()
{
    endProgram();
}

void FrmMain::mnuExit_Click()
{
    endProgram();
}

void FrmMain::endProgram()
{
    if (m_ending)
        return;
    m_ending = true;
    // Every window of the program goes, the help viewer too; nothing is asked or saved.
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    event->accept();
    endProgram();
}

void FrmMain::keyPressEvent(QKeyEvent *event)
{
    // Keys that no control took: Enter presses the default button, Esc the cancel button.
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        m_cmdPreview->click();
        return;
    }
    if (mods == Qt::NoModifier && event->key() == Qt::Key_Escape) {
        m_cmdClose->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// --- Dimension fields ---

void FrmMain::txtCardWidth_GotFocus() { selectFieldText(Dimension::CardWidth); }
void FrmMain::txtCardHeight_GotFocus() { selectFieldText(Dimension::CardHeight); }
void FrmMain::txtNeedlePivotX_GotFocus() { selectFieldText(Dimension::NeedlePivotX); }
void FrmMain::txtNeedlePivotY_GotFocus() { selectFieldText(Dimension::NeedlePivotY); }
void FrmMain::txtZeroPosX_GotFocus() { selectFieldText(Dimension::ZeroPosX); }
void FrmMain::txtZeroPosY_GotFocus() { selectFieldText(Dimension::ZeroPosY); }
void FrmMain::txtMaxPosX_GotFocus() { selectFieldText(Dimension::MaxPosX); }
void FrmMain::txtMaxPosY_GotFocus() { selectFieldText(Dimension::MaxPosY); }

void FrmMain::selectFieldText(Dimension d)
{
    // From the first character over at most 999: typing then replaces any real entry.
    DimensionField *field = m_fields[static_cast<size_t>(d)];
    field->setSelection(0, std::min<int>(999, static_cast<int>(field->text().size())));
}

// --- Tables ---

bool FrmMain::grdScaleArcs_KeyPress(QChar code) { return tableKey(TableKind::ScaleArcs, code); }
bool FrmMain::grdScaleTickmarks_KeyPress(QChar code) { return tableKey(TableKind::ScaleTickmarks, code); }
bool FrmMain::grdScaleDigits_KeyPress(QChar code) { return tableKey(TableKind::ScaleDigits, code); }
bool FrmMain::grdFaceLabels_KeyPress(QChar code) { return tableKey(TableKind::FaceLabels, code); }

bool FrmMain::tableKey(TableKind kind, QChar code)
{
    switch (tableKeyPress(m_model->table(kind), code)) {
    case KeyResult::Changed:
        return true;
    case KeyResult::Refused:
        messages().beep();
        return true;
    case KeyResult::Ignored:
        break;
    }
    return false;
}

void FrmMain::cmdAddScaleArc_Click() { addRow(TableKind::ScaleArcs); }
void FrmMain::cmdAddTickmarks_Click() { addRow(TableKind::ScaleTickmarks); }
void FrmMain::cmdAddScaleDigit_Click() { addRow(TableKind::ScaleDigits); }
void FrmMain::cmdAddFaceLabel_Click() { addRow(TableKind::FaceLabels); }
void FrmMain::cmdDelScaleArc_Click() { removeRow(TableKind::ScaleArcs); }
void FrmMain::cmdDelTickmarks_Click() { removeRow(TableKind::ScaleTickmarks); }
void FrmMain::cmdDelScaleDigit_Click() { removeRow(TableKind::ScaleDigits); }
void FrmMain::cmdDelFaceLabel_Click() { removeRow(TableKind::FaceLabels); }

void FrmMain::addRow(TableKind kind)
{
    if (!addTableRow(m_model->table(kind)))
        messages().beep();
}

void FrmMain::removeRow(TableKind kind)
{
    removeTableRow(m_model->table(kind));
}

// --- Design ---

void FrmMain::mnuScales_Click()
{
    m_designCommands->editScales();
}

void FrmMain::mnuRowProperties_Click()
{
    m_designCommands->editRowProperties();
}

void FrmMain::mnuReferenceImage_Click()
{
    m_referenceCommands->editReference();
}

void FrmMain::mnuShowReferenceImage_Click()
{
    m_referenceCommands->setShown(findChild<QAction *>(QStringLiteral("mnuShowReferenceImage"))->isChecked());
}

void FrmMain::mnuBands_Click()
{
    m_designCommands->editBands();
}

void FrmMain::mnuHoles_Click()
{
    m_designCommands->editHoles();
}

// --- Help ---

void FrmMain::mnuHelpContents_Click()
{
    showHelpContents(this);
}

void FrmMain::mnuHelpAbout_Click()
{
    // A fresh box each time, modal and centred on this window.
    FrmAbout box(this);
    box.exec();
}

// --- Files ---

void FrmMain::mnuOpen_Click()
{
    const QString name = files().openFileName(this, m_fileName, m_dialFilter);
    if (name.isEmpty())
        return;
    m_fileName = name;
    loadFile(name);
}

void FrmMain::mnuSave_Click()
{
    const QString name = files().saveFileName(this, m_fileName, m_dialFilter);
    if (name.isEmpty())
        return;
    m_fileName = name;
    saveFile(name);
}

void FrmMain::mnuExport_Click()
{
    struct Format {
        const char *filter;
        const char *suffix;
    };
    static const Format formats[] = {
        {"PDF (*.pdf)", ".pdf"}, {"SVG (*.svg)", ".svg"}, {"PNG (*.png)", ".png"}, {"DXF (*.dxf)", ".dxf"}};
    QStringList filters;
    for (const Format &f : formats)
        filters << text(f.filter);

    QString initial = m_exportName;
    if (initial.isEmpty() && !m_fileName.isEmpty()) {
        const QFileInfo dialFile(m_fileName);
        initial = dialFile.dir().filePath(dialFile.completeBaseName() + QStringLiteral(".pdf"));
    }
    QString selected = filters.first();
    QString name = files().exportFileName(this, initial, filters, &selected);
    if (name.isEmpty())
        return;
    // A name typed without a known extension gets the one of the chosen format.
    if (exportFormatFor(name) == ExportFormat::Unknown) {
        for (const Format &f : formats) {
            if (selected == text(f.filter))
                name += text(f.suffix);
        }
    }
    if (ExportOptionsDialog::hasOptions(exportFormatFor(name))) {
        ExportOptions chosen = m_exportChoices;
        if (!files().exportOptions(this, exportFormatFor(name), &chosen))
            return;
        // Offered again next time, in this session.
        m_exportChoices = chosen;
    }
    m_exportName = name;
    exportFile(name, m_exportChoices);
}

bool FrmMain::exportFile(const QString &path, const ExportOptions &choices)
{
    // The window offers no page choice: a card too large for A4 gets a page of its own size
    // rather than a refusal.
    ExportOptions options;
    options.textOutlines = choices.textOutlines;
    options.cropMarks = choices.cropMarks;
    if (!cardFitsPage(m_model->design(), ExportPage::A4))
        options.page = ExportPage::Card;
    const ExportError error = exportDial(m_model->design(), path, options);
    if (error.ok())
        return true;
    messages().critical(QStringLiteral("An error occurred while exporting"), error.message);
    return false;
}

void FrmMain::openAtStartup(const QString &path)
{
    m_fileName = path;
    loadFile(path);
}

bool FrmMain::loadTemplate(const QString &path)
{
    if (!readDesign(path))
        return false;
    // The template is the program's, not the user's file: no name to save under and no place
    // in the recent files; unchanged, it is nothing to recover either.
    m_fileName.clear();
    if (m_recovery)
        m_recovery->markSaved(m_model->design());
    return true;
}

bool FrmMain::loadFile(const QString &path)
{
    if (!readDesign(path))
        return false;
    fileIsSafe(path);
    return true;
}

bool FrmMain::readDesign(const QString &path)
{
    const DialReadResult read = loadDialFile(path, m_model->dimensions());
    if (!read.ok()) {
        const QString message = read.error.kind == DialFileError::Kind::UnknownFormat
                                    ? QStringLiteral("Unknown file format!")
                                    : QStringLiteral("An error occurred while Opening the file");
        messages().critical(message, read.error.detail);
        return false;
    }
    m_model->setDesign(read.design);
    m_client->update();
    return true;
}

bool FrmMain::saveFile(const QString &path)
{
    const DialFileError error = saveDialFile(path, m_model->design());
    if (error.ok()) {
        fileIsSafe(path);
        return true;
    }
    messages().critical(QStringLiteral("An error occurred while saving"), error.detail);
    return false;
}

void FrmMain::fileIsSafe(const QString &path)
{
    m_recent->add(path);
    if (m_recovery)
        m_recovery->markSaved(m_model->design());
}

void FrmMain::openRecent(const QString &path)
{
    // As Open with this name chosen; a file that is gone leaves the list.
    m_fileName = path;
    if (!loadFile(path) && !QFileInfo::exists(path))
        m_recent->remove(path);
}

// --- Session: recent files and recovery ---

void FrmMain::keepSession(QSettings *settings, const QString &recoveryDirectory)
{
    m_recent->setSettings(settings);
    m_recovery = std::make_unique<DesignRecovery>(m_model, recoveryDirectory);
    auto showOffer = [this](bool available) {
        m_mnuRecover->setEnabled(available);
        m_preview->setHint(available ? QStringLiteral("A design from an earlier session can be recovered: "
                                                      "File > Recover Last Design.")
                                     : QString());
    };
    connect(m_recovery.get(), &DesignRecovery::offerChanged, this, showOffer);
    // The hint has done its work once the user starts on something else.
    connect(m_model, &DesignModel::changed, m_preview, [this] { m_preview->setHint(QString()); });
    showOffer(m_recovery->hasOffer());
}

void FrmMain::mnuRecover_Click()
{
    if (!m_recovery || !m_recovery->hasOffer())
        return;
    m_model->setDesign(m_recovery->offer());
    m_client->update();
    m_recovery->dropOffer();
}

} // namespace vernalith
