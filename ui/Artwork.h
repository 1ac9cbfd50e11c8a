#pragma once
// The program's own pictures, drawn from the SVG files of its resources.
#include <QIcon>
#include <QPixmap>

// The program's icon, at the sizes window managers and menus ask for.
QIcon ProgramIcon();
// The strap of the pole-pole arrays: takeouts 2, 5, 8, 11, ... of the cable joined together,
// at its natural size for a screen of the given pixel ratio.
QPixmap StrapPicture(qreal devicePixelRatio);
