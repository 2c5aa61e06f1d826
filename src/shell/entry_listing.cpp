// SPDX-License-Identifier: GPL-3.0-or-later
// Which history entries the command line lists, and the lines or JSON it prints for them.
#include "shell/entry_listing.h"

#include "views/clip_row_view.h"
#include "history/history_loader.h"
#include "views/relative_age_formatter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <unicode/uchar.h>

namespace nabrix {

namespace {

// Enough for any launcher's line; the rest of a long text is for `get`.
constexpr qsizetype previewCharacters = 300;
constexpr int tabWidth = 8;
const QChar ellipsis(0x2026);

// Terminal columns a character takes: East Asian wide ones two, combining marks and
// invisible formatting none.
int columnsOf(char32_t character)
{
    const auto category = static_cast<UCharCategory>(u_charType(UChar32(character)));
    if (category == U_NON_SPACING_MARK || category == U_ENCLOSING_MARK || category == U_FORMAT_CHAR)
        return 0;
    const auto width = static_cast<UEastAsianWidth>(
        u_getIntPropertyValue(UChar32(character), UCHAR_EAST_ASIAN_WIDTH));
    return width == U_EA_WIDE || width == U_EA_FULLWIDTH ? 2 : 1;
}

// A character that would move the cursor, start an escape sequence or break the line is
// shown as the symbol Unicode has for it (U+2400 block).
QString visible(QStringView text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20)
            shown.append(QChar(char16_t(0x2400 + u)));
        else if (u == 0x7f)
            shown.append(QChar(char16_t(0x2421)));
        else if (u >= 0x80 && u < 0xa0)
            shown.append(QChar(QChar::ReplacementCharacter));
        else if (u == 0x2028 || u == 0x2029)
            shown.append(QChar(char16_t(0x2424)));
        else
            shown.append(c);
    }
    return shown;
}

QString rowText(const ClipItem& item, EntryListing::Sensitive sensitive)
{
    const bool masked = item.isSensitive && sensitive == EntryListing::Sensitive::Masked;
    switch (item.type) {
    case ClipType::Text:
    case ClipType::Rtf:
        return masked ? ClipRowView::maskText() : item.searchString;
    case ClipType::Image:
        if (masked)
            return ClipRowView::maskText();
        return item.imageSize ? QStringLiteral("%1\u00d7%2")
                                    .arg(item.imageSize->width())
                                    .arg(item.imageSize->height())
                              : QString();
    case ClipType::File:
        // File names are never hidden in the row either.
        return item.searchString;
    }
    return {};
}

} // namespace

QList<ClipItem> EntryListing::select(const QList<ClipItem>& newestFirst, const Filter& filter,
                                     const SearchFolding& folding)
{
    QList<ClipItem> ofType;
    for (const ClipItem& item : newestFirst) {
        if (!filter.type || item.type == *filter.type)
            ofType.append(item);
    }
    // The window's own index and query, so that a search finds what the window finds.
    LoadedHistory history = HistoryLoader::fromItems(ofType, folding);
    history.index.setQuery(filter.query);
    QList<ClipItem> selected;
    const qsizetype matches = history.index.matchCount();
    const qsizetype wanted = std::min(matches, filter.limit.value_or(matches));
    // The index counts from the oldest entry.
    for (qsizetype position = matches - 1; selected.size() < wanted; --position)
        selected.append(ofType.at(ofType.size() - 1 - history.index.matchAt(position)));
    return selected;
}

QString EntryListing::preview(const ClipItem& item, Sensitive sensitive)
{
    const QString text = rowText(item, sensitive);
    if (text.size() <= previewCharacters)
        return visible(text);
    // Never half a surrogate pair.
    const qsizetype cut = text.at(previewCharacters - 1).isHighSurrogate() ? previewCharacters - 1
                                                                           : previewCharacters;
    return visible(QStringView(text).left(cut)) + ellipsis;
}

QString EntryListing::cutToColumns(const QString& line, int columns)
{
    int used = 0;
    // Where the text must end to leave a column for the ellipsis.
    qsizetype fitsWithEllipsis = 0;
    for (qsizetype i = 0; i < line.size();) {
        char32_t character = line.at(i).unicode();
        qsizetype next = i + 1;
        if (line.at(i).isHighSurrogate() && next < line.size() && line.at(next).isLowSurrogate())
            character = QChar::surrogateToUcs4(line.at(i), line.at(next++));
        const int after =
            character == U'\t' ? (used / tabWidth + 1) * tabWidth : used + columnsOf(character);
        if (after > columns)
            return line.left(fitsWithEllipsis) + ellipsis;
        if (after < columns)
            fitsWithEllipsis = next;
        used = after;
        i = next;
    }
    return line;
}

QByteArray EntryListing::lines(const QList<ClipItem>& items, const QDateTime& now,
                               Sensitive sensitive, std::optional<int> columns)
{
    QByteArray out;
    for (const ClipItem& item : items) {
        QString line = idText(item.id) + u'\t' + RelativeAgeFormatter::text(item.timestamp, now) +
                       u'\t' + clipTypeRawValue(item.type) + u'\t' + preview(item, sensitive);
        if (columns)
            line = cutToColumns(line, *columns);
        out += line.toUtf8() + '\n';
    }
    return out;
}

QByteArray EntryListing::json(const QList<ClipItem>& items, Sensitive sensitive)
{
    QJsonArray array;
    for (const ClipItem& item : items) {
        array.append(QJsonObject{
            {QStringLiteral("id"), idText(item.id)},
            {QStringLiteral("timestamp"), item.timestamp.toUTC().toString(Qt::ISODateWithMs)},
            {QStringLiteral("type"), clipTypeRawValue(item.type)},
            {QStringLiteral("source"), item.sourceAppBundleID ? QJsonValue(*item.sourceAppBundleID)
                                                              : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("sensitive"), item.isSensitive},
            {QStringLiteral("preview"), preview(item, sensitive)},
        });
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace nabrix
