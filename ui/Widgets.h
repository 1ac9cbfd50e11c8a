#pragma once
// Small helpers on the window's controls.
#include <QWidget>

// What the form sets on a control, whatever the state of its parents: a control on a hidden or
// disabled page still counts as shown or enabled when its own flag says so.
inline bool OwnVisible(const QWidget* w) { return !w->isHidden(); }
inline bool OwnEnabled(const QWidget* w) { return !w->testAttribute(Qt::WA_ForceDisabled); }

// Sets each direct child of container enabled or not, and container itself enabled when it has
// a child; grandchildren keep their own flag.
inline void EnableControls(QWidget* container, bool enable) {
    if (!container) return;
    for (QWidget* child : container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        container->setEnabled(true);
        child->setEnabled(enable);
    }
}
