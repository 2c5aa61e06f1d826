// SPDX-License-Identifier: GPL-3.0-or-later
// On a real X server: recording the global shortcut in the settings window and using it.
#include "app/app_model.h"
#include "fake_status_item_controller.h"
#include "i18n/text_catalogue.h"
#include "platform/platform_services.h"
#include "platform/x11/x11_hot_key_service.h"
#include "storage/app_settings.h"
#include "storage/storage_manager.h"
#include "test_environment.h"
#include "views/hot_key_recorder.h"
#include "views/settings_view.h"
#include "views/settings_window.h"
#include "x11_harness.h"

#include <QApplication>
#include <QScrollArea>
#include <QTest>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <memory>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

std::uint32_t keycode(KeySym keysym)
{
    Display* display = qApp->nativeInterface<QNativeInterface::QX11Application>()->display();
    return XKeysymToKeycode(display, keysym);
}

// A real pointer click at the centre of `widget`, through the X server.
bool clickWithPointer(const QWidget& widget)
{
    const QPoint centre = widget.mapToGlobal(widget.rect().center());
    return x11::clickAt(centre.x(), centre.y());
}

} // namespace

class TestSettingsX11 : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<PlatformServices> m_services;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<FakeStatusItemController> m_controller;
    std::unique_ptr<SettingsWindow> m_window;

    HotKeyCaptureView& recorderBox() const
    {
        return m_window->findChild<HotKeyRecorder*>(QStringLiteral("hotkeyRecorder"))
            ->captureView();
    }

    // A real click on the recorder, then real presses of Ctrl+Alt+V; true once recorded.
    bool recordCtrlAltV()
    {
        return clickWithPointer(recorderBox()) &&
               QTest::qWaitFor([this] { return recorderBox().isRecording(); }) &&
               x11::pressKeys(QStringLiteral("ctrl+alt+v")) &&
               QTest::qWaitFor([this] { return !recorderBox().isRecording(); });
    }

    // The settings window, active, scrolled to the shortcut row.
    void openSettings()
    {
        m_window = std::make_unique<SettingsWindow>(*m_model);
        m_window->show();
        m_services->windowActivator->activate(*m_window);
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_window->findChild<QScrollArea*>()->ensureWidgetVisible(&recorderBox());
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(installTranslations(*qApp, QLocale(QLocale::English))); }

    void init()
    {
        NABRIX_REQUIRE_X11();
        m_home = std::make_unique<TestHome>();
        m_services = std::make_unique<PlatformServices>(createPlatformServices());
        QVERIFY(dynamic_cast<X11HotKeyService*>(m_services->hotKeyService.get()) != nullptr);
        m_model =
            std::make_unique<AppModel>(m_home->openStorage(), m_home->loadSettings(), *m_services);
        m_controller = std::make_unique<FakeStatusItemController>(*m_model);
    }

    void cleanup()
    {
        m_window.reset();
        m_model.reset();
        m_controller.reset();
        m_services.reset();
        m_home.reset();
    }

    // Recording the current shortcut again lets its grab go meanwhile: grabbed, the
    // combination would never reach the recorder.
    void recordedShortcutOpensTheHistory()
    {
        openSettings();
        QVERIFY(recordCtrlAltV());
        QCOMPARE(m_model->settings().hotkeyKeyCode(), keycode(XK_v));
        QCOMPARE(m_model->settings().hotkeyModifiers(), 6144u);
        QVERIFY(m_model->hotkeyActive());
        QCOMPARE(recorderBox().shownText(), QStringLiteral("Ctrl+Alt+V"));
        QVERIFY(recordCtrlAltV());
        QCOMPARE(m_controller->shows, 0);
        QVERIFY(m_model->hotkeyActive());

        // From another application the combination toggles the history.
        auto other = x11::TestWindow::startXterm(QStringLiteral("NabrixSettingsOther"));
        QVERIFY(other);
        QVERIFY(other->activate());
        QVERIFY(x11::pressKeys(QStringLiteral("ctrl+alt+v")));
        QTRY_COMPARE(m_controller->shows, 1);
        QVERIFY(m_controller->isShown());
        QVERIFY(x11::pressKeys(QStringLiteral("ctrl+alt+v")));
        QTRY_VERIFY(!m_controller->isShown());
    }
};

QTEST_MAIN(TestSettingsX11)
#include "tst_settings_x11.moc"
