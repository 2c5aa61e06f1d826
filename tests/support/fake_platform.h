// SPDX-License-Identifier: GPL-3.0-or-later
// Fakes of the platform services for headless tests.
#pragma once

#include "platform/platform_services.h"

#include <QHash>
#include <QMap>
#include <functional>
#include <optional>

namespace nabrix::testing {

// What another application put on the fake clipboard.
struct FakeClipboardContent {
    QMap<QString, QByteArray> data{};
    std::optional<QString> string{};
    std::optional<QList<QUrl>> fileUrls{};
    // Types declared without any data behind them.
    QStringList declaredOnly{};
    // Its owner never answers a worker's read: the read ends only when it is stopped.
    bool stallsWorkerReads = false;
    // Its owner is this slow to answer a worker's read, stopped or not (a transfer under way).
    int workerReadDelayMs = 0;
};

// An in-process clipboard: each write replaces the content and bumps the counter. Readers
// for workers read a copy of the content taken when they are made.
class FakePasteboard final : public Pasteboard {
    Q_OBJECT
public:
    using Content = FakeClipboardContent;

    // Another application copies `content`.
    void setContent(Content content);
    void copyText(const QString& text);
    const Content& content() const { return m_content; }
    // Off: the clipboard can only be read on the main thread, as with Qt alone.
    bool workerReads = true;
    // Off: changes are still announced, but the observer may not rely on it and polls.
    bool notifies = false;

    qint64 changeCount() const override { return m_changeCount; }
    bool notifiesEveryChange() const override { return notifies; }
    std::unique_ptr<ClipboardSource> readerForWorker(ClipboardReadBounds bounds) const override;
    QStringList types() const override;
    std::optional<QByteArray> dataForType(const QString& type) const override;
    std::optional<QString> stringForType(const QString& type) const override;
    std::optional<QList<QUrl>> readFileUrls() const override;
    void clearContents() override;
    void writeString(const QString& text) override;
    void writeData(const QString& type, const QByteArray& data,
                   const std::optional<QString>& text) override;
    void writeFileUrls(const QList<QUrl>& urls) override;

private:
    Content m_content;
    qint64 m_changeCount = 0;
};

// The applications in `names` are installed, each with an icon.
class FakeWorkspace final : public Workspace {
public:
    std::optional<QString> frontmost;
    QHash<QString, QString> names;

    std::optional<QString> frontmostApplicationId() const override { return frontmost; }
    std::optional<QString> applicationName(const QString& id) const override;
    QIcon applicationIcon(const QString& id) const override;
    bool isInstalled(const QString& id) const override { return names.contains(id); }
};

class FakeKeySynthesizer final : public KeySynthesizer {
public:
    bool trusted = true;
    int trustRequests = 0;
    int pastes = 0;

    bool isTrusted() const override { return trusted; }
    void requestTrust() override { ++trustRequests; }
    void postPaste() override { ++pastes; }
};

class FakeHotKeyService final : public HotKeyService {
    Q_OBJECT
public:
    bool refuse = false;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> registered;
    int registrations = 0;
    int unregistrations = 0;

    bool registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers) override;
    void unregisterHotKey() override;
    // The user presses the registered combination.
    void press();
};

class FakeKeyboardLayout final : public KeyboardLayout {
public:
    QHash<std::uint32_t, QString> names;
    QHash<std::uint32_t, NamedKey> namedKeys;
    QString keyName(std::uint32_t keyCode) const override;
    std::optional<NamedKey> namedKey(std::uint32_t keyCode) const override;
};

// Answers with `verdict` on the next turn of the event loop.
// Holds the manager role whenever asked; the test plays the quitting or vanishing owner of
// what is on the fake pasteboard.
class FakeClipboardKeeper final : public ClipboardKeeper {
    Q_OBJECT
public:
    explicit FakeClipboardKeeper(FakePasteboard& pasteboard)
        : m_pasteboard(pasteboard)
    {
    }
    bool claimed = false;
    // The answers given to save requests, oldest first.
    QList<bool> saveAnswers;

    // The owner asks for its content to be kept before it quits.
    void requestSave();
    // The owner exits without clearing the clipboard: it is left empty, and the end is
    // reported when the content was recorded and nothing was copied since.
    void vanish();
    bool saveIsWaiting() const { return m_saveWaiting; }

    bool claim() override;
    void release() override;
    void finishSave(bool saved) override;
    void contentRecorded() override;

private:
    FakePasteboard& m_pasteboard;
    bool m_saveWaiting = false;
    std::optional<qint64> m_recordedChange;
};

class FakeSensitivityAnalyzer final : public SensitivityAnalyzer {
public:
    Verdict verdict;
    int analyses = 0;
    void analyze(const QByteArray& png, QObject* context,
                 std::function<void(Verdict)> done) override;
};

// A full set of fakes, with typed access to each.
struct FakePlatform {
    FakePlatform();
    PlatformServices services;
    FakePasteboard* pasteboard;
    FakeClipboardKeeper* clipboardKeeper;
    FakeWorkspace* workspace;
    FakeKeySynthesizer* keySynthesizer;
    FakeHotKeyService* hotKeyService;
    FakeKeyboardLayout* keyboardLayout;
    FakeSensitivityAnalyzer* sensitivityAnalyzer;
};

} // namespace nabrix::testing
