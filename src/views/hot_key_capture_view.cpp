// SPDX-License-Identifier: GPL-3.0-or-later
// The box that shows the global shortcut and records a new one from the keyboard.
#include "views/hot_key_capture_view.h"

#include "hotkey/global_hot_key_manager.h"
#include "i18n/text_catalogue.h"
#include "platform/hotkey_service.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

namespace nabrix {

namespace {

// Keys that only change the modifier state. Qt reports their presses as keys of their own
// (Ctrl+Alt+V arrives as Control, then Alt, then V), so they must not end recording.
bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Control:
    case Qt::Key_Shift:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

} // namespace

HotKeyCaptureView::HotKeyCaptureView(QWidget* parent)
    : QWidget(parent)
{
    // Only a click may focus the box: focus is what starts recording.
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::PointingHandCursor);
    //% "Open history"
    setAccessibleName(catalogue::text("settings.hotkey"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void HotKeyCaptureView::setDisplayShortcut(const QString& text)
{
    m_displayShortcut = text;
    update();
}

QString HotKeyCaptureView::shownText() const
{
    if (m_isRecording)
        //% "Type shortcut…"
        return catalogue::text("settings.hotkey.recording");
    if (!m_displayShortcut.isEmpty())
        return m_displayShortcut;
    //% "Not set"
    return catalogue::text("settings.hotkey.none");
}

void HotKeyCaptureView::setRecording(bool recording)
{
    if (recording == m_isRecording)
        return;
    m_isRecording = recording;
    update();
    Q_EMIT isRecordingChanged(recording);
}

bool HotKeyCaptureView::event(QEvent* event)
{
    if (m_isRecording) {
        // While recording every key is ours: the window's shortcuts must not take a
        // combination, and Tab must not move the focus away.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
                keyPressEvent(key);
                return true;
            }
        }
    }
    return QWidget::event(event);
}

void HotKeyCaptureView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    setFocus(Qt::MouseFocusReason);
    setRecording(true);
}

void HotKeyCaptureView::keyPressEvent(QKeyEvent* event)
{
    // The focus can come back without a click (the window is activated again): keys then
    // belong to the window, not to a recording.
    if (!m_isRecording) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->key() == Qt::Key_Escape) {
        setRecording(false);
        clearFocus();
        return;
    }
    if (isModifierKey(event->key()))
        return;
    const std::uint32_t modifiers = GlobalHotKeyManager::carbonModifiers(event->modifiers());
    if (modifiers == 0)
        return;
    // Grabbed with Shift alone, a key would take its capital letter or symbol from every
    // program; function keys type nothing, so they may go with Shift alone.
    const bool isFunctionKey = event->key() >= Qt::Key_F1 && event->key() <= Qt::Key_F24;
    if (modifiers == HotKeyModifier::shift && !isFunctionKey)
        return;
    // The recorded pair is stored before anyone hears that recording ended, so that the
    // shortcut taken back is the new one.
    m_isRecording = false;
    if (m_onKey)
        m_onKey(event->nativeScanCode(), modifiers);
    clearFocus();
    update();
    Q_EMIT isRecordingChanged(false);
}

void HotKeyCaptureView::focusOutEvent(QFocusEvent* event)
{
    // Left recording, the box would hold the global shortcut released with nobody to give
    // it back: clicking elsewhere or leaving the window cancels like Escape.
    setRecording(false);
    QWidget::focusOutEvent(event);
}

void HotKeyCaptureView::hideEvent(QHideEvent* event)
{
    setRecording(false);
    QWidget::hideEvent(event);
}

void HotKeyCaptureView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor separator = palette().color(QPalette::WindowText);
    separator.setAlphaF(0.22f);
    painter.setPen(QPen(m_isRecording ? palette().color(QPalette::Highlight) : separator, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);

    QFont textFont = font();
    textFont.setPixelSize(11);
    painter.setFont(textFont);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignCenter, shownText());
}

} // namespace nabrix
