// SPDX-License-Identifier: GPL-3.0-or-later
// The CLIPBOARD selection as MIME types, read over a private X connection.
#include "platform/x11/x11_selection_reader.h"

#include "platform/pasteboard.h"
#include "platform/x11/x11_selection_connection.h"

#include <QMimeData>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <string_view>

namespace nabrix {

namespace {

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
constexpr std::array textTargets{TextTarget{"UTF8_STRING", TextEncoding::Utf8},
                                 TextTarget{"text/plain;charset=utf-8", TextEncoding::Utf8},
                                 TextTarget{"text/plain", TextEncoding::Utf8},
                                 TextTarget{"STRING", TextEncoding::Latin1},
                                 TextTarget{"TEXT", TextEncoding::Utf8OrLatin1}};

// Targets of the selection protocol itself, and the X text targets that text/plain stands for.
constexpr std::array<std::string_view, 10> hiddenTargets{
    "TARGETS", "MULTIPLE", "TIMESTAMP",     "SAVE_TARGETS", "DELETE",
    "INCR",    "TEXT",     "COMPOUND_TEXT", "UTF8_STRING",  "STRING"};

std::string_view view(const QByteArray& bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

bool isTextTarget(const QByteArray& name)
{
    return std::any_of(textTargets.cbegin(), textTargets.cend(),
                       [&name](const TextTarget& text) { return text.name == view(name); });
}

bool isHiddenTarget(const QByteArray& name)
{
    return std::find(hiddenTargets.cbegin(), hiddenTargets.cend(), view(name)) !=
           hiddenTargets.cend();
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

} // namespace

X11SelectionReader::X11SelectionReader(QByteArray displayName, ClipboardReadBounds bounds)
    : m_displayName(std::move(displayName))
    , m_bounds(std::move(bounds))
{
}

X11SelectionReader::~X11SelectionReader() = default;

ClipboardReaderFactory X11SelectionReader::factory(QByteArray displayName)
{
    return [name = std::move(displayName)](ClipboardReadBounds bounds) {
        return std::unique_ptr<ClipboardSource>(
            std::make_unique<X11SelectionReader>(name, std::move(bounds)));
    };
}

const QList<QByteArray>& X11SelectionReader::targets() const
{
    if (!m_targets) {
        m_connection = X11SelectionConnection::open(m_displayName, m_bounds);
        m_targets = m_connection ? m_connection->targets().value_or(QList<QByteArray>())
                                 : QList<QByteArray>();
    }
    return *m_targets;
}

std::optional<QByteArray> X11SelectionReader::convert(const QByteArray& target) const
{
    if (!targets().contains(target) || !m_connection)
        return std::nullopt;
    return m_connection->convert(target);
}

QStringList X11SelectionReader::types() const
{
    QStringList types;
    bool hasText = false;
    for (const QByteArray& target : targets()) {
        hasText = hasText || isTextTarget(target);
        if (!isHiddenTarget(target))
            types.append(QString::fromLatin1(target));
    }
    if (hasText)
        types.append(PasteboardType::string);
    types.removeDuplicates();
    return types;
}

std::optional<QByteArray> X11SelectionReader::dataForType(const QString& type) const
{
    return convert(type.toLatin1());
}

std::optional<QString> X11SelectionReader::stringForType(const QString& type) const
{
    if (type != PasteboardType::string)
        return std::nullopt;
    for (const TextTarget& text : textTargets) {
        const auto bytes =
            convert(QByteArray(text.name.data(), static_cast<qsizetype>(text.name.size())));
        if (bytes)
            return decodedText(*bytes, text.encoding);
    }
    return std::nullopt;
}

std::optional<QList<QUrl>> X11SelectionReader::readFileUrls() const
{
    const auto bytes = convert(PasteboardType::fileUrl.toLatin1());
    if (!bytes)
        return std::nullopt;
    // Parsed by QMimeData, as for every other clipboard Qt reads.
    QMimeData data;
    data.setData(PasteboardType::fileUrl, *bytes);
    return data.urls();
}

} // namespace nabrix
