#pragma once
// Texts of the window: numbers in its formats ("0.##", "0.0", "0.00", the general form and the
// acquisition time), whole numbers read from an edit, and the sequence's text fields.
#include <QString>

// At most two decimals, no trailing zeros ("0.##").
QString FormatHash2(double v);
// Exactly one decimal ("0.0").
QString Format1(double v);
// Exactly two decimals ("0.00").
QString Format2(double v);
// A duration given as a fraction of a day, as total hours:minutes:seconds; the hours do not
// wrap at 24 (1.5 days is "36:00:00").
QString FormatDuration(double days);
// The shortest general decimal form, up to 15 significant digits.
QString FormatGeneral(double v);

// The text as a whole number, blanks around it ignored; fallback when it is not one.
int IntOf(const QString& text, int fallback);

// A text field of the sequence (its file name), without the blanks around it.
QString Trimmed(const char* text);
