#pragma once

#include <QPointF>
#include <QRectF>
#include <QSize>

// Where a picture lies in a view that can be zoomed and dragged: all in view coordinates, the
// picture's top-left corner at `offset()`, each picture pixel `scale()` view pixels wide. A picture
// smaller than the view is centred; a larger one always covers the view, so no drag can lose it.
class ZoomView
{
public:
    static constexpr double minScale = 0.05;
    static constexpr double maxScale = 16.0;

    // A new picture starts fitted to the view.
    void setPicture(QSize picture);
    // A fitted picture follows the view's size; a zoomed one keeps the point at the view's centre.
    void setViewport(QSize viewport);

    double scale() const { return m_scale; }
    int percent() const;
    bool fitted() const { return m_fitted; }
    QPointF offset() const { return m_offset; }
    QRectF pictureRect() const;
    // The part of the picture inside the view, in picture pixels.
    QRectF visibleSource() const;
    bool canPan() const;

    void fit();
    // `anchor` is the view point that stays over the same picture point, as the pointer does.
    void setScale(double scale, QPointF anchor);
    void setScale(double scale) { setScale(scale, viewCentre()); }
    void zoomBy(int steps, QPointF anchor);
    void zoomBy(int steps) { zoomBy(steps, viewCentre()); }
    void panBy(QPointF delta);

    // The largest scale showing the whole picture in the view, within the limits.
    static double fitScale(QSize picture, QSize viewport);
    // `steps` zoom levels up (or down, when negative) from `scale`, stopping at the limits; a scale
    // between two levels goes to the next one in that direction.
    static double steppedScale(double scale, int steps);

private:
    QPointF viewCentre() const;
    void clampOffset();

    QSize m_picture;
    QSize m_viewport;
    double m_scale = 1.0;
    QPointF m_offset;
    bool m_fitted = true;
};
