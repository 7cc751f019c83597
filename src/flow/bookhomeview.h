#pragma once

#include "ebookexport.h"
#include "ordertotal.h"
#include "service/pricing.h"

#include <QHash>
#include <QImage>
#include <QWidget>
#include <memory>
#include <optional>
#include <qcorotask.h>

class AddonRow;
class CoverPicture;
class ErrorLabel;
class ExtraRow;
class Project;
class QAction;
class QBoxLayout;
class QGridLayout;
class QLabel;
class QPushButton;
class QScrollArea;
class QTimer;
class QVBoxLayout;
class UnopenedPage;

// The book's own page: its cover, title and span, the facts, what ordering
// it costs, saving it as a PDF or an ebook, the rewards of this install,
// what the user can still make of it, the add-ons an order can carry, and
// deleting it. Everything it shows is read from the project, the price list
// it loads when it appears and the shared rewards.
class BookHomeView : public QWidget
{
    Q_OBJECT

public:
    enum class WrappedButton { Shown, Hidden };

    BookHomeView(std::shared_ptr<Project> project, WrappedButton wrapped = WrappedButton::Shown,
        QWidget *parent = nullptr);
    ~BookHomeView() override;

    std::shared_ptr<Project> project() const { return m_project; }
    const std::optional<Pricing> &pricing() const { return m_pricing; }
    // Whether the price list was asked for and answered (or not).
    bool pricesAsked() const { return m_pricesAsked; }
    bool isMakingEbook() const { return m_makingEbook; }
    // What the page shows while the ebook is made.
    QWidget *ebookStatus() const { return m_ebookStatus; }
    // The front of the cover the page shows, once drawn.
    bool hasCover() const;
    // How many cover previews the page has drawn.
    int coverRenders() const { return m_coverRenders; }

    // A cover preview drawn a moment ago for the book as it is now (by the
    // making screen), so the page shows it without drawing it again.
    void setCover(const QString &preview);

    // The toolbar's items, which the window's toolbar shows while the page
    // is on screen.
    QAction *pagesAction() const { return m_pagesAction; }
    QAction *wrappedAction() const { return m_wrappedAction; }
    QPushButton *orderButton() const { return m_order; }
    QPushButton *saveButton() const { return m_save; }
    QAction *saveAction(const QString &text) const;
    ExtraRow *extra(const QString &title) const;
    AddonRow *addonRow(const QString &id) const;
    QPushButton *deleteButton() const { return m_delete; }

    // The order button's words, as the button shows them.
    OrderTotal::Label orderLabel() const;

    // Opens the order sheet with the prices the page has (maybe none).
    void order();
    void exportPDF();
    void exportEbook(EbookExport::Destination destination);
    void confirmDelete();
    // Send to Kindle's page as offered after the browser didn't open it.
    UnopenedPage *kindlePage() const { return m_kindlePage; }

signals:
    void deleted();
    void setupRequested();
    void pagesRequested();
    void wrappedRequested();
    // The price list was asked for; pricing() holds it when it loaded.
    void pricesLoaded();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildTitleBlock();
    QWidget *buildActions();
    QWidget *buildRewardsLine();
    QWidget *buildExtras();
    QWidget *buildKeeping();
    void buildAddons();
    // Lays the page out for the width it has.
    void arrange(int width);

    void refresh();
    void refreshFacts();
    void refreshAddons();
    void refreshCover();

    QCoro::Task<void> loadPricesAndRewards();
    QCoro::Task<void> drawCover(QString key);
    void openKindlePageAgain();
    void waitForTestOrder();

    std::shared_ptr<Project> m_project;
    std::optional<Pricing> m_pricing;
    bool m_pricesAsked = false;
    bool m_makingEbook = false;
    bool m_started = false;

    QString m_coverKey;
    quint64 m_coverTicket = 0;
    int m_coverRenders = 0;

    CoverPicture *m_cover;
    QWidget *m_column;
    QBoxLayout *m_row;
    QScrollArea *m_scroll;
    QLabel *m_title;
    QLabel *m_range;
    QGridLayout *m_facts;
    QWidget *m_volumeNote;
    QLabel *m_volumeText;
    QPushButton *m_order;
    QLabel *m_orderLabel;
    OrderTotal::Label m_orderWords;
    QPushButton *m_save;
    QPushButton *m_setup;
    QWidget *m_ebookStatus;
    ErrorLabel *m_error;
    UnopenedPage *m_kindlePage;
    QWidget *m_rewards;
    QLabel *m_rewardsSymbol;
    QLabel *m_rewardsText;
    ExtraRow *m_names;
    QList<ExtraRow *> m_extras;
    QWidget *m_addonsDivider;
    QWidget *m_addons;
    QVBoxLayout *m_addonsLayout;
    QHash<QString, AddonRow *> m_addonRows;
    QPushButton *m_delete;
    QAction *m_pagesAction;
    QAction *m_wrappedAction;
    QTimer *m_testOrder = nullptr;
};
