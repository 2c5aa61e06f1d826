// The four kinds of history entry and their stored names.
#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace nabrix {

enum class ClipType { Text, Rtf, Image, File };

inline constexpr std::array allClipTypes{ClipType::Text, ClipType::Rtf, ClipType::Image,
                                         ClipType::File};

QString clipTypeRawValue(ClipType type);
// None for anything but the exact raw values ("text", "rtf", "image", "file").
std::optional<ClipType> clipTypeFromRawValue(QStringView raw);

} // namespace nabrix
