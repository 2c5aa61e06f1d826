// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog that tells a user without a terminal why the program stops.
#include "views/fatal_error_dialog.h"

#include "i18n/text_catalogue.h"

#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>

namespace nabrix {

std::unique_ptr<QMessageBox> makeFatalStoreErrorDialog(const QString& message,
                                                       const QString& filePath)
{
    auto dialog = std::make_unique<QMessageBox>();
    dialog->setIcon(QMessageBox::Critical);
    //% "Nabrix"
    dialog->setWindowTitle(catalogue::text("Nabrix"));
    dialog->setText(message);
    //: %1 is the path of the history database.
    //% "History file: %1"
    dialog->setInformativeText(
        catalogue::text("store.fatal.file").arg(QDir::toNativeSeparators(filePath)));
    // Texts to copy into a bug report or a search.
    dialog->setTextInteractionFlags(Qt::TextSelectableByMouse);
    //% "OK"
    dialog->addButton(catalogue::text("alert.ok"), QMessageBox::AcceptRole);
    return dialog;
}

bool windowsCanBeShown()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && !platform.startsWith(QLatin1String("minimal"));
}

} // namespace nabrix
