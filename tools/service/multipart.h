#pragma once

#include <QByteArray>
#include <QList>
#include <httplib.h>
#include <optional>
#include <string>

// multipart/form-data bodies. httplib parses them itself and then drops the
// raw bytes, which the journal must keep; so before routing the stand-in
// hides the type from httplib and parses the body here.
namespace Multipart {

inline const std::string hiddenTypeHeader = "X-Stand-In-Multipart-Type";

struct Part
{
    QByteArray name;
    std::optional<QByteArray> fileName;
    QByteArray contentType;
    QByteArray content;
};

// Before routing: swaps a multipart content type for a neutral one and
// keeps the original under hiddenTypeHeader.
void hideType(const httplib::Request &request);
bool isHiddenType(const httplib::Request &request, const std::string &headerName);
std::string originalType(const httplib::Request &request);

// The parts of body, or nullopt when it is not a well-formed form of the
// given content type.
std::optional<QList<Part>> parse(const QByteArray &body, const QByteArray &contentType);

} // namespace Multipart
