#include "formsection.h"

#include "style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

// The rounded card the rows sit on, with a hairline between two rows.
class FormSection::Card : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor fill = Style::surface(Style::Surface::Section, palette());
        QColor edge = Style::color(Style::Tone::Quaternary, palette());
        painter.setPen(QPen(edge, 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);

        painter.setRenderHint(QPainter::Antialiasing, false);
        const QList<QWidget *> rows = findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
        QList<QWidget *> shown;
        for (QWidget *row : rows) {
            if (row->isVisible())
                shown.append(row);
        }
        std::sort(shown.begin(), shown.end(), [](QWidget *a, QWidget *b) { return a->y() < b->y(); });
        for (int i = 1; i < shown.size(); ++i) {
            const int y = shown[i]->y();
            painter.drawLine(12, y, width() - 1, y);
        }
    }
};

FormSection::FormSection(const QString &header, const QString &footer, QWidget *parent)
    : QWidget(parent)
    , m_header(Style::label(header, Style::Text::Subheadline, Style::Tone::Secondary))
    , m_footer(Style::label(footer, Style::Text::Caption, Style::Tone::Secondary))
    , m_card(new Card)
    , m_rows(new QVBoxLayout(m_card))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);
    m_header->setFont(Style::font(Style::Text::Subheadline, Style::Weight::Semibold));
    m_header->setContentsMargins(4, 0, 4, 0);
    m_footer->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(m_header);
    layout->addWidget(m_card);
    layout->addWidget(m_footer);
    m_header->setVisible(!header.isEmpty());
    m_footer->setVisible(!footer.isEmpty());
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(0);
}

QWidget *FormSection::addRow(QWidget *content)
{
    return insertRow(m_rows->count(), content);
}

QWidget *FormSection::insertRow(int index, QWidget *content)
{
    auto *row = new QWidget(m_card);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(12, 7, 10, 7);
    layout->setSpacing(8);
    layout->addWidget(content);
    m_rows->insertWidget(index, row);
    // Shown now, not on the next turn of the event loop, so that a section
    // reads the same as soon as a refresh has built it.
    row->show();
    m_card->update();
    return row;
}

QWidget *FormSection::addRow(const QString &label, QWidget *value)
{
    auto *content = new QWidget;
    auto *layout = new QHBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    QLabel *name = Style::label(label);
    name->setWordWrap(false);
    // Tied to its value, a screen reader names the field by it. The names
    // of rows are the app's own words, never with an "&" that a buddy would
    // take for a shortcut mark.
    name->setBuddy(value);
    layout->addWidget(name);
    layout->addWidget(value, 1);
    m_names.append(name);
    alignNames();
    return addRow(content);
}

void FormSection::alignNames()
{
    // One column of names: every value starts where the longest name ends.
    m_names.removeAll(nullptr);
    int widest = 0;
    for (const QPointer<QLabel> &name : std::as_const(m_names))
        widest = std::max(widest, name->sizeHint().width());
    for (const QPointer<QLabel> &name : std::as_const(m_names))
        name->setMinimumWidth(widest);
}

void FormSection::moveRow(QWidget *row, int index)
{
    if (m_rows->indexOf(row) == index)
        return;
    m_rows->removeWidget(row);
    m_rows->insertWidget(index, row);
    m_card->update();
}

int FormSection::rowCount() const
{
    return m_rows->count();
}

QLineEdit *FormSection::field(const QString &placeholder)
{
    auto *field = new QLineEdit;
    field->setPlaceholderText(placeholder);
    return field;
}

void FormSection::setFooter(const QString &footer)
{
    m_footer->setText(footer);
    m_footer->setVisible(!footer.isEmpty());
}

QString FormSection::header() const
{
    return m_header->text();
}
