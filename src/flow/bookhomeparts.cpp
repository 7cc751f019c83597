#include "bookhomeparts.h"

#include "bookpage.h"
#include "ui/hairline.h"
#include "ui/icons.h"
#include "ui/softshadow.h"
#include "ui/spinner.h"
#include "ui/style.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace BookHomeParts {

QWidget *divider(QWidget *parent)
{
    return new Hairline(Qt::Horizontal, parent);
}

QVBoxLayout *column(QWidget *owner, int spacing)
{
    auto *layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QLabel *heading(const QString &text, QWidget *parent)
{
    return Style::label(text, Style::Text::Headline, Style::Tone::Primary, parent);
}

} // namespace BookHomeParts

namespace {

// A front panel is 5 inches wide and 8 high.
constexpr double frontAspect = 5.0 / 8.0;
// The shadow fades out within the room the widget keeps around the
// picture: its blur reaches one and a half times its radius.
constexpr qreal shadowRadius = 12;
constexpr qreal shadowDrop = 6;

} // namespace

CoverPicture::CoverPicture(QWidget *parent)
    : QWidget(parent)
    , m_spinner(new Spinner(Spinner::Size::Regular, this))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFixedSize(sizeHint());
    const QRect box = frame();
    m_spinner->move(
        box.center() - QPoint(m_spinner->sizeHint().width() / 2, m_spinner->sizeHint().height() / 2));
}

QSize CoverPicture::sizeHint() const
{
    return { width + 2 * shadowRoom, int(std::round(width / frontAspect)) + 2 * shadowRoom };
}

QRect CoverPicture::frame() const
{
    return { shadowRoom, pictureTop, width, int(std::round(width / frontAspect)) };
}

void CoverPicture::setPicture(const std::optional<QImage> &picture)
{
    m_picture = picture;
    m_spinner->setVisible(!picture);
    update();
}

void CoverPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect box = frame();
    if (!m_picture) {
        p.setPen(Qt::NoPen);
        p.setBrush(Style::color(Style::Tone::Quaternary));
        p.drawRoundedRect(box, 4, 4);
        return;
    }
    // Scaled to fit the frame, proportions kept, sitting on its bottom edge.
    QSize size = m_picture->size().scaled(box.size(), Qt::KeepAspectRatio);
    const QRect target(
        QPoint(box.left() + (box.width() - size.width()) / 2, box.bottom() + 1 - size.height()), size);
    SoftShadow::paint(p, target, 3, shadowRadius, QPointF(0, shadowDrop), QColor(0, 0, 0, 72));
    QPainterPath clip;
    clip.addRoundedRect(target, 3, 3);
    p.setClipPath(clip);
    p.drawImage(target, *m_picture);
}

ExtraRow::ExtraRow(const QString &symbol, const QString &title, const QString &detail, QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(new QLabel(this))
    , m_title(Style::label(title, Style::Text::Body, Style::Tone::Primary, this))
    , m_detail(Style::label(detail, Style::Text::Caption, Style::Tone::Secondary, this))
    , m_chevron(new QLabel(this))
{
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(title);
    m_symbol->setPixmap(Icons::pixmap(symbol, 18, Style::brand()));
    m_symbol->setFixedWidth(22);
    m_symbol->setAlignment(Qt::AlignCenter);
    m_chevron->setPixmap(
        Icons::pixmap(QStringLiteral("chevron.right"), 12, Style::color(Style::Tone::Tertiary)));
    for (QLabel *label : { m_symbol, m_title, m_detail, m_chevron }) {
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        // Inside a button a label would take the button's text colour, and
        // the detail would lose its tone.
        label->setForegroundRole(QPalette::WindowText);
    }

    auto *text = new QVBoxLayout;
    text->setSpacing(1);
    text->addWidget(m_title);
    text->addWidget(m_detail);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 4, 4, 4);
    row->setSpacing(12);
    row->addWidget(m_symbol);
    row->addLayout(text, 1);
    row->addWidget(m_chevron);
}

void ExtraRow::setDetail(const QString &detail)
{
    m_detail->setText(detail);
}

QString ExtraRow::title() const
{
    return m_title->text();
}

QString ExtraRow::detail() const
{
    return m_detail->text();
}

QSize ExtraRow::sizeHint() const
{
    return layout()->sizeHint();
}

QSize ExtraRow::minimumSizeHint() const
{
    return layout()->minimumSize();
}

void ExtraRow::paintEvent(QPaintEvent *)
{
    if (!m_hovered && !isDown())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    QColor wash = Style::color(Style::Tone::Quaternary);
    wash.setAlphaF(isDown() ? 0.16 : 0.07);
    p.setBrush(wash);
    p.drawRoundedRect(rect().adjusted(-6, 0, 0, 0), 6, 6);
}

void ExtraRow::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ExtraRow::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

AddonRow::AddonRow(const Pricing::Addon &addon, QWidget *parent)
    : QWidget(parent)
    , m_addon(addon)
    , m_price(new QLabel(this))
{
    const bool available = BookPage::isAvailable(addon);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    if (available) {
        auto *box = new QCheckBox(this);
        box->setAccessibleName(addon.name);
        // The box shows the book's order, not its own idea of a click.
        connect(box, &QCheckBox::clicked, this, &AddonRow::toggled);
        m_box = box;
        row->addWidget(box, 0, Qt::AlignTop);
    } else {
        auto *clock = new QLabel(this);
        clock->setPixmap(Icons::pixmap(QStringLiteral("clock"), 14, Style::color(Style::Tone::Tertiary)));
        clock->setFixedWidth(16);
        clock->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        clock->setContentsMargins(0, 2, 0, 0);
        row->addWidget(clock, 0, Qt::AlignTop);
    }
    auto *text = new QVBoxLayout;
    text->setSpacing(1);
    text->addWidget(Style::label(
        addon.name, Style::Text::Body, available ? Style::Tone::Primary : Style::Tone::Secondary, this));
    text->addWidget(Style::label(addon.detail, Style::Text::Caption, Style::Tone::Secondary, this));
    row->addLayout(text, 1);
    Style::setStyle(m_price, Style::Text::Callout, available ? Style::Tone::Primary : Style::Tone::Tertiary);
    m_price->setAlignment(Qt::AlignRight | Qt::AlignTop);
    row->addWidget(m_price, 0, Qt::AlignTop);
}

void AddonRow::setState(bool on, const QString &price)
{
    if (m_box)
        m_box->setChecked(on);
    m_price->setText(price);
}
