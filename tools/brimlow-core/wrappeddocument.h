#pragma once

#include "model/bookfile.h"
#include "model/wrapped.h"

#include <optional>

// The Wrapped of one book: the share cards with their texts worded, and
// the figures around them. The statistics come from the insights library,
// as the app's moments and special days do, so a card and the moment that
// links to it never disagree. No card quotes a message.
namespace Brimlow::WrappedDocument {

// The document for the whole book, or for the messages of one year.
// Throws Failure for a year without messages.
Wrapped make(const BookFile &book, std::optional<int> year = std::nullopt);

} // namespace Brimlow::WrappedDocument
