#pragma once

#include <QString>
#include <stdexcept>

// A file operation of the open book that failed: creating its folder,
// copying a book or a PDF, removing the book. what() is the sentence shown
// to the user.
class FileError : public std::runtime_error
{
public:
    explicit FileError(const QString &sentence)
        : std::runtime_error(sentence.toStdString())
    { }

    QString description() const { return QString::fromUtf8(what()); }
};
