// SPDX-License-Identifier: GPL-3.0-or-later
// AppModel: copying entries back, the copy flash, pasting, revealing and deleting.
#include "app/app_model.h"

#include "app/status_item_controller.h"
#include "capture/clipboard_observer.h"
#include "capture/file_list.h"
#include "platform/platform_services.h"
#include "storage/app_settings.h"
#include "storage/storage_manager.h"

#include <QPointer>
#include <QStringDecoder>
#include <cmath>
#include <limits>

namespace nabrix {

namespace {

std::optional<QString> decodeUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace

bool AppModel::writeToPasteboard(const ClipItem& item)
{
    // Decode before touching the clipboard: an entry that cannot be turned back into
    // content must leave the user's clipboard as it was.
    const auto bytes = m_storage->contentData(item.id);
    if (!bytes)
        return false;
    Pasteboard& pasteboard = *m_services.pasteboard;
    switch (item.type) {
    case ClipType::Text: {
        const auto text = decodeUtf8(*bytes);
        if (!text)
            return false;
        pasteboard.clearContents();
        pasteboard.writeString(*text);
        return true;
    }
    case ClipType::Rtf: {
        // The plain alternative is the entry's search text; lists hand over entries without
        // it, so it comes from the store then.
        QString plain = item.searchString;
        if (plain.isEmpty()) {
            if (const std::optional<ClipItem> stored = m_storage->item(item.id))
                plain = stored->searchString;
        }
        pasteboard.clearContents();
        pasteboard.writeData(PasteboardType::rtf, *bytes,
                             plain.isEmpty() ? std::nullopt : std::optional<QString>(plain));
        return true;
    }
    case ClipType::Image:
        pasteboard.clearContents();
        pasteboard.writeData(PasteboardType::png, *bytes, std::nullopt);
        return true;
    case ClipType::File: {
        const auto urls = decodeFileList(*bytes);
        if (!urls || urls->isEmpty())
            return false;
        pasteboard.clearContents();
        pasteboard.writeFileUrls(*urls);
        return true;
    }
    }
    return false;
}

void AppModel::select(const ClipItem& item)
{
    if (!writeToPasteboard(item))
        return;
    m_observer->setLastChangeCount(m_services.pasteboard->changeCount());
    setFlashCopyID(item.id);
    // A second select within the flash replaces the first: only the last one closes.
    m_flashTimer.start();
}

void AppModel::endFlash()
{
    setFlashCopyID(std::nullopt);
    dismissAfterSelect();
}

void AppModel::dismissAfterSelect()
{
    closeHistory();
    if (m_settings->pasteOnSelect())
        schedulePaste();
}

void AppModel::schedulePaste()
{
    QTimer::singleShot(pasteDelay, this, &AppModel::simulatePaste);
}

void AppModel::paste(const ClipItem& item)
{
    if (!writeToPasteboard(item))
        return;
    m_observer->setLastChangeCount(m_services.pasteboard->changeCount());
    closeHistory();
    schedulePaste();
}

bool AppModel::copyToClipboard(const ClipItem& item)
{
    if (!writeToPasteboard(item))
        return false;
    m_observer->setLastChangeCount(m_services.pasteboard->changeCount());
    return true;
}

bool AppModel::pasteIntoFocusedWindow(const ClipItem& item)
{
    if (!copyToClipboard(item))
        return false;
    schedulePaste();
    return true;
}

void AppModel::simulatePaste()
{
    KeySynthesizer& keys = *m_services.keySynthesizer;
    const bool trusted = keys.isTrusted();
    setAccessibilityGranted(trusted);
    if (!trusted) {
        keys.requestTrust();
        return;
    }
    keys.postPaste();
}

void AppModel::refreshAccessibility()
{
    const bool trusted = m_services.keySynthesizer->isTrusted();
    setAccessibilityGranted(trusted);
    if (!trusted)
        m_services.keySynthesizer->requestTrust();
}

void AppModel::openAccessibilitySettings()
{
    // There is no system page that grants keystroke synthesis on X11: asking is all we can do.
    m_services.keySynthesizer->requestTrust();
}

void AppModel::toggleReveal(const ClipItem& item)
{
    QSet<QUuid> ids = m_revealedIDs;
    if (!ids.remove(item.id))
        ids.insert(item.id);
    setRevealedIDs(ids);
}

std::optional<QByteArray> AppModel::contentOf(const QUuid& id) const
{
    return m_storage->contentData(id);
}

std::optional<ClipItem> AppModel::storedItem(const QUuid& id) const
{
    return m_storage->item(id);
}

std::function<std::optional<QByteArray>()> AppModel::contentLoad(const QUuid& id) const
{
    return m_storage->contentLoad(id);
}

RowContentCache::Files AppModel::listedFiles(const QUuid& id) const
{
    return m_rowContent->files(id);
}

void AppModel::deleteEntry(const ClipItem& item)
{
    m_storage->deleteItem(item.id);
}

void AppModel::deleteHighlighted()
{
    if (!m_selectedIndex || *m_selectedIndex >= m_history->rowCount())
        return;
    // The list itself follows through the store's change signal.
    m_storage->deleteItem(m_history->idAt(*m_selectedIndex));
}

void AppModel::deleteChecked()
{
    const QList<ClipItem> checked = checkedVisibleItems();
    // Reset before deleting: the shorter list arrives through the store's change signal,
    // whenever the store gets to it, and highlights the first row again.
    setSelectedItemIDs({});
    setSelectedIndex(std::nullopt);
    m_storage->deleteItems(checked);
}

void AppModel::deleteEntries(const QList<ClipItem>& items)
{
    m_storage->deleteItems(items);
}

void AppModel::clearAll()
{
    m_storage->deleteAll();
    setSelectedIndex(std::nullopt);
    setDetailItem(std::nullopt);
    setSelectedItemIDs({});
    setSelecting(false);
}

void AppModel::deleteOlderThan(double seconds)
{
    // An age beyond any representable time (infinity included) deletes nothing, rather
    // than wrapping around into a cut-off in the future.
    const QDateTime now = m_clock();
    const double cutoffMs = static_cast<double>(now.toMSecsSinceEpoch()) - seconds * 1000.0;
    constexpr double earliest = -62135596800000.0; // 0001-01-01T00:00:00Z
    if (!std::isfinite(seconds) || !std::isfinite(cutoffMs) || cutoffMs < earliest ||
        cutoffMs > static_cast<double>(std::numeric_limits<qint64>::max()))
        return;
    const QDateTime cutoff =
        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(cutoffMs)));
    if (!cutoff.isValid())
        return;
    // Reset first, as deleteChecked() does: the shorter list comes after.
    setSelectedItemIDs({});
    setSelectedIndex(std::nullopt);
    setDetailItem(std::nullopt);
    m_storage->deleteItemsBefore(cutoff);
}

} // namespace nabrix
