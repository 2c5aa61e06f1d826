// SPDX-License-Identifier: GPL-3.0-or-later
// The names text is offered under on Linux clipboards, and how each one's bytes decode.
// Shared by the X11 and Wayland readers, which see the same names.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <string_view>

namespace nabrix {

enum class TextEncoding {
    Utf8,
    Latin1,
    // TEXT leaves the encoding to the owner: older programs send Latin-1 under it, the
    // wlroots bridge the UTF-8 of a Wayland text/plain offer.
    Utf8OrLatin1,
};

struct TextTarget {
    std::string_view name;
    TextEncoding encoding;
};

// The targets text is read from, in order of preference.
inline constexpr std::array textTargets{TextTarget{"UTF8_STRING", TextEncoding::Utf8},
                                        TextTarget{"text/plain;charset=utf-8", TextEncoding::Utf8},
                                        TextTarget{"text/plain", TextEncoding::Utf8},
                                        TextTarget{"STRING", TextEncoding::Latin1},
                                        TextTarget{"TEXT", TextEncoding::Utf8OrLatin1}};

bool isTextTarget(const QByteArray& name);
QString decodedText(const QByteArray& bytes, TextEncoding encoding);

// The types the capture code sees for an owner offering `targets`: the selection protocol's
// own targets and the legacy text names hidden, text/plain standing for any text.
QStringList clipboardTypes(const QList<QByteArray>& targets);
// The text from the first text target that `convert` can read.
std::optional<QString>
readText(const std::function<std::optional<QByteArray>(const QByteArray& target)>& convert);

} // namespace nabrix
