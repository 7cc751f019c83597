#pragma once

#include <QString>
#include <QStringList>

// The faces the books are set in, made known to the app's own drawing
// (previews, the title fields, the cards) from the fonts the app ships.
namespace BookFonts {

// Registers, for this process only, every .otf and .ttf file (in any
// letter case) of the shipped fonts folder, except files whose name
// contains "Emoji"; a file that can't be read is passed over, and a missing
// folder leaves the system's fonts alone. Only the first call registers:
// each screen that shows the faces calls it before it draws.
void registerFonts();
// The same for the fonts in folder; returns the files it registered.
QStringList registerFonts(const QString &folder);

} // namespace BookFonts
