#pragma once

#include <QString>
#include <QtGlobal>
#include <stdexcept>

// Unpacking a zip archive in-process, for chat exports that come zipped.
// The archive comes from elsewhere, so nothing in it may reach outside the
// folder it is unpacked into or fill the disk.
namespace ZipArchive {

class Error : public std::runtime_error
{
public:
    enum class Kind {
        Damaged, // cut short or damaged, or not a zip archive at all
        Unreadable, // the file can't be read, or holds what can't be unpacked
        Unsafe, // an absolute path, a ".." component or a link
        TooLarge, // more than the limit once unpacked
        Unwritable, // the folder cannot take a file
    };

    Error(Kind kind, const QString &sentence);
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

// What an archive may unpack to at most, counted as it is written.
constexpr qint64 defaultLimit = qint64(8) << 30;

// Unpacks every entry below folder, keeping the archive's folder
// structure. Checks every name before anything is written; stops as soon
// as more than limit bytes came out. What was written before a failure is
// left for the caller to remove.
void extract(const QString &archive, const QString &folder, qint64 limit = defaultLimit);

} // namespace ZipArchive
