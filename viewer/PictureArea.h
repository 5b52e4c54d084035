#pragma once

#include <QImage>
#include <QWidget>

// Shows one picture: scaled to fit with its proportions kept and drawn from the top-left corner,
// or stretched over the whole area.
class PictureArea : public QWidget
{
public:
    enum class Mode { Fit, Stretch };

    PictureArea(QWidget *parent, Mode mode);

    const QImage &picture() const { return m_picture; }
    void setPicture(QImage picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Mode m_mode;
    QImage m_picture;
};
