#include "PictureArea.h"

#include <QPainter>

PictureArea::PictureArea(QWidget *parent, Mode mode) : QWidget(parent), m_mode(mode) {}

void PictureArea::setPicture(QImage picture)
{
    m_picture = std::move(picture);
    update();
}

void PictureArea::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QSize size = rect().size();
    if (m_mode == Mode::Fit)
        size = m_picture.size().scaled(size, Qt::KeepAspectRatio);
    painter.drawImage(QRect(QPoint(0, 0), size), m_picture);
}
