#pragma once

#include <QString>

namespace Brimlow {

// Turns the path under which a source keeps a photo into a file the book
// can point at, or an empty string when there is none.
class PhotoLocator
{
public:
    virtual ~PhotoLocator() = default;
    virtual QString locate(const QString &storedPath) = 0;
};

} // namespace Brimlow
