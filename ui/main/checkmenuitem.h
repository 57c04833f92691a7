#pragma once
// A menu item that can be ticked is seen by assistive technology as a check
// box in its menu, ticked or not: this Qt reports such items as plain menu
// items, so a screen reader never said whether an option was on.

namespace quintelle::ui {

// Registers the accessibility of checkable menu items; the first call does it.
void registerCheckMenuItems();

}  // namespace quintelle::ui
