#pragma once

#include <QString>

class QWidget;

namespace vernalith {

// Where the window's messages go. The window never shows a message box itself, so tests can
// catch every message instead of blocking on a modal box.
class MessageSink
{
public:
    virtual ~MessageSink() = default;

    // A failure the user must acknowledge: critical icon, an OK button alone, the title
    // "Vernalith". `reason`, when not empty, says more for a person (shown as smaller text).
    virtual void critical(const QString &text, const QString &reason = QString()) = 0;
    // A key the window cannot take (a table that is full).
    virtual void beep() = 0;
};

// Message boxes, modal to `parent`, and the system's beep.
class BoxMessageSink : public MessageSink
{
public:
    explicit BoxMessageSink(QWidget *parent) : m_parent(parent) {}
    void critical(const QString &text, const QString &reason = QString()) override;
    void beep() override;

private:
    QWidget *m_parent;
};

// Writes each message as one line to the standard error stream and never blocks: for runs
// that nobody watches.
class StderrMessageSink : public MessageSink
{
public:
    void critical(const QString &text, const QString &reason = QString()) override;
    void beep() override;
    int messageCount() const { return m_count; }

private:
    int m_count = 0;
};

} // namespace vernalith
