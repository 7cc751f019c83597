#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QString>

// Writes typedstream archives the way NSArchiver does, for fixtures of
// the attributedBody column.
class TypedStreamWriter
{
public:
    TypedStreamWriter();

    // An NSAttributedString holding text with one run of attributes, laid
    // out like the archives Messages writes.
    static QByteArray attributedString(const QString &text);

    void group(const QByteArray &encoding);
    void beginObject(const QByteArrayList &classChain);
    void endObject();
    void integer(qint64 value);
    void bytes(const QByteArray &value); // a '+' value
    void sharedString(const QByteArray &value);

    QByteArray data() const { return m_out; }

private:
    void unsharedString(const QByteArray &value);
    void reference(qsizetype index);

    QByteArray m_out;
    QByteArrayList m_strings;
    QHash<QByteArray, qsizetype> m_classes;
    qsizetype m_entries = 0;
};
