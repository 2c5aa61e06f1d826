// SPDX-License-Identifier: GPL-3.0-or-later
// The four kinds of history entry and their stored names.
#pragma once

#include <QString>
#include <QStringView>
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
std::optional<ClipType> clipTypeFromRawValue(QStringView raw);

} // namespace nabrix
