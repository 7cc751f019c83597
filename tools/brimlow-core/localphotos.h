#pragma once

#include "photolocator.h"

namespace Brimlow {

// Photos that lie on this machine: a Mac store's "~/Library/Messages/…"
// paths under the home folder, or files beside a chat export.
class LocalPhotos : public PhotoLocator
{
public:
    QString locate(const QString &storedPath) override;
};

} // namespace Brimlow
