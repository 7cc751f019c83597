#include "accessibility.h"

#include "card.h"
#include "choiceaccessible.h"
#include "segmentedcontrol.h"
#include "segmentedcontrolaccessible.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QLineEdit>

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

void nameClearButton(QLineEdit *field)
{
    // Qt's name for the clear button's action, the same since Qt 5.2; the
    // button takes its words from the action.
    if (auto *clear = field->findChild<QAction *>(QStringLiteral("_q_qlineeditclearaction")))
        clear->setText(QStringLiteral("Clear"));
}

} // namespace Accessibility
