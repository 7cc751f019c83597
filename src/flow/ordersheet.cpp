#include "ordersheet.h"

#include "addressform.h"
#include "ordercodes.h"
#include "ordermodel.h"
#include "ui/errors.h"
#include "ui/spinner.h"
#include "ui/style.h"
#include "ui/unopenedpage.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int sheetWidth = 460;

bool isStripe(const std::optional<QString> &mode)
{
    return mode == QLatin1String("stripe");
}

bool isOff(const std::optional<QString> &mode)
{
    return mode == QLatin1String("off");
}

} // namespace

OrderSheet::OrderSheet(QWidget *parent, std::shared_ptr<Project> project, std::optional<Pricing> pricing)
    : Sheet(parent, sheetWidth)
    , m_heading(Style::label(QString(), Style::Text::Title2))
    , m_modeSpinner(new Spinner(Spinner::Size::Regular))
    , m_closed(
          Style::label(QStringLiteral("Ordering opens soon. Your book is ready, and you can save the PDF "
                                      "now and order the printed copy when we open."),
              Style::Text::Body, Style::Tone::Secondary))
    , m_form(new QWidget)
    , m_progress(new QWidget)
    , m_progressTitle(Style::label(QString(), Style::Text::Body))
    , m_progressDetail(Style::label(QString(), Style::Text::Body, Style::Tone::Secondary))
    , m_done(new StatusLine(Style::Text::Body))
    , m_unopened(new UnopenedPage)
    , m_error(new ErrorRow)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // A placing still under way for this book is shown rather than begun again.
    m_model = OrderModel::placing(project.get());
    if (!m_model)
        m_model = OrderModel::make(std::move(project), std::move(pricing));

    m_heading->setFont(Style::font(Style::Text::Title2, Style::Weight::Semibold));
    body()->setSpacing(18);
    body()->addWidget(m_heading);
    body()->addWidget(m_modeSpinner, 0, Qt::AlignHCenter);
    body()->addWidget(m_closed);

    buildReadyForm(m_form);
    body()->addWidget(m_form);

    auto *progressRow = new QHBoxLayout(m_progress);
    progressRow->setContentsMargins(0, 4, 0, 4);
    progressRow->setSpacing(10);
    progressRow->addWidget(new Spinner(Spinner::Size::Small));
    m_progressTitle->setWordWrap(false);
    m_progressDetail->setWordWrap(false);
    progressRow->addWidget(m_progressTitle);
    progressRow->addWidget(m_progressDetail);
    progressRow->addStretch(1);
    body()->addWidget(m_progress);
    body()->addWidget(m_done);
    body()->addWidget(m_unopened);

    body()->addWidget(m_error);

    m_dismiss = addButton(QStringLiteral("Cancel"), Role::Cancel);
    m_order = addButton(QStringLiteral("Send It to Us"), Role::Confirm);
    // Return orders only while ordering is allowed: the button is disabled
    // until then, and hidden once the order is on its way.
    setDefaultButton(m_order);

    connectModel();
    refresh();
}

OrderSheet::~OrderSheet() = default;

void OrderSheet::buildReadyForm(QWidget *form)
{
    m_intro = Style::label(QString(), Style::Text::Body, Style::Tone::Secondary);
    m_email = new QLineEdit;
    m_email->setPlaceholderText(QStringLiteral("Your email"));
    m_email->setAccessibleName(m_email->placeholderText());
    m_discount = new CodeRow(QStringLiteral("Discount or Friends of Friends code (optional)"));
    m_gift = new CodeRow(QStringLiteral("Gift card code (optional)"));
    m_address = new AddressForm;

    auto *column = new QVBoxLayout(form);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);
    column->addWidget(m_intro);
    column->addWidget(m_email);
    column->addWidget(m_discount);
    column->addWidget(m_gift);
    column->addWidget(m_address);
}

void OrderSheet::connectModel()
{
    OrderModel *model = m_model.get();
    connect(m_email, &QLineEdit::textEdited, model, &OrderModel::setEmail);
    connect(m_discount, &CodeRow::codeEdited, model, &OrderModel::setDiscountCode);
    connect(m_discount, &CodeRow::checkRequested, model, &OrderModel::checkDiscount);
    connect(m_gift, &CodeRow::codeEdited, model, &OrderModel::setGiftCode);
    connect(m_gift, &CodeRow::checkRequested, model, &OrderModel::checkGift);
    connect(m_address, &AddressForm::addressEdited, model, &OrderModel::setAddress);
    connect(m_dismiss, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_order, &QPushButton::clicked, model, &OrderModel::go);
    connect(m_unopened, &UnopenedPage::retryRequested, model, &OrderModel::openPage);

    connect(model, &OrderModel::changed, this, &OrderSheet::refresh);
    Project *project = model->project().get();
    connect(project, &Project::bookChanged, this, &OrderSheet::refresh);
    connect(project, &Project::layoutChanged, this, &OrderSheet::refresh);
}

void OrderSheet::showEvent(QShowEvent *event)
{
    Sheet::showEvent(event);
    if (!m_modeAsked && !m_model->mode()) {
        m_modeAsked = true;
        readMode();
    }
}

QCoro::Task<void> OrderSheet::readMode()
{
    QPointer<OrderSheet> self = this;
    const QString mode = co_await Ordering::mode();
    // The question belongs to this showing of the sheet: closed, it is dropped.
    if (!self)
        co_return;
    m_model->setMode(mode);
    if (qEnvironmentVariableIsSet("QUORVEL_TEST_ORDER") && mode != QLatin1String("off")) {
        m_model->setEmail(qEnvironmentVariable("QUORVEL_TEST_ORDER"));
        m_model->go();
    }
}

void OrderSheet::refresh()
{
    const std::optional<QString> mode = m_model->mode();
    const OrderModel::Stage stage = m_model->stage();
    const bool ready = stage.kind == OrderModel::Stage::Kind::Ready;
    const bool open = mode && !isOff(mode);

    m_heading->setText(
        QStringLiteral("Order “") + m_model->project()->book().front.title + QStringLiteral("”"));
    setWindowTitle(m_heading->text());
    m_modeSpinner->setVisible(!mode);
    m_closed->setVisible(isOff(mode));

    const bool showForm = open && ready;
    m_form->setVisible(showForm);
    if (showForm)
        refreshReadyForm();
    // Each time the form comes (back), a code already in the discount field
    // is looked up, as the sheet's own share code must be.
    if (showForm && !m_formWasShown && !m_model->discountCode().isEmpty())
        m_model->checkDiscount();
    m_formWasShown = showForm;

    refreshProgress();
    const bool done = open && stage.kind == OrderModel::Stage::Kind::Done;
    const bool unopened = done && !stage.page.isEmpty();
    m_done->setStatus(done && !unopened ? std::optional(
                          StatusLine::Status::success(QStringLiteral("checkmark.circle.fill"), stage.message))
                                        : std::nullopt);
    m_unopened->setPage(unopened ? QStringLiteral("The payment page didn't open in your browser. Open this "
                                                  "address in a browser to pay for your book.")
                                 : QString(),
        unopened ? stage.page : QUrl());

    m_error->setError(m_model->error().value_or(QString()));

    m_dismiss->setText(ready || isOff(mode) ? QStringLiteral("Cancel") : QStringLiteral("Close"));
    m_order->setVisible(!isOff(mode) && ready);
    m_order->setText(
        isStripe(mode) ? QStringLiteral("Continue to Payment") : QStringLiteral("Send It to Us"));
    m_order->setEnabled(m_model->canOrder());

    // The height follows what the stage shows, at the sheet's fixed width:
    // the layouts of what was just shown or hidden are settled first, or the
    // sheet keeps the room of what it showed before.
    fitToContent();
}

void OrderSheet::refreshReadyForm()
{
    m_intro->setText(isStripe(m_model->mode())
            ? QStringLiteral(
                "We'll make the print files on this computer and send only those. You'll pay on a "
                "secure Stripe page, and it goes to the printer.")
            : QStringLiteral(
                "We'll make the print files on this computer and send only those. We'll email you "
                "to confirm the address and payment before anything is printed."));
    if (m_email->text() != m_model->email())
        m_email->setText(m_model->email());
    m_discount->setCode(m_model->discountCode());
    m_discount->setLine(OrderCodes::discountLine(m_model->discount()));
    m_gift->setCode(m_model->giftCode());
    m_gift->setLine(
        OrderCodes::giftLine(m_model->gift(), m_model->price(), m_model->discountPercent().value_or(0)));
    m_address->setVisible(m_model->giftCovers());
    m_address->setAddress(m_model->address());
}

void OrderSheet::refreshProgress()
{
    const OrderModel::Stage stage = m_model->stage();
    QString title;
    QString detail;
    switch (stage.kind) {
    case OrderModel::Stage::Kind::Preparing:
        title = QStringLiteral("Making the print files");
        if (stage.of >= 2)
            detail = QStringLiteral("Book %1 of %2").arg(stage.step).arg(stage.of);
        break;
    case OrderModel::Stage::Kind::Uploading:
        title = QStringLiteral("Sending them");
        detail = QStringLiteral("%1 of %2").arg(stage.step).arg(stage.of);
        break;
    case OrderModel::Stage::Kind::Handing:
        title = isStripe(m_model->mode()) ? QStringLiteral("Opening the payment page")
                                          : QStringLiteral("Placing the order");
        break;
    case OrderModel::Stage::Kind::Done:
    case OrderModel::Stage::Kind::Ready:
        break;
    }
    m_progress->setVisible(!title.isEmpty() && m_model->mode() && !isOff(m_model->mode()));
    m_progressTitle->setText(title);
    m_progressDetail->setText(detail);
    m_progressDetail->setVisible(!detail.isEmpty());
}
