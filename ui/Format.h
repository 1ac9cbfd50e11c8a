#pragma once
// Number texts of the window: "0.##", "0.0", "0.00" and the acquisition time.
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
