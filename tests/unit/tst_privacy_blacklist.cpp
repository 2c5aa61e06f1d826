// SPDX-License-Identifier: GPL-3.0-or-later
// Which copies the blacklist, and the password managers' own hint, keep out of the history.
#include "capture/clipboard_observer.h"
#include "model_fixture.h"

#include <QTest>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

struct Fixture : ModelFixture {
    // Another application copies `text` while `source` is in front; the next poll reads it.
    // False when the read did not end.
    [[nodiscard]] bool copy(const QString& text, const QString& source,
                            const QByteArray& passwordHint = {})
    {
        platform.workspace->frontmost =
            source.isEmpty() ? std::nullopt : std::optional<QString>(source);
        FakePasteboard::Content content;
        content.string = text;
        if (!passwordHint.isNull())
            content.data.insert(PasteboardType::passwordManagerHint, passwordHint);
        platform.pasteboard->setContent(content);
        model.observer().poll();
        return QTest::qWaitFor([this] { return !model.observer().isReading(); }, 5000);
    }

    bool isRecorded(const QString& text) const { return storedTexts().contains(text); }
};

} // namespace

class TestPrivacyBlacklist : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The hint is the manager's own request: it holds whichever application is in front.
    void passwordHintKeepsTheCopyOut_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("source");  // empty: no frontmost application
        QTest::addColumn<QByteArray>("hint"); // null: no hint on the clipboard
        QTest::addColumn<bool>("recorded");
        const auto row = [](const char* name, const QString& text, const QString& source,
                            const QByteArray& hint, bool recorded) {
            QTest::newRow(name) << text << source << hint << recorded;
        };
        row("no source, secret", "hunter2", "", "secret", false);
        row("no source, secret with newline", "hunter2", "", "secret\n", false);
        row("no source, other hint value", "hunter2", "", "public", true);
        row("terminal in front, secret", "hunter2", "XTerm", "secret", false);
        // KeePassXC clears its copy after a while by offering an empty text with the hint.
        row("timed clear, terminal in front", "", "XTerm", "secret", false);
        row("ordinary source, no hint", "hunter2", "org.example.Editor", QByteArray(), true);
        row("blacklisted source, no hint", "hunter2", "com.bitwarden", QByteArray(), false);
    }
    void passwordHintKeepsTheCopyOut()
    {
        QFETCH(QString, text);
        QFETCH(QString, source);
        QFETCH(QByteArray, hint);
        QFETCH(bool, recorded);
        Fixture f;
        QVERIFY(f.copy(text, source, hint));
        QCOMPARE(f.isRecorded(text), recorded);
    }

    void hintOfAnEarlierCopyDoesNotStick()
    {
        Fixture f;
        QVERIFY(f.copy(QStringLiteral("hunter2"), QString(), "secret"));
        QVERIFY(f.copy(QStringLiteral("plain note"), QString()));
        QVERIFY(!f.isRecorded(QStringLiteral("hunter2")));
        QVERIFY(f.isRecorded(QStringLiteral("plain note")));
    }

    // What these managers' windows report on a real X server (desktop id, WM_CLASS class).
    void linuxPasswordManagersAreBlacklistedByDefault_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("KeePassXC desktop id") << "org.keepassxc.KeePassXC";
        QTest::newRow("KeePassXC window class") << "KeePassXC";
        QTest::newRow("KeePass 2 desktop id") << "keepass2";
        QTest::newRow("KeePass 2 window class") << "KeePass2";
        QTest::newRow("Passwords and Keys") << "org.gnome.seahorse.Application";
        QTest::newRow("KWallet Manager desktop id") << "org.kde.kwalletmanager5";
        QTest::newRow("KWallet Manager window class") << "kwalletmanager5";
    }
    void linuxPasswordManagersAreBlacklistedByDefault()
    {
        QFETCH(QString, source);
        Fixture f;
        QVERIFY(f.copy(QStringLiteral("hunter2"), source));
        QVERIFY(!f.isRecorded(QStringLiteral("hunter2")));
        // The same copy from an application of another name is recorded.
        QVERIFY(f.copy(QStringLiteral("hunter2"), source + QStringLiteral(".Other")));
        QVERIFY(f.isRecorded(QStringLiteral("hunter2")));
    }
};

QTEST_MAIN(TestPrivacyBlacklist)
#include "tst_privacy_blacklist.moc"
