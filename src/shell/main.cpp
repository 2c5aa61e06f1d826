// SPDX-License-Identifier: GPL-3.0-or-later
// Program entry: opens the history, starts capturing, runs until asked to quit.
#include "app/app_model.h"
#include "app/command_handler.h"
#include "capture/content_limits.h"
#include "i18n/text_catalogue.h"
#include "platform/platform_services.h"
#include "shell/app_delegate.h"
#include "shell/command_line.h"
#include "shell/display_check.h"
#include "shell/display_loss.h"
#include "shell/single_instance.h"
#include "shell/unix_signal_watcher.h"
#include "storage/app_settings.h"
#include "storage/data_paths.h"
#include "storage/storage_manager.h"
#include "views/fatal_error_dialog.h"

#include <QApplication>
#include <QImageReader>
#include <QLocale>
#include <QMessageBox>
#include <cstdio>
#include <sys/stat.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char* argv[])
{
#ifdef __GLIBC__
    // Images and their decoded pixels are megabytes each. glibc would raise its mmap
    // threshold after the first is freed and then keep later ones in per-thread heaps it
    // never returns: scrolling once through a history with a thousand images left 140 MB
    // behind. A fixed threshold hands such buffers back at once; two arenas are plenty
    // for the main thread and the few decoding workers.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
    mallopt(M_ARENA_MAX, 2);
#endif
    // Everything we create (history, settings, their folders) is for the user's eyes only.
    ::umask(077);
    // Commands for scripts (nabrix list, nabrix copy ID) end here, display or not; show and
    // toggle come back when nothing runs yet, to start here with the history shown.
    bool showHistoryOnStart = false;
    if (nabrix::CommandLine::isCommand(argc, argv)) {
        if (const std::optional<int> status = nabrix::CommandLine::run(argc, argv))
            return *status;
        showHistoryOnStart = true;
    }
    // Global shortcuts, the active window and synthesised keys need X11: run on XWayland.
    // Qt's wayland platform gives none of them (nor lets a window place itself by the tray
    // icon), and on sway both platforms show the history the same way without a tray; the
    // clipboard does not depend on it (it has its own Wayland connection where it can).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // Without a display Qt aborts, blaming the installation.
    if (const auto problem = nabrix::missingDisplay(argc, argv)) {
        std::fprintf(stderr, "nabrix: %s\n", qUtf8Printable(*problem));
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nabrix"));
    QApplication::setApplicationDisplayName(QStringLiteral("Nabrix"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Large screenshots and scans must still convert (TIFF to PNG) and show.
    QImageReader::setAllocationLimit(nabrix::maxDecodedImageMegabytes);
    if (!nabrix::installTranslations(app, QLocale::system()))
        qWarning("nabrix: this build lacks its text catalogue; texts show as their keys");

    // A second start shows or hides the running instance's history instead of capturing twice.
    nabrix::SingleInstance instance(nabrix::SingleInstance::socketPathFor(nabrix::dataDirectory()));
    switch (instance.claim()) {
    case nabrix::SingleInstance::ClaimResult::AnotherInstanceRuns:
        return 0;
    case nabrix::SingleInstance::ClaimResult::Unavailable:
        // Without a path, socketPathFor() has already said why.
        if (!instance.socketPath().isEmpty())
            qWarning("nabrix: cannot listen on %s; later starts will not find this one",
                     qUtf8Printable(instance.socketPath()));
        break;
    case nabrix::SingleInstance::ClaimResult::Listening:
        break;
    }

    auto opened = nabrix::StorageManager::open(nabrix::historyFilePath());
    if (!opened.storage) {
        const QString message =
            QStringLiteral("No se pudo crear el contenedor de datos: ") + opened.error;
        std::fprintf(stderr, "%s\n", qUtf8Printable(message));
        // Started from the desktop or at login, nobody reads standard error.
        if (nabrix::windowsCanBeShown())
            nabrix::makeFatalStoreErrorDialog(message, nabrix::historyFilePath())->exec();
        return 1;
    }
    nabrix::PlatformServices services = nabrix::createPlatformServices();
    nabrix::AppDelegate delegate(std::move(opened.storage),
                                 std::make_unique<nabrix::AppSettings>(nabrix::settingsFilePath()),
                                 services);
    QObject::connect(&instance, &nabrix::SingleInstance::toggleRequested, &delegate.model(),
                     &nabrix::AppModel::toggleFromHotkey);
    nabrix::CommandHandler commands(delegate.model());
    instance.setRequestHandler(
        [&commands](QByteArrayView request) { return commands.handle(request); });
    QObject::connect(&delegate, &nabrix::AppDelegate::quitRequested, &app, &QCoreApplication::quit);

    nabrix::UnixSignalWatcher signals;
    QObject::connect(&signals, &nabrix::UnixSignalWatcher::terminationRequested, &app,
                     &QCoreApplication::quit);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate,
                     &nabrix::AppDelegate::applicationWillTerminate);
    // Without its display server the program can do nothing: it quits as on SIGTERM, so the
    // history is saved, but says why and fails.
    nabrix::DisplayLoss displayLoss([&delegate] { delegate.applicationWillTerminate(); });
    QObject::connect(services.pasteboard.get(), &nabrix::Pasteboard::connectionLost, &app,
                     [&displayLoss] { displayLoss.connectionLost(); });

    delegate.applicationDidFinishLaunching();
    if (showHistoryOnStart)
        delegate.model().showHistory();
    return QApplication::exec();
}
