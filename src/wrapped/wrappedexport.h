#pragma once

#include "model/wrapped.h"
#include "wrappedsettings.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <qcorotask.h>
#include <stdexcept>

// Saving the selected Wrapped cards as PNG pictures.
namespace WrappedExport {

// A folder or file that couldn't be written; what() is the sentence for
// the user.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString &sentence);
    QString description() const { return QString::fromUtf8(what()); }
};

// Writes the cards of the settings' selection (in its order; ids that name
// no card are passed over) once per format, as
// "<prefix>-<nn>-<id>-<format>.png" in folder, which is made when missing;
// files of the same name are replaced. Returns the files written, in order.
// Throws Failure for a folder that can't be made or a file that can't be
// written; files written before stay, and no later file is written.
//
// The cards are drawn here and compressed on the thread pool, a few at a
// time: compressing a tall picture takes far longer than drawing it, and
// the window stays free meanwhile.
QCoro::Task<QStringList> cards(Wrapped wrapped, WrappedSettings settings, std::optional<QString> code,
    QList<WrappedSettings::Format> formats, QString folder, QString prefix);

// A card id as part of a file name: every character that is neither a
// letter nor a number becomes "-".
QString fileNamePart(const QString &id);

} // namespace WrappedExport
