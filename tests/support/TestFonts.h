#pragma once
// The fonts the chart and window tests measure with: those of the fonts-dejavu-core package
// (setup-deps.sh installs it), and no other, whatever fonts the machine has besides. Every
// family the program asks for that is not one of them ("Arial", "Times New Roman", the
// platform's default) falls back to DejaVu Sans.

// Call before the application object is made: points fontconfig at a configuration of its own
// in a folder that lives as long as the program. False, with a message on stderr, when one of
// the fonts is missing.
bool UseTestFonts();
