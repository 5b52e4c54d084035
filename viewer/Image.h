#pragma once

#include <QDialog>
#include <QKeySequence>
#include <QList>

class QAction;
class ZoomArea;

// The photo shown in the item viewer, enlarged: opened as large as the photo, but never larger
// than the screen, the photo fitted to the window. It zooms and drags, goes full screen, and steps
// through the item's photos by stepping the viewer itself, so that the viewer's rules stay the one
// rule for which photo is shown.
class TfrmImage : public QDialog
{
public:
    explicit TfrmImage(QWidget *parent = nullptr);

    ZoomArea *Image1;
    QAction *actPowieksz;
    QAction *actPomniejsz;
    QAction *actDopasuj;
    QAction *actRzeczywisty;
    QAction *actPoprzednie;
    QAction *actNastepne;
    QAction *actPelnyEkran;

    void FormShow();
    void btnPoprzednieClick();
    void btnNastepneClick();
    void btnPelnyEkranClick();

    // The outer size for a picture of `picture` pixels on a screen area of `available`.
    static QSize windowSizeFor(QSize picture, QSize available);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QAction *command(const QString &caption, const char *objectName, const QList<QKeySequence> &keys);
    void addSeparator();
    void showViewerPicture();
};

extern TfrmImage *frmImage;
