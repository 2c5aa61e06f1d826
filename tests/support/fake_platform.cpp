// SPDX-License-Identifier: GPL-3.0-or-later
// Fakes of the platform services for headless tests.
#include "fake_platform.h"

#include "platform/fallback/fallback_services.h"
#include "platform/qt_window_activator.h"

#include <QPixmap>
#include <QThread>
#include <QTimer>

namespace nabrix::testing {

void FakePasteboard::setContent(Content content)
{
    m_content = std::move(content);
    ++m_changeCount;
    Q_EMIT changeNotified();
}

void FakePasteboard::copyText(const QString& text)
{
    setContent({.string = text});
}

namespace {

QStringList typesOf(const FakeClipboardContent& content)
{
    QStringList types = content.declaredOnly;
    if (content.fileUrls)
        types.append(PasteboardType::fileUrl);
    types.append(content.data.keys());
    if (content.string)
        types.append(PasteboardType::string);
    return types;
}

std::optional<QByteArray> dataOf(const FakeClipboardContent& content, const QString& type)
{
    return content.data.contains(type) ? std::optional(content.data.value(type)) : std::nullopt;
}

std::optional<QString> stringOf(const FakeClipboardContent& content, const QString& type)
{
    return type == PasteboardType::string ? content.string : std::nullopt;
}

// A copy of the content, read on a worker thread.
class FakeClipboardReader final : public ClipboardSource {
public:
    FakeClipboardReader(FakeClipboardContent content, ClipboardReadBounds bounds)
        : m_content(std::move(content))
        , m_bounds(std::move(bounds))
    {
    }

    QStringList types() const override
    {
        QThread::msleep(m_content.workerReadDelayMs);
        if (!m_content.stallsWorkerReads)
            return typesOf(m_content);
        // Until stopped; bounded far beyond any wait of the tests, so that a broken stop
        // fails them instead of hanging the run.
        for (int waited = 0; waited < 60000 && !m_bounds.stop.stop_requested(); waited += 5)
            QThread::msleep(5);
        return {};
    }
    std::optional<QByteArray> dataForType(const QString& type) const override
    {
        return dataOf(m_content, type);
    }
    std::optional<QString> stringForType(const QString& type) const override
    {
        return stringOf(m_content, type);
    }
    std::optional<QList<QUrl>> readFileUrls() const override { return m_content.fileUrls; }

private:
    FakeClipboardContent m_content;
    ClipboardReadBounds m_bounds;
};

} // namespace

std::unique_ptr<ClipboardSource> FakePasteboard::readerForWorker(ClipboardReadBounds bounds) const
{
    if (!workerReads)
        return nullptr;
    return std::make_unique<FakeClipboardReader>(m_content, std::move(bounds));
}

QStringList FakePasteboard::types() const
{
    return typesOf(m_content);
}

std::optional<QByteArray> FakePasteboard::dataForType(const QString& type) const
{
    return dataOf(m_content, type);
}

std::optional<QString> FakePasteboard::stringForType(const QString& type) const
{
    return stringOf(m_content, type);
}

std::optional<QList<QUrl>> FakePasteboard::readFileUrls() const
{
    return m_content.fileUrls;
}

void FakePasteboard::clearContents()
{
    setContent({});
}

void FakePasteboard::writeString(const QString& text)
{
    copyText(text);
}

void FakePasteboard::writeData(const QString& type, const QByteArray& data,
                               const std::optional<QString>& text)
{
    setContent({.data = {{type, data}}, .string = text});
}

void FakePasteboard::writeFileUrls(const QList<QUrl>& urls)
{
    setContent({.fileUrls = urls});
}

std::optional<QString> FakeWorkspace::applicationName(const QString& id) const
{
    return names.contains(id) ? std::optional(names.value(id)) : std::nullopt;
}

QIcon FakeWorkspace::applicationIcon(const QString& id) const
{
    if (!names.contains(id))
        return {};
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    return QIcon(pixmap);
}

bool FakeHotKeyService::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers)
{
    ++registrations;
    if (refuse)
        return false;
    registered = std::make_pair(keyCode, modifiers);
    return true;
}

void FakeHotKeyService::unregisterHotKey()
{
    ++unregistrations;
    registered.reset();
}

void FakeHotKeyService::press()
{
    if (registered)
        Q_EMIT pressed();
}

QString FakeKeyboardLayout::keyName(std::uint32_t keyCode) const
{
    return names.value(keyCode, hexKeyName(keyCode));
}

std::optional<NamedKey> FakeKeyboardLayout::namedKey(std::uint32_t keyCode) const
{
    return namedKeys.contains(keyCode) ? std::optional(namedKeys.value(keyCode)) : std::nullopt;
}

void FakeSensitivityAnalyzer::analyze(const QByteArray&, QObject* context,
                                      std::function<void(Verdict)> done)
{
    ++analyses;
    QTimer::singleShot(0, context, [done = std::move(done), verdict = verdict] { done(verdict); });
}

void FakeClipboardKeeper::requestSave()
{
    m_saveWaiting = true;
    Q_EMIT saveRequested();
}

void FakeClipboardKeeper::vanish()
{
    const bool recorded = m_recordedChange == m_pasteboard.changeCount();
    m_pasteboard.setContent({});
    if (recorded)
        Q_EMIT recordedOwnerVanished();
}

void FakeClipboardKeeper::contentRecorded()
{
    m_recordedChange = m_pasteboard.changeCount();
}

bool FakeClipboardKeeper::claim()
{
    claimed = true;
    return true;
}

void FakeClipboardKeeper::release()
{
    finishSave(false);
    claimed = false;
}

void FakeClipboardKeeper::finishSave(bool saved)
{
    if (!m_saveWaiting)
        return;
    m_saveWaiting = false;
    saveAnswers.append(saved);
}

FakePlatform::FakePlatform()
{
    // Hands each fake to the services and keeps a typed pointer to it.
    const auto install = [](auto& slot, auto fake) {
        auto* typed = fake.get();
        slot = std::move(fake);
        return typed;
    };
    pasteboard = install(services.pasteboard, std::make_unique<FakePasteboard>());
    clipboardKeeper =
        install(services.clipboardKeeper, std::make_unique<FakeClipboardKeeper>(*pasteboard));
    workspace = install(services.workspace, std::make_unique<FakeWorkspace>());
    keySynthesizer = install(services.keySynthesizer, std::make_unique<FakeKeySynthesizer>());
    hotKeyService = install(services.hotKeyService, std::make_unique<FakeHotKeyService>());
    keyboardLayout = install(services.keyboardLayout, std::make_unique<FakeKeyboardLayout>());
    sensitivityAnalyzer =
        install(services.sensitivityAnalyzer, std::make_unique<FakeSensitivityAnalyzer>());
    services.windowActivator = std::make_unique<QtWindowActivator>();
}

} // namespace nabrix::testing
