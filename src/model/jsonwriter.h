#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>

class QIODevice;

// Writes JSON as it goes, keys in the order they are given. A whole book
// of a long conversation never exists twice in memory this way.
class JsonWriter
{
public:
    explicit JsonWriter(QIODevice *device);
    ~JsonWriter();

    JsonWriter(const JsonWriter &) = delete;
    JsonWriter &operator=(const JsonWriter &) = delete;

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();

    // The key of the next value inside an object.
    void key(const char *name);

    void value(const QString &text);
    void value(qint64 number);
    // The shortest text that reads back as the same double; NaN and the
    // infinities, which JSON has no word for, are written as 0.
    void value(double number);
    void value(bool flag);
    void value(const QStringList &texts);

    // Shorthands: key, then value.
    void member(const char *name, const QString &text);
    void member(const char *name, qint64 number);
    void member(const char *name, double number);
    void member(const char *name, bool flag);
    void member(const char *name, const QStringList &texts);

    // Hands what is buffered to the device; false when the device refused.
    bool flush();

private:
    void separate();
    void appendString(const QString &text);
    void flushWhenFull();

    QIODevice *m_device;
    QByteArray m_buffer;
    QVarLengthArray<bool, 16> m_first; // per open container: nothing written yet
    bool m_afterKey = false;
    bool m_failed = false;
};
