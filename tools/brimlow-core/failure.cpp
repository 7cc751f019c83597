#include "failure.h"

namespace Brimlow {

Failure::Failure(const QString &sentence, Kind kind)
    : std::runtime_error(sentence.toStdString())
    , m_kind(kind)
{ }

} // namespace Brimlow
