#pragma once

#include <QString>
#include <stdexcept>

namespace Brimlow {

// A failure the user is told about. what() is one sentence for the user;
// main prints it as the last line of standard error after "Error: ".
class Failure : public std::runtime_error
{
public:
    enum class Kind {
        Input, // something the tool was asked to read or write
        Usage, // the command line itself
    };

    explicit Failure(const QString &sentence, Kind kind = Kind::Input);

    QString sentence() const { return QString::fromUtf8(what()); }
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

} // namespace Brimlow
