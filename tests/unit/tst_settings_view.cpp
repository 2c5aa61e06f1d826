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
#include <algorithm>

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
        auto buttons =
            window->findChildren<QAbstractButton*>(QStringLiteral("blacklistRemoveButton"));
        buttons.removeIf([&id](QAbstractButton* button) {
            return button->property("bundleID").toString() != id;
        });
        return buttons;
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
    const QList<QAbstractButton*> buttons = alert ? alert->buttons() : QList<QAbstractButton*>();
    const auto found =
        std::find_if(buttons.begin(), buttons.end(),
                     [&text](QAbstractButton* button) { return button->text() == text; });
    if (found == buttons.end())
        return false;
    (*found)->click();
    return true;
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
        // A blank entry adds nothing and stays in the field.
        QTest::addColumn<bool>("blank");

        const auto row = [](const char* name, const QStringList& before, const QString& typed,
                            bool withReturn, const QStringList& after, bool blank = false) {
            QTest::newRow(name) << before << typed << withReturn << after << blank;
        };
        const QStringList one{QStringLiteral("com.example.one")};
        const QString keePass = QStringLiteral("org.keepassxc.KeePassXC");
        row("trimmed and appended", one, QStringLiteral("  org.keepassxc.KeePassXC\t"), false,
            one + QStringList{keePass});
        row("return adds too", one, keePass, true, one + QStringList{keePass});
        row("duplicate only empties the field", one, QStringLiteral(" com.example.one "), false,
            one);
        row("other letter case is another entry", one, QStringLiteral("COM.example.one"), false,
            one + QStringList{QStringLiteral("COM.example.one")});
        row("inner blanks are kept", {}, QStringLiteral("Proton Pass"), false,
            {QStringLiteral("Proton Pass")});
        // The button looks at blanks and tabs only; adding trims every white space.
        row("blanks and tabs, with return", one, QStringLiteral(" \t  "), true, one, true);
        row("a line break, with the button", one, QStringLiteral("\n"), false, one, true);
    }

    void addingABlacklistEntry()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, typed);
        QFETCH(bool, withReturn);
        QFETCH(QStringList, after);
        QFETCH(bool, blank);

        SettingsFixture f;
        f.model.settings().setBlacklistedBundleIDs(before);
        QVERIFY(f.open());
        f.field()->setText(typed);
        QCOMPARE(f.addButton()->isEnabled(), typed != QLatin1String(" \t  "));
        if (withReturn)
            QTest::keyClick(f.field(), Qt::Key_Return);
        else
            QTest::mouseClick(f.addButton(), Qt::LeftButton);

        QCOMPARE(f.model.settings().blacklistedBundleIDs(), after);
        QCOMPARE(f.field()->text(), blank ? typed : QString());
        for (const QString& id : after)
            QCOMPARE(f.removeButtons(id).size(), 1);
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
    }

    // Having a shortcut is not enough: it must be registered. No shortcut at all takes the
    // same guard.
    void hidingTheIconNeedsAWorkingShortcut()
    {
        for (const bool refused : {true, false}) {
            SettingsFixture f;
            f.storeShortcut(vKey, controlOption);
            f.platform.hotKeyService->refuse = refused;
            QVERIFY(f.open());
            auto* toggle = f.find<ToggleSwitch>("hideIconToggle");
            QTest::mouseClick(toggle, Qt::LeftButton);

            QCOMPARE(toggle->isChecked(), !refused);
            QCOMPARE(f.model.settings().hideMenuBarIcon(), !refused);
            QCOMPARE(f.controller.hasStatusItem, refused);
            QMessageBox* alert = f.view().hotkeyAlert();
            QCOMPARE(alert != nullptr && alert->isVisible(), refused);
            if (alert != nullptr) {
                QVERIFY(clickAlertButton(alert, QStringLiteral("OK")));
                QTRY_VERIFY(f.view().hotkeyAlert() == nullptr);
                QVERIFY(!toggle->isChecked());
            }
        }
    }

    void retentionPickerStoresAndFollowsTheChoice()
    {
        SettingsFixture f;
        f.model.settings().setRetentionDays(14); // not a choice: the picker shows none
        QVERIFY(f.open());
        auto* picker = f.find<QComboBox>("retentionPicker");
        QCOMPARE(picker->currentIndex(), -1);
        // The user picks with the keyboard: Home, then Down to the second choice.
        QTest::keyClick(picker, Qt::Key_Home);
        QTest::keyClick(picker, Qt::Key_Down);
        QCOMPARE(picker->currentText(), QStringLiteral("30 days"));
        QCOMPARE(f.model.settings().retentionDays(), 30);
        f.model.settings().setRetentionDays(0);
        QCOMPARE(picker->currentText(), QStringLiteral("Forever"));
    }

    void privacyTogglesAreStored()
    {
        SettingsFixture f;
        QVERIFY(f.open());
        const std::pair<const char*, const char*> toggles[] = {
            {"sensitiveDetectionToggle", "sensitiveDetectionEnabled"},
            {"hideSensitiveToggle", "hideSensitiveContent"}};
        for (const auto& [toggle, setting] : toggles) {
            auto* control = f.find<ToggleSwitch>(toggle);
            QVERIFY(control->isChecked());
            QTest::mouseClick(control, Qt::LeftButton);
            QVERIFY(!f.model.settings().property(setting).toBool());
            QTest::mouseClick(control, Qt::LeftButton);
            QVERIFY(f.model.settings().property(setting).toBool());
        }
    }

    // The catalogue test keeps the Spanish line complete.
    void versionLineReadsOneWithoutABuildNumber()
    {
        const QString version = QStringLiteral("2.4.0");
        QCOMPARE(SettingsView::versionLine(version, QStringLiteral("118")),
                 QStringLiteral("Version 2.4.0 (118)"));
        QCOMPARE(SettingsView::versionLine(version, QString()),
                 QStringLiteral("Version 2.4.0 (1)"));
    }

    void everyOpeningRegistersTheShortcutAndAsksForTrust()
    {
        SettingsFixture f;
        f.storeShortcut(vKey, controlOption);
        f.platform.keySynthesizer->trusted = false;
        QVERIFY(!f.platform.hotKeyService->registered);

        QVERIFY(f.open());
        QCOMPARE(f.platform.hotKeyService->registered, std::make_pair(vKey, controlOption));
        QVERIFY(!f.model.accessibilityGranted());
        QCOMPARE(f.platform.keySynthesizer->trustRequests, 1);

        // Closed, the shortcut is lost to another program meanwhile, and access is granted.
        f.window->close();
        f.platform.hotKeyService->unregisterHotKey();
        f.platform.keySynthesizer->trusted = true;
        QVERIFY(f.open());
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
        // The grab would take the combination away from the recorder.
        QVERIFY(!f.platform.hotKeyService->registered);
        const int registrations = f.platform.hotKeyService->registrations;
        f.pressInWindow(Qt::Key_S, Qt::ShiftModifier | Qt::MetaModifier, 39);

        // Both halves at once: the new shortcut is grabbed once, never half-changed.
        QCOMPARE(f.platform.hotKeyService->registrations, registrations + 1);
        QCOMPARE(f.platform.hotKeyService->registered, std::make_pair(39u, 768u));
    }

    // Other endings of a recording (focus lost, hidden) are the recorder test's.
    void cancelledRecordingTakesTheShortcutBack()
    {
        SettingsFixture f;
        f.storeShortcut(vKey, controlOption);
        QVERIFY(f.open());
        QTest::mouseClick(&f.recorderBox(), Qt::LeftButton);
        QVERIFY(!f.platform.hotKeyService->registered);
        f.pressInWindow(Qt::Key_Escape, Qt::NoModifier, 9);
        QVERIFY(!f.recorderBox().isRecording());
        QCOMPARE(f.platform.hotKeyService->registered, std::make_pair(vKey, controlOption));
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
        QTest::mouseClick(clear, Qt::LeftButton);

        QCOMPARE(f.model.settings().hotkeyKeyCode(), 0u);
        QCOMPARE(f.model.settings().hotkeyModifiers(), 0u);
        QVERIFY(!f.platform.hotKeyService->registered);
        QVERIFY(!clear->isVisible());
        QVERIFY(f.model.settings().hideMenuBarIcon());

        // Showing the icon again needs no shortcut.
        f.controller.hasStatusItem = false;
        QTest::mouseClick(f.find<ToggleSwitch>("hideIconToggle"), Qt::LeftButton);
        QVERIFY(!f.model.settings().hideMenuBarIcon());
        QVERIFY(f.controller.hasStatusItem);
        QVERIFY(f.view().hotkeyAlert() == nullptr);
    }

    void pasteOnSelectAsksForKeystrokeAccess()
    {
        for (const bool trusted : {false, true}) {
            SettingsFixture f;
            f.platform.keySynthesizer->trusted = trusted;
            QVERIFY(f.open());
            const int requestsAtOpening = f.platform.keySynthesizer->trustRequests;
            auto* toggle = f.find<ToggleSwitch>("pasteOnSelectToggle");
            QTest::mouseClick(toggle, Qt::LeftButton);

            QVERIFY(f.model.settings().pasteOnSelect());
            QCOMPARE(f.platform.keySynthesizer->trustRequests,
                     requestsAtOpening + (trusted ? 0 : 1));
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
    }

    void clearNowAsksFirst()
    {
        SettingsFixture f;
        f.add(QStringLiteral("first"));
        f.add(QStringLiteral("second"));
        QVERIFY(f.open());
        for (const char* answer : {"Cancel", "Clear"}) {
            QTest::mouseClick(f.find<QPushButton>("clearNowButton"), Qt::LeftButton);
            QCOMPARE(f.storedTexts().size(), 2);
            QMessageBox* confirmation = f.view().clearConfirmation();
            QVERIFY(confirmation != nullptr && confirmation->isVisible());
            QVERIFY(clickAlertButton(confirmation, QString::fromLatin1(answer)));
            QTRY_VERIFY(f.view().clearConfirmation() == nullptr);
        }
        QVERIFY(f.storedTexts().isEmpty());
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
        first->close();
        delegate.model().openSettings();
        QCOMPARE(delegate.settingsWindow(), first);
        QVERIFY(first->isVisible());
    }
};

QTEST_MAIN(TestSettingsView)
#include "tst_settings_view.moc"
