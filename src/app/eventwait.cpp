#include "eventwait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace vernalith {

bool waitWhileBusy(const std::function<bool()> &busy, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (busy()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

} // namespace vernalith
