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

// What a row expects to load; a field it leaves out is the default.
struct Loaded {
    int retention = 30;
    bool detection = true;
    bool hideIcon = false;
    quint32 keyCode = 0;
    QStringList blacklist = AppSettings::defaultBlacklist();
};

} // namespace

Q_DECLARE_METATYPE(Loaded)

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
        QTest::addColumn<Loaded>("loaded");
        const auto row = [](const char* name, const QByteArray& ini, const Loaded& loaded) {
            QTest::newRow(name) << ini << loaded;
        };
        row("zero retention is unlimited, not the default", "retentionDays=0\n", {.retention = 0});
        row("text retention loads the default", "retentionDays=soon\n", {});
        row("booleans", "sensitiveDetectionEnabled=false\nhideMenuBarIcon=true\n",
            {.detection = false, .hideIcon = true});
        row("boolean of the wrong type loads the default",
            "sensitiveDetectionEnabled=maybe\nhideMenuBarIcon=1\n", {});
        row("shortcut", "hotkeyKeyCode=55\nhotkeyModifiers=6144\n", {.keyCode = 55});
        row("negative key code is no shortcut", "hotkeyKeyCode=-3\n", {});
        row("key code beyond 32 bits is no shortcut", "hotkeyKeyCode=4294967296\n", {});
        row("empty blacklist stays empty", "blacklistedBundleIDs=@ByteArray([])\n",
            {.blacklist = QStringList()});
        row("stored blacklist",
            "blacklistedBundleIDs=\"@ByteArray([\\\"a.b\\\",\\\"c\\\\/d\\\"])\"\n",
            {.blacklist = QStringList({"a.b", "c/d"})});
        row("undecodable blacklist loads the default", "blacklistedBundleIDs=@ByteArray([1,2])\n",
            {});
    }
    void storedValuesLoadByType()
    {
        QFETCH(QByteArray, ini);
        QFETCH(Loaded, loaded);
        TestHome home;
        writeIni(home, ini);
        const auto settings = home.loadSettings();
        QCOMPARE(settings->retentionDays(), loaded.retention);
        QCOMPARE(settings->sensitiveDetectionEnabled(), loaded.detection);
        QCOMPARE(settings->hideMenuBarIcon(), loaded.hideIcon);
        QCOMPARE(settings->hotkeyKeyCode(), loaded.keyCode);
        QCOMPARE(settings->blacklistedBundleIDs(), loaded.blacklist);
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
