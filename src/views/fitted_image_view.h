// An image scaled to fit the widget, centred; the "photo" symbol when it cannot be shown.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace nabrix {

class FittedImageView : public QWidget {
    Q_OBJECT
public:
    enum class State { Loading, Shown, Unreadable };

    explicit FittedImageView(QWidget* parent = nullptr);

    void setLoading();
    // A null image means the bytes did not decode.
    void setImage(const QImage& image);
    State state() const { return m_state; }
    const QImage& image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
    // The image at the size it was last drawn: large images are costly to scale each time.
    QPixmap m_scaled;
    State m_state = State::Loading;
};

} // namespace nabrix
