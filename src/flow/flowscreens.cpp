// The screens of the other parts of the window that a book's flow shows.
#include "bookflow.h"
#include "viewer/bookview.h"

BookFlow::Screens BookFlow::Screens::standard()
{
    Screens screens;
    screens.count = [](BookFile book) { return Wrapped::make(std::move(book)); };
    screens.pages = [](std::shared_ptr<Project> project, std::function<void()> done) {
        auto *view = new BookView(std::move(project));
        QObject::connect(view, &BookView::done, view, std::move(done));
        return view;
    };
    return screens;
}
