#pragma once

#include <QByteArray>
#include <QString>

// A multipart/form-data body, built in memory. Values are written as they
// stand except for what could end a part early: line breaks are removed from
// names, values and file names, and quotes in names and file names are
// written as %22, as browsers do.
class FormData
{
public:
    explicit FormData(const QString &boundary);

    QString boundary() const { return m_boundary; }
    // "multipart/form-data; boundary=" + the boundary.
    QByteArray contentType() const;

    void addField(const QString &name, const QString &value);
    void addFile(
        const QString &name, const QString &fileName, const QByteArray &contentType, const QByteArray &bytes);
    // The body with its closing line.
    QByteArray finished() const;

private:
    QString m_boundary;
    QByteArray m_body;
};
