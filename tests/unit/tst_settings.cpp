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
        const auto row = [](const char* name, const QByteArray& ini, int retention, bool detection,
                            bool hideIcon, quint32 keyCode, const QStringList& blacklist) {
            QTest::newRow(name) << ini << retention << detection << hideIcon << keyCode
                                << blacklist;
        };
        const QStringList defaults = AppSettings::defaultBlacklist();
        row("zero retention is unlimited, not the default", "retentionDays=0\n", 0, true, false, 0u,
            defaults);
        row("text retention loads the default", "retentionDays=soon\n", 30, true, false, 0u,
            defaults);
        row("booleans", QByteArray("sensitiveDetectionEnabled=false\nhideMenuBarIcon=true\n"), 30,
            false, true, 0u, defaults);
        row("boolean of the wrong type loads the default",
            "sensitiveDetectionEnabled=maybe\nhideMenuBarIcon=1\n", 30, true, false, 0u, defaults);
        row("shortcut", "hotkeyKeyCode=55\nhotkeyModifiers=6144\n", 30, true, false, 55u, defaults);
        row("negative key code is no shortcut", "hotkeyKeyCode=-3\n", 30, true, false, 0u,
            defaults);
        row("key code beyond 32 bits is no shortcut", "hotkeyKeyCode=4294967296\n", 30, true, false,
            0u, defaults);
        row("empty blacklist stays empty", "blacklistedBundleIDs=@ByteArray([])\n", 30, true, false,
            0u, QStringList());
        row("stored blacklist",
            "blacklistedBundleIDs=\"@ByteArray([\\\"a.b\\\",\\\"c\\\\/d\\\"])\"\n", 30, true, false,
            0u, QStringList({"a.b", "c/d"}));
        row("undecodable blacklist loads the default", "blacklistedBundleIDs=@ByteArray([1,2])\n",
            30, true, false, 0u, defaults);
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
