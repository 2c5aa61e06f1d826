// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window: a normal top-level window that scrolls the settings form.
#include "views/settings_window.h"

#include "i18n/text_catalogue.h"
#include "views/settings_view.h"
#include "views/theme.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace nabrix {

SettingsWindow::SettingsWindow(AppModel& model, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_view(new SettingsView(model))
{
    //% "Nabrix"
    setWindowTitle(catalogue::text("Nabrix"));
    setWindowIcon(Theme::symbol(QStringLiteral("doc.on.clipboard"), Theme::primaryText()));
    setPalette(Theme::darkPalette());
    setAutoFillBackground(true);
    setMinimumWidth(580);

    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(m_view);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    // Shown at its own size rather than Qt's default cap of two thirds of the screen.
    resize(sizeHint());
}

QSize SettingsWindow::sizeHint() const
{
    // The form's own height, as far as the screen allows: the blacklist alone can be long.
    const QSize form = m_view->sizeHint();
    // Wrapped footers make the plain hint taller than the form is at its own width.
    const int fitted = m_view->heightForWidth(form.width());
    int height = fitted > 0 ? fitted : form.height();
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        height = std::min(height, screen->availableGeometry().height() * 85 / 100);
    return {form.width(), height};
}

} // namespace nabrix
