#pragma once

#include <QList>
#include <QPointer>
#include <QToolBar>

class QAction;
class QLineEdit;

// The window's one toolbar. Whichever screen fills the detail pane hands it
// its actions, and the page view asks for the search field; all of it leaves
// with the screen that put it there. It shows only while it holds something.
// Every button in it is a stop of Tab and answers Return and Space.
class WindowToolbar : public QToolBar
{
    Q_OBJECT

public:
    explicit WindowToolbar(QWidget *parent = nullptr);

    // The toolbar of the window a widget is in, or nullptr (a screen shown
    // on its own, as in a test).
    static WindowToolbar *of(const QWidget *widget);

    // The owner's actions, at the leading and trailing ends; replaces what
    // any screen put there before. Cleared when the owner is destroyed.
    void setItems(QWidget *owner, const QList<QAction *> &leading, const QList<QAction *> &trailing);
    // Removes the owner's actions and search field; nothing when another
    // screen owns the toolbar by now.
    void clearItems(QWidget *owner);
    QWidget *owner() const { return m_owner; }

    // The search field, shown while its owner wants it.
    QLineEdit *searchField() const { return m_search; }
    void setSearchVisible(QWidget *owner, bool visible, const QString &placeholder = QString());

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reachByKeys();
    void removeItems();
    void showWhenFilled();

    QPointer<QWidget> m_owner;
    QMetaObject::Connection m_ownerGone;
    QList<QPointer<QAction>> m_items;
    QAction *m_spacer;
    QLineEdit *m_search;
    QAction *m_searchAction;
    QPointer<QWidget> m_searchOwner;
};
