// SPDX-License-Identifier: GPL-3.0-or-later
// Fakes of the platform services for headless tests.
#include "fake_platform.h"

#include "platform/fallback/fallback_services.h"
#include "platform/qt_window_activator.h"

#include <QPixmap>
#include <QThread>
#include <QTimer>

namespace nabrix::testing {

void FakePasteboard::replace(Content content)
{
    m_content = std::move(content);
    ++m_changeCount;
    Q_EMIT changeNotified();
}

void FakePasteboard::setContent(const Content& content)
{
    replace(content);
}

void FakePasteboard::copyText(const QString& text)
{
    Content content;
    content.string = text;
    replace(content);
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
    const auto it = content.data.constFind(type);
    return it == content.data.cend() ? std::nullopt : std::optional<QByteArray>(*it);
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
    ++m_clearCount;
    replace({});
}

void FakePasteboard::writeString(const QString& text)
{
    copyText(text);
}

void FakePasteboard::writeData(const QString& type, const QByteArray& data,
                               const std::optional<QString>& text)
{
    Content content;
    content.data.insert(type, data);
    content.string = text;
    replace(content);
}

void FakePasteboard::writeFileUrls(const QList<QUrl>& urls)
{
    Content content;
    content.fileUrls = urls;
    replace(content);
}

std::optional<QString> FakeWorkspace::applicationName(const QString& id) const
{
    const auto it = names.constFind(id);
    return it == names.cend() ? std::nullopt : std::optional<QString>(*it);
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
    const auto found = namedKeys.constFind(keyCode);
    return found == namedKeys.cend() ? std::nullopt : std::make_optional(*found);
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
    auto pasteboardFake = std::make_unique<FakePasteboard>();
    auto workspaceFake = std::make_unique<FakeWorkspace>();
    auto keys = std::make_unique<FakeKeySynthesizer>();
    auto hotKeys = std::make_unique<FakeHotKeyService>();
    auto layout = std::make_unique<FakeKeyboardLayout>();
    auto analyzer = std::make_unique<FakeSensitivityAnalyzer>();
    auto keeper = std::make_unique<FakeClipboardKeeper>(*pasteboardFake);
    pasteboard = pasteboardFake.get();
    clipboardKeeper = keeper.get();
    workspace = workspaceFake.get();
    keySynthesizer = keys.get();
    hotKeyService = hotKeys.get();
    keyboardLayout = layout.get();
    sensitivityAnalyzer = analyzer.get();
    services.pasteboard = std::move(pasteboardFake);
    services.clipboardKeeper = std::move(keeper);
    services.workspace = std::move(workspaceFake);
    services.keySynthesizer = std::move(keys);
    services.hotKeyService = std::move(hotKeys);
    services.keyboardLayout = std::move(layout);
    services.sensitivityAnalyzer = std::move(analyzer);
    services.windowActivator = std::make_unique<QtWindowActivator>();
}

} // namespace nabrix::testing
