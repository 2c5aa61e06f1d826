// SPDX-License-Identifier: GPL-3.0-or-later
// Preferences: defaults, typed loading from the INI file, write-through and notification.
#include "storage/app_settings.h"
#include "test_environment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

void writeIni(const TestHome& home, const QByteArray& body)
{
    QDir().mkpath(QFileInfo(home.settingsPath()).absolutePath());
    QFile file(home.settingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[General]\n" + body);
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void freshUserGetsTheDefaults()
    {
        TestHome home;
        const auto settings = home.loadSettings();
        QCOMPARE(settings->retentionDays(), 30);
        QVERIFY(settings->sensitiveDetectionEnabled());
        QVERIFY(settings->hideSensitiveContent());
        QCOMPARE(settings->blacklistedBundleIDs(), AppSettings::defaultBlacklist());
        QVERIFY(!settings->hideMenuBarIcon());
        QVERIFY(!settings->pasteOnSelect());
        QCOMPARE(settings->hotkeyKeyCode(), 0u);
        QCOMPARE(settings->hotkeyModifiers(), 0u);
        QVERIFY(!QFile::exists(home.settingsPath()));
    }

    // Values as another process wrote them: every INI value comes back as text.
    void storedValuesLoadByType_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("retention");
        QTest::addColumn<bool>("detection");
        QTest::addColumn<bool>("hideIcon");
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<QStringList>("blacklist");
        const QStringList defaults = AppSettings::defaultBlacklist();
        QTest::newRow("zero retention is unlimited, not the default")
            << QByteArray("retentionDays=0\n") << 0 << true << false << 0u << defaults;
        QTest::newRow("text retention loads the default")
            << QByteArray("retentionDays=soon\n") << 30 << true << false << 0u << defaults;
        QTest::newRow("booleans") << QByteArray(
                                         "sensitiveDetectionEnabled=false\nhideMenuBarIcon=true\n")
                                  << 30 << false << true << 0u << defaults;
        QTest::newRow("boolean of the wrong type loads the default")
            << QByteArray("sensitiveDetectionEnabled=maybe\nhideMenuBarIcon=1\n") << 30 << true
            << false << 0u << defaults;
        QTest::newRow("shortcut") << QByteArray("hotkeyKeyCode=55\nhotkeyModifiers=6144\n") << 30
                                  << true << false << 55u << defaults;
        QTest::newRow("negative key code is no shortcut")
            << QByteArray("hotkeyKeyCode=-3\n") << 30 << true << false << 0u << defaults;
        QTest::newRow("key code beyond 32 bits is no shortcut")
            << QByteArray("hotkeyKeyCode=4294967296\n") << 30 << true << false << 0u << defaults;
        QTest::newRow("empty blacklist stays empty")
            << QByteArray("blacklistedBundleIDs=@ByteArray([])\n") << 30 << true << false << 0u
            << QStringList();
        QTest::newRow("stored blacklist")
            << QByteArray("blacklistedBundleIDs=\"@ByteArray([\\\"a.b\\\",\\\"c\\\\/d\\\"])\"\n")
            << 30 << true << false << 0u << QStringList({"a.b", "c/d"});
        QTest::newRow("undecodable blacklist loads the default")
            << QByteArray("blacklistedBundleIDs=@ByteArray([1,2])\n") << 30 << true << false << 0u
            << defaults;
        QTest::newRow("blacklist as text loads the default")
            << QByteArray("blacklistedBundleIDs=a.b\n") << 30 << true << false << 0u << defaults;
    }
    void storedValuesLoadByType()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, retention);
        QFETCH(bool, detection);
        QFETCH(bool, hideIcon);
        QFETCH(quint32, keyCode);
        QFETCH(QStringList, blacklist);
        TestHome home;
        writeIni(home, ini);
        const auto settings = home.loadSettings();
        QCOMPARE(settings->retentionDays(), retention);
        QCOMPARE(settings->sensitiveDetectionEnabled(), detection);
        QCOMPARE(settings->hideMenuBarIcon(), hideIcon);
        QCOMPARE(settings->hotkeyKeyCode(), keyCode);
        QCOMPARE(settings->blacklistedBundleIDs(), blacklist);
    }

    void assignmentsSurviveARestart()
    {
        TestHome home;
        {
            const auto settings = home.loadSettings();
            settings->setRetentionDays(0);
            settings->setSensitiveDetectionEnabled(false);
            settings->setHideSensitiveContent(false);
            settings->setBlacklistedBundleIDs({});
            settings->setHideMenuBarIcon(true);
            settings->setPasteOnSelect(true);
            settings->setHotkeyKeyCode(55);
            settings->setHotkeyModifiers(4096 + 2048);
        }
        QCOMPARE(QFileInfo(home.settingsPath()).permissions() & 0x0077, QFileDevice::Permissions());
        const auto reloaded = home.loadSettings();
        QCOMPARE(reloaded->retentionDays(), 0);
        QVERIFY(!reloaded->sensitiveDetectionEnabled());
        QVERIFY(!reloaded->hideSensitiveContent());
        QCOMPARE(reloaded->blacklistedBundleIDs(), QStringList());
        QVERIFY(reloaded->hideMenuBarIcon());
        QVERIFY(reloaded->pasteOnSelect());
        QCOMPARE(reloaded->hotkeyKeyCode(), 55u);
        QCOMPARE(reloaded->hotkeyModifiers(), 6144u);
    }

    void blacklistIsStoredAsCompactEscapedJson()
    {
        TestHome home;
        home.loadSettings()->setBlacklistedBundleIDs({QStringLiteral("a/b"), QStringLiteral("c")});
        QFile file(home.settingsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains(
            "blacklistedBundleIDs=\"@ByteArray([\\\"a\\\\/b\\\",\\\"c\\\"])\""));
    }

    void sameValueIsWrittenButNotAnnounced()
    {
        TestHome home;
        const auto settings = home.loadSettings();
        QSignalSpy changed(settings.get(), &AppSettings::pasteOnSelectChanged);
        settings->setPasteOnSelect(true);
        QCOMPARE(changed.size(), 1);
        QFile::remove(home.settingsPath());
        settings->setPasteOnSelect(true);
        QCOMPARE(changed.size(), 1);
        QVERIFY(QFile::exists(home.settingsPath()));

        QSignalSpy blacklistChanged(settings.get(), &AppSettings::blacklistedBundleIDsChanged);
        settings->setBlacklistedBundleIDs(AppSettings::defaultBlacklist());
        QCOMPARE(blacklistChanged.size(), 0);
        settings->setBlacklistedBundleIDs({QStringLiteral("x")});
        QCOMPARE(blacklistChanged.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
