// The screens of the other parts of the window that a book's flow shows.
#include "bookflow.h"

BookFlow::Screens BookFlow::Screens::standard()
{
    Screens screens;
    screens.count = [](BookFile book) { return Wrapped::make(std::move(book)); };
    return screens;
}
