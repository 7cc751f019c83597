#include "accessibility.h"

#include "card.h"
#include "choiceaccessible.h"
#include "segmentedcontrol.h"
#include "segmentedcontrolaccessible.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QLineEdit>
#include <QToolButton>

namespace {

constexpr const char *kindProperty = "quorvelAccessibleKind";

QAccessibleInterface *kitInterface(const QString &, QObject *object)
{
    if (auto *control = qobject_cast<SegmentedControl *>(object))
        return new SegmentedControlAccessible(control);
    if (auto *card = qobject_cast<Card *>(object))
        return new ChoiceAccessible(card, Accessibility::Kind::Choice);
    auto *button = qobject_cast<QAbstractButton *>(object);
    const QVariant kind = object->property(kindProperty);
    if (button && kind.isValid())
        return new ChoiceAccessible(button, Accessibility::Kind(kind.toInt()));
    return nullptr;
}

} // namespace

namespace Accessibility {

void install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(kitInterface);
}

void setKind(QAbstractButton *button, Kind kind)
{
    button->setProperty(kindProperty, int(kind));
}

void nameFieldButton(QLineEdit *field, const QAction *action, const QString &name)
{
    // The field draws each of its actions as a small button of its own,
    // named here rather than through the action's words, which the button
    // would take as text it has no room for.
    for (QToolButton *button : field->findChildren<QToolButton *>()) {
        if (button->defaultAction() == action)
            button->setAccessibleName(name);
    }
}

void nameClearButton(QLineEdit *field)
{
    // Qt's name for the clear button's action, the same since Qt 5.2.
    if (auto *clear = field->findChild<QAction *>(QStringLiteral("_q_qlineeditclearaction")))
        nameFieldButton(field, clear, QStringLiteral("Clear"));
}

} // namespace Accessibility
