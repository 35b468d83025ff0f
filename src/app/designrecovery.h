#pragma once

#include "design/dialdesign.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <memory>

class QLockFile;

namespace vernalith {

class DesignModel;

// Keeps the design being edited in a recovery file, so that neither ending the program without
// saving nor a crash loses it.
//
// Two dial files in `directory`: "design.vlt" holds this session's design; at start an existing
// one (left by a session that ended without saving) becomes "previous.vlt", the design offered
// for recovery. Writes happen at most every 2 s after a change, through a temporary file on a
// worker thread, in the order they were asked for. The file is removed once the design is safe
// in a dial file (markSaved()) or equals the one there. The directory belongs to one running
// copy of the program at a time (a lock file); a second copy keeps no recovery file at all.
class DesignRecovery : public QObject
{
    Q_OBJECT

public:
    // The directory the program uses: the application data location.
    static QString defaultDirectory();
    static constexpr int kWriteDelayMs = 2000;

    // Starts watching `model` (not owned; must outlive this). The design the model holds now is
    // the start-up design: an earlier design equal to it is not offered.
    DesignRecovery(DesignModel *model, const QString &directory, QObject *parent = nullptr);
    // Waits for a write in progress; a change not yet written is written first.
    ~DesignRecovery() override;

    // False when another running copy of the program owns the directory: nothing is offered
    // or written.
    bool isActive() const { return m_lock != nullptr; }

    QString currentPath() const;
    QString previousPath() const;

    // A design from an earlier session that differs from the start-up design.
    bool hasOffer() const { return m_hasOffer; }
    const DialDesign &offer() const { return m_offer; }
    // The offer was taken (loaded into the model): it is no longer offered.
    void dropOffer();

    // The model's design `design` is now in a dial file: nothing needs recovering.
    void markSaved(const DialDesign &design);

    // Writes a pending change now and waits until the file is on disk.
    void flush();

signals:
    void offerChanged(bool available);

private:
    void scheduleWrite();
    void writeNow();

    DesignModel *m_model;
    QString m_directory;
    DialDesign m_saved;
    DialDesign m_offer;
    bool m_hasOffer = false;
    QTimer m_timer;
    QThreadPool m_writer;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace vernalith
