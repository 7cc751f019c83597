#include "claimsheet.h"

#include "service/pricing.h"
#include "ui/checklabel.h"
#include "ui/desktop.h"
#include "ui/errors.h"
#include "ui/icons.h"
#include "ui/style.h"
#include "ui/textwrap.h"
#include "ui/unopenedpage.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int sheetWidth = 480;

// The numbers the viral intro names, fixed whatever the service's own
// thresholds are.
constexpr int introViews = 10000;
constexpr int introLikes = 1000;

const QStringList pictureExtensions { QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
    QStringLiteral("heic"), QStringLiteral("webp") };

QStringList localFiles(const QMimeData *data)
{
    QStringList files;
    if (!data)
        return files;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    return files;
}

} // namespace

// The screenshot's button and name; a picture dropped on it is taken too.
class ClaimSheet::ScreenshotRow : public QWidget
{
public:
    explicit ScreenshotRow(ClaimSheet *sheet)
        : QWidget(sheet)
        , m_sheet(sheet)
    {
        setAcceptDrops(true);
    }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override
    {
        if (screenshotAmong(localFiles(event->mimeData())))
            event->acceptProposedAction();
        else
            event->ignore();
    }

    void dropEvent(QDropEvent *event) override
    {
        const std::optional<QString> file = screenshotAmong(localFiles(event->mimeData()));
        if (!file) {
            event->ignore();
            return;
        }
        m_sheet->setScreenshot(*file);
        event->acceptProposedAction();
    }

private:
    ClaimSheet *m_sheet;
};

ClaimSheet::ClaimSheet(Rewards::Claim::Kind kind, QWidget *parent)
    : Sheet(parent, sheetWidth)
    , m_done(new QWidget)
    , m_errorRow(new ErrorRow)
    , m_unopenedRules(new UnopenedPage)
{
    m_claim.kind = kind;
    const bool share = kind == Rewards::Claim::Kind::Share;
    setWindowTitle(share ? QStringLiteral("Share your Wrapped") : QStringLiteral("Go big"));
    body()->setSpacing(14);

    QLabel *title = Style::label(share ? QStringLiteral("10% off for sharing your Wrapped")
                                       : QStringLiteral("A free book for going big"),
        Style::Text::Title2);
    title->setFont(Style::font(Style::Text::Title2, Style::Weight::Semibold));
    body()->addWidget(title);
    m_form = buildForm();
    body()->addWidget(m_form);
    m_done->hide();
    body()->addWidget(m_done);
    body()->addWidget(m_errorRow);
    body()->addWidget(m_unopenedRules);

    QPushButton *rules = addButton(QStringLiteral("Official Rules"), Role::Other);
    Style::setLink(rules);
    m_close = addButton(QStringLiteral("Cancel"), Role::Cancel);
    m_send
        = addButton(share ? QStringLiteral("Get My Code") : QStringLiteral("Send for Review"), Role::Confirm);

    setDefaultButton(m_send);

    connect(rules, &QPushButton::clicked, this, [this] { openRules(); });
    connect(m_unopenedRules, &UnopenedPage::retryRequested, this, [this] { openRules(); });
    connect(m_close, &QPushButton::clicked, this, &ClaimSheet::reject);
    connect(m_send, &QPushButton::clicked, this, [this] { send(); });
    refresh();
}

QWidget *ClaimSheet::buildForm()
{
    const bool share = m_claim.kind == Rewards::Claim::Kind::Share;
    auto *form = new QWidget;
    auto *column = new QVBoxLayout(form);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);

    column->addWidget(Style::label(share
            ? QStringLiteral("Post your Wrapped on TikTok, Instagram or X, then paste the link and add a "
                             "screenshot of the post. The code works once, on your book.")
            : QStringLiteral("When a post of your Wrapped reaches %1 views or %2 likes, send the link and a "
                             "screenshot showing the numbers. A person checks it, and a gift card worth a "
                             "paperback comes back.")
                  .arg(Style::number(introViews), Style::number(introLikes)),
        Style::Text::Body, Style::Tone::Secondary));

    column->addWidget(field(QStringLiteral("Link to your post"), &Rewards::Claim::url));
    if (!share) {
        auto *numbers = new QHBoxLayout;
        numbers->setSpacing(8);
        numbers->addWidget(field(QStringLiteral("Views"), &Rewards::Claim::views));
        numbers->addWidget(field(QStringLiteral("Likes"), &Rewards::Claim::likes));
        numbers->addWidget(field(QStringLiteral("Reposts"), &Rewards::Claim::reposts));
        column->addLayout(numbers);
    }

    auto *screenshot = new ScreenshotRow(this);
    auto *screenshotLine = new QHBoxLayout(screenshot);
    screenshotLine->setContentsMargins(0, 0, 0, 0);
    screenshotLine->setSpacing(10);
    m_screenshotButton = new QPushButton;
    m_screenshotButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_screenshotName = Style::label(QString(), Style::Text::Caption, Style::Tone::Secondary);
    m_screenshotName->setWordWrap(false);
    m_screenshotName->setMinimumWidth(0);
    m_screenshotName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    screenshotLine->addWidget(m_screenshotButton, 0, Qt::AlignLeft);
    screenshotLine->addWidget(m_screenshotName, 1);
    connect(m_screenshotButton, &QPushButton::clicked, this, [this] { pickScreenshot(); });
    column->addWidget(screenshot);

    column->addWidget(field(QStringLiteral("Your email"), &Rewards::Claim::email));

    auto *confirmations = new QVBoxLayout;
    confirmations->setSpacing(6);
    confirmations->addWidget(
        confirmation(QStringLiteral("My post has #ad at the start of the caption and on the card or video"),
            &Rewards::Claim::disclosed));
    confirmations->addWidget(
        confirmation(QStringLiteral("I'm 18 or older and live in the US"), &Rewards::Claim::adult));
    confirmations->addWidget(
        confirmation(QStringLiteral("I agree to the official rules"), &Rewards::Claim::agree));
    column->addLayout(confirmations);

    column->addWidget(Style::label(
        QStringLiteral("We keep the link, the screenshot, your email and the numbers you type, so each "
                       "person gets one reward. Your messages stay on this computer."),
        Style::Text::Caption, Style::Tone::Tertiary));
    return form;
}

QLineEdit *ClaimSheet::field(const QString &placeholder, QString Rewards::Claim::*text)
{
    auto *edit = new QLineEdit;
    edit->setPlaceholderText(placeholder);
    // A placeholder goes once the field is typed in; the name stays.
    edit->setAccessibleName(placeholder);
    connect(edit, &QLineEdit::textChanged, this, [this, text](const QString &typed) {
        m_claim.*text = typed;
        refresh();
    });
    return edit;
}

QWidget *ClaimSheet::confirmation(const QString &text, bool Rewards::Claim::*flag)
{
    // A box beside words that wrap: the longest confirmation is wider than
    // the sheet. Pressing the words ticks the box too.
    auto *row = new QWidget;
    auto *line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(6);
    auto *box = new QCheckBox;
    box->setAccessibleName(text);
    auto *words = new CheckLabel(text, box);
    words->setFont(Style::font(Style::Text::Body));
    TextWrap::keep(words, TextWrap::Lines::NoLoneWord);
    line->addWidget(box, 0, Qt::AlignTop);
    line->addWidget(words, 1);
    connect(box, &QCheckBox::toggled, this, [this, flag](bool on) {
        m_claim.*flag = on;
        refresh();
    });
    return row;
}

bool ClaimSheet::isReady() const
{
    return isReady(m_claim);
}

bool ClaimSheet::isReady(const Rewards::Claim &claim)
{
    if (!claim.url.contains(u'.') || !claim.email.contains(u'@') || !claim.screenshot)
        return false;
    if (!claim.disclosed || !claim.adult || !claim.agree)
        return false;
    if (claim.kind == Rewards::Claim::Kind::Viral)
        return !claim.views.isEmpty() || !claim.likes.isEmpty();
    return true;
}

std::optional<QString> ClaimSheet::screenshotAmong(const QStringList &files)
{
    for (const QString &file : files) {
        if (pictureExtensions.contains(QFileInfo(file).suffix().toLower()))
            return file;
    }
    return std::nullopt;
}

void ClaimSheet::setScreenshot(const QString &file)
{
    m_claim.screenshot = file;
    refresh();
}

QUrl ClaimSheet::rulesPage()
{
    return Pricing::address("wrapped/rules/");
}

QCoro::Task<void> ClaimSheet::openRules()
{
    QPointer<ClaimSheet> self(this);
    const QUrl page = rulesPage();
    const bool opened = co_await Desktop::instance().openUrl(page);
    if (!self)
        co_return;
    m_unopenedRules->setPage(opened ? QString()
                                    : QStringLiteral("The rules page didn't open in your browser. Open this "
                                                     "address in a browser to read them."),
        opened ? QUrl() : page);
    fitToContent();
}

void ClaimSheet::reject()
{
    // Closing is what has the strip learn of a new code or a claim in
    // review; the sheet doesn't wait for it.
    Rewards::shared().load();
    Sheet::reject();
}

QCoro::Task<void> ClaimSheet::send()
{
    if (!isReady() || m_sending)
        co_return;
    m_sending = true;
    m_error.reset();
    refresh();
    QPointer<ClaimSheet> self(this);
    const Rewards::Claim claim = m_claim;
    std::optional<Rewards::Claimed> claimed;
    QString failure;
    try {
        claimed = co_await Rewards::submit(claim);
    } catch (...) {
        failure = Errors::sentence(std::current_exception());
    }
    if (!self)
        co_return;
    if (claimed)
        showResult(*claimed);
    else
        m_error = failure;
    m_sending = false;
    refresh();
}

void ClaimSheet::showResult(const Rewards::Claimed &claimed)
{
    m_result = claimed;
    auto *column = new QVBoxLayout(m_done);
    column->setContentsMargins(0, 0, 0, 0);
    if (claimed.discountCode) {
        column->setSpacing(4);
        column->addWidget(
            Style::label(QStringLiteral("Your code"), Style::Text::Body, Style::Tone::Secondary));
        QLabel *code = Style::label(*claimed.discountCode, Style::Text::Title);
        QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        mono.setPixelSize(Style::font(Style::Text::Title).pixelSize());
        code->setFont(mono);
        code->setWordWrap(false);
        code->setTextInteractionFlags(Qt::TextSelectableByMouse);
        code->setCursor(Qt::IBeamCursor);
        column->addWidget(code);
        column->addSpacing(4);
        column->addWidget(
            Style::label(QStringLiteral("It takes %1% off one order. Your book's page shows it on "
                                        "the Order button, so there's nothing to copy.")
                             .arg(claimed.percent.value_or(10)),
                Style::Text::Body, Style::Tone::Secondary));
        return;
    }
    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    auto *symbol = new QLabel;
    symbol->setPixmap(Icons::pixmap(QStringLiteral("checkmark.circle.fill"), 16, Style::brand()));
    row->addWidget(symbol, 0, Qt::AlignTop);
    QLabel *words = Style::label(QStringLiteral(
        "We have it. Someone on our team checks each claim, usually within a few days, and the "
        "gift card appears here once it's approved."));
    QPalette brand = words->palette();
    brand.setColor(QPalette::WindowText, Style::brand());
    words->setPalette(brand);
    row->addWidget(words, 1);
    column->addLayout(row);
}

QCoro::Task<void> ClaimSheet::pickScreenshot()
{
    Desktop::Panel panel;
    panel.mode = Desktop::Panel::Mode::OpenFiles;
    panel.title = QStringLiteral("Add a Screenshot");
    panel.prompt = QStringLiteral("Add");
    panel.nameFilters = { QStringLiteral("Pictures (*.png *.jpg *.jpeg *.heic *.webp)") };
    QPointer<ClaimSheet> self(this);
    const QStringList chosen = co_await Desktop::instance().choose(this, panel);
    if (!self || chosen.isEmpty())
        co_return;
    setScreenshot(chosen.first());
}

void ClaimSheet::refresh()
{
    const bool answered = m_result.has_value();
    m_form->setVisible(!answered);
    m_done->setVisible(answered);
    m_screenshotButton->setText(
        m_claim.screenshot ? QStringLiteral("Change Screenshot…") : QStringLiteral("Add a Screenshot…"));
    m_screenshotName->setText(m_claim.screenshot ? QFileInfo(*m_claim.screenshot).fileName() : QString());
    m_screenshotName->setVisible(m_claim.screenshot.has_value());
    m_errorRow->setError(m_error.value_or(QString()));
    m_close->setText(answered ? QStringLiteral("Done") : QStringLiteral("Cancel"));
    m_send->setVisible(!answered);
    m_send->setEnabled(isReady() && !m_sending);
    // The sheet fits what it shows at its width: an error line, or the
    // shorter answer.
    layout()->activate();
    resize(width(), layout()->hasHeightForWidth() ? layout()->heightForWidth(width()) : sizeHint().height());
}
