// SPDX-License-Identifier: GPL-3.0-or-later
// Scale-to-fit image display for the detail page.
#include "views/fitted_image_view.h"

#include "views/fitted_image_decoder.h"
#include "views/theme.h"

#include <QFuture>
#include <QPainter>
#include <QtConcurrent>
#include <cmath>

namespace nabrix {

FittedImageView::FittedImageView(QWidget* parent)
    : QWidget(parent)
{
}

FittedImageView::~FittedImageView()
{
    m_decoder.clear();
    m_decoder.waitForDone();
}

void FittedImageView::setLoading()
{
    ++m_generation;
    m_bytes = QByteArray();
    m_image = QImage();
    m_decodedBox = QSize();
    m_state = State::Loading;
    update();
}

void FittedImageView::setUnreadable()
{
    setLoading();
    m_state = State::Unreadable;
}

void FittedImageView::setImageData(const QByteArray& bytes)
{
    setLoading();
    m_bytes = bytes;
    decodeForCurrentSize();
}

void FittedImageView::decodeForCurrentSize()
{
    // A hidden view has no settled size yet: showing it asks again.
    if (m_bytes.isNull() || !isVisible())
        return;
    const qreal scale = devicePixelRatioF();
    const QSize box(static_cast<int>(std::ceil(width() * scale)),
                    static_cast<int>(std::ceil(height() * scale)));
    if (box.isEmpty() || box == m_decodedBox)
        return;
    m_decodedBox = box;
    const quint64 generation = ++m_generation;
    // Even a scaled read of a large image takes a while: never on the main thread.
    QtConcurrent::run(&m_decoder, [bytes = m_bytes, box] {
        return FittedImageDecoder::decode(bytes, box);
    }).then(this, [this, generation](QImage image) {
        if (generation != m_generation)
            return;
        m_image = std::move(image);
        m_state = m_image.isNull() ? State::Unreadable : State::Shown;
        update();
    });
}

void FittedImageView::resizeEvent(QResizeEvent*)
{
    decodeForCurrentSize();
}

void FittedImageView::showEvent(QShowEvent*)
{
    decodeForCurrentSize();
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
    // Decoded for this size already, so drawing scales by a few pixels at most (or enlarges
    // a small image).
    const QSize fitted = m_image.size().scaled(size(), Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(
        QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted),
        m_image);
}

} // namespace nabrix
