#include "bookfonts.h"

#include "model/helpers.h"

#include <QDir>
#include <QFontDatabase>

namespace BookFonts {

void registerFonts()
{
    static const QStringList registered = registerFonts(Helpers::fonts());
}

QStringList registerFonts(const QString &folder)
{
    QStringList registered;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo &file : files) {
        const QString suffix = file.suffix().toLower();
        if (suffix != QLatin1String("otf") && suffix != QLatin1String("ttf"))
            continue;
        // The colour emoji font is typst's alone; the app draws emoji with the system's.
        if (file.fileName().contains(QLatin1String("Emoji")))
            continue;
        if (QFontDatabase::addApplicationFont(file.absoluteFilePath()) >= 0)
            registered.append(file.fileName());
    }
    return registered;
}

} // namespace BookFonts
