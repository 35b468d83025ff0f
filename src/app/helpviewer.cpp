#include "helpviewer.h"

#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

namespace vernalith {

namespace {

struct TopicPage {
    int topic;
    const char *page;
};

constexpr TopicPage kTopicPages[] = {
    {HelpTopicWindow, "window.html"},
    {HelpTopicDimensions, "dimensions.html"},
    {HelpTopicScaleArcs, "scale-arcs.html"},
    {HelpTopicScaleDigits, "scale-digits.html"},
    {HelpTopicScaleTickmarks, "scale-tickmarks.html"},
    {HelpTopicFaceLabels, "face-labels.html"},
    {HelpTopicScales, "scales.html"},
    {HelpTopicPrinterCalibration, "printer-calibration.html"},
    {HelpTopicStyle, "style-bands-holes.html"},
    {HelpTopicReferenceImage, "copying-an-old-scale.html"},
};

QString resourcePath(const QUrl &url)
{
    return url.scheme() == QLatin1String("qrc") ? QLatin1Char(':') + url.path() : url.toLocalFile();
}

QString notFoundPage(const QUrl &url)
{
    const QString name = url.fileName().toHtmlEscaped();
    return QStringLiteral(
               "<html><head><title>Help page not found</title></head><body>"
               "<h1>Help page not found</h1>"
               "<p>The help page <b>%1</b> is not part of this copy of Vernalith.</p>"
               "<p>Go to the <a href=\"qrc:/help/index.html\">help contents</a>.</p>"
               "</body></html>")
        .arg(name.isEmpty() ? QStringLiteral("(unnamed)") : name);
}

// A browser that answers a missing page with a page of its own instead of an empty view.
class HelpBrowser : public QTextBrowser
{
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl &name) override
    {
        if (type == QTextDocument::HtmlResource) {
            const QUrl url = source().isValid() ? source().resolved(name) : name;
            if (!QFile::exists(resourcePath(url)))
                return notFoundPage(url);
        }
        return QTextBrowser::loadResource(type, name);
    }
};

QPointer<HelpViewer> &viewerSlot()
{
    static QPointer<HelpViewer> viewer;
    return viewer;
}

HelpViewer *obtainViewer(QWidget *parent)
{
    QPointer<HelpViewer> &viewer = viewerSlot();
    if (!viewer) {
        viewer = new HelpViewer;
        if (parent) {
            // Goes with the main window, but is not its child: a child window would be kept in
            // front of the main window and hide the design the user is reading about.
            QObject::connect(parent->window(), &QObject::destroyed, viewer, &QObject::deleteLater);
        }
    }
    return viewer;
}

void present(HelpViewer *viewer)
{
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

} // namespace

QUrl helpContentsUrl()
{
    return QUrl(QStringLiteral("qrc:/help/index.html"));
}

QUrl helpTopicUrl(int topic)
{
    for (const TopicPage &entry : kTopicPages) {
        if (entry.topic == topic)
            return QUrl(QStringLiteral("qrc:/help/") + QLatin1String(entry.page));
    }
    return QUrl(QStringLiteral("qrc:/help/topic-%1.html").arg(topic));
}

HelpViewer::HelpViewer(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new HelpBrowser(this))
    , m_back(new QToolButton(this))
    , m_forward(new QToolButton(this))
    , m_contents(new QToolButton(this))
{
    setObjectName(QStringLiteral("helpViewer"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/vernalith.svg")));
    // The main window alone decides when the program ends.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenExternalLinks(true);

    m_back->setObjectName(QStringLiteral("helpBack"));
    m_back->setText(tr("&Back"));
    m_back->setToolTip(tr("Previous page (Alt+Left)"));
    m_back->setEnabled(false);
    m_forward->setObjectName(QStringLiteral("helpForward"));
    m_forward->setText(tr("&Forward"));
    m_forward->setToolTip(tr("Next page (Alt+Right)"));
    m_forward->setEnabled(false);
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_contents->setText(tr("&Contents"));
    m_contents->setToolTip(tr("Help contents"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(m_contents);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser, 1);

    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_contents, &QToolButton::clicked, this, &HelpViewer::showContents);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpViewer::updateTitle);

    auto *closeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(closeKey, &QShortcut::activated, this, &QWidget::close);

    setWindowTitle(tr("Vernalith Help"));
    resize(720, 600);
}

void HelpViewer::showPage(const QUrl &url)
{
    m_browser->setSource(url);
}

void HelpViewer::showTopic(int topic)
{
    showPage(helpTopicUrl(topic));
}

void HelpViewer::showContents()
{
    showPage(helpContentsUrl());
}

QUrl HelpViewer::currentUrl() const
{
    return m_browser->source();
}

QString HelpViewer::currentTitle() const
{
    return m_browser->documentTitle();
}

void HelpViewer::updateTitle()
{
    const QString title = currentTitle();
    setWindowTitle(title.isEmpty() ? tr("Vernalith Help") : tr("Vernalith Help - %1").arg(title));
}

void showHelpContents(QWidget *parent)
{
    HelpViewer *viewer = obtainViewer(parent);
    viewer->showContents();
    present(viewer);
}

void showHelpTopic(int topic, QWidget *parent)
{
    HelpViewer *viewer = obtainViewer(parent);
    viewer->showTopic(topic);
    present(viewer);
}

HelpViewer *helpViewerInstance()
{
    return viewerSlot();
}

} // namespace vernalith
