#pragma once
// Where a window opens.
class QWidget;

// Puts a window that is not shown yet in the middle of the screen it will open on (its
// owner's, else the primary screen), keeping its top-left corner on the screen when it is the
// larger of the two.
void CentreOnScreen(QWidget* window);
