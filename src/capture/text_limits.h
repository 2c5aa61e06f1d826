// SPDX-License-Identifier: GPL-3.0-or-later
// Bounds on the plain text kept for search and the sensitivity check.
#pragma once

#include <QString>

namespace nabrix {

inline constexpr qsizetype maxSearchCharacters = 10000;

// The first `count` user-perceived characters (extended grapheme clusters) of `text`.
QString firstCharacters(const QString& text, qsizetype count = maxSearchCharacters);

} // namespace nabrix
