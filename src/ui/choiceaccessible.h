#pragma once

#include "accessibility.h"

#include <QAccessibleWidget>

class QAbstractButton;

// A self-drawn button as a listener meets it: a choice among others, a
// button that shows something, or a card. A card is one element named by
// the words it holds; its labels are not read again one by one.
class ChoiceAccessible : public QAccessibleWidget
{
public:
    ChoiceAccessible(QAbstractButton *button, Accessibility::Kind kind);

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    QAbstractButton *button() const;
    // A card that takes no focus only holds words, and may hold a control
    // of its own: a panel, its children read as they are.
    bool isPanel() const;
    // Whether its children are read: a panel's, and a card's that holds
    // controls of its own (a choice of one's own dates holds the fields).
    bool showsChildren() const;
    bool isChosen() const;

    Accessibility::Kind m_kind;
};
