#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace Brimlow::TypedStream {

// The plain text of an NSAttributedString archived with NSArchiver, the
// "typedstream" form in which newer Messages stores keep a message's text
// (the attributedBody column). nullopt when the bytes are not such an
// archive or end before its string.
std::optional<QString> attributedText(const QByteArray &archive);

} // namespace Brimlow::TypedStream
