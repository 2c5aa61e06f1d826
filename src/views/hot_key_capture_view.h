// SPDX-License-Identifier: GPL-3.0-or-later
// The box that shows the global shortcut and records a new one from the keyboard.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

namespace nabrix {

// A click starts recording and takes the keyboard focus. Escape cancels; a key held with
// Ctrl, Alt or Super (and maybe Shift), or a function key held with Shift alone, is
// recorded; any other key is ignored and recording goes on.
// Recording also ends when the box loses the focus or is hidden: the owner releases the
// global shortcut while recording (or the combination would never reach us) and must get
// it back however recording ends.
class HotKeyCaptureView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool isRecording READ isRecording NOTIFY isRecordingChanged)
    Q_PROPERTY(QString displayShortcut READ displayShortcut WRITE setDisplayShortcut)

public:
    // Receives the X11 keycode and the stored modifier mask of a recorded combination.
    using KeyHandler = std::function<void(std::uint32_t keyCode, std::uint32_t modifiers)>;

    explicit HotKeyCaptureView(QWidget* parent = nullptr);

    void setOnKey(KeyHandler onKey) { m_onKey = std::move(onKey); }
    // The stored shortcut's text; empty for none.
    QString displayShortcut() const { return m_displayShortcut; }
    void setDisplayShortcut(const QString& text);
    bool isRecording() const { return m_isRecording; }
    // What the box shows: the prompt while recording, else the shortcut or the none text.
    QString shownText() const;

    QSize sizeHint() const override { return {120, 24}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

Q_SIGNALS:
    void isRecordingChanged(bool recording);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setRecording(bool recording);

    KeyHandler m_onKey;
    QString m_displayShortcut;
    bool m_isRecording = false;
};

} // namespace nabrix
