#pragma once

#include <QDialog>

class PictureArea;

// The photo shown in the item viewer, enlarged: as large as the photo, but never larger than the
// screen, with the picture stretched over the window.
class TfrmImage : public QDialog
{
public:
    explicit TfrmImage(QWidget *parent = nullptr);

    PictureArea *Image1;

    void FormShow();

    // The outer size for a picture of `picture` pixels on a screen area of `available`.
    static QSize windowSizeFor(QSize picture, QSize available);

protected:
    void showEvent(QShowEvent *event) override;
};

extern TfrmImage *frmImage;
