#pragma once
// Screen readers see the program's own buttons as buttons: they say the
// button's name and can press it.

// Registers the accessibility of ImageButton and TSelButton; the first call
// does it, later calls do nothing.
void registerButtonAccessibility();
