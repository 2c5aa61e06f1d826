// SPDX-License-Identifier: GPL-3.0-or-later
// AppModel: turning each clipboard change into a stored history entry.
#include "app/app_model.h"

#include "capture/clipboard_observer.h"
#include "capture/content_limits.h"
#include "capture/privacy_engine.h"
#include "platform/platform_services.h"
#include "storage/app_settings.h"
#include "storage/storage_manager.h"

#include <QPointer>

namespace nabrix {

bool AppModel::isFromBlacklistedSource(const PasteboardContent& content) const
{
    // The password managers' own hint counts whatever window is in front: a native Wayland
    // copy reaches us only while some X11 window has the focus, so the source named then is
    // rarely the manager (a terminal running keepassxc-cli, say).
    if (content.markedSecret)
        return true;
    return content.sourceAppBundleID && m_settings->blacklistedBundleIDs().contains(
                                            *content.sourceAppBundleID, Qt::CaseSensitive);
}

bool AppModel::isDuplicateOfLatest(const PasteboardContent& content) const
{
    const auto latest = m_storage->latestItem();
    if (!latest || latest->type != content.type)
        return false;
    // The search text is derived from the bytes, so differing ones settle it without reading
    // the newest entry's content back (hundreds of megabytes after a huge copy).
    if (latest->searchString != content.searchString)
        return false;
    const auto bytes = m_storage->contentData(latest->id);
    return bytes && *bytes == content.contentData;
}

void AppModel::handleCapture(const PasteboardContent& content)
{
    if (isFromBlacklistedSource(content))
        return;
    if (content.contentData.size() > maxStoredContentBytes) {
        qWarning("nabrix: a copy of %lld bytes is larger than the history keeps; not recorded",
                 static_cast<long long>(content.contentData.size()));
        return;
    }

    bool isSensitive = false;
    const bool detect = m_settings->sensitiveDetectionEnabled();
    if (detect && (content.type == ClipType::Text || content.type == ClipType::Rtf))
        isSensitive = PrivacyEngine::isSensitiveText(content.searchString);

    if (isDuplicateOfLatest(content)) {
        noteRecorded(m_storage->latestItem()->id);
        return;
    }

    ClipItem item;
    item.id = QUuid::createUuid();
    item.timestamp = m_clock();
    item.type = content.type;
    item.searchString = content.searchString;
    item.sourceAppBundleID = content.sourceAppBundleID;
    item.isSensitive = isSensitive;
    item.imageSize = content.imageSize;
    m_storage->insert(item, content.contentData);
    noteRecorded(item.id);

    if (detect && item.type == ClipType::Image)
        checkImageSensitivity(item, content.contentData);
}

void AppModel::noteRecorded(const QUuid& id)
{
    // The observer delivers a change only while it is the current one.
    m_recordedChange = RecordedChange{m_services.pasteboard->changeCount(), id};
    m_services.clipboardKeeper->contentRecorded();
}

void AppModel::offerRecordedAgain()
{
    if (!m_running || !m_recordedChange)
        return;
    const auto item = m_storage->item(m_recordedChange->id);
    if (!item || !writeToPasteboard(*item))
        return;
    m_observer->setLastChangeCount(m_services.pasteboard->changeCount());
}

void AppModel::answerSaveRequest()
{
    // The owner waits for the answer, so its change can still be read.
    if (m_running && m_observer->hasPendingChange()) {
        m_saveRetryTimer.start();
        return;
    }
    const bool saved = m_running && m_recordedChange &&
                       m_recordedChange->changeCount == m_services.pasteboard->changeCount();
    m_services.clipboardKeeper->finishSave(saved);
}

void AppModel::checkImageSensitivity(const ClipItem& item, const QByteArray& png)
{
    m_services.sensitivityAnalyzer->analyze(
        png, this,
        [model = QPointer<AppModel>(this), id = item.id](SensitivityAnalyzer::Verdict verdict) {
            // The entry may have been deleted while the analyser worked.
            if (!model || verdict != true || !model->m_storage->item(id))
                return;
            model->m_storage->markSensitive(id);
        });
}

} // namespace nabrix
