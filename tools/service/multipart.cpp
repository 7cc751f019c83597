#include "multipart.h"

#include <map>

namespace Multipart {

namespace {

bool equalsIgnoringCase(const std::string &a, const std::string &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(uchar(x)) == std::tolower(uchar(y));
    });
}

// Parameters of a header value such as `form-data; name="a"; filename="b"`.
// Quoted values end at the first unescaped quote; a backslash escapes.
std::map<QByteArray, QByteArray> parameters(const QByteArray &value)
{
    std::map<QByteArray, QByteArray> result;
    qsizetype i = value.indexOf(';');
    while (i >= 0 && i < value.size()) {
        ++i;
        while (i < value.size() && (value[i] == ' ' || value[i] == '\t'))
            ++i;
        const qsizetype equals = value.indexOf('=', i);
        if (equals < 0)
            break;
        const QByteArray key = value.mid(i, equals - i).trimmed().toLower();
        i = equals + 1;
        QByteArray text;
        if (i < value.size() && value[i] == '"') {
            for (++i; i < value.size() && value[i] != '"'; ++i) {
                if (value[i] == '\\' && i + 1 < value.size())
                    ++i;
                text.append(value[i]);
            }
            i = value.indexOf(';', i);
        } else {
            const qsizetype end = value.indexOf(';', i);
            text = value.mid(i, end < 0 ? -1 : end - i).trimmed();
            i = end;
        }
        result[key] = text;
    }
    return result;
}

std::optional<Part> parsePart(const QByteArray &block)
{
    const qsizetype split = block.indexOf("\r\n\r\n");
    if (split < 0)
        return std::nullopt;
    Part part;
    bool named = false;
    for (const QByteArray &line : block.left(split).split('\n')) {
        const QByteArray trimmed = line.endsWith('\r') ? line.chopped(1) : line;
        const qsizetype colon = trimmed.indexOf(':');
        if (colon < 0)
            return std::nullopt;
        const QByteArray name = trimmed.left(colon).trimmed().toLower();
        const QByteArray value = trimmed.mid(colon + 1).trimmed();
        if (name == "content-disposition") {
            const auto values = parameters(value);
            if (!value.startsWith("form-data") || !values.contains("name"))
                return std::nullopt;
            part.name = values.at("name");
            named = true;
            if (values.contains("filename"))
                part.fileName = values.at("filename");
        } else if (name == "content-type") {
            part.contentType = value;
        }
    }
    if (!named)
        return std::nullopt;
    part.content = block.mid(split + 4);
    return part;
}

} // namespace

void hideType(const httplib::Request &request)
{
    if (!request.is_multipart_form_data())
        return;
    // httplib hands handlers a const request, but the object is its own and
    // not const; routing has not looked at the body yet.
    auto &headers = const_cast<httplib::Request &>(request).headers;
    const auto found = headers.find("Content-Type");
    const std::string original = found->second;
    found->second = "application/x-stand-in-form";
    headers.emplace(hiddenTypeHeader, original);
}

bool isHiddenType(const httplib::Request &request, const std::string &headerName)
{
    return equalsIgnoringCase(headerName, "Content-Type") && request.has_header(hiddenTypeHeader.c_str());
}

std::string originalType(const httplib::Request &request)
{
    return request.get_header_value(hiddenTypeHeader.c_str());
}

std::optional<QList<Part>> parse(const QByteArray &body, const QByteArray &contentType)
{
    if (!contentType.startsWith("multipart/form-data"))
        return std::nullopt;
    const auto values = parameters(contentType);
    if (!values.contains("boundary") || values.at("boundary").isEmpty())
        return std::nullopt;
    const QByteArray delimiter = "--" + values.at("boundary");
    if (!body.startsWith(delimiter + "\r\n"))
        return std::nullopt;
    QList<Part> parts;
    qsizetype at = delimiter.size() + 2;
    for (;;) {
        const qsizetype next = body.indexOf("\r\n" + delimiter, at);
        if (next < 0)
            return std::nullopt;
        const std::optional<Part> part = parsePart(body.mid(at, next - at));
        if (!part)
            return std::nullopt;
        parts.append(*part);
        at = next + 2 + delimiter.size();
        if (body.mid(at, 2) == "--")
            return body.mid(at + 2) == "\r\n" || body.size() == at + 2 ? std::optional(parts) : std::nullopt;
        if (body.mid(at, 2) != "\r\n")
            return std::nullopt;
        at += 2;
    }
}

} // namespace Multipart
