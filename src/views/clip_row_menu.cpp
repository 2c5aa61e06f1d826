// SPDX-License-Identifier: GPL-3.0-or-later
// A row's actions as a menu, each one handed to the row view as a request.
#include "views/clip_row_menu.h"

#include "app/app_model.h"
#include "i18n/text_catalogue.h"
#include "views/clip_row_view.h"

#include <QMenu>

namespace nabrix {

QMenu* ClipRowMenu::create(const AppModel& model, ClipRowView& rows, const ClipItem& item,
                           QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("rowMenu"));
    ClipRowView* self = &rows;
    //% "Copy"
    menu->addAction(catalogue::text("history.copy"), self,
                    [self, item] { Q_EMIT self->copyRequested(item); });
    //% "Paste"
    menu->addAction(catalogue::text("history.paste"), self,
                    [self, item] { Q_EMIT self->pasteRequested(item); });
    //% "Show details"
    menu->addAction(catalogue::text("history.detail"), self,
                    [self, item] { Q_EMIT self->detailRequested(item); });
    if (item.isSensitive) {
        //% "Hide"
        const QString title = model.isRevealed(item.id) ? catalogue::text("history.hide")
                                                        //% "Reveal"
                                                        : catalogue::text("history.reveal");
        menu->addAction(title, self, [self, item] { Q_EMIT self->revealRequested(item); });
    }
    menu->addSeparator();
    //% "Delete"
    menu->addAction(catalogue::text("history.delete"), self,
                    [self, item] { Q_EMIT self->deleteRequested(item); });
    return menu;
}

} // namespace nabrix
