#include "ordercodes.h"

#include "ui/icons.h"
#include "ui/style.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace OrderCodes {

std::optional<Line> discountLine(const std::optional<Rewards::Discount> &discount)
{
    if (!discount)
        return std::nullopt;
    if (!discount->valid || !discount->percent)
        return Line { QStringLiteral("exclamationmark.circle"),
            QStringLiteral("That code doesn't work, or it's been used."), Line::Ink::Secondary };
    const QString percent = QString::number(*discount->percent);
    if (discount->kind == QLatin1String("referral"))
        return Line { QStringLiteral("tag.fill"),
            QStringLiteral("Friends of Friends: ") + percent + QStringLiteral("% off the book.") };
    return Line { QStringLiteral("tag.fill"),
        percent + QStringLiteral("% off the book, from sharing your Wrapped.") };
}

std::optional<Line> giftLine(
    const std::optional<Ordering::Gift> &gift, const std::optional<OrderTotal::Price> &price, int percent)
{
    if (!gift)
        return std::nullopt;
    if (!gift->valid || !gift->balanceCents)
        return Line { QStringLiteral("exclamationmark.circle"),
            QStringLiteral("That code doesn't work. Check it against the card, dashes and all."),
            Line::Ink::Secondary };
    const QString giver = gift->from ? QStringLiteral(" from ") + *gift->from : QString();
    const qint64 balance = *gift->balanceCents;
    const qint64 remaining = (price ? price->dueCents(percent) : 0) - balance;
    if (remaining < 1)
        return Line { QStringLiteral("gift.fill"),
            QStringLiteral("The gift card") + giver + QStringLiteral(" covers all of it.") };
    // What a percentage leaves is said to the cent, as the order button and
    // the payment page say it.
    const QString left = percent != 0 ? Pricing::cents(int(remaining))
                                      : QStringLiteral("$") + QString::number(remaining / 100);
    return Line { QStringLiteral("gift.fill"),
        QStringLiteral("The gift card") + giver + QStringLiteral(" takes off $")
            + QString::number(balance / 100) + QStringLiteral(". ") + left
            + QStringLiteral(" left to pay.") };
}

} // namespace OrderCodes

SymbolLine::SymbolLine(Style::Text style, QWidget *parent)
    : QWidget(parent)
    , m_symbolSize(style == Style::Text::Callout ? 14 : 16)
    , m_symbol(new QLabel(this))
    , m_text(Style::label(QString(), style))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    // As tall as the first line of text, so the symbol sits beside it.
    m_symbol->setFixedSize(m_symbolSize + 2, QFontMetrics(m_text->font()).height());
    m_symbol->setAlignment(Qt::AlignCenter);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(m_symbol, 0, Qt::AlignTop);
    row->addWidget(m_text, 1);
    hide();
}

void SymbolLine::setLine(const std::optional<OrderCodes::Line> &line)
{
    if (m_line == line)
        return;
    m_line = line;
    paintLine();
}

QString SymbolLine::text() const
{
    return m_line ? m_line->text : QString();
}

void SymbolLine::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange)
        paintLine();
}

void SymbolLine::paintLine()
{
    setVisible(m_line.has_value());
    if (!m_line)
        return;
    const QColor ink
        = m_line->ink == OrderCodes::Line::Ink::Brand ? Style::brand() : Style::color(Style::Tone::Secondary);
    m_symbol->setPixmap(Icons::pixmap(m_line->symbol, m_symbolSize, ink));
    m_text->setText(m_line->text);
    QPalette p = m_text->palette();
    p.setColor(QPalette::WindowText, ink);
    m_text->setPalette(p);
}

CodeRow::CodeRow(const QString &placeholder, QWidget *parent)
    : QWidget(parent)
    , m_field(new QLineEdit(this))
    , m_apply(new QPushButton(QStringLiteral("Apply"), this))
    , m_line(new SymbolLine(Style::Text::Callout, this))
{
    m_fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_fixed.setPixelSize(Style::font(Style::Text::Body).pixelSize());
    m_field->setPlaceholderText(placeholder);
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
    connect(m_field, &QLineEdit::returnPressed, this, &CodeRow::checkRequested);
    connect(m_apply, &QPushButton::clicked, this, &CodeRow::checkRequested);
}

void CodeRow::setCode(const QString &code)
{
    if (m_field->text() != code)
        m_field->setText(code);
    m_apply->setEnabled(!code.isEmpty());
}

void CodeRow::setLine(const std::optional<OrderCodes::Line> &line)
{
    m_line->setLine(line);
}

void CodeRow::fitFont()
{
    m_field->setFont(m_field->text().isEmpty() ? Style::font(Style::Text::Body) : m_fixed);
}
