#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace vernalith {

// Help topic numbers that the main window and its frames carry for F1.
enum HelpTopic {
    HelpTopicWindow = 10,
    HelpTopicDimensions = 20,
    HelpTopicScaleArcs = 30,
    HelpTopicScaleDigits = 40,
    HelpTopicScaleTickmarks = 50,
    HelpTopicFaceLabels = 60,
    HelpTopicScales = 80, // the Scales and Row Properties dialogs
    HelpTopicPrinterCalibration = 90,
    HelpTopicStyle = 100, // Row Properties' style cells, the Bands and Holes dialogs
    HelpTopicReferenceImage = 110, // copying an old scale from a scan
};

// The help pages ship inside the program as Qt resources under ":/help/".
QUrl helpContentsUrl(); // qrc:/help/index.html
// The page of a topic number; for a number that has no page, the URL of a page that does not
// exist, so that the viewer shows its "not found" page for it.
QUrl helpTopicUrl(int topic);

// The program's help window: a browser over the help pages with Back, Forward and Contents.
// It is not modal and is independent of the window it was opened from: closing it only hides
// it, and it does not keep the program running once the main window is closed.
class HelpViewer : public QWidget
{
    Q_OBJECT

public:
    explicit HelpViewer(QWidget *parent = nullptr);

    // Shows `url` in the browser and records it in the history. A page that cannot be found
    // shows a plain "not found" page instead; nothing else happens.
    void showPage(const QUrl &url);
    void showTopic(int topic);
    void showContents();

    QUrl currentUrl() const;
    // The <title> of the page shown.
    QString currentTitle() const;
    QTextBrowser *browser() const { return m_browser; }

private:
    void updateTitle();

    QTextBrowser *m_browser;
    QToolButton *m_back;
    QToolButton *m_forward;
    QToolButton *m_contents;
};

// The one help window, created on first use, shown and raised on every call. `parent` is the
// window the request comes from (the main window); the help window is deleted when that window
// is. Neither call blocks, and a missing page never stops the program.
void showHelpContents(QWidget *parent);
void showHelpTopic(int topic, QWidget *parent);

// The help window if one exists, else nullptr.
HelpViewer *helpViewerInstance();

} // namespace vernalith
