#include "accessibletree.h"

#include <QAccessibleInterface>
#include <QDialog>
#include <QMetaEnum>
#include <QWidget>
#include <gtest/gtest.h>

namespace TestSupport {

namespace {

// Whether a screen reader lets the user act on an element of this role:
// a button, a check box, a radio item, a field, a list item and their like.
bool isInteractive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::ListItem:
    case QAccessible::PageTab:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::Link:
    case QAccessible::Dial:
        return true;
    default:
        return false;
    }
}

QString roleName(QAccessible::Role role)
{
    return QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(role));
}

// Where an element lies, by the widgets it sits in, for a failure to point at.
QString whereIs(QAccessibleInterface *element)
{
    QStringList path;
    QAccessibleInterface *at = element;
    while (at && !at->object())
        at = at->parent();
    for (QObject *object = at ? at->object() : nullptr; object; object = object->parent()) {
        const QString name = object->objectName();
        path.prepend(name.isEmpty() ? QString::fromLatin1(object->metaObject()->className())
                                    : QString::fromLatin1(object->metaObject()->className()) + '#' + name);
        if (qobject_cast<QWidget *>(object) && static_cast<QWidget *>(object)->isWindow())
            break;
    }
    QString what = roleName(element->role());
    if (const QString description = element->text(QAccessible::Description); !description.isEmpty())
        what += " (" + description + ')';
    return what + " in " + path.join(QStringLiteral(" > "));
}

void collect(QAccessibleInterface *element, QList<QAccessibleInterface *> &into, int depth)
{
    // Deeper than any screen of the app nests; a loop in the tree would
    // otherwise never end.
    if (!element || !element->isValid() || depth > 60 || element->state().invisible)
        return;
    into.append(element);
    const int count = element->childCount();
    for (int i = 0; i < count; ++i)
        collect(element->child(i), into, depth + 1);
}

// Every showing element below root, root first, in the bus's order.
QList<QAccessibleInterface *> showing(QWidget *root)
{
    QList<QAccessibleInterface *> elements;
    collect(QAccessible::queryAccessibleInterface(root), elements, 0);
    return elements;
}

// The showing interactive elements below root.
QList<QAccessibleInterface *> controls(QWidget *root)
{
    QList<QAccessibleInterface *> found = showing(root);
    found.removeIf([](QAccessibleInterface *element) { return !isInteractive(element->role()); });
    return found;
}

} // namespace

QAccessibleInterface *spoken(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

QStringList unnamedElements(QWidget *root)
{
    QStringList unnamed;
    QAccessibleInterface *top = QAccessible::queryAccessibleInterface(root);
    if (qobject_cast<QDialog *>(root) && top && top->text(QAccessible::Name).trimmed().isEmpty())
        unnamed.append("sheet without a title: " + whereIs(top));
    // A field's placeholder is no name: it goes once something is typed,
    // and Qt gives it as the field's description.
    for (QAccessibleInterface *element : controls(root)) {
        if (element->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.append("no name: " + whereIs(element));
    }
    return unnamed;
}

::testing::AssertionResult everyElementNamed(QWidget *root)
{
    const QStringList unnamed = unnamedElements(root);
    if (unnamed.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << unnamed.join('\n').toStdString();
}

QStringList spokenControls(QWidget *root)
{
    QStringList spoken;
    for (QAccessibleInterface *element : controls(root))
        spoken.append(roleName(element->role()) + ": " + element->text(QAccessible::Name));
    return spoken;
}

QStringList chosenItems(QWidget *root)
{
    QStringList chosen;
    for (QAccessibleInterface *element : showing(root)) {
        const QAccessible::State state = element->state();
        if ((element->role() == QAccessible::RadioButton && state.checked)
            || (element->role() == QAccessible::Button && state.selected))
            chosen.append(element->text(QAccessible::Name));
    }
    return chosen;
}

QAccessibleInterface *elementNamed(QWidget *root, const QString &name)
{
    for (QAccessibleInterface *element : controls(root)) {
        if (element->text(QAccessible::Name) == name)
            return element;
    }
    return nullptr;
}

void pressElement(QAccessibleInterface *element)
{
    ASSERT_TRUE(element);
    QAccessibleActionInterface *actions = element->actionInterface();
    ASSERT_TRUE(actions) << element->text(QAccessible::Name).toStdString();
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()))
        << element->text(QAccessible::Name).toStdString();
    actions->doAction(QAccessibleActionInterface::pressAction());
}

} // namespace TestSupport
