// SPDX-License-Identifier: GPL-3.0-or-later
// The X11 workspace on a real server: which application a copy comes from, and what the
// desktop entries say about an application.
#include "app/app_model.h"
#include "capture/clipboard_observer.h"
#include "fake_platform.h"
#include "platform/qt_pasteboard.h"
#include "platform/x11/x11_selection_reader.h"
#include "platform/x11/x11_workspace.h"
#include "storage/app_settings.h"
#include "storage/storage_manager.h"
#include "test_environment.h"
#include "x11_harness.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

using namespace nabrix;
using namespace nabrix::testing;
using namespace std::chrono_literals;

namespace {

constexpr int clipboardTimeoutMs = 10000;
const QString none = QStringLiteral("<none>");
const QRgb iconColour = qRgb(200, 30, 40);

// Optional identifiers and names, printable by QCOMPARE.
QString orNone(const std::optional<QString>& value)
{
    return value.value_or(none);
}

bool writeFile(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

bool writeDesktopEntry(const QString& dataDir, const QString& desktopId, const QByteArray& keys)
{
    return writeFile(dataDir + QStringLiteral("/applications/") + desktopId +
                         QStringLiteral(".desktop"),
                     "[Desktop Entry]\nType=Application\n" + keys);
}

bool writeExecutable(const QString& path)
{
    return writeFile(path, "#!/bin/sh\n") &&
           QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool writeIcon(const QString& path)
{
    QImage image(48, 48, QImage::Format_ARGB32);
    image.fill(iconColour);
    return QDir().mkpath(QFileInfo(path).path()) && image.save(path, "PNG");
}

// Desktop entries and a one-directory hicolor theme, the only ones GIO and Qt will see.
bool populateDataDir(const QString& dataDir)
{
    const QString hicolor = dataDir + QStringLiteral("/icons/hicolor");
    return writeFile(hicolor + QStringLiteral("/index.theme"),
                     "[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps\n\n"
                     "[48x48/apps]\nSize=48\nContext=Applications\nType=Fixed\n") &&
           writeIcon(hicolor + QStringLiteral("/48x48/apps/nabrix-notes.png")) &&
           writeIcon(dataDir + QStringLiteral("/pictures/viewer.png")) &&
           writeDesktopEntry(dataDir, QStringLiteral("org.nabrix.Notes"),
                             "Name=Nabrix Notes\nExec=true\nIcon=nabrix-notes\n") &&
           writeDesktopEntry(dataDir, QStringLiteral("nabrixlower"),
                             "Name=Lower Case Entry\nExec=true\n") &&
           writeDesktopEntry(
               dataDir, QStringLiteral("org.nabrix.Viewer"),
               "Name=Nabrix Viewer\nExec=true\nStartupWMClass=NabrixViewerWindow\nIcon=" +
                   (dataDir + QStringLiteral("/pictures/viewer.png")).toUtf8() + '\n') &&
           writeExecutable(dataDir + QStringLiteral("/bin/nabrix-tool-binary")) &&
           writeDesktopEntry(dataDir, QStringLiteral("org.nabrix.Tool"),
                             "Name=Nabrix Tool\nExec=" + dataDir.toUtf8() +
                                 "/bin/nabrix-tool-binary --flag %f\n") &&
           writeDesktopEntry(dataDir, QStringLiteral("org.nabrix.AToolHelper"),
                             "Name=Nabrix Tool Helper\nNoDisplay=true\nExec=" + dataDir.toUtf8() +
                                 "/bin/nabrix-tool-binary --helper\n") &&
           writeDesktopEntry(dataDir, QStringLiteral("org.nabrix.Gone"),
                             "Name=Nabrix Gone\nExec=true\nHidden=true\n") &&
           QDir().mkpath(dataDir + QStringLiteral("/applications"));
}

// A store and settings of their own, the real clipboard and workspace, fakes for the rest.
struct CaptureSetup {
    CaptureSetup()
    {
        // Read on a worker over a connection of its own, as the program does ($DISPLAY).
        auto realPasteboard = std::make_unique<QtPasteboard>(X11SelectionReader::factory({}));
        pasteboard = realPasteboard.get();
        platform.services.pasteboard = std::move(realPasteboard);
        auto realWorkspace = X11Workspace::create();
        workspace = realWorkspace.get();
        platform.services.workspace = std::move(realWorkspace);
        model =
            std::make_unique<AppModel>(home.openStorage(), home.loadSettings(), platform.services);
        // Record every snapshot on its way to the model.
        model->observer().setOnChange([this](const PasteboardContent& content) {
            snapshots.append(content);
            model->handleCapture(content);
        });
    }

    TestHome home;
    FakePlatform platform;
    QtPasteboard* pasteboard = nullptr;
    X11Workspace* workspace = nullptr;
    std::unique_ptr<AppModel> model;
    QList<PasteboardContent> snapshots;
};

} // namespace

class TestWorkspaceX11 : public QObject {
    Q_OBJECT

public:
    explicit TestWorkspaceX11(QString dataDir)
        : m_dataDir(std::move(dataDir))
    {
    }

private:
    QString m_dataDir;
    std::unique_ptr<X11Workspace> m_workspace;

private Q_SLOTS:
    void initTestCase()
    {
        NABRIX_REQUIRE_X11();
        m_workspace = X11Workspace::create();
        QVERIFY2(m_workspace, "no X11 workspace on this connection");
    }

    void identifierOfTheActiveWindow_data()
    {
        QTest::addColumn<QString>("windowClass");
        QTest::addColumn<QString>("gtkApplicationId");
        QTest::addColumn<QString>("kdeDesktopFile");
        QTest::addColumn<QString>("expected");
        // xterm's WM_CLASS instance is "xterm": only the class names the application.
        const auto row = [](const char* name, const QString& windowClass, const QString& gtkId,
                            const QString& kdeFile, const QString& expected) {
            QTest::newRow(name) << windowClass << gtkId << kdeFile << expected;
        };
        row("WM_CLASS class", "NabrixEditor", "", "", "NabrixEditor");
        row("GTK application id first", "NabrixGtk", "org.example.GtkEditor", "org.example.Other",
            "org.example.GtkEditor");
        row("KDE desktop file loses its suffix", "NabrixKde", "", "org.example.KdeViewer.desktop",
            "org.example.KdeViewer");
    }
    void identifierOfTheActiveWindow()
    {
        QFETCH(QString, windowClass);
        QFETCH(QString, gtkApplicationId);
        QFETCH(QString, kdeDesktopFile);
        QFETCH(QString, expected);
        const auto window = x11::TestWindow::startXterm(windowClass);
        QVERIFY(window);
        if (!gtkApplicationId.isEmpty())
            QVERIFY(window->setProperty(QStringLiteral("_GTK_APPLICATION_ID"), QStringLiteral("8u"),
                                        gtkApplicationId));
        if (!kdeDesktopFile.isEmpty())
            QVERIFY(window->setProperty(QStringLiteral("_KDE_NET_WM_DESKTOP_FILE"),
                                        QStringLiteral("8u"), kdeDesktopFile));
        QVERIFY(window->activate());
        QCOMPARE(orNone(m_workspace->frontmostApplicationId()), expected);
    }

    void windowWithoutNamesTakesItsOwnersIdentifier_data()
    {
        QTest::addColumn<QString>("ownerProperty");
        QTest::newRow("transient dialog") << "WM_TRANSIENT_FOR";
        QTest::newRow("window of a client leader") << "WM_CLIENT_LEADER";
    }
    void windowWithoutNamesTakesItsOwnersIdentifier()
    {
        QFETCH(QString, ownerProperty);
        const auto owner = x11::TestWindow::startXterm(QStringLiteral("NabrixOwner"));
        const auto dialog = x11::TestWindow::startXterm(QStringLiteral("NabrixDialog"));
        QVERIFY(owner && dialog);
        QVERIFY(dialog->removeProperty(QStringLiteral("WM_CLASS")));
        QVERIFY(dialog->activate());
        QCOMPARE(orNone(m_workspace->frontmostApplicationId()), none);

        QVERIFY(dialog->setProperty(ownerProperty, QStringLiteral("32x"),
                                    QStringLiteral("0x%1").arg(owner->id(), 0, 16)));
        QVERIFY(dialog->activate());
        QCOMPARE(orNone(m_workspace->frontmostApplicationId()), QStringLiteral("NabrixOwner"));
    }

    // A None property is the "nothing in front before" row of ownWindowNamesTheApplicationBeforeIt.
    void noActiveWindowNamesNoApplication_data()
    {
        QTest::addColumn<QStringList>("rootEdit");
        // openbox leaves the property naming the destroyed window.
        QTest::newRow("active window closed") << QStringList();
        QTest::newRow("property removed") << QStringList{"-root", "-remove", "_NET_ACTIVE_WINDOW"};
    }
    void noActiveWindowNamesNoApplication()
    {
        QFETCH(QStringList, rootEdit);
        auto window = x11::TestWindow::startXterm(QStringLiteral("NabrixBefore"));
        QVERIFY(window && window->activate());
        QCOMPARE(orNone(m_workspace->frontmostApplicationId()), QStringLiteral("NabrixBefore"));
        if (rootEdit.isEmpty())
            window.reset();
        else
            QCOMPARE(x11::runTool(QStringLiteral("xprop"), rootEdit).exitCode, 0);
        QCOMPARE(orNone(m_workspace->frontmostApplicationId()), none);
    }

    // Our own windows (the history, say) never make this program the source: the
    // application the workspace last found in front before them is.
    void ownWindowNamesTheApplicationBeforeIt_data()
    {
        QTest::addColumn<bool>("otherWindowBefore"); // else nothing is in front before
        QTest::addColumn<bool>("hideOwnWindow");     // and the window manager still names it
        QTest::newRow("own window in front") << true << false;
        QTest::newRow("own window hidden, still named") << true << true;
        QTest::newRow("nothing in front before") << false << false;
    }
    void ownWindowNamesTheApplicationBeforeIt()
    {
        QFETCH(bool, otherWindowBefore);
        QFETCH(bool, hideOwnWindow);
        const auto earlier = x11::TestWindow::startXterm(QStringLiteral("NabrixEarlier"));
        const auto before = x11::TestWindow::startXterm(QStringLiteral("NabrixBeforeOurs"));
        QVERIFY(earlier && before);
        QVERIFY(earlier->activate());
        QCOMPARE(orNone(m_workspace->frontmostApplicationId()), QStringLiteral("NabrixEarlier"));
        if (otherWindowBefore)
            QVERIFY(before->activate());
        else
            QVERIFY(x11::setActiveWindowProperty(0));
        const QString expected = otherWindowBefore ? QStringLiteral("NabrixBeforeOurs") : none;
        QCOMPARE(orNone(m_workspace->frontmostApplicationId()), expected);

        QWindow own;
        own.resize(200, 100);
        own.show();
        QVERIFY(QTest::qWaitForWindowExposed(&own));
        const auto ownId = static_cast<quint32>(own.winId());
        QVERIFY(x11::xdotool({"windowactivate", QString::number(ownId)}));
        QTRY_COMPARE(x11::activeWindow(), std::optional<quint32>(ownId));
        if (hideOwnWindow) {
            // openbox gives the focus back to the window before ours, then the property
            // is set as sway's XWayland leaves it.
            own.hide();
            QTRY_COMPARE(x11::activeWindow(), std::optional<quint32>(before->id()));
            QVERIFY(x11::setActiveWindowProperty(ownId));
        }
        QCOMPARE(orNone(m_workspace->frontmostApplicationId()), expected);
    }

    // A password copied in a manager and the user switching away before the next poll:
    // the copy still belongs to the manager, so it is not recorded.
    void sourceIsTheWindowActiveWhenTheCopyHappened()
    {
        CaptureSetup setup;
        QVERIFY(setup.workspace);
        // KeePassXC's windows have the WM_CLASS class "KeePassXC".
        const auto manager = x11::TestWindow::startXterm(QStringLiteral("KeePassXC"));
        const auto browser = x11::TestWindow::startXterm(QStringLiteral("NabrixLoginPage"));
        QVERIFY(manager && browser);
        QSignalSpy notified(setup.pasteboard, &Pasteboard::changeNotified);

        // Polled by hand, so the switch surely lands between the copy and the poll.
        QVERIFY(manager->activate());
        QVERIFY(x11::copyWithXclip("correct horse battery staple"));
        QTRY_COMPARE_WITH_TIMEOUT(notified.size(), 1, clipboardTimeoutMs);
        QVERIFY(browser->activate());
        QCOMPARE(orNone(setup.workspace->frontmostApplicationId()),
                 QStringLiteral("NabrixLoginPage"));
        setup.model->observer().poll();

        QTRY_COMPARE_WITH_TIMEOUT(setup.snapshots.size(), 1, clipboardTimeoutMs);
        QCOMPARE(setup.snapshots.at(0).contentData, QByteArray("correct horse battery staple"));
        QCOMPARE(orNone(setup.snapshots.at(0).sourceAppBundleID), QStringLiteral("KeePassXC"));
        QVERIFY(setup.model->storage().allItems().isEmpty());

        // The next copy, made in the browser, is recorded.
        QVERIFY(x11::copyWithXclip("https://example.org/login"));
        QTRY_COMPARE_WITH_TIMEOUT(notified.size(), 2, clipboardTimeoutMs);
        setup.model->observer().poll();
        QTRY_COMPARE_WITH_TIMEOUT(setup.snapshots.size(), 2, clipboardTimeoutMs);
        const QList<ClipItem> stored = setup.model->storage().allItems();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.at(0).searchString, QStringLiteral("https://example.org/login"));
        QCOMPARE(orNone(stored.at(0).sourceAppBundleID), QStringLiteral("NabrixLoginPage"));
    }

    void applicationFromDesktopEntries_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name"); // empty: not installed
        QTest::addColumn<bool>("hasIcon");
        const auto row = [](const char* name, const QString& id, const QString& appName,
                            bool hasIcon) { QTest::newRow(name) << id << appName << hasIcon; };
        row("desktop id, theme icon", "org.nabrix.Notes", "Nabrix Notes", true);
        row("lower-case desktop id", "NabrixLower", "Lower Case Entry", false);
        row("StartupWMClass in another case, icon file", "nabrixviewerwindow", "Nabrix Viewer",
            true);
        row("executable of an entry shown in menus", "Nabrix-Tool-Binary", "Nabrix Tool", false);
        row("hidden entry", "org.nabrix.Gone", "", false);
        row("no entry", "org.nabrix.Missing", "", false);
    }
    void applicationFromDesktopEntries()
    {
        QFETCH(QString, id);
        QFETCH(QString, name);
        QFETCH(bool, hasIcon);
        QCOMPARE(m_workspace->isInstalled(id), !name.isEmpty());
        QCOMPARE(orNone(m_workspace->applicationName(id)), name.isEmpty() ? none : name);
        const QIcon icon = m_workspace->applicationIcon(id);
        QCOMPARE(!icon.isNull(), hasIcon);
        if (hasIcon)
            QCOMPARE(icon.pixmap(QSize(48, 48)).toImage().pixel(24, 24), iconColour);
    }

    void applicationInstalledLaterIsFound()
    {
        const QString id = QStringLiteral("org.nabrix.Later");
        QVERIFY(!m_workspace->isInstalled(id));
        QVERIFY(writeDesktopEntry(m_dataDir, id, "Name=Installed Later\nExec=true\n"));
        QTRY_VERIFY_WITH_TIMEOUT(m_workspace->isInstalled(id), 10000);
        QCOMPARE(orNone(m_workspace->applicationName(id)), QStringLiteral("Installed Later"));
    }
};

int main(int argc, char** argv)
{
    // GIO and Qt's icon loader read the data directories once: they must be ours from the start.
    QTemporaryDir dataDir;
    if (!dataDir.isValid() || !populateDataDir(dataDir.path())) {
        qCritical("cannot prepare the desktop entries in %s", qPrintable(dataDir.path()));
        return 1;
    }
    qputenv("XDG_DATA_HOME", dataDir.path().toUtf8());
    qputenv("XDG_DATA_DIRS", dataDir.path().toUtf8());
    QGuiApplication app(argc, argv);
    TestWorkspaceX11 test(dataDir.path());
    return QTest::qExec(&test, argc, argv);
}

#include "tst_workspace_x11.moc"
