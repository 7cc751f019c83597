#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QMutex>
#include <QString>
#include <optional>

// The user's small persistent state: one JSON object file, keys verbatim
// (QSettings would mangle "/" and ":"). Read once and then served from
// memory; every change rewrites the file atomically. Safe to use from any
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

    // Bytes, kept as {"data": "<base64>"} so they are never taken for a
    // string; any other value counts as absent.
    std::optional<QByteArray> data(const QString &key) const;
    // Whether the change reached the file; when it didn't, it lives on in
    // memory for this run only.
    bool setData(const QString &key, const QByteArray &value);

    void remove(const QString &key);

private:
    Q_DISABLE_COPY_MOVE(Defaults)

    // These expect m_mutex to be held.
    const QJsonObject &values() const;
    bool change(const QString &key, const std::optional<QJsonValue> &value);
    bool write();

    mutable QMutex m_mutex;
    QString m_fileName;
    mutable std::optional<QJsonObject> m_values;
    // The file exists but could not be read as an object.
    mutable bool m_damaged = false;
};
