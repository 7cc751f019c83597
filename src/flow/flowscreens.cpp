// The screens of the other parts of the window that a book's flow shows.
#include "bookflow.h"
#include "viewer/bookview.h"
#include "wizard/wizardview.h"
#include "wrapped/wrappedview.h"

BookFlow::Screens BookFlow::Screens::standard()
{
    Screens screens;
    screens.wizard = [](WizardModel *model, Cancel cancel, std::function<void()> finished,
                         std::function<void()> cancelled) {
        auto *view = new WizardView(
            model, cancel == Cancel::Offered ? WizardView::CanCancel::Yes : WizardView::CanCancel::No);
        QObject::connect(view, &WizardView::finished, view, std::move(finished));
        QObject::connect(view, &WizardView::cancelled, view, std::move(cancelled));
        return view;
    };
    screens.pages = [](std::shared_ptr<Project> project, std::optional<int> pagesPerVolume,
                        std::function<void()> done) {
        auto *view = new BookView(std::move(project));
        view->setPagesPerVolume(pagesPerVolume);
        QObject::connect(view, &BookView::done, view, std::move(done));
        return view;
    };
    screens.wrapped = [](std::shared_ptr<Project> project, const Wrapped &wrapped,
                          std::optional<QString> focus, std::function<void()> makeBook) {
        auto *view = new WrappedView(std::move(project), wrapped, std::move(focus));
        QObject::connect(view, &WrappedView::bookRequested, view, std::move(makeBook));
        return view;
    };
    screens.count = [](BookFile book) { return Wrapped::make(std::move(book)); };
    return screens;
}
