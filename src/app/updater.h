#pragma once

#include <QObject>
#include <QString>

// The updater. It runs only when the build carries a signing key for
// updates; without one it exists but is never started, and "Check for
// Updates…" stays disabled. Packaged builds are updated by the system's
// package manager and leave the key empty.
class Updater : public QObject
{
    Q_OBJECT

public:
    explicit Updater(const QString &key, QObject *parent = nullptr);

    // The key this build was made with (empty by default).
    static QString buildKey();

    QString key() const { return m_key; }
    bool isStarted() const { return m_started; }
    // Asks the running updater to look for a newer version; nothing when
    // it was never started.
    void checkForUpdates();

signals:
    void checkRequested();

private:
    QString m_key;
    bool m_started;
};
