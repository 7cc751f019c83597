#pragma once

#include <QString>
#include <optional>
#include <ostream>

// Lets failing expectations show texts instead of bytes.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
