// SPDX-License-Identifier: GPL-3.0-or-later
// The four kinds of history entry and their stored names.
#pragma once

#include <QAnyStringView>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace nabrix {

// One byte: the history list keeps one per entry.
enum class ClipType : std::uint8_t { Text, Rtf, Image, File };

inline constexpr std::array allClipTypes{ClipType::Text, ClipType::Rtf, ClipType::Image,
                                         ClipType::File};

QString clipTypeRawValue(ClipType type);
// None for anything but the exact raw values ("text", "rtf", "image", "file").
// Takes UTF-8 as well, so that rows read straight from SQLite need no conversion.
std::optional<ClipType> clipTypeFromRawValue(QAnyStringView raw);

} // namespace nabrix
