#include "statusline.h"

#include "icons.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>

namespace {

const QString failureMark = QStringLiteral("exclamationmark.triangle");

} // namespace

StatusLine::StatusLine(Style::Text style, QWidget *parent)
    : QWidget(parent)
    , m_symbol(new QLabel(this))
    , m_text(Style::label(QString(), style))
{
    // A little taller than the letters, as the desktop's symbols beside text.
    m_symbolSize = qRound(m_text->font().pixelSize() * 1.2);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    // As tall as the first line of text, so the symbol sits beside it.
    m_symbol->setFixedSize(m_symbolSize + 2, QFontMetrics(m_text->font()).height());
    m_symbol->setAlignment(Qt::AlignCenter);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(m_symbol, 0, Qt::AlignTop);
    row->addWidget(m_text, 1);
    hide();
}

void StatusLine::setStatus(const std::optional<Status> &status)
{
    if (m_status == status)
        return;
    m_status = status;
    paintStatus();
}

QString StatusLine::text() const
{
    return m_status ? m_status->text : QString();
}

QColor StatusLine::ink(Status::Kind kind)
{
    return kind == Status::Kind::Failure ? Style::error() : Style::success();
}

void StatusLine::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange)
        paintStatus();
}

void StatusLine::paintStatus()
{
    setVisible(m_status && !m_status->text.isEmpty());
    if (!m_status)
        return;
    const QColor colour = ink(m_status->kind);
    const QString symbol = m_status->kind == Status::Kind::Failure ? failureMark : m_status->symbol;
    m_symbol->setPixmap(Icons::pixmap(symbol, m_symbolSize, colour));
    m_text->setText(m_status->text);
    // A label takes its text role from the ground it lies on (Text on a
    // field's, ButtonText on a button's), so every one of them is coloured.
    QPalette p = m_text->palette();
    for (const QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        p.setColor(role, colour);
    m_text->setPalette(p);
}
