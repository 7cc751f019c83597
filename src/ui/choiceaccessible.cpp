#include "choiceaccessible.h"

#include "card.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTextDocumentFragment>
#include <algorithm>

ChoiceAccessible::ChoiceAccessible(QAbstractButton *button, Accessibility::Kind kind)
    : QAccessibleWidget(
        button, kind == Accessibility::Kind::Choice ? QAccessible::RadioButton : QAccessible::Button)
    , m_kind(kind)
{ }

QAbstractButton *ChoiceAccessible::button() const
{
    return static_cast<QAbstractButton *>(widget());
}

bool ChoiceAccessible::isPanel() const
{
    return qobject_cast<Card *>(widget()) && widget()->focusPolicy() == Qt::NoFocus;
}

bool ChoiceAccessible::showsChildren() const
{
    if (isPanel())
        return true;
    if (!qobject_cast<Card *>(widget()))
        return false;
    const QList<QWidget *> inside = widget()->findChildren<QWidget *>();
    return std::any_of(inside.cbegin(), inside.cend(), [this](const QWidget *child) {
        return child->focusPolicy() != Qt::NoFocus && child->isVisibleTo(widget());
    });
}

bool ChoiceAccessible::isChosen() const
{
    if (const auto *card = qobject_cast<Card *>(widget()))
        return card->isSelected();
    return button()->isChecked();
}

QAccessible::Role ChoiceAccessible::role() const
{
    if (isPanel())
        return QAccessible::Grouping;
    return m_kind == Accessibility::Kind::Choice ? QAccessible::RadioButton : QAccessible::Button;
}

QAccessible::State ChoiceAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    if (isPanel())
        return state;
    if (m_kind == Accessibility::Kind::Choice) {
        state.checkable = true;
        state.checked = isChosen();
    } else {
        state.selectable = true;
        state.selected = isChosen();
    }
    state.pressed = button()->isDown();
    return state;
}

QString ChoiceAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
        return QAccessibleWidget::text(t);
    // Title, then detail: the card's words in the order they are drawn.
    QStringList words;
    for (const QLabel *label : widget()->findChildren<QLabel *>()) {
        // A label tied to a field names the field, not the card.
        if (!label->isVisibleTo(widget()) || label->text().isEmpty() || label->buddy())
            continue;
        const bool rich = label->textFormat() == Qt::RichText
            || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
        const QString plain
            = rich ? QTextDocumentFragment::fromHtml(label->text()).toPlainText() : label->text();
        words.append(plain.simplified());
    }
    if (words.isEmpty())
        return button()->text();
    // A pause between the parts; a part that ends its sentence has one.
    QString name = words.takeFirst();
    for (const QString &word : std::as_const(words)) {
        const QChar last = name.back();
        name += (last == u'.' || last == u'!' || last == u'?' || last == u':') ? QStringLiteral(" ")
                                                                               : QStringLiteral(", ");
        name += word;
    }
    return name;
}

int ChoiceAccessible::childCount() const
{
    return showsChildren() ? QAccessibleWidget::childCount() : 0;
}

QAccessibleInterface *ChoiceAccessible::child(int index) const
{
    return showsChildren() ? QAccessibleWidget::child(index) : nullptr;
}

int ChoiceAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    return showsChildren() ? QAccessibleWidget::indexOfChild(child) : -1;
}

QAccessibleInterface *ChoiceAccessible::childAt(int x, int y) const
{
    return showsChildren() ? QAccessibleWidget::childAt(x, y) : nullptr;
}

QStringList ChoiceAccessible::actionNames() const
{
    if (isPanel() || !widget()->isEnabled())
        return QAccessibleWidget::actionNames();
    return QStringList { pressAction() } + QAccessibleWidget::actionNames();
}

void ChoiceAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction() && !isPanel() && widget()->isEnabled())
        button()->click();
    else
        QAccessibleWidget::doAction(actionName);
}
