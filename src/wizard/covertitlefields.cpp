#include "covertitlefields.h"

#include "project/project.h"
#include "ui/icons.h"
#include "ui/style.h"
#include "wizardlook.h"
#include "wizardmodel.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A field's row: a quiet rounded fill behind the field, no frame of its own.
class FieldRow : public QWidget
{
public:
    FieldRow(int vertical, QWidget *parent = nullptr)
        : QWidget(parent)
        , m_row(new QHBoxLayout(this))
    {
        m_row->setContentsMargins(12, vertical, 12, vertical);
        m_row->setSpacing(6);
    }
    QHBoxLayout *row() const { return m_row; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
        QColor fill = Style::color(Style::Tone::Primary);
        fill.setAlphaF(Style::appearance() == Color::Appearance::Dark ? 0.07 : 0.045);
        painter.fillPath(shape, fill);
        // Focus in the field rings the whole row, as its own frame is gone.
        QWidget *focused = QApplication::focusWidget();
        if (focused && isAncestorOf(focused)) {
            QColor ring = Style::brand();
            ring.setAlphaF(0.55);
            painter.setPen(QPen(ring, 1.5));
            painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 9.5, 9.5);
        }
    }

private:
    QHBoxLayout *m_row;
};

QLineEdit *plainField(const QString &name, const QString &placeholder, const QFont &font)
{
    auto *field = new QLineEdit;
    field->setAccessibleName(name);
    field->setPlaceholderText(placeholder);
    field->setFont(font);
    field->setFrame(false);
    return field;
}

// Repaints the row when its field gains or loses focus.
class FocusWatch : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            static_cast<QWidget *>(watched)->parentWidget()->update();
        return false;
    }
};

} // namespace

QStringList CoverTitleFields::titleIdeas(const WizardModel &model)
{
    QString me = QStringLiteral("Me");
    for (const BookFile::Person &person : model.project()->book().people) {
        if (person.me) {
            me = person.name;
            break;
        }
    }
    const std::optional<Insights> &insights = model.insights();
    const QString them = insights ? insights->them : QStringLiteral("Them");
    QStringList ideas { me + QStringLiteral(" & ") + them,
        QStringLiteral("Read at ")
            + (insights && insights->latestNight ? *insights->latestNight : QStringLiteral("2:14 AM")) };
    if (insights && !insights->topEmoji.isEmpty())
        ideas.append(QStringLiteral("Mostly ") + insights->topEmoji.first());
    if (!model.colophon().isEmpty())
        ideas.append(QStringLiteral("Us, ") + model.colophon());
    return ideas.mid(0, 4);
}

CoverTitleFields::CoverTitleFields(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    auto *watch = new FocusWatch(this);

    auto *titleRow = new FieldRow(8);
    m_title = plainField(QStringLiteral("Title"), QStringLiteral("The book's title"),
        WizardLook::withEmoji(Style::bookFont(QStringLiteral("EB Garamond"), 26, true)));
    m_title->setObjectName(QStringLiteral("coverTitle"));
    m_title->installEventFilter(watch);
    titleRow->row()->addWidget(m_title, 1);
    m_ideas = new QToolButton;
    m_ideas->setObjectName(QStringLiteral("titleIdeas"));
    m_ideas->setIcon(Icons::icon(QStringLiteral("lightbulb"), Style::color(Style::Tone::Secondary)));
    m_ideas->setIconSize(QSize(18, 18));
    m_ideas->setAutoRaise(true);
    m_ideas->setPopupMode(QToolButton::InstantPopup);
    m_ideas->setToolTip(QStringLiteral("Title ideas from your conversation"));
    m_ideas->setAccessibleName(QStringLiteral("Title ideas from your conversation"));
    m_ideas->setCursor(Qt::PointingHandCursor);
    m_ideasMenu = new QMenu(m_ideas);
    m_ideas->setMenu(m_ideasMenu);
    titleRow->row()->addWidget(m_ideas, 0, Qt::AlignVCenter);
    column->addWidget(titleRow);

    auto *colophonRow = new FieldRow(7);
    m_colophon = plainField(QStringLiteral("Under the title"),
        QStringLiteral("A line under it: names, years, a place"),
        WizardLook::withEmoji(Style::font(Style::Text::Body)));
    m_colophon->setObjectName(QStringLiteral("coverColophon"));
    m_colophon->installEventFilter(watch);
    colophonRow->row()->addWidget(m_colophon, 1);
    column->addWidget(colophonRow);

    connect(m_title, &QLineEdit::textEdited, this, [this](const QString &text) { m_model->setTitle(text); });
    connect(m_colophon, &QLineEdit::textEdited, this,
        [this](const QString &text) { m_model->setColophon(text); });
    connect(m_ideasMenu, &QMenu::aboutToShow, this, &CoverTitleFields::fillIdeas);
    connect(model, &WizardModel::titleChanged, this, &CoverTitleFields::refresh);
    connect(model, &WizardModel::colophonChanged, this, &CoverTitleFields::refresh);
    refresh();
}

void CoverTitleFields::fillIdeas()
{
    m_ideasMenu->clear();
    for (const QString &idea : titleIdeas(*m_model)) {
        QAction *action = m_ideasMenu->addAction(Style::literal(idea));
        action->setFont(WizardLook::withEmoji(m_ideasMenu->font()));
        connect(action, &QAction::triggered, this, [this, idea] { m_model->setTitle(idea); });
    }
}

void CoverTitleFields::refresh()
{
    // Only a change from elsewhere (an idea picked) reaches a field: what is
    // typed is already there.
    if (m_title->text() != m_model->title())
        m_title->setText(m_model->title());
    if (m_colophon->text() != m_model->colophon())
        m_colophon->setText(m_model->colophon());
}
