#include "bookfonts.h"

#include "model/helpers.h"

#include <QDir>
#include <QFontDatabase>

namespace BookFonts {

void registerFonts()
{
    const QDir folder(Helpers::fonts());
    const QFileInfoList files = folder.entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &file : files) {
        const QString suffix = file.suffix().toLower();
        if (suffix != QLatin1String("otf") && suffix != QLatin1String("ttf"))
            continue;
        if (file.fileName().contains(QLatin1String("Emoji")))
            continue;
        QFontDatabase::addApplicationFont(file.absoluteFilePath());
    }
}

} // namespace BookFonts
