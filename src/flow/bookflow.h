#pragma once

#include "model/wrapped.h"
#include "printconsentsheet.h"
#include "service/pricing.h"
#include "wizard/wizardmodel.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <qcorotask.h>

class Project;
class QVBoxLayout;

// Everything of one open book in the window's detail pane: the making
// wizard, the making screen, the book's own page, its pages and its
// Wrapped, one at a time. It owns the book's wizard model, counts the
// Wrapped once when it is first needed, and asks for consent to print when
// the user agreed to the Wrapped only. A new flow is made for every
// conversation opened, so each book starts afresh.
class BookFlow : public QWidget
{
    Q_OBJECT

public:
    enum class Mode { Wizard, Making, Home, Pages, Wrapped };

    // The screens of other parts of the window that the flow shows, and how
    // the Wrapped is counted. Each screen calls back when the user leaves
    // it; standard() gives the app's own, tests give small ones.
    struct Screens
    {
        enum class Cancel { Offered, NotOffered };

        std::function<QWidget *(WizardModel *model, Cancel cancel, std::function<void()> finished,
            std::function<void()> cancelled)>
            wizard;
        // The pages count volumes of pagesPerVolume, the default when none.
        std::function<QWidget *(
            std::shared_ptr<Project> project, std::optional<int> pagesPerVolume, std::function<void()> done)>
            pages;
        std::function<QWidget *(std::shared_ptr<Project> project, const Wrapped &wrapped,
            std::optional<QString> focus, std::function<void()> makeBook)>
            wrapped;
        std::function<QCoro::Task<Wrapped>(BookFile book)> count;

        static Screens standard();
    };

    explicit BookFlow(std::shared_ptr<Project> project, QWidget *parent = nullptr);
    BookFlow(std::shared_ptr<Project> project, Screens screens, QWidget *parent = nullptr);
    ~BookFlow() override;

    Mode mode() const { return m_mode; }
    // The screen of the mode shown now.
    QWidget *screen() const { return m_screen; }
    WizardModel *wizard() const { return m_wizard; }
    // The Wrapped, once counted.
    const std::optional<Wrapped> &wrapped() const { return m_wrapped; }
    // The sheet asking for consent to print, while it is open.
    PrintConsentSheet *consentSheet() const { return m_consentSheet; }

    // From the Wrapped to the book: the wizard for a book without a design,
    // else its page; consent to print is asked for first when missing.
    void makeBook();
    // The Wrapped, with a card in focus when one is given.
    void openWrapped(const std::optional<QString> &focus);

signals:
    // The book was deleted from its page; the flow is done.
    void deleted();

private:
    Mode firstMode() const;
    QString identifier() const;
    bool hasBookConsent() const;

    void setMode(Mode mode);
    void present(QWidget *screen);
    QWidget *build(Mode mode);
    QWidget *buildWizard();
    QWidget *buildHome();
    QWidget *buildWrapped();
    void newWizard(WizardModel::Resuming resuming);
    void reopenWizard();
    void refreshTitle();
    QCoro::Task<void> count();
    void forgetCountFailure();

    std::shared_ptr<Project> m_project;
    Screens m_screens;
    Mode m_mode;
    WizardModel *m_wizard = nullptr;
    // The price list the book's page loaded, so that the pages count
    // volumes as the order does.
    std::optional<Pricing> m_pricing;
    std::optional<Wrapped> m_wrapped;
    std::optional<QString> m_wrappedFocus;
    bool m_counting = false;
    std::optional<QString> m_countFailure;
    std::optional<QString> m_madeCover;
    QPointer<PrintConsentSheet> m_consentSheet;
    QVBoxLayout *m_layout;
    QWidget *m_screen = nullptr;
};
