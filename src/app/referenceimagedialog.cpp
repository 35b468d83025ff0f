#include "referenceimagedialog.h"

#include "dialogbuttons.h"
#include "filechooser.h"
#include "helpviewer.h"
#include "referenceimageloader.h"
#include "referencepointview.h"
#include "render/referenceregistration.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>
#include <optional>
#include <vector>

namespace vernalith {

namespace {

// A scan is clicked on at up to full resolution; larger files are reduced to this.
constexpr qint64 kDialogMaxPixels = 16'000'000;

struct PointCells {
    ReferenceColumn x, y;
    const char *name;   // beside the marker
    const char *choice; // the radio button that makes it the one a click places
};
const std::vector<PointCells> kCornerPoints = {
    {ReferenceColumn::CornerX, ReferenceColumn::CornerY, "Card corner", "Card's &top-left corner"},
};
const std::vector<PointCells> kNeedlePoints = {
    {ReferenceColumn::PivotX, ReferenceColumn::PivotY, "Pivot", "Needle &pivot"},
    {ReferenceColumn::ZeroX, ReferenceColumn::ZeroY, "Zero", "Tip at &zero"},
    {ReferenceColumn::MaxX, ReferenceColumn::MaxY, "Full scale", "Tip at &full scale"},
};

QString &cell(QStringList &cells, ReferenceColumn c)
{
    return cells[static_cast<int>(c)];
}
QString cell(const QStringList &cells, ReferenceColumn c)
{
    return cells.value(static_cast<int>(c));
}

// Hundredths of a pixel are far finer than a click; trailing zeros say nothing.
QString pixelText(double v)
{
    QString text = QString::number(v, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

std::optional<QPointF> pointFrom(const QStringList &cells, const PointCells &p)
{
    bool okX = false, okY = false;
    const double x = cell(cells, p.x).toDouble(&okX);
    const double y = cell(cells, p.y).toDouble(&okY);
    if (!okX || !okY || !std::isfinite(x) || !std::isfinite(y))
        return std::nullopt;
    return QPointF(x, y);
}

} // namespace

ReferenceImageDialog::ReferenceImageDialog(const DialDesign &design, FileChooser &files, QWidget *parent)
    : QDialog(parent), m_design(design), m_files(files), m_cells(design.reference)
{
    setObjectName(QStringLiteral("referenceImageDialog"));
    setWindowTitle(QStringLiteral("Reference Image"));
    const bool fresh = m_cells.size() != kReferenceColumnCount;
    if (fresh) {
        m_cells = QStringList(kReferenceColumnCount, QString());
        cell(m_cells, ReferenceColumn::Mode) = QStringLiteral("points");
        cell(m_cells, ReferenceColumn::Opacity) = QStringLiteral("50");
        cell(m_cells, ReferenceColumn::Shown) = QStringLiteral("1");
    }

    m_loader = new ReferenceImageLoader(this);
    connect(m_loader, &ReferenceImageLoader::loaded, this,
            [this](const QString &path, qint64, const ReferenceImage &image) { imageLoaded(path, image); });

    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("txtReferencePath"));
    m_path->setReadOnly(true);
    m_path->setMinimumWidth(360);
    auto *browse = new QPushButton(QStringLiteral("&Browse..."), this);
    browse->setObjectName(QStringLiteral("cmdBrowseReference"));
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &ReferenceImageDialog::browse);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(browse);
    m_imageState = new QLabel(this);
    m_imageState->setObjectName(QStringLiteral("lblReferenceImageState"));

    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("cboRegistration"));
    m_mode->addItem(QStringLiteral("By three points: pivot, tip at zero, tip at full scale"), QStringLiteral("points"));
    m_mode->addItem(QStringLiteral("By resolution: dpi and the card's top-left corner"), QStringLiteral("dpi"));
    m_mode->setCurrentIndex(cell(m_cells, ReferenceColumn::Mode) == QLatin1String("dpi") ? 1 : 0);

    m_dpi = new QLineEdit(cell(m_cells, ReferenceColumn::Dpi), this);
    m_dpi->setObjectName(QStringLiteral("txtReferenceDpi"));
    auto *dpiCheck = new QDoubleValidator(1, 100000, 3, m_dpi);
    dpiCheck->setLocale(QLocale::c());
    m_dpi->setValidator(dpiCheck);
    m_dpi->setPlaceholderText(QStringLiteral("e.g. 600"));
    m_dpi->setMaximumWidth(90);

    m_opacity = new QSpinBox(this);
    m_opacity->setObjectName(QStringLiteral("spnReferenceOpacity"));
    m_opacity->setRange(0, 100);
    m_opacity->setSuffix(QStringLiteral(" %"));
    bool opacityOk = false;
    const int opacity = cell(m_cells, ReferenceColumn::Opacity).toInt(&opacityOk);
    m_opacity->setValue(opacityOk ? opacity : 50);

    m_placing = new QButtonGroup(this);
    auto *placingRow = new QHBoxLayout;
    for (size_t i = 0; i < kNeedlePoints.size(); ++i) {
        auto *choice = new QRadioButton(this);
        choice->setObjectName(QStringLiteral("optReferencePoint%1").arg(i + 1));
        m_placing->addButton(choice, static_cast<int>(i));
        m_pointChoices << choice;
        placingRow->addWidget(choice);
    }
    placingRow->addStretch(1);

    m_view = new ReferencePointView(this);
    m_view->setObjectName(QStringLiteral("referencePointView"));
    m_view->setMinimumSize(560, 380);
    auto *howTo = new QLabel(QStringLiteral("Click the image to place the chosen point. Wheel: zoom; drag with the "
                                            "right or middle button: pan; drag a placed mark to refine it."),
                             this);
    howTo->setWordWrap(true);

    m_registration = new QLabel(this);
    m_registration->setObjectName(QStringLiteral("lblRegistration"));
    m_registration->setWordWrap(true);
    m_warning = new QLabel(this);
    m_warning->setObjectName(QStringLiteral("lblRegistrationWarning"));
    m_warning->setWordWrap(true);
    QPalette warn = m_warning->palette();
    warn.setColor(QPalette::WindowText, QColor(160, 20, 10));
    m_warning->setPalette(warn);
    // Room for the longest message, so that the image does not jump as the messages change.
    m_registration->setMinimumHeight(2 * m_registration->fontMetrics().lineSpacing());
    m_warning->setMinimumHeight(m_warning->fontMetrics().lineSpacing());

    QDialogButtonBox *buttons = addOkCancelHelpButtons(*this, HelpTopicReferenceImage);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    QPushButton *remove = buttons->addButton(QStringLiteral("&Remove"), QDialogButtonBox::DestructiveRole);
    remove->setObjectName(QStringLiteral("cmdRemoveReference"));
    remove->setEnabled(!fresh);
    connect(remove, &QPushButton::clicked, this, [this] {
        m_remove = true;
        accept();
    });

    auto *form = new QFormLayout;
    auto *pathLabel = new QLabel(QStringLiteral("&Image:"), this);
    pathLabel->setBuddy(browse);
    form->addRow(pathLabel, pathRow);
    form->addRow(QString(), m_imageState);
    auto *modeLabel = new QLabel(QStringLiteral("Re&gistration:"), this);
    modeLabel->setBuddy(m_mode);
    form->addRow(modeLabel, m_mode);
    auto *numbers = new QHBoxLayout;
    numbers->addWidget(m_dpi);
    numbers->addWidget(new QLabel(QStringLiteral("dpi"), this));
    numbers->addSpacing(24);
    auto *opacityLabel = new QLabel(QStringLiteral("&Opacity:"), this);
    opacityLabel->setBuddy(m_opacity);
    numbers->addWidget(opacityLabel);
    numbers->addWidget(m_opacity);
    numbers->addStretch(1);
    auto *dpiLabel = new QLabel(QStringLiteral("R&esolution:"), this);
    dpiLabel->setBuddy(m_dpi);
    form->addRow(dpiLabel, numbers);
    form->addRow(QStringLiteral("Click places:"), placingRow);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_view, 1);
    layout->addWidget(howTo);
    layout->addWidget(m_registration);
    layout->addWidget(m_warning);
    layout->addWidget(buttons);

    connect(m_mode, &QComboBox::currentIndexChanged, this, &ReferenceImageDialog::modeChanged);
    connect(m_dpi, &QLineEdit::textChanged, this, &ReferenceImageDialog::updateRegistration);
    connect(m_placing, &QButtonGroup::idClicked, m_view, &ReferencePointView::setActivePoint);
    connect(m_view, &ReferencePointView::activePointChanged, this, [this](int index) {
        if (QAbstractButton *choice = m_placing->button(index))
            choice->setChecked(true);
    });
    connect(m_view, &ReferencePointView::pointsChanged, this, &ReferenceImageDialog::pointsChanged);

    modeChanged();
    setImagePath(cell(m_cells, ReferenceColumn::Path));
}

ReferenceImageDialog::~ReferenceImageDialog() = default;

bool ReferenceImageDialog::pointsMode() const
{
    return m_mode->currentData().toString() == QLatin1String("points");
}

QStringList ReferenceImageDialog::cells() const
{
    QStringList cells = m_cells;
    cell(cells, ReferenceColumn::Path) = m_path->text();
    cell(cells, ReferenceColumn::Mode) = m_mode->currentData().toString();
    cell(cells, ReferenceColumn::Dpi) = m_dpi->text().trimmed();
    cell(cells, ReferenceColumn::Opacity) = QString::number(m_opacity->value());
    const std::vector<PointCells> &points = pointsMode() ? kNeedlePoints : kCornerPoints;
    for (size_t i = 0; i < points.size(); ++i) {
        const std::optional<QPointF> p = m_view->point(static_cast<int>(i));
        cell(cells, points[i].x) = p ? pixelText(p->x()) : QString();
        cell(cells, points[i].y) = p ? pixelText(p->y()) : QString();
    }
    return cells;
}

void ReferenceImageDialog::browse()
{
    const QString name = m_files.openFileName(
        this, m_path->text(), QStringLiteral("Images (*.png *.jpg *.jpeg *.tif *.tiff *.bmp)"));
    if (name.isEmpty())
        return;
    // Another scan's resolution and points would be wrong for this one.
    if (name != m_path->text()) {
        m_dpi->clear();
        for (const std::vector<PointCells> *points : {&kCornerPoints, &kNeedlePoints}) {
            for (const PointCells &p : *points)
                cell(m_cells, p.x) = cell(m_cells, p.y) = QString();
        }
        for (int i = 0; i < m_view->pointCount(); ++i)
            m_view->setPoint(i, std::nullopt);
        m_view->setActivePoint(0);
        updateRegistration();
    }
    setImagePath(name);
}

void ReferenceImageDialog::setImagePath(const QString &path)
{
    m_path->setText(path);
    m_ok->setEnabled(!path.isEmpty());
    m_view->clearImage();
    if (path.isEmpty()) {
        m_imageState->setText(QStringLiteral("Choose a scan or photo of the old card."));
        return;
    }
    m_imageState->setText(QStringLiteral("Reading %1\u2026").arg(QFileInfo(path).fileName()));
    m_loader->load(path, kDialogMaxPixels);
}

bool ReferenceImageDialog::waitUntilLoaded(int timeoutMs)
{
    return m_loader->waitUntilLoaded(timeoutMs);
}

void ReferenceImageDialog::imageLoaded(const QString &path, const ReferenceImage &image)
{
    if (path != m_path->text())
        return;
    if (!image.ok()) {
        m_imageState->setText(QStringLiteral("<span style=\"color:#a0140a\">%1</span>").arg(image.error.toHtmlEscaped()));
        return;
    }
    QString state = QStringLiteral("%1 \u00d7 %2 pixels").arg(image.originalSize.width()).arg(image.originalSize.height());
    if (image.fileDpi > 0) {
        state += QStringLiteral(", %1 dpi recorded in the file").arg(image.fileDpi, 0, 'g', 6);
        if (m_dpi->text().trimmed().isEmpty())
            m_dpi->setText(QString::number(image.fileDpi, 'g', 6));
    }
    m_imageState->setText(state);
    m_view->setImage(image.image, image.originalSize);
    m_view->zoomToFit();
}

void ReferenceImageDialog::modeChanged()
{
    // The points of the mode left are kept in the cells, so that switching back restores them.
    const std::vector<PointCells> &points = pointsMode() ? kNeedlePoints : kCornerPoints;
    const std::vector<PointCells> &other = pointsMode() ? kCornerPoints : kNeedlePoints;
    for (size_t i = 0; i < other.size() && i < static_cast<size_t>(m_view->pointCount()); ++i) {
        const std::optional<QPointF> p = m_view->point(static_cast<int>(i));
        cell(m_cells, other[i].x) = p ? pixelText(p->x()) : QString();
        cell(m_cells, other[i].y) = p ? pixelText(p->y()) : QString();
    }

    QStringList names;
    for (const PointCells &p : points)
        names << QString::fromLatin1(p.name);
    m_view->setPointNames(names);
    for (size_t i = 0; i < points.size(); ++i)
        m_view->setPoint(static_cast<int>(i), pointFrom(m_cells, points[i]));
    for (int i = 0; i < m_pointChoices.size(); ++i) {
        m_pointChoices[i]->setVisible(i < static_cast<int>(points.size()));
        if (i < static_cast<int>(points.size()))
            m_pointChoices[i]->setText(QString::fromLatin1(points[static_cast<size_t>(i)].choice));
    }
    m_pointChoices.first()->setChecked(true);
    m_dpi->setEnabled(!pointsMode());
    updateRegistration();
}

void ReferenceImageDialog::pointsChanged()
{
    updateRegistration();
}

void ReferenceImageDialog::updateRegistration()
{
    DialDesign placed = m_design;
    placed.reference = cells();
    const ReferenceRegistration registration = referenceRegistration(placed);
    m_warning->clear();
    QStringList unplaced;
    const std::vector<PointCells> &points = pointsMode() ? kNeedlePoints : kCornerPoints;
    for (size_t i = 0; i < points.size(); ++i) {
        if (!m_view->point(static_cast<int>(i)))
            unplaced << QString::fromLatin1(points[i].choice).remove(QLatin1Char('&')).toLower();
    }
    if (!registration.ok() && !unplaced.isEmpty()) {
        m_registration->setText(QStringLiteral("Not registered yet: click the %1 on the scan.")
                                    .arg(unplaced.join(QStringLiteral(", the "))));
        return;
    }
    if (!registration.ok()) {
        m_registration->setText(registration.error);
        return;
    }
    const double mmPerPixel = std::sqrt(std::abs(registration.imageToCard.determinant()));
    if (!pointsMode()) {
        m_registration->setText(QStringLiteral("Registered: one pixel is %1 mm.").arg(mmPerPixel, 0, 'f', 4));
        return;
    }
    m_registration->setText(QStringLiteral("Registered: residual %1 mm, one pixel is %2 mm.")
                                .arg(registration.residualMm, 0, 'f', 2)
                                .arg(mmPerPixel, 0, 'f', 4));
    if (registration.residualMm > kRegistrationWarnMm)
        m_warning->setText(QStringLiteral("The residual is above %1 mm: the scan is skewed or the points are wrong.")
                               .arg(kRegistrationWarnMm, 0, 'f', 1));
}

} // namespace vernalith
