// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window: what each control stores, its guards and alerts, the version line.
#include "i18n/text_catalogue.h"
#include "model_fixture.h"
#include "shell/app_delegate.h"
#include "storage/app_settings.h"
#include "views/hot_key_recorder.h"
#include "views/settings_view.h"
#include "views/settings_window.h"
#include "views/toggle_switch.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

constexpr std::uint32_t vKey = 55;
constexpr std::uint32_t controlOption = 6144;

// The settings window over a fixture's model, shown and active.
struct SettingsFixture : ModelFixture {
    SettingsFixture()
    {
        platform.keyboardLayout->names.insert(vKey, QStringLiteral("V"));
        controller.hasStatusItem = true;
    }

    bool open()
    {
        if (!window)
            window = std::make_unique<SettingsWindow>(model);
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }
    template <typename T> T* find(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    SettingsView& view() const { return window->view(); }
    QLineEdit* field() const { return find<QLineEdit>("blacklistField"); }
    QPushButton* addButton() const { return find<QPushButton>("blacklistAddButton"); }
    HotKeyCaptureView& recorderBox() const
    {
        return find<HotKeyRecorder>("hotkeyRecorder")->captureView();
    }
    QList<QAbstractButton*> removeButtons(const QString& id) const
    {
        QList<QAbstractButton*> found;
        const auto buttons =
            window->findChildren<QAbstractButton*>(QStringLiteral("blacklistRemoveButton"));
        for (QAbstractButton* button : buttons) {
            if (button->property("bundleID").toString() == id)
                found.append(button);
        }
        return found;
    }
    void storeShortcut(std::uint32_t keyCode, std::uint32_t modifiers)
    {
        model.settings().setHotkeyKeyCode(keyCode);
        model.settings().setHotkeyModifiers(modifiers);
    }
    void pressInWindow(int key, Qt::KeyboardModifiers modifiers, quint32 scanCode) const
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QKeyEvent event(QEvent::KeyPress, key, modifiers, scanCode, 0, 0);
        QApplication::sendEvent(target, &event);
    }

    std::unique_ptr<SettingsWindow> window;
};

// Clicks the alert's button with this text; false when there is no such button.
bool clickAlertButton(QMessageBox* alert, const QString& text)
{
    if (alert == nullptr)
        return false;
    for (QAbstractButton* button : alert->buttons()) {
        if (button->text() == text) {
            button->click();
            return true;
        }
    }
    return false;
}

} // namespace

class TestSettingsView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(installTranslations(*qApp, QLocale(QLocale::English))); }

    void addingABlacklistEntry_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("withReturn");
        QTest::addColumn<QStringList>("after");

        const QStringList list{QStringLiteral("com.example.one")};
        const QStringList appended{QStringLiteral("com.example.one"),
                                   QStringLiteral("org.keepassxc.KeePassXC")};
        for (const bool withReturn : {false, true}) {
            QTest::addRow("trimmed and appended%s", withReturn ? " (return)" : " (button)")
                << list << QStringLiteral("  org.keepassxc.KeePassXC\t") << withReturn << appended;
        }
        QTest::newRow("duplicate only empties the field")
            << list << QStringLiteral(" com.example.one ") << false << list;
        QTest::newRow("other letter case is another entry")
            << list << QStringLiteral("COM.example.one") << false
            << QStringList{QStringLiteral("com.example.one"), QStringLiteral("COM.example.one")};
        QTest::newRow("inner blanks are kept")
            << QStringList() << QStringLiteral("Proton Pass") << false
            << QStringList{QStringLiteral("Proton Pass")};
    }

    void addingABlacklistEntry()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, typed);
        QFETCH(bool, withReturn);
        QFETCH(QStringList, after);

        SettingsFixture f;
        f.model.settings().setBlacklistedBundleIDs(before);
        QVERIFY(f.open());
        f.field()->setText(typed);
        QVERIFY(f.addButton()->isEnabled());
        if (withReturn)
            QTest::keyClick(f.field(), Qt::Key_Return);
        else
            QTest::mouseClick(f.addButton(), Qt::LeftButton);

        QCOMPARE(f.model.settings().blacklistedBundleIDs(), after);
        QCOMPARE(f.field()->text(), QString());
        for (const QString& id : after)
            QCOMPARE(f.removeButtons(id).size(), 1);
    }

    void blankEntryChangesNothing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("buttonEnabled");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("blanks and tabs") << QStringLiteral(" \t  ") << false;
        // The button looks at blanks and tabs only; adding trims every white space.
        QTest::newRow("line break") << QStringLiteral("\n") << true;
    }

    void blankEntryChangesNothing()
    {
        QFETCH(QString, typed);
        QFETCH(bool, buttonEnabled);
        SettingsFixture f;
        const QStringList before{QStringLiteral("com.example.one")};
        f.model.settings().setBlacklistedBundleIDs(before);
        QVERIFY(f.open());
        f.field()->setText(typed);
        QCOMPARE(f.field()->text(), typed);
        QCOMPARE(f.addButton()->isEnabled(), buttonEnabled);
        f.addButton()->click();
        QTest::keyClick(f.field(), Qt::Key_Return);
        QCOMPARE(f.model.settings().blacklistedBundleIDs(), before);
        QCOMPARE(f.field()->text(), typed);
    }

    void removingEveryEntryLeavesAnEmptyList()
    {
        SettingsFixture f;
        f.model.settings().setBlacklistedBundleIDs(
            {QStringLiteral("a.one"), QStringLiteral("b.two"), QStringLiteral("a.one")});
        QVERIFY(f.open());
        auto* emptyText = f.find<QLabel>("blacklistEmptyText");
        QVERIFY(!emptyText->isVisible());

        // Either row of a repeated identifier removes every copy of it.
        QCOMPARE(f.removeButtons(QStringLiteral("a.one")).size(), 2);
        QTest::mouseClick(f.removeButtons(QStringLiteral("a.one")).constLast(), Qt::LeftButton);
        QCOMPARE(f.model.settings().blacklistedBundleIDs(), QStringList{QStringLiteral("b.two")});
        QVERIFY(f.removeButtons(QStringLiteral("a.one")).isEmpty());
        QVERIFY(!emptyText->isVisible());

        QTest::mouseClick(f.removeButtons(QStringLiteral("b.two")).constFirst(), Qt::LeftButton);
        QCOMPARE(f.model.settings().blacklistedBundleIDs(), QStringList());
        QVERIFY(emptyText->isVisible());
        QCOMPARE(emptyText->text(), QStringLiteral("No applications are ignored."));
    }

    void defaultsRestoreTheWholeListInOrder()
    {
        SettingsFixture f;
        f.model.settings().setBlacklistedBundleIDs({QStringLiteral("mine")});
        QVERIFY(f.open());
        f.find<QPushButton>("blacklistDefaultsButton")->click();
        const QStringList defaults = AppSettings::defaultBlacklist();
        QCOMPARE(f.model.settings().blacklistedBundleIDs(), defaults);
        QVERIFY(f.removeButtons(QStringLiteral("mine")).isEmpty());
        QCOMPARE(f.removeButtons(defaults.constFirst()).size(), 1);
        QCOMPARE(f.removeButtons(defaults.constLast()).size(), 1);
    }

    void hidingTheIconNeedsAWorkingShortcut_data()
    {
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("hidden");
        QTest::newRow("no shortcut") << 0u << false << false;
        QTest::newRow("shortcut taken by another program") << vKey << true << false;
        QTest::newRow("working shortcut") << vKey << false << true;
    }

    void hidingTheIconNeedsAWorkingShortcut()
    {
        QFETCH(quint32, keyCode);
        QFETCH(bool, refused);
        QFETCH(bool, hidden);
        SettingsFixture f;
        f.storeShortcut(keyCode, keyCode == 0 ? 0 : controlOption);
        f.platform.hotKeyService->refuse = refused;
        QVERIFY(f.open());
        auto* toggle = f.find<ToggleSwitch>("hideIconToggle");
        QTest::mouseClick(toggle, Qt::LeftButton);

        QCOMPARE(toggle->isChecked(), hidden);
        QCOMPARE(f.model.settings().hideMenuBarIcon(), hidden);
        QCOMPARE(f.controller.hasStatusItem, !hidden);
        QMessageBox* alert = f.view().hotkeyAlert();
        QCOMPARE(alert != nullptr && alert->isVisible(), !hidden);
        if (alert != nullptr) {
            QCOMPARE(alert->text(), QStringLiteral("Record a shortcut first"));
            QVERIFY(clickAlertButton(alert, QStringLiteral("OK")));
            QTRY_VERIFY(f.view().hotkeyAlert() == nullptr);
            QVERIFY(!toggle->isChecked());
        }
    }

    void showingTheIconAgainNeedsNoShortcut()
    {
        SettingsFixture f;
        f.model.settings().setHideMenuBarIcon(true);
        f.controller.hasStatusItem = false;
        QVERIFY(f.open());
        auto* toggle = f.find<ToggleSwitch>("hideIconToggle");
        QVERIFY(toggle->isChecked());
        QTest::mouseClick(toggle, Qt::LeftButton);
        QVERIFY(!f.model.settings().hideMenuBarIcon());
        QVERIFY(f.controller.hasStatusItem);
        QVERIFY(f.view().hotkeyAlert() == nullptr);
    }

    void retentionChoiceIsStored_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("days");
        QTest::addColumn<QString>("label");
        QTest::newRow("30 days") << 1 << 30 << QStringLiteral("30 days");
        QTest::newRow("forever") << 3 << 0 << QStringLiteral("Forever");
    }

    void retentionChoiceIsStored()
    {
        QFETCH(int, index);
        QFETCH(int, days);
        QFETCH(QString, label);
        SettingsFixture f;
        f.model.settings().setRetentionDays(14); // not a choice: the picker shows none
        QVERIFY(f.open());
        auto* picker = f.find<QComboBox>("retentionPicker");
        QCOMPARE(picker->currentIndex(), -1);
        // The user picks with the keyboard: Home, then Down to the choice.
        QTest::keyClick(picker, Qt::Key_Home);
        for (int step = 0; step < index; ++step)
            QTest::keyClick(picker, Qt::Key_Down);
        QCOMPARE(picker->currentText(), label);
        QCOMPARE(f.model.settings().retentionDays(), days);
    }

    void pickerShowsTheStoredRetention()
    {
        SettingsFixture f;
        f.model.settings().setRetentionDays(0);
        QVERIFY(f.open());
        QCOMPARE(f.find<QComboBox>("retentionPicker")->currentText(), QStringLiteral("Forever"));
        f.model.settings().setRetentionDays(90);
        QCOMPARE(f.find<QComboBox>("retentionPicker")->currentText(), QStringLiteral("90 days"));
    }

    void privacyTogglesAreStored_data()
    {
        QTest::addColumn<QString>("toggle");
        QTest::newRow("sensitive detection") << QStringLiteral("sensitiveDetectionToggle");
        QTest::newRow("hide sensitive") << QStringLiteral("hideSensitiveToggle");
    }

    void privacyTogglesAreStored()
    {
        QFETCH(QString, toggle);
        SettingsFixture f;
        QVERIFY(f.open());
        auto* control = f.window->findChild<ToggleSwitch*>(toggle);
        const auto stored = [&toggle](const AppSettings& settings) {
            return toggle == QLatin1String("hideSensitiveToggle")
                       ? settings.hideSensitiveContent()
                       : settings.sensitiveDetectionEnabled();
        };
        QVERIFY(control->isChecked());
        QTest::mouseClick(control, Qt::LeftButton);
        QVERIFY(!stored(f.model.settings()));
        QTest::mouseClick(control, Qt::LeftButton);
        QVERIFY(stored(f.model.settings()));
    }

    void versionLine_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("buildNumber");
        QTest::addColumn<QString>("line");
        QTest::newRow("with build number") << QStringLiteral("en") << QStringLiteral("118")
                                           << QStringLiteral("Version 2.4.0 (118)");
        QTest::newRow("spanish without build number")
            << QStringLiteral("es") << QString() << QStringLiteral("Versión 2.4.0 (1)");
    }

    void versionLine()
    {
        QFETCH(QString, language);
        QFETCH(QString, buildNumber);
        QFETCH(QString, line);
        QVERIFY(installTranslations(*qApp, QLocale(language)));
        const QString shown = SettingsView::versionLine(QStringLiteral("2.4.0"), buildNumber);
        QVERIFY(installTranslations(*qApp, QLocale(QLocale::English)));
        QCOMPARE(shown, line);
    }

    void aboutShowsThisBuildsVersion()
    {
        SettingsFixture f;
        QVERIFY(f.open());
        const QString shown = f.find<QLabel>("versionLabel")->text();
        QVERIFY2(shown.contains(QStringLiteral(NABRIX_VERSION)), qPrintable(shown));
        const QString build = QStringLiteral(NABRIX_BUILD_NUMBER);
        const QString shownBuild = build.isEmpty() ? QStringLiteral("1") : build;
        QVERIFY2(shown.contains(QLatin1Char('(') + shownBuild + QLatin1Char(')')),
                 qPrintable(shown));
    }

    void everyOpeningRegistersTheShortcutAndAsksForTrust()
    {
        SettingsFixture f;
        f.storeShortcut(vKey, controlOption);
        f.platform.keySynthesizer->trusted = false;
        QVERIFY(!f.platform.hotKeyService->registered);

        QVERIFY(f.open());
        QCOMPARE(f.platform.hotKeyService->registered, std::make_pair(vKey, controlOption));
        QVERIFY(f.model.hotkeyActive());
        QVERIFY(!f.model.accessibilityGranted());
        QCOMPARE(f.platform.keySynthesizer->trustRequests, 1);

        // Closed, the shortcut is lost to another program meanwhile, and access is granted.
        f.window->close();
        f.platform.hotKeyService->unregisterHotKey();
        f.platform.keySynthesizer->trusted = true;
        const int registrations = f.platform.hotKeyService->registrations;
        QVERIFY(f.open());
        QCOMPARE(f.platform.hotKeyService->registrations, registrations + 1);
        QCOMPARE(f.platform.hotKeyService->registered, std::make_pair(vKey, controlOption));
        QVERIFY(f.model.accessibilityGranted());
        QCOMPARE(f.platform.keySynthesizer->trustRequests, 1);
    }

    void recordingStoresAndRegistersTheNewShortcut()
    {
        SettingsFixture f;
        f.platform.keyboardLayout->names.insert(39, QStringLiteral("S"));
        f.storeShortcut(vKey, controlOption);
        QVERIFY(f.open());
        QTest::mouseClick(&f.recorderBox(), Qt::LeftButton);
        QVERIFY(f.recorderBox().isRecording());
        const int registrations = f.platform.hotKeyService->registrations;
        f.pressInWindow(Qt::Key_S, Qt::ShiftModifier | Qt::MetaModifier, 39);

        // Both halves at once: the new shortcut is grabbed once, never half-changed.
        QCOMPARE(f.platform.hotKeyService->registrations, registrations + 1);

        QCOMPARE(f.model.settings().hotkeyKeyCode(), 39u);
        QCOMPARE(f.model.settings().hotkeyModifiers(), 768u);
        QCOMPARE(f.platform.hotKeyService->registered, std::make_pair(39u, 768u));
        QVERIFY(f.model.hotkeyActive());
        QCOMPARE(f.recorderBox().shownText(), QStringLiteral("Shift+Super+S"));
    }

    void recordingReleasesTheShortcutUntilItEnds_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint32>("modifiers");
        QTest::newRow("combination recorded") << QStringLiteral("record") << 39u << 4096u;
        QTest::newRow("escape") << QStringLiteral("escape") << vKey << controlOption;
        QTest::newRow("click elsewhere") << QStringLiteral("click") << vKey << controlOption;
    }

    void recordingReleasesTheShortcutUntilItEnds()
    {
        QFETCH(QString, ending);
        QFETCH(quint32, keyCode);
        QFETCH(quint32, modifiers);
        SettingsFixture f;
        f.storeShortcut(vKey, controlOption);
        QVERIFY(f.open());
        QVERIFY(f.platform.hotKeyService->registered);

        QTest::mouseClick(&f.recorderBox(), Qt::LeftButton);
        // The grab would take the combination away from the recorder.
        QVERIFY(!f.platform.hotKeyService->registered);

        if (ending == QLatin1String("record"))
            f.pressInWindow(Qt::Key_S, Qt::ControlModifier, 39);
        else if (ending == QLatin1String("escape"))
            f.pressInWindow(Qt::Key_Escape, Qt::NoModifier, 9);
        else
            QTest::mouseClick(&f.view(), Qt::LeftButton, {}, QPoint(4, 4));

        QVERIFY(!f.recorderBox().isRecording());
        QCOMPARE(f.platform.hotKeyService->registered, std::make_pair(keyCode, modifiers));
        QVERIFY(f.model.hotkeyActive());
    }

    void clearButtonRemovesTheShortcut()
    {
        SettingsFixture f;
        f.storeShortcut(vKey, controlOption);
        f.model.settings().setHideMenuBarIcon(true);
        QVERIFY(f.open());
        auto* clear = f.find<QAbstractButton>("hotkeyClearButton");
        QVERIFY(clear->isVisible());
        QCOMPARE(clear->toolTip(), QStringLiteral("Remove shortcut"));
        QTest::mouseClick(clear, Qt::LeftButton);

        QCOMPARE(f.model.settings().hotkeyKeyCode(), 0u);
        QCOMPARE(f.model.settings().hotkeyModifiers(), 0u);
        QVERIFY(!f.platform.hotKeyService->registered);
        QVERIFY(!f.model.hotkeyActive());
        QVERIFY(!clear->isVisible());
        QCOMPARE(f.recorderBox().shownText(), QStringLiteral("Not set"));
        QVERIFY(f.model.settings().hideMenuBarIcon());
    }

    void pasteOnSelectAsksForKeystrokeAccess_data()
    {
        QTest::addColumn<bool>("trusted");
        QTest::newRow("access missing") << false;
        QTest::newRow("access granted") << true;
    }

    void pasteOnSelectAsksForKeystrokeAccess()
    {
        QFETCH(bool, trusted);
        SettingsFixture f;
        f.platform.keySynthesizer->trusted = trusted;
        QVERIFY(f.open());
        const int requestsAtOpening = f.platform.keySynthesizer->trustRequests;
        auto* toggle = f.find<ToggleSwitch>("pasteOnSelectToggle");
        QTest::mouseClick(toggle, Qt::LeftButton);

        QVERIFY(f.model.settings().pasteOnSelect());
        QCOMPARE(f.platform.keySynthesizer->trustRequests, requestsAtOpening + (trusted ? 0 : 1));
        QMessageBox* alert = f.view().accessibilityAlert();
        QCOMPARE(alert != nullptr, !trusted);
        if (alert != nullptr) {
            QVERIFY(alert->isVisible());
            QVERIFY(clickAlertButton(alert, QStringLiteral("Open Settings")));
            QCOMPARE(f.platform.keySynthesizer->trustRequests, requestsAtOpening + 2);
            QTRY_VERIFY(f.view().accessibilityAlert() == nullptr);
        }

        // Switching it off asks nothing.
        const int requests = f.platform.keySynthesizer->trustRequests;
        QTest::mouseClick(toggle, Qt::LeftButton);
        QVERIFY(!f.model.settings().pasteOnSelect());
        QCOMPARE(f.platform.keySynthesizer->trustRequests, requests);
        QVERIFY(f.view().accessibilityAlert() == nullptr);
    }

    void clearNowAsksFirst_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("cancel") << QStringLiteral("Cancel") << false;
        QTest::newRow("clear") << QStringLiteral("Clear") << true;
    }

    void clearNowAsksFirst()
    {
        QFETCH(QString, answer);
        QFETCH(bool, cleared);
        SettingsFixture f;
        f.add(QStringLiteral("first"));
        f.add(QStringLiteral("second"));
        QVERIFY(f.open());
        QTest::mouseClick(f.find<QPushButton>("clearNowButton"), Qt::LeftButton);
        QCOMPARE(f.storedTexts().size(), 2);
        QMessageBox* confirmation = f.view().clearConfirmation();
        QVERIFY(confirmation != nullptr && confirmation->isVisible());
        QVERIFY(clickAlertButton(confirmation, answer));
        QCOMPARE(f.storedTexts().isEmpty(), cleared);
        QTRY_VERIFY(f.view().clearConfirmation() == nullptr);
    }

    void settingsRequestsShowOneWindow()
    {
        TestHome home;
        FakePlatform platform;
        AppDelegate delegate(home.openStorage(), home.loadSettings(), platform.services);
        QVERIFY(delegate.settingsWindow() == nullptr);
        delegate.model().openSettings();
        SettingsWindow* first = delegate.settingsWindow();
        QVERIFY(first != nullptr);
        QVERIFY(first->isVisible());
        QCOMPARE(first->windowTitle(), QStringLiteral("Nabrix"));
        first->close();
        delegate.model().openSettings();
        QCOMPARE(delegate.settingsWindow(), first);
        QVERIFY(first->isVisible());
    }
};

QTEST_MAIN(TestSettingsView)
#include "tst_settings_view.moc"
