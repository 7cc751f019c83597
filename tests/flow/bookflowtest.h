#pragma once

// Small screens in place of the wizard's, the viewer's and the Wrapped's,
// for tests of the flow that joins them: each shows one line saying what it
// is and the buttons that leave it.
#include "flow/bookflow.h"
#include "flowtest.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace StandInScreens {

inline QWidget *screen(const QString &line, const QList<std::pair<QString, std::function<void()>>> &buttons)
{
    auto *widget = new QWidget;
    auto *stack = new QVBoxLayout(widget);
    stack->addWidget(new QLabel(line));
    for (const auto &[text, action] : buttons) {
        auto *button = new QPushButton(text);
        QObject::connect(button, &QPushButton::clicked, widget, action);
        stack->addWidget(button);
    }
    return widget;
}

// The flow's screens with stand-ins for those not tested here; the Wrapped
// is counted by the real message tool unless a test says otherwise.
inline BookFlow::Screens screens()
{
    BookFlow::Screens screens = BookFlow::Screens::standard();
    screens.wizard = [](WizardModel *model, BookFlow::Screens::Cancel cancel, std::function<void()> finished,
                         std::function<void()> cancelled) {
        QList<std::pair<QString, std::function<void()>>> buttons { { QStringLiteral("Finish"),
            [model, finished] {
                model->finish();
                finished();
            } } };
        if (cancel == BookFlow::Screens::Cancel::Offered)
            buttons.append({ QStringLiteral("Cancel"), cancelled });
        return screen(QStringLiteral("wizard"), buttons);
    };
    screens.pages = [](std::shared_ptr<Project>, std::optional<int>, std::function<void()> done) {
        return screen(QStringLiteral("pages"), { { QStringLiteral("Done"), done } });
    };
    screens.wrapped = [](std::shared_ptr<Project>, const Wrapped &wrapped, std::optional<QString> focus,
                          std::function<void()> makeBook) {
        return screen(
            QStringLiteral("wrapped %1 %2").arg(wrapped.total).arg(focus.value_or(QStringLiteral("-"))),
            { { QStringLiteral("Make the Book"), makeBook } });
    };
    return screens;
}

} // namespace StandInScreens
