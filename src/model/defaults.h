#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QMutex>
#include <QString>
#include <functional>
#include <optional>
#include <sys/types.h>

// The user's small persistent state: one JSON object file, keys verbatim
// (QSettings would mangle "/" and ":"). Several windows share it: every
// change reads the file again under a lock (an flock on fileName() +
// ".lock") and writes back only its own key, atomically, so two windows
// never erase each other's keys. Reads are served from memory and read the
// file again once another process has replaced it. Safe to use from any
// thread.
//
// A file that exists but is not a JSON object reads as empty. Before the
// first change is written over it, it is moved aside to fileName() +
// ".corrupt", so whatever it held is never destroyed silently; when it cannot
// be moved, changes stay in memory and the file is left alone.
class Defaults
{
public:
    explicit Defaults(const QString &fileName);

    // The user's store, $XDG_CONFIG_HOME/Quorvel/defaults.json.
    static Defaults &standard();

    QString fileName() const;
    // Points the store at another file (tests do); the next access reads it.
    void setFileName(const QString &fileName);

    // A JSON string value; any other value counts as absent.
    std::optional<QString> string(const QString &key) const;
    void setString(const QString &key, const QString &value);
    // The string under key; when there is none, value is stored there in
    // the same step, so that two windows asking at once agree on one.
    QString stringOr(const QString &key, const QString &value);

    // Bytes, kept as {"data": "<base64>"} so they are never taken for a
    // string; any other value counts as absent.
    std::optional<QByteArray> data(const QString &key) const;
    // Whether the change reached the file; when it didn't, it lives on in
    // memory for this run only.
    bool setData(const QString &key, const QByteArray &value);
    // Stores what change makes of the bytes the file holds under key now
    // (nothing when there are none), read and written in one step under the
    // lock: what another window stored there meanwhile is what change gets.
    // Nothing from change removes the key. Whether it reached the file.
    using DataChange = std::function<std::optional<QByteArray>(const std::optional<QByteArray> &)>;
    bool changeData(const QString &key, const DataChange &change);

    void remove(const QString &key);

private:
    Q_DISABLE_COPY_MOVE(Defaults)

    using Change = std::function<std::optional<QJsonValue>(const std::optional<QJsonValue> &)>;

    // What tells one version of the file from the next: each write puts a
    // new file in its place.
    struct Version
    {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        qint64 modified = 0;
        friend bool operator==(const Version &, const Version &) = default;
    };

    static Version versionOf(const QString &fileName);

    // These expect m_mutex to be held.
    const QJsonObject &values() const;
    void readFile() const;
    void mergeUnwritten() const;
    bool change(const QString &key, const Change &edit);
    bool write(const QJsonObject &values);

    mutable QMutex m_mutex;
    QString m_fileName;
    // The file as last read, and which version of it that was.
    mutable std::optional<QJsonObject> m_file;
    mutable Version m_version;
    // The file exists but could not be read as an object.
    mutable bool m_damaged = false;
    // Changes that didn't reach the file, seen by this run's reads.
    QHash<QString, std::optional<QJsonValue>> m_unwritten;
    // The file with the unwritten changes over it.
    mutable QJsonObject m_values;
};
