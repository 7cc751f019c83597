#include "consentview.h"

#include "flow/handoffslot.h"
#include "model/consent.h"
#include "model/day.h"
#include "ui/centredcolumn.h"
#include "ui/checklabel.h"
#include "ui/icons.h"
#include "ui/style.h"
#include "ui/textwrap.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

// The book symbol on a soft tile of the brand colour.
class BookTile : public QWidget
{
public:
    explicit BookTile(QWidget *parent = nullptr)
        : QWidget(parent)
    {
        setFixedSize(56, 56);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor tile = Style::brand();
        tile.setAlphaF(0.12);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), 14, 14);
        painter.fillPath(path, tile);
        const int size = 30;
        painter.drawPixmap(QRect((width() - size) / 2, (height() - size) / 2, size, size),
            Icons::pixmap(QStringLiteral("book.closed"), size, Style::brand()));
    }
};

// A button with its explanation beside it, the text's first line level
// with the button's.
QHBoxLayout *explainedButton(QPushButton *button, const QString &explanation)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(10);
    QLabel *text = Style::label(explanation, Style::Text::Callout, Style::Tone::Secondary);
    text->setContentsMargins(0, (button->sizeHint().height() - text->fontMetrics().height()) / 2, 0, 0);
    TextWrap::keep(text, TextWrap::Lines::NoLoneWord);
    row->addWidget(button, 0, Qt::AlignTop);
    row->addWidget(text, 1, Qt::AlignTop);
    return row;
}

QString okToPrintText(const QString &name)
{
    return QStringLiteral("I'm in this conversation, and ") + name
        + QStringLiteral(" is happy to be in a printed book.");
}

QString pickerItem(const QString &name, int messages)
{
    return name + QStringLiteral(" (") + Style::number(messages) + QStringLiteral(" messages)");
}

QString readsText(const Conversation &conversation, const QString &name)
{
    return QStringLiteral("To make it, Quorvel reads your messages with ") + name + QStringLiteral(": ")
        + Style::number(conversation.messages) + QStringLiteral(" of them, going back to ")
        + longDay(conversation.first)
        + QStringLiteral(". It reads them here, on this computer. Nothing is sent anywhere until you order, "
                         "and then only the finished book.");
}

// The column centred in the pane, scrolling down when a long name makes
// the texts taller than the window.
QScrollArea *centredScrolling(QWidget *column)
{
    auto *page = new QWidget;
    CentredColumn::place(page, column, 100, 48);
    auto *scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    // Tab stops at the controls inside, and the column follows them.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(page);
    return scroll;
}

} // namespace

ConsentView::ConsentView(
    const Conversation &conversation, const QString &name, Actions actions, QWidget *parent)
    : QWidget(parent)
    , m_conversation(conversation)
    , m_actions(std::move(actions))
    , m_title(Style::label(QStringLiteral("Make a book with ") + name, Style::Text::Title))
    , m_reads(Style::label(readsText(conversation, name), Style::Text::Title3, Style::Tone::Secondary))
    , m_okToPrint(new QCheckBox)
    , m_okToPrintLabel(new CheckLabel(okToPrintText(name), m_okToPrint))
    , m_read(new QPushButton(QStringLiteral("Read Our Messages")))
{
    auto *column = new QWidget;
    column->setMaximumWidth(640);
    auto *stack = new QVBoxLayout(column);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(22);

    stack->addWidget(new BookTile);
    QFont titleFont = Style::font(Style::Text::Title, Style::Weight::Bold);
    titleFont.setPixelSize(28);
    m_title->setFont(titleFont);
    stack->addWidget(m_title);
    stack->addWidget(m_reads);
    if (conversation.people && conversation.people->size() >= 2)
        stack->addLayout(pickerRow());
    stack->addLayout(okToPrintRow());
    stack->addLayout(readRow());
    addOtherWays(stack);
    stack->addWidget(Style::label(
        QStringLiteral(
            "You can delete the book, and everything Quorvel made from these messages, at any time."),
        Style::Text::Callout, Style::Tone::Tertiary));

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(centredScrolling(column));
}

QLayout *ConsentView::pickerRow()
{
    m_picker = new QComboBox;
    m_picker->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // As wide as the longest name where there is room; a whole name can
    // be wider than the pane, and the picker then narrows.
    m_picker->setMinimumWidth(160);
    for (const Conversation::LogPerson &person : *m_conversation.people) {
        m_picker->addItem(pickerItem(person.name, person.messages), person.name);
        m_messages.append(person.messages);
    }
    // The stored choice when it still names someone here, else the one
    // beside the person the export says the chat is with, else the other
    // one of the person its name names, else the guess: the one the name
    // shown was made with. Only a button stores it: a user who looks and
    // leaves has chosen nobody.
    m_picker->setCurrentIndex(std::max(0, m_picker->findData(Consent::user(m_conversation))));
    m_me = m_picker->currentData().toString();
    connect(m_picker, &QComboBox::currentIndexChanged, this,
        [this] { choose(m_picker->currentData().toString()); });
    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    QLabel *label = Style::label(QStringLiteral("Which one is you?"), Style::Text::Body);
    label->setWordWrap(false);
    label->setBuddy(m_picker);
    row->addWidget(label);
    row->addWidget(m_picker);
    row->addStretch(1);
    return row;
}

QLayout *ConsentView::okToPrintRow()
{
    m_okToPrint->setAccessibleName(m_okToPrintLabel->text());
    m_okToPrintLabel->setFont(Style::font(Style::Text::Body));
    connect(m_okToPrint, &QCheckBox::toggled, m_read, &QWidget::setEnabled);
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(m_okToPrint, 0, Qt::AlignTop);
    row->addWidget(m_okToPrintLabel, 1);
    return row;
}

QLayout *ConsentView::readRow()
{
    Style::setProminent(m_read);
    m_read->setMinimumHeight(30);
    m_read->setEnabled(false);
    connect(m_read, &QPushButton::clicked, this, [this] { act(m_actions.agree); });
    // Return reads, window-wide, once the box is ticked.
    for (const int key : { Qt::Key_Return, Qt::Key_Enter }) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] {
            if (m_read->isEnabled() && m_read->isVisible())
                m_read->click();
        });
    }
    auto *row = new QHBoxLayout;
    row->addWidget(m_read);
    row->addStretch(1);
    return row;
}

void ConsentView::addOtherWays(QVBoxLayout *stack)
{
    // The explained buttons share one width, so their explanations start at
    // one edge.
    QList<QPushButton *> explained;
    if (m_actions.wrapped) {
        auto *wrapped = new QPushButton(QStringLiteral("See Our Wrapped"));
        explained.append(wrapped);
        wrapped->setAutoDefault(false);
        stack->addLayout(explainedButton(wrapped,
            QStringLiteral("A free set of cards with the numbers from your ")
                + (m_conversation.group ? QStringLiteral("group chat") : QStringLiteral("conversation"))
                + QStringLiteral(
                    ", read on this computer. No message is quoted on a card, and nothing is printed.")));
        connect(wrapped, &QPushButton::clicked, this, [this] { act(m_actions.wrapped); });
    }

    if (m_actions.web) {
        const QString host = HandoffSlot::host();
        auto *web = new QPushButton(QStringLiteral("Make It on ") + host);
        explained.append(web);
        web->setAutoDefault(false);
        stack->addLayout(explainedButton(web,
            QStringLiteral("Sends this conversation, as text, to ") + host
                + QStringLiteral(
                    " and opens it in your browser, to make the Wrapped and the book there, like "
                    "on your phone.")));
        connect(web, &QPushButton::clicked, this, [this] { act(m_actions.web); });
    }
    int widest = 0;
    for (QPushButton *button : std::as_const(explained))
        widest = std::max(widest, button->sizeHint().width());
    for (QPushButton *button : std::as_const(explained))
        button->setMinimumWidth(widest);
}

void ConsentView::setName(const QString &name)
{
    m_title->setText(QStringLiteral("Make a book with ") + name);
    m_reads->setText(readsText(m_conversation, name));
    m_okToPrintLabel->setText(okToPrintText(name));
    m_okToPrint->setAccessibleName(m_okToPrintLabel->text());
}

void ConsentView::choose(const QString &me)
{
    m_me = me;
    // The window's library names the chat anew, a number as its contact.
    if (m_actions.choose) {
        m_actions.choose(me);
        return;
    }
    Consent::setMe(m_conversation, me);
    // A chat export is with the one the user isn't.
    if (const std::optional<QString> other = Consent::otherParty(m_conversation))
        setName(*other);
}

void ConsentView::setMemberNames(const std::function<QString(const QString &)> &memberName)
{
    if (!m_picker)
        return;
    for (int i = 0; i < m_picker->count(); ++i) {
        const QString item = pickerItem(memberName(m_picker->itemData(i).toString()), m_messages.value(i));
        if (m_picker->itemText(i) != item)
            m_picker->setItemText(i, item);
    }
}

void ConsentView::act(const std::function<void()> &action)
{
    if (m_conversation.people && !m_me.isEmpty())
        Consent::setMe(m_conversation, m_me);
    if (action)
        action();
}
