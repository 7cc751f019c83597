#pragma once

#include <QString>
#include <QStringView>

namespace Brimlow {

// A tolerant walk over HTML as exports write it: start tags with their
// attributes, end tags and the text between them. It keeps no tree and
// never fails; broken markup only yields odd tokens.
class HtmlScanner
{
public:
    enum class Token { End, StartTag, EndTag, Text };

    explicit HtmlScanner(QStringView html);

    Token next();

    // For StartTag and EndTag: the lower-cased tag name.
    QString tagName() const { return m_name; }
    // For StartTag: an attribute's value with entities decoded; empty when
    // absent.
    QString attribute(QLatin1StringView name) const;
    bool hasClass(QLatin1StringView name) const;
    // For StartTag: a tag that has no end tag (<br>, <img …/>).
    bool isVoid() const { return m_void; }
    // For Text: the text with entities decoded.
    QString text() const;

    // Text with its entities decoded ("&amp;" -> "&", "&#128512;" -> 😀).
    static QString decodeEntities(QStringView text);
    // Markup as plain text: <br> and block ends become line breaks, tags go.
    static QString plainText(QStringView html);

private:
    QStringView m_html;
    qsizetype m_at = 0;
    QString m_name;
    QStringView m_attributes;
    QStringView m_text;
    bool m_void = false;
};

} // namespace Brimlow
