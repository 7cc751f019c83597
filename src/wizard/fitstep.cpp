#include "fitstep.h"

#include "model/day.h"
#include "ui/icons.h"
#include "ui/style.h"
#include "ui/tabularnumber.h"
#include "volumestrip.h"
#include "wizardmodel.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

TabularNumber *figure()
{
    auto *value = new TabularNumber;
    QFont font = Style::font(Style::Text::LargeTitle, Style::Weight::Semibold);
    font.setPixelSize(30);
    value->setFont(font);
    return value;
}

} // namespace

FitStep::FitStep(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_content(new QWidget)
    , m_sentence(new QLabel)
    , m_strip(new VolumeStrip(model))
    , m_messages(figure())
    , m_pages(figure())
    , m_books(figure())
    , m_booksLabel(Style::label(QString(), Style::Text::Body, Style::Tone::Secondary))
    , m_fits(new QWidget)
    , m_choice(new QWidget)
    , m_all(new QRadioButton)
    , m_one(new QRadioButton)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_content);

    auto *column = new QVBoxLayout(m_content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(20);
    m_sentence->setTextFormat(Qt::RichText);
    m_sentence->setWordWrap(true);
    m_sentence->setFont(Style::font(Style::Text::Title2));
    column->addWidget(m_sentence);
    column->addWidget(m_strip);

    auto *figures = new QHBoxLayout;
    figures->setSpacing(28);
    figures->addWidget(stat(
        m_messages, Style::label(QStringLiteral("messages"), Style::Text::Body, Style::Tone::Secondary)));
    figures->addWidget(
        stat(m_pages, Style::label(QStringLiteral("pages"), Style::Text::Body, Style::Tone::Secondary)));
    figures->addWidget(stat(m_books, m_booksLabel));
    figures->addStretch(1);
    column->addLayout(figures);

    auto *fits = new QHBoxLayout(m_fits);
    fits->setContentsMargins(0, 0, 0, 0);
    fits->setSpacing(6);
    auto *check = new QLabel;
    check->setPixmap(Icons::pixmap(QStringLiteral("checkmark.circle.fill"), 16, Style::success()));
    fits->addWidget(check);
    auto *fitsText = new QLabel(QStringLiteral("It all fits in one book."));
    QPalette palette = fitsText->palette();
    palette.setColor(QPalette::WindowText, Style::success());
    fitsText->setPalette(palette);
    fits->addWidget(fitsText);
    fits->addStretch(1);
    column->addWidget(m_fits);

    auto *choice = new QVBoxLayout(m_choice);
    choice->setContentsMargins(0, 0, 0, 0);
    choice->setSpacing(8);
    auto *group = new QButtonGroup(m_choice);
    group->addButton(m_all);
    group->addButton(m_one);
    choice->addWidget(m_all);
    choice->addWidget(m_one);
    column->addWidget(m_choice);

    connect(m_all, &QRadioButton::clicked, this, [this] { m_model->setOneBook(false); });
    connect(m_one, &QRadioButton::clicked, this, [this] { m_model->setOneBook(true); });
    connect(model, &WizardModel::changed, this, &FitStep::refresh);
    refresh();
}

QWidget *FitStep::stat(TabularNumber *value, QLabel *label)
{
    auto *box = new QWidget;
    auto *column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(value);
    label->setWordWrap(false);
    column->addWidget(label);
    return box;
}

void FitStep::refresh()
{
    const std::optional<Insights> &insights = m_model->insights();
    m_content->setVisible(insights.has_value());
    if (!insights)
        return;
    const int limit = m_model->limit();
    const PageModel pageModel = m_model->pageModel();
    m_sentence->setText(
        QStringLiteral("One book holds <b>%1</b> of you and %2, up to %3 pages.")
            .arg(insights->bookSpan(m_model->from(), m_model->to(), limit, pageModel).toHtmlEscaped(),
                insights->them.toHtmlEscaped(), QString::number(limit)));
    m_strip->refresh();

    m_messages->setText(Style::number(m_model->messageCount()));
    m_pages->setText(QStringLiteral("\u2248 ") + Style::number(m_model->pages()));
    const int volumes = m_model->volumes();
    m_books->setText(QString::number(volumes));
    m_booksLabel->setText(volumes == 1 ? QStringLiteral("book") : QStringLiteral("books"));

    const int total = insights->estimatedPages(m_model->from(), m_model->to(), pageModel);
    const bool fits = total <= limit;
    m_fits->setVisible(fits);
    m_choice->setVisible(!fits);
    if (!fits) {
        const int all = int(std::ceil(double(total) / double(limit)));
        m_all->setText(QStringLiteral("Print it all, as %1 books").arg(all));
        m_one->setText(QStringLiteral("Keep it to one book, ending ")
            + longDay(insights->lastDayFitting(m_model->from(), limit, pageModel)));
        m_all->setChecked(!m_model->isOneBook());
        m_one->setChecked(m_model->isOneBook());
    }
}
