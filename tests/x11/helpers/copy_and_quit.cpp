// SPDX-License-Identifier: GPL-3.0-or-later
// A Qt program that copies its argument to the clipboard and quits straight away.
#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2)
        return 2;
    QGuiApplication::clipboard()->setText(arguments.at(1));
    QTimer::singleShot(0, &application, &QCoreApplication::quit);
    return QGuiApplication::exec();
}
