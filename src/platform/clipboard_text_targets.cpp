// SPDX-License-Identifier: GPL-3.0-or-later
// The names text is offered under on Linux clipboards, and how each one's bytes decode.
// Shared by the X11 and Wayland readers, which see the same names.
#include "platform/clipboard_text_targets.h"

#include "platform/pasteboard.h"

#include <QStringDecoder>
#include <algorithm>

namespace nabrix {

namespace {

// Targets of the selection protocol itself, and the X text targets that text/plain stands for.
constexpr std::array<std::string_view, 10> hiddenTargets{
    "TARGETS", "MULTIPLE", "TIMESTAMP",     "SAVE_TARGETS", "DELETE",
    "INCR",    "TEXT",     "COMPOUND_TEXT", "UTF8_STRING",  "STRING"};

std::string_view view(const QByteArray& bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

bool isHiddenTarget(const QByteArray& name)
{
    return std::find(hiddenTargets.cbegin(), hiddenTargets.cend(), view(name)) !=
           hiddenTargets.cend();
}

} // namespace

bool isTextTarget(const QByteArray& name)
{
    return std::any_of(textTargets.cbegin(), textTargets.cend(),
                       [&name](const TextTarget& text) { return text.name == view(name); });
}

QString decodedText(const QByteArray& bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QString::fromUtf8(bytes);
    case TextEncoding::Latin1:
        return QString::fromLatin1(bytes);
    case TextEncoding::Utf8OrLatin1:
        break;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

QStringList clipboardTypes(const QList<QByteArray>& targets)
{
    QStringList types;
    bool hasText = false;
    for (const QByteArray& target : targets) {
        hasText = hasText || isTextTarget(target);
        if (!isHiddenTarget(target))
            types.append(QString::fromLatin1(target));
    }
    if (hasText)
        types.append(PasteboardType::string);
    types.removeDuplicates();
    return types;
}

std::optional<QString>
readText(const std::function<std::optional<QByteArray>(const QByteArray& target)>& convert)
{
    for (const TextTarget& text : textTargets) {
        const auto bytes =
            convert(QByteArray(text.name.data(), static_cast<qsizetype>(text.name.size())));
        if (bytes)
            return decodedText(*bytes, text.encoding);
    }
    return std::nullopt;
}

} // namespace nabrix
