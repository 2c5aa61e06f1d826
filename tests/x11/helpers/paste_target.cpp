// SPDX-License-Identifier: GPL-3.0-or-later
// A window with one focused line edit, for tests that type or paste into another client.
// Prints "ready" once it has the keyboard focus, then "text:<content>" on every change.
//   paste_target [APP_ID]   (the desktop entry a native Wayland window names as its app_id)
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>

namespace {

void printLine(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc > 1)
        QGuiApplication::setDesktopFileName(QString::fromLocal8Bit(argv[1]));
    QLineEdit edit;
    edit.setWindowTitle(QStringLiteral("Nabrix paste target"));
    edit.resize(400, 40);
    QObject::connect(&edit, &QLineEdit::textChanged,
                     [](const QString& text) { printLine(QStringLiteral("text:") + text); });
    edit.show();
    edit.activateWindow();
    edit.setFocus();

    // The window manager gives the focus some time after mapping.
    QTimer focusWatch;
    QObject::connect(&focusWatch, &QTimer::timeout, [&] {
        if (edit.isActiveWindow() && edit.hasFocus()) {
            focusWatch.stop();
            printLine(QStringLiteral("ready"));
        }
    });
    focusWatch.start(20);
    return application.exec();
}
