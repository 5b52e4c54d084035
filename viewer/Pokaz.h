#pragma once

#include "app/FormStyle.h"
#include "items/ItemStore.h"

#include <QImage>
#include <QList>

class PhotoStrip;
class PictureArea;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

// Shows one item read-only, its photos one at a time.
class TfrmPokaz : public Form
{
public:
    explicit TfrmPokaz(QWidget *parent = nullptr);

    QTabWidget *PageControl1;
    QList<QLabel *> Labels;   // Label1 .. Label10
    QList<QLineEdit *> Edits; // Edit1 .. Edit10
    QPlainTextEdit *Memo1;
    QPlainTextEdit *Memo2;
    PictureArea *Image1;
    PhotoStrip *listMiniatury; // the item's photos as thumbnails, the one shown selected
    QPushButton *btnPowieksz;
    QPushButton *btnPoprzednie;
    QPushButton *btnNastepne;
    QPushButton *btnEdytuj;
    QPushButton *btnZamknij;

    // The photo now shown (null when it failed to load), for the enlarged window.
    const QImage &picture() const { return m_picture; }
    int photoIndex() const { return m_index; }

    void FormShow() override;
    void btnNastepneClick();
    void btnPoprzednieClick();
    void btnPowiekszClick();
    void listMiniaturyClick();
    void btnEdytujClick();

private:
    QWidget *buildFieldsPage();
    QWidget *buildMemosPage();
    QWidget *buildPhotoPage();
    int photoCount() const;
    QStringList photoPaths() const;
    // Steps to photo `index`, then loads it; a failed load leaves its place empty.
    void showPhoto(int index);
    void updateStepButtons(int count);

    QString m_shownItem;
    int m_index = 0;
    QImage m_picture;
};

extern TfrmPokaz *frmPokaz;
