#include "designrecovery.h"

#include "design/designmodel.h"
#include "files/dialfile.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

namespace vernalith {

QString DesignRecovery::defaultDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

DesignRecovery::DesignRecovery(DesignModel *model, const QString &directory, QObject *parent)
    : QObject(parent), m_model(model), m_directory(directory), m_saved(model->design())
{
    QDir().mkpath(m_directory);
    // Another copy of the program that is still running owns the files here: taking them would
    // offer its live design as a crash's and then overwrite it. This copy keeps none.
    m_lock = std::make_unique<QLockFile>(QDir(m_directory).filePath(QStringLiteral("design.lock")));
    m_lock->setStaleLockTime(0); // only a lock whose process is gone is stale, however old
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        return;
    }
    // A file of this kind left behind means a session ended with unsaved work. Moved aside, it
    // survives this session's own writes until it is taken or a newer session's replaces it.
    if (QFile::exists(currentPath())) {
        QFile::remove(previousPath());
        QFile::rename(currentPath(), previousPath());
    }
    const DialReadResult read = loadDialFile(previousPath(), m_saved.dimensions);
    if (read.ok() && read.design != m_saved) {
        m_offer = read.design;
        m_hasOffer = true;
    } else {
        QFile::remove(previousPath());
    }

    m_writer.setMaxThreadCount(1);
    m_timer.setSingleShot(true);
    m_timer.setInterval(kWriteDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &DesignRecovery::writeNow);
    connect(m_model, &DesignModel::changed, this, &DesignRecovery::scheduleWrite);
}

DesignRecovery::~DesignRecovery()
{
    if (isActive() && m_timer.isActive())
        writeNow();
    m_writer.waitForDone();
}

QString DesignRecovery::currentPath() const
{
    return QDir(m_directory).filePath(QStringLiteral("design.vlt"));
}

QString DesignRecovery::previousPath() const
{
    return QDir(m_directory).filePath(QStringLiteral("previous.vlt"));
}

void DesignRecovery::dropOffer()
{
    if (!m_hasOffer)
        return;
    m_hasOffer = false;
    m_offer = DialDesign();
    const QString path = previousPath();
    m_writer.start([path] { QFile::remove(path); });
    emit offerChanged(false);
}

void DesignRecovery::markSaved(const DialDesign &design)
{
    m_saved = design;
    m_timer.stop();
    if (isActive())
        writeNow();
}

void DesignRecovery::flush()
{
    if (m_timer.isActive()) {
        m_timer.stop();
        writeNow();
    }
    m_writer.waitForDone();
}

void DesignRecovery::scheduleWrite()
{
    // At most one write every interval, however fast the changes come.
    if (!m_timer.isActive())
        m_timer.start();
}

void DesignRecovery::writeNow()
{
    // The snapshot is taken here, on the thread that owns the model; the worker has its own copy.
    const DialDesign design = m_model->design();
    const QString path = currentPath();
    if (design == m_saved) {
        m_writer.start([path] { QFile::remove(path); });
        return;
    }
    m_writer.start([path, design] {
        // A design the dial file cannot store has nothing a file could keep; nothing to report
        // either: the user never asked for this file.
        saveDialFile(path, design);
    });
}

} // namespace vernalith
