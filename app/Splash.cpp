#include "Splash.h"

#include "FormStyle.h"
#include "viewer/JpegImage.h"

#include <QPainter>

TfrmSplash::TfrmSplash()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(loadJpeg(QStringLiteral(":/resources/splash.jpg")))
{
    setObjectName(QStringLiteral("frmSplash"));
    setAccessibleName(QStringLiteral("Gromadnik"));
    setFixedSize(392, 300);
    centreOnScreen(this);
}

void TfrmSplash::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
}
