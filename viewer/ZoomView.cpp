#include "ZoomView.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The levels a viewer's users know from elsewhere, 100 % among them, so that stepping always lands
// on a round number.
constexpr std::array levels{0.05, 0.0625, 0.0833, 0.1, 0.125, 0.1667, 0.25, 0.3333, 0.5,  0.6667, 0.75, 1.0,
                            1.25, 1.5,    2.0,    3.0, 4.0,   5.0,    6.0,  8.0,    10.0, 12.0,   16.0};
// Closer than this to a level counts as being on it: a scale computed from sizes is seldom exact.
constexpr double onLevel = 1e-3;

} // namespace

void ZoomView::setPicture(QSize picture)
{
    m_picture = picture;
    fit();
}

void ZoomView::setViewport(QSize viewport)
{
    const QPointF centre = (viewCentre() - m_offset) / m_scale;
    m_viewport = viewport;
    if (m_fitted) {
        fit();
        return;
    }
    m_offset = viewCentre() - centre * m_scale;
    clampOffset();
}

int ZoomView::percent() const
{
    return int(std::lround(m_scale * 100));
}

QRectF ZoomView::pictureRect() const
{
    return QRectF(m_offset, QSizeF(m_picture) * m_scale);
}

QRectF ZoomView::visibleSource() const
{
    const QRectF shown = pictureRect() & QRectF(QPointF(0, 0), QSizeF(m_viewport));
    if (shown.isEmpty())
        return QRectF();
    return QRectF((shown.topLeft() - m_offset) / m_scale, shown.size() / m_scale);
}

bool ZoomView::canPan() const
{
    const QSizeF shown = QSizeF(m_picture) * m_scale;
    return shown.width() > m_viewport.width() || shown.height() > m_viewport.height();
}

void ZoomView::fit()
{
    m_fitted = true;
    m_scale = fitScale(m_picture, m_viewport);
    clampOffset();
}

void ZoomView::setScale(double scale, QPointF anchor)
{
    const double next = std::clamp(scale, minScale, maxScale);
    m_offset = anchor - (anchor - m_offset) * (next / m_scale);
    m_scale = next;
    m_fitted = false;
    clampOffset();
}

void ZoomView::zoomBy(int steps, QPointF anchor)
{
    setScale(steppedScale(m_scale, steps), anchor);
}

void ZoomView::panBy(QPointF delta)
{
    m_offset += delta;
    clampOffset();
}

double ZoomView::fitScale(QSize picture, QSize viewport)
{
    if (picture.isEmpty() || viewport.isEmpty())
        return 1.0;
    const double scale =
        std::min(double(viewport.width()) / picture.width(), double(viewport.height()) / picture.height());
    return std::clamp(scale, minScale, maxScale);
}

double ZoomView::steppedScale(double scale, int steps)
{
    for (; steps > 0; --steps) {
        const auto *next =
            std::find_if(levels.begin(), levels.end(), [&](double l) { return l > scale * (1 + onLevel); });
        scale = next == levels.end() ? maxScale : *next;
    }
    for (; steps < 0; ++steps) {
        const auto below =
            std::find_if(levels.rbegin(), levels.rend(), [&](double l) { return l < scale * (1 - onLevel); });
        scale = below == levels.rend() ? minScale : *below;
    }
    return std::clamp(scale, minScale, maxScale);
}

QPointF ZoomView::viewCentre() const
{
    return QPointF(m_viewport.width(), m_viewport.height()) / 2;
}

// Along each axis: a picture narrower than the view is centred, a wider one keeps the view covered.
void ZoomView::clampOffset()
{
    const QSizeF shown = QSizeF(m_picture) * m_scale;
    const auto axis = [](double offset, double picture, double view) {
        return picture <= view ? (view - picture) / 2 : std::clamp(offset, view - picture, 0.0);
    };
    m_offset = QPointF(axis(m_offset.x(), shown.width(), m_viewport.width()),
                       axis(m_offset.y(), shown.height(), m_viewport.height()));
}
