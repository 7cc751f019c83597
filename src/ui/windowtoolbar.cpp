#include "windowtoolbar.h"

#include "accessibility.h"
#include "icons.h"
#include "keyboardfocus.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QToolButton>

WindowToolbar::WindowToolbar(QWidget *parent)
    : QToolBar(parent)
    , m_search(new QLineEdit(this))
{
    setObjectName(QStringLiteral("windowToolbar"));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIconSize(QSize(18, 18));
    setContextMenuPolicy(Qt::PreventContextMenu);

    auto *stretch = new QWidget(this);
    stretch->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_spacer = addWidget(stretch);

    m_search->setClearButtonEnabled(true);
    QAction *magnifier
        = m_search->addAction(Icons::icon(QStringLiteral("magnifyingglass")), QLineEdit::LeadingPosition);
    // The placeholder changes with the screen and goes once something is
    // typed: the field and its two marks have names of their own.
    m_search->setAccessibleName(QStringLiteral("Search"));
    Accessibility::nameFieldButton(m_search, magnifier, QStringLiteral("Search"));
    Accessibility::nameClearButton(m_search);
    m_search->setFixedWidth(220);
    m_searchAction = addWidget(m_search);
    m_searchAction->setVisible(false);
    // An empty toolbar would be a blank strip over every screen.
    setVisible(false);
}

WindowToolbar *WindowToolbar::of(const QWidget *widget)
{
    if (!widget)
        return nullptr;
    return widget->window()->findChild<WindowToolbar *>(QString(), Qt::FindDirectChildrenOnly);
}

void WindowToolbar::setItems(
    QWidget *owner, const QList<QAction *> &leading, const QList<QAction *> &trailing)
{
    removeItems();
    m_owner = owner;
    m_ownerGone = connect(owner, &QObject::destroyed, this, [this] { removeItems(); });
    for (QAction *action : leading) {
        insertAction(m_spacer, action);
        m_items.append(action);
    }
    for (QAction *action : trailing) {
        insertAction(m_searchAction, action);
        m_items.append(action);
    }
    reachByKeys();
    showWhenFilled();
}

void WindowToolbar::reachByKeys()
{
    // A bar's buttons take no focus by default, which leaves their actions
    // to the mouse alone: here Tab stops at each, in the order they read,
    // and the search field comes last.
    QWidget *previous = nullptr;
    for (const QPointer<QAction> &action : std::as_const(m_items)) {
        auto *button = qobject_cast<QToolButton *>(action ? widgetForAction(action) : nullptr);
        if (!button)
            continue;
        button->setFocusPolicy(Qt::TabFocus);
        button->installEventFilter(this);
        if (previous)
            setTabOrder(previous, button);
        previous = button;
    }
    if (previous)
        setTabOrder(previous, m_search);
}

bool WindowToolbar::eventFilter(QObject *watched, QEvent *event)
{
    // Return presses the focused button, as Space does.
    if (KeyboardFocus::pressedByReturn(qobject_cast<QToolButton *>(watched), event))
        return true;
    return QToolBar::eventFilter(watched, event);
}

void WindowToolbar::clearItems(QWidget *owner)
{
    if (owner == m_owner)
        removeItems();
    if (owner == m_searchOwner)
        setSearchVisible(owner, false);
}

void WindowToolbar::setSearchVisible(QWidget *owner, bool visible, const QString &placeholder)
{
    if (!visible && owner != m_searchOwner)
        return;
    m_searchOwner = visible ? owner : nullptr;
    if (visible)
        m_search->setPlaceholderText(placeholder);
    m_searchAction->setVisible(visible);
    showWhenFilled();
}

void WindowToolbar::removeItems()
{
    disconnect(m_ownerGone);
    // The actions belong to their screens; only our references go.
    for (const QPointer<QAction> &action : std::as_const(m_items)) {
        if (action)
            removeAction(action);
    }
    m_items.clear();
    m_owner = nullptr;
    showWhenFilled();
}

void WindowToolbar::showWhenFilled()
{
    setVisible(!m_items.isEmpty() || m_searchAction->isVisible());
}
