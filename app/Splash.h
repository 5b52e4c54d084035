#pragma once

#include <QImage>
#include <QWidget>

// The picture shown while the windows are being made.
class TfrmSplash : public QWidget
{
public:
    TfrmSplash();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};
