#pragma once

// The faces the books are set in, made known to the app's own drawing
// (previews, the title fields, the cards) from the fonts the app ships.
namespace BookFonts {

// Registers every .otf and .ttf file of the shipped fonts folder, except
// the emoji font; a file that can't be read is passed over.
void registerFonts();

} // namespace BookFonts
