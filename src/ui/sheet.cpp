#include "sheet.h"

#include "keyboardfocus.h"
#include "style.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

Sheet::Sheet(QWidget *parent, int width, Escape escape)
    : QDialog(parent)
    , m_escape(escape)
    , m_body(new QVBoxLayout)
    , m_leading(new QHBoxLayout)
    , m_buttons(new QDialogButtonBox)
{
    setWindowModality(Qt::WindowModal);
    setModal(true);
    setFixedWidth(width);
    setSizeGripEnabled(false);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 22, 24, 20);
    outer->setSpacing(18);
    m_body->setSpacing(12);
    outer->addLayout(m_body);
    // Room the content doesn't fill stays below it, not between its lines.
    outer->addStretch(0);

    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    m_leading->setSpacing(8);
    row->addLayout(m_leading);
    // The box lays out Cancel and Confirm as the desktop's style says.
    row->addWidget(m_buttons, 1);
    outer->addLayout(row);
}

QPushButton *Sheet::addButton(const QString &text, Role role)
{
    auto *button = new QPushButton(text, this);
    button->setAutoDefault(false);
    button->setMinimumWidth(84);
    switch (role) {
    case Role::Other:
        m_leading->addWidget(button);
        break;
    case Role::Cancel:
        m_buttons->addButton(button, QDialogButtonBox::RejectRole);
        break;
    case Role::Confirm:
        Style::setProminent(button);
        m_buttons->addButton(button, QDialogButtonBox::AcceptRole);
        break;
    }
    return button;
}

void Sheet::setDefaultButton(QPushButton *button)
{
    if (m_default)
        m_default->setDefault(false);
    m_default = button;
    if (m_default)
        m_default->setDefault(true);
}

void Sheet::present()
{
    open();
}

void Sheet::fitToContent()
{
    // The content's own layout requests are still queued: settle them now.
    for (QWidget *child : findChildren<QWidget *>()) {
        if (child->layout()) {
            child->layout()->invalidate();
            child->updateGeometry();
        }
    }
    layout()->invalidate();
    layout()->activate();
    const int height = hasHeightForWidth() ? heightForWidth(width()) : sizeHint().height();
    resize(width(), std::max(height, minimumSizeHint().height()));
}

void Sheet::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier
        && m_escape == Escape::Ignored) {
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !m_default) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool Sheet::eventFilter(QObject *watched, QEvent *event)
{
    // The focused button is what Return presses, Cancel included: let
    // through, Return would go on to the default button.
    auto *button = qobject_cast<QPushButton *>(watched);
    if (button && button != m_default && KeyboardFocus::pressedByReturn(button, event))
        return true;
    return QDialog::eventFilter(watched, event);
}

void Sheet::showEvent(QShowEvent *event)
{
    quietButtons();
    fitToContent();
    QDialog::showEvent(event);
}

bool Sheet::event(QEvent *event)
{
    if (event->type() == QEvent::LayoutRequest) {
        // Buttons a screen adds inside the sheet would become defaults when
        // they take the focus; none of them may.
        quietButtons();
        growToContent();
    }
    return QDialog::event(event);
}

void Sheet::growToContent()
{
    // What appears once the sheet shows (a sentence saying what went wrong
    // under a field) needs room of its own. Squeezed, the layout would lay
    // it over the field above, which keeps its minimum height. The layout
    // has just been laid out anew, so its heights are current.
    if (!isVisible())
        return;
    const int needed = std::max(
        hasHeightForWidth() ? heightForWidth(width()) : sizeHint().height(), minimumSizeHint().height());
    if (height() < needed)
        resize(width(), needed);
}

void Sheet::quietButtons()
{
    for (QPushButton *button : findChildren<QPushButton *>()) {
        button->installEventFilter(this);
        button->setAutoDefault(false);
        if (button != m_default)
            button->setDefault(false);
    }
}
