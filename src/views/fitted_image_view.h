// SPDX-License-Identifier: GPL-3.0-or-later
// An image scaled to fit the widget, centred; the "photo" symbol when it cannot be shown.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QThreadPool>
#include <QWidget>

namespace nabrix {

class FittedImageView : public QWidget {
    Q_OBJECT
public:
    enum class State { Loading, Shown, Unreadable };

    explicit FittedImageView(QWidget* parent = nullptr);
    // Drops the decodes not yet begun and waits for the others.
    ~FittedImageView() override;

    void setLoading();
    void setUnreadable();
    // The stored image bytes. They are decoded on a worker at the device-pixel size the view
    // shows them, and again when that size changes, so a huge image never costs its full size.
    void setImageData(const QByteArray& bytes);
    State state() const { return m_state; }
    // The decoded image: at most the view's size in device pixels.
    const QImage& image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void decodeForCurrentSize();

    QByteArray m_bytes;
    QImage m_image;
    // The box of the latest decode, shown or under way.
    QSize m_decodedBox;
    quint64 m_generation = 0;
    State m_state = State::Loading;
    QThreadPool m_decoder;
};

} // namespace nabrix
