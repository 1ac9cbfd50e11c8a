#pragma once
// What the form sets on a control, whatever the state of its parents: a control on a hidden or
// disabled page still counts as shown or enabled when its own flag says so.
#include <QWidget>

inline bool OwnVisible(const QWidget* w) { return !w->isHidden(); }
inline bool OwnEnabled(const QWidget* w) { return !w->testAttribute(Qt::WA_ForceDisabled); }
