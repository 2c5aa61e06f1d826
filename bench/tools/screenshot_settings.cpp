// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the settings window in one state and saves it as a PNG:
// screenshot_settings --state NAME --output PATH. Run it on an X server (scripts/screenshot).
#include "app/app_model.h"
#include "app/status_item_controller.h"
#include "platform/platform_services.h"
#include "screenshot_session.h"
#include "storage/app_settings.h"
#include "views/hot_key_recorder.h"
#include "views/settings_view.h"
#include "views/settings_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QTextStream>
#include <QWindow>
#include <X11/Xlib.h>
#include <X11/keysym.h>

using namespace nabrix;

namespace {

const QStringList states{QStringLiteral("settings"), QStringLiteral("settings-recording"),
                         QStringLiteral("settings-alert")};

// The tray icon is not in the pictures: the model only needs someone to ask.
class NoStatusItem final : public StatusItemController {
public:
    void installStatusItem() override {}
    void removeStatusItem() override {}
    void showHistory() override {}
    void close() override {}
    QWindow* presentedWindow() const override { return nullptr; }
};

// Lets the window system and the event loop catch up (mapping, focus, repaints).
void settle(int milliseconds = 400)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A real click through the X server, so that focus and activation behave as for a user;
// the pointer then moves away so that nothing in the picture is hovered.
void click(const QWidget& widget)
{
    const QPoint centre = widget.mapToGlobal(widget.rect().center());
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QString::number(centre.x()),
                       QString::number(centre.y()), QStringLiteral("click"), QStringLiteral("1"),
                       QStringLiteral("mousemove"), QStringLiteral("0"), QStringLiteral("799")});
    settle();
}

QPixmap render(QWidget& window, qreal scale)
{
    QPixmap picture(window.size() * scale);
    picture.setDevicePixelRatio(scale);
    window.render(&picture);
    return picture;
}

// The screen around the windows' frames, title bars included, as the user sees them.
QPixmap grabScreenArea(const QList<const QWidget*>& windows)
{
    QRect area;
    for (const QWidget* window : windows)
        area |= window->frameGeometry();
    QScreen* screen = QGuiApplication::primaryScreen();
    area = area.adjusted(-12, -12, 12, 12) & screen->geometry();
    return screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    bench::ScreenshotSession session(
        app, {QStringLiteral("screenshot_settings"),
              QStringLiteral("Saves a picture of the settings window."), states,
              QStringLiteral("Device pixel ratio of the picture (default 1; the alert is taken "
                             "from the screen as it is).")});
    if (session.failed())
        return *session.failed();
    QTextStream& err = session.err();
    const QString& state = session.state();
    auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) {
        err << "screenshot_settings needs an X server: run it through scripts/screenshot\n";
        return 2;
    }

    auto settings = std::make_unique<AppSettings>(session.settingsPath());
    // A user's own short list, so that the whole form fits in one picture.
    settings->setBlacklistedBundleIDs(
        {QStringLiteral("org.keepassxc.KeePassXC"), QStringLiteral("com.bitwarden.desktop"),
         QStringLiteral("org.gnome.seahorse.Application"), QStringLiteral("me.proton.Pass")});
    if (state != QLatin1String("settings-alert")) {
        settings->setHotkeyKeyCode(XKeysymToKeycode(x11->display(), XK_v));
        settings->setHotkeyModifiers(HotKeyModifier::control | HotKeyModifier::option);
    }
    PlatformServices services = createPlatformServices();
    AppModel model(session.takeStorage(), std::move(settings), services);
    NoStatusItem statusItem;
    model.setStatusItemController(&statusItem);

    SettingsWindow window(model);
    QPixmap picture;
    if (state == QLatin1String("settings-alert")) {
        // A window of its usual height, scrolled to the toggle that was just switched.
        window.resize(window.sizeHint());
        window.move(220, 40);
        window.show();
        services.windowActivator->activate(window);
        settle();
        auto* toggle = window.findChild<QWidget*>(QStringLiteral("hideIconToggle"));
        window.findChild<QScrollArea*>()->ensureWidgetVisible(toggle, 50, 160);
        settle(200);
        click(*toggle);
        QMessageBox* alert = window.view().hotkeyAlert();
        if (alert == nullptr || !alert->isVisible()) {
            err << "the shortcut-required alert did not appear\n";
            return 1;
        }
        picture = grabScreenArea({&window, alert});
    } else {
        // The whole form, as on a screen tall enough for it.
        window.resize(620, window.view().heightForWidth(620));
        window.show();
        services.windowActivator->activate(window);
        settle();
        if (state == QLatin1String("settings-recording")) {
            auto& box =
                window.findChild<HotKeyRecorder*>(QStringLiteral("hotkeyRecorder"))->captureView();
            click(box);
            if (!box.isRecording()) {
                err << "the shortcut box did not start recording\n";
                return 1;
            }
        }
        picture = render(window, session.scale());
    }
    return session.save(picture);
}
