#include "helptopics.h"

#include "helpviewer.h"

#include <QWidget>

namespace vernalith {

int helpTopicFor(const QWidget *focus)
{
    struct FrameTopic {
        const char *frame;
        int topic;
    };
    static const FrameTopic topics[] = {
        {"Frame1", HelpTopicDimensions},   {"Frame2", HelpTopicScaleArcs},  {"Frame4", HelpTopicScaleDigits},
        {"Frame3", HelpTopicScaleTickmarks}, {"Frame5", HelpTopicFaceLabels},
    };
    for (const QWidget *w = focus; w; w = w->parentWidget()) {
        for (const FrameTopic &t : topics) {
            if (w->objectName() == QLatin1String(t.frame))
                return t.topic;
        }
        if (w->isWindow())
            break;
    }
    return HelpTopicWindow;
}

} // namespace vernalith
