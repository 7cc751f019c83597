#include "formdata.h"

namespace {

QString withoutLineBreaks(QString text)
{
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

QByteArray quoted(const QString &text)
{
    return '"' + withoutLineBreaks(text).replace(QLatin1Char('"'), QStringLiteral("%22")).toUtf8() + '"';
}

} // namespace

FormData::FormData(const QString &boundary)
    : m_boundary(boundary)
{ }

QByteArray FormData::contentType() const
{
    return "multipart/form-data; boundary=" + m_boundary.toUtf8();
}

void FormData::addField(const QString &name, const QString &value)
{
    m_body += "--" + m_boundary.toUtf8() + "\r\n";
    m_body += "Content-Disposition: form-data; name=" + quoted(name) + "\r\n";
    m_body += "\r\n";
    m_body += withoutLineBreaks(value).toUtf8() + "\r\n";
}

void FormData::addFile(
    const QString &name, const QString &fileName, const QByteArray &contentType, const QByteArray &bytes)
{
    m_body += "--" + m_boundary.toUtf8() + "\r\n";
    m_body
        += "Content-Disposition: form-data; name=" + quoted(name) + "; filename=" + quoted(fileName) + "\r\n";
    m_body += "Content-Type: " + contentType + "\r\n";
    m_body += "\r\n";
    m_body += bytes + "\r\n";
}

QByteArray FormData::finished() const
{
    return m_body + "--" + m_boundary.toUtf8() + "--\r\n";
}
