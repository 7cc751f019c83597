#include "segmentedcontrolaccessible.h"

#include "segmentedcontrol.h"

#include <QPointer>

class SegmentedControlAccessible::Segment : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    Segment(SegmentedControl *control, int index)
        : m_control(control)
        , m_index(index)
    { }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this)
                                                    : nullptr;
    }

    // A segment outlives its place when the labels get fewer.
    bool isValid() const override { return m_control && m_index < m_control->labels().size(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return parent()->window(); }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_control); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::RadioButton; }
    void setText(QAccessible::Text, const QString &) override { }

    QString text(QAccessible::Text t) const override
    {
        return isValid() && t == QAccessible::Name ? m_control->labels().value(m_index) : QString();
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = m_control->segmentRect(m_index);
        return { m_control->mapToGlobal(local.topLeft()), local.size() };
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.checkable = true;
        state.checked = m_control->currentIndex() == m_index;
        state.disabled = !m_control->isEnabled();
        state.invisible = !m_control->isVisible();
        state.focused = m_control->hasFocus() && state.checked;
        state.focusable = m_control->focusPolicy() != Qt::NoFocus;
        return state;
    }

    QStringList actionNames() const override { return { pressAction() }; }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }
    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction() && isValid() && m_control->isEnabled())
            m_control->activate(m_index);
    }

private:
    QPointer<SegmentedControl> m_control;
    int m_index;
};

SegmentedControlAccessible::SegmentedControlAccessible(SegmentedControl *control)
    : QAccessibleWidget(control, QAccessible::Grouping)
{ }

SegmentedControlAccessible::~SegmentedControlAccessible()
{
    for (QAccessible::Id id : std::as_const(m_segments))
        QAccessible::deleteAccessibleInterface(id);
}

SegmentedControl *SegmentedControlAccessible::control() const
{
    return static_cast<SegmentedControl *>(widget());
}

int SegmentedControlAccessible::childCount() const
{
    return int(control()->labels().size());
}

QAccessibleInterface *SegmentedControlAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const QAccessible::Id id = m_segments.value(index))
        return QAccessible::accessibleInterface(id);
    auto *segment = new Segment(control(), index);
    m_segments.insert(index, QAccessible::registerAccessibleInterface(segment));
    return segment;
}

int SegmentedControlAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    for (auto it = m_segments.cbegin(); it != m_segments.cend(); ++it) {
        if (QAccessible::accessibleInterface(it.value()) == child)
            return it.key() < childCount() ? it.key() : -1;
    }
    return -1;
}

QAccessibleInterface *SegmentedControlAccessible::childAt(int x, int y) const
{
    for (int i = 0; i < childCount(); ++i) {
        QAccessibleInterface *segment = child(i);
        if (segment->rect().contains(x, y))
            return segment;
    }
    return nullptr;
}

QAccessibleInterface *SegmentedControlAccessible::focusChild() const
{
    // The keyboard moves the choice itself, so focus lies on the chosen one.
    const int current = control()->currentIndex();
    return control()->hasFocus() && current >= 0 ? child(current) : nullptr;
}
