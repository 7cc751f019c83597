#include "ordercodes.h"

#include "ui/style.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace OrderCodes {

std::optional<Line> discountLine(const std::optional<Rewards::Discount> &discount)
{
    if (!discount)
        return std::nullopt;
    if (!discount->valid || !discount->percent)
        return Line::failure(QStringLiteral("That code doesn't work, or it's been used."));
    const QString percent = QString::number(*discount->percent);
    if (discount->kind == QLatin1String("referral"))
        return Line::success(QStringLiteral("tag.fill"),
            QStringLiteral("Friends of Friends: ") + percent + QStringLiteral("% off the book."));
    return Line::success(
        QStringLiteral("tag.fill"), percent + QStringLiteral("% off the book, from sharing your Wrapped."));
}

std::optional<Line> giftLine(
    const std::optional<Ordering::Gift> &gift, const std::optional<OrderTotal::Price> &price, int percent)
{
    if (!gift)
        return std::nullopt;
    if (!gift->valid || !gift->balanceCents)
        return Line::failure(
            QStringLiteral("That code doesn't work. Check it against the card, dashes and all."));
    const QString giver = gift->from ? QStringLiteral(" from ") + *gift->from : QString();
    const qint64 balance = *gift->balanceCents;
    const qint64 remaining = (price ? price->dueCents(percent) : 0) - balance;
    if (remaining < 1)
        return Line::success(QStringLiteral("gift.fill"),
            QStringLiteral("The gift card") + giver + QStringLiteral(" covers all of it."));
    // What a percentage leaves is said to the cent, as the order button and
    // the payment page say it.
    const QString left = percent != 0 ? Pricing::cents(int(remaining))
                                      : QStringLiteral("$") + QString::number(remaining / 100);
    return Line::success(QStringLiteral("gift.fill"),
        QStringLiteral("The gift card") + giver + QStringLiteral(" takes off $")
            + QString::number(balance / 100) + QStringLiteral(". ") + left + QStringLiteral(" left to pay."));
}

} // namespace OrderCodes

CodeRow::CodeRow(const QString &placeholder, QWidget *parent)
    : QWidget(parent)
    , m_field(new QLineEdit(this))
    , m_apply(new QPushButton(QStringLiteral("Apply"), this))
    , m_line(new StatusLine(Style::Text::Callout, this))
{
    m_fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_fixed.setPixelSize(Style::font(Style::Text::Body).pixelSize());
    m_field->setPlaceholderText(placeholder);
    // A placeholder goes once the field is typed in; the name stays.
    m_field->setAccessibleName(placeholder);
    fitFont();
    connect(m_field, &QLineEdit::textChanged, this, &CodeRow::fitFont);
    m_field->setClearButtonEnabled(false);
    m_apply->setAutoDefault(false);
    m_apply->setEnabled(false);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    row->addWidget(m_field, 1);
    row->addWidget(m_apply);
    column->addLayout(row);
    column->addWidget(m_line);

    connect(m_field, &QLineEdit::textEdited, this, [this](const QString &code) {
        m_apply->setEnabled(!code.isEmpty());
        emit codeEdited(code);
    });
    // An empty field checks too: the answer is none and the old line goes.
    m_field->installEventFilter(this);
    connect(m_apply, &QPushButton::clicked, this, &CodeRow::checkRequested);
}

bool CodeRow::eventFilter(QObject *watched, QEvent *event)
{
    // Return here is the code's, all of it: let through, it would go on to
    // the sheet's default button and place the order.
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit checkRequested();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CodeRow::setCode(const QString &code)
{
    if (m_field->text() != code)
        m_field->setText(code);
    m_apply->setEnabled(!code.isEmpty());
}

void CodeRow::setLine(const std::optional<OrderCodes::Line> &line)
{
    m_line->setStatus(line);
}

void CodeRow::fitFont()
{
    m_field->setFont(m_field->text().isEmpty() ? Style::font(Style::Text::Body) : m_fixed);
}
