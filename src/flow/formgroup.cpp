#include "formgroup.h"

#include "app/style.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

FormGroup::FormGroup(const QString &heading, QWidget *parent)
    : QWidget(parent)
    , m_box(new QFrame(this))
    , m_rows(new QFormLayout(m_box))
    , m_footer(Style::label(QString(), Style::Text::Callout, Style::Tone::Secondary, this))
{
    m_box->setObjectName(QStringLiteral("formGroupBox"));
    const QColor border = Style::color(Style::Tone::Quaternary);
    m_box->setStyleSheet(
        QStringLiteral("QFrame#formGroupBox { background: palette(base); border: 1px solid %1;"
                       " border-radius: 8px; }")
            .arg(border.name(QColor::HexArgb)));
    m_rows->setContentsMargins(12, 10, 12, 10);
    m_rows->setHorizontalSpacing(12);
    m_rows->setVerticalSpacing(8);
    m_rows->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_rows->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    if (!heading.isEmpty()) {
        QLabel *title = Style::label(heading, Style::Text::Callout, Style::Tone::Secondary, this);
        title->setFont(Style::font(Style::Text::Callout, Style::Weight::Semibold));
        title->setContentsMargins(4, 0, 0, 0);
        column->addWidget(title);
    }
    column->addWidget(m_box);
    m_footer->setContentsMargins(4, 0, 4, 0);
    m_footer->hide();
    column->addWidget(m_footer);
}

void FormGroup::setFooter(const QString &footer)
{
    m_footer->setText(footer);
    m_footer->setVisible(!footer.isEmpty());
}
