#pragma once

#include "ZoomView.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

class QLabel;

// Shows one picture to be looked at closely: the wheel zooms around the pointer, the left button
// drags a picture larger than the area. The zoom is shown in a corner and given to screen readers
// as the area's description; a picture that could not be loaded leaves a short note instead.
class ZoomArea : public QWidget
{
public:
    explicit ZoomArea(QWidget *parent);

    const QImage &picture() const { return m_picture; }
    // A new picture comes fitted to the area.
    void setPicture(QImage picture);
    const ZoomView &view() const { return m_view; }

    void zoomIn()
    {
        change([this] { m_view.zoomBy(1); });
    }
    void zoomOut()
    {
        change([this] { m_view.zoomBy(-1); });
    }
    void fit()
    {
        change([this] { m_view.fit(); });
    }
    void actualSize()
    {
        change([this] { m_view.setScale(1.0); });
    }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    template <typename Change> void change(Change step)
    {
        step();
        viewChanged();
    }
    void viewChanged();
    void placeLabel();

    QImage m_picture;
    ZoomView m_view;
    QLabel *m_zoomLabel;
    int m_wheelAngle = 0; // a fine-grained wheel sends parts of a notch
    bool m_dragging = false;
    QPoint m_dragFrom;
};
