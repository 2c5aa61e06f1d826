// Scale-to-fit image display for the detail page.
#include "views/fitted_image_view.h"

#include "views/theme.h"

#include <QPainter>

namespace nabrix {

FittedImageView::FittedImageView(QWidget* parent)
    : QWidget(parent)
{
}

void FittedImageView::setLoading()
{
    m_image = QImage();
    m_scaled = QPixmap();
    m_state = State::Loading;
    update();
}

void FittedImageView::setImage(const QImage& image)
{
    m_image = image;
    m_scaled = QPixmap();
    m_state = image.isNull() ? State::Unreadable : State::Shown;
    update();
}

void FittedImageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_state == State::Unreadable) {
        const int side = Theme::symbolBox(28);
        Theme::symbol(QStringLiteral("photo"))
            .paint(&painter, QRect((width() - side) / 2, (height() - side) / 2, side, side));
        return;
    }
    if (m_state != State::Shown)
        return;
    const QSize fitted = m_image.size().scaled(size(), Qt::KeepAspectRatio);
    const qreal scale = devicePixelRatioF();
    const QSize pixels = fitted * scale;
    if (m_scaled.size() != pixels) {
        m_scaled = QPixmap::fromImage(
            m_image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        m_scaled.setDevicePixelRatio(scale);
    }
    painter.drawPixmap(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       m_scaled);
}

} // namespace nabrix
