#include "ZoomArea.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {

const QString failedText = QStringLiteral("Nie udało się wczytać tego zdjęcia.");

QString zoomText(int percent)
{
    return QStringLiteral("%1 %").arg(percent);
}

} // namespace

ZoomArea::ZoomArea(QWidget *parent) : QWidget(parent), m_zoomLabel(new QLabel(this))
{
    setFocusPolicy(Qt::NoFocus);
    m_zoomLabel->setObjectName(QStringLiteral("lblPowiekszenie"));
    m_zoomLabel->setAccessibleName(QStringLiteral("Powiększenie"));
    m_zoomLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_zoomLabel->setStyleSheet(
        QStringLiteral("QLabel { background: rgba(0, 0, 0, 140); color: white; padding: 1px 4px; }"));
    viewChanged();
}

void ZoomArea::setPicture(QImage picture)
{
    m_picture = std::move(picture);
    m_view.setPicture(m_picture.size());
    viewChanged();
}

void ZoomArea::viewChanged()
{
    const bool shown = !m_picture.isNull();
    m_zoomLabel->setText(zoomText(m_view.percent()));
    m_zoomLabel->adjustSize();
    placeLabel();
    setAccessibleDescription(shown ? zoomText(m_view.percent()) : failedText);
    if (!m_dragging)
        setCursor(shown && m_view.canPan() ? Qt::OpenHandCursor : Qt::ArrowCursor);
    update();
}

// In the bottom-right corner, and only where it leaves most of a small picture free.
void ZoomArea::placeLabel()
{
    const QSize label = m_zoomLabel->size();
    m_zoomLabel->move(width() - label.width(), height() - label.height());
    m_zoomLabel->setVisible(!m_picture.isNull() && width() >= 3 * label.width() && height() >= 4 * label.height());
}

void ZoomArea::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_picture.isNull()) {
        painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, failedText);
        return;
    }
    // Only the part in view is scaled: at 1600 % the whole picture would be hundreds of megapixels.
    const QRectF source = m_view.visibleSource();
    if (source.isEmpty())
        return;
    const QRectF target = QRectF(m_view.offset() + source.topLeft() * m_view.scale(), source.size() * m_view.scale());
    // Enlarged well past its size a photo shows its pixels, as a collector looking for a detail expects.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_view.scale() < 2.0);
    painter.drawImage(target, m_picture, source);
}

void ZoomArea::resizeEvent(QResizeEvent *)
{
    m_view.setViewport(size());
    viewChanged();
}

void ZoomArea::wheelEvent(QWheelEvent *event)
{
    event->accept();
    if (m_picture.isNull())
        return;
    m_wheelAngle += event->angleDelta().y();
    const int steps = m_wheelAngle / QWheelEvent::DefaultDeltasPerStep;
    m_wheelAngle -= steps * QWheelEvent::DefaultDeltasPerStep;
    if (steps != 0)
        change([&] { m_view.zoomBy(steps, event->position()); });
}

void ZoomArea::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_view.canPan())
        return QWidget::mousePressEvent(event);
    m_dragging = true;
    m_dragFrom = event->position().toPoint();
    setCursor(Qt::ClosedHandCursor);
}

void ZoomArea::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return QWidget::mouseMoveEvent(event);
    const QPoint at = event->position().toPoint();
    change([&] { m_view.panBy(at - m_dragFrom); });
    m_dragFrom = at;
}

void ZoomArea::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    m_dragging = false;
    viewChanged();
}
