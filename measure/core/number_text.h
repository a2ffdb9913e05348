#pragma once

#include <QString>

#include <optional>

namespace measure {

// A number typed by a user or read from a profile, whatever the locale:
// digits with one "." or "," as the decimal separator, an optional sign.
// Nothing for anything else, and for values that are not finite.
std::optional<double> parseDecimal(const QString& text);

// The magnification check of the calibration dialog: only digits and at
// most one ".", and a value of at least 1.
bool isValidMagnification(const QString& text);

// The pitch of the grid overlays: digits and one separator, above zero.
std::optional<double> parsePitch(const QString& text);

}  // namespace measure
