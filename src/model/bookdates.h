#pragma once

#include "bookfile.h"

// How the book writes dates for its reader: the date patterns of the user's
// locale, from the same skeletons the screens use, so that a British reader
// whose screens say "14 June 2022" finds "Tuesday 14 June" and "19:20" in
// the book too. The book document carries them to the templates, so that
// every run (the pages, the covers, the print files, the ebook) and the
// typesetting cache see them.
namespace BookDates {

// The patterns of the user's current locale.
BookFile::Dates ofLocale();

// Puts the user's patterns in the book; true when that changed it.
bool mend(BookFile &book);

} // namespace BookDates
