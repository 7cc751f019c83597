#pragma once

#include <QAccessibleWidget>
#include <QHash>

class SegmentedControl;

// A segmented control as a group of radio items, one per segment, the
// chosen one checked: a listener hears each option and which is chosen,
// and can choose another.
class SegmentedControlAccessible : public QAccessibleWidget
{
public:
    explicit SegmentedControlAccessible(SegmentedControl *control);
    ~SegmentedControlAccessible() override;

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

private:
    class Segment;

    SegmentedControl *control() const;

    // Each segment's interface, made when first asked for and kept, as the
    // bus holds on to the ids it was given.
    mutable QHash<int, QAccessible::Id> m_segments;
};
