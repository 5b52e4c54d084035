#pragma once

#include "app/FormStyle.h"
#include "items/ItemStore.h"

#include <QList>

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
    QPushButton *btnPowieksz;
    QPushButton *btnPoprzednie;
    QPushButton *btnNastepne;
    QPushButton *btnEdytuj;
    QPushButton *btnZamknij;

    // The photo now shown, for the enlarged window to decode again at its own size.
    const QString &photoPath() const { return m_photoPath; }
    int photoIndex() const { return m_index; }

    void FormShow() override;
    void btnNastepneClick();
    void btnPoprzednieClick();
    void btnPowiekszClick();
    void btnEdytujClick();

private:
    QWidget *buildFieldsPage();
    QWidget *buildMemosPage();
    QWidget *buildPhotoPage();
    int photoCount() const;
    // Loads photo `index`; the index and the buttons change only once it has loaded.
    void showPhoto(int index);
    void updateStepButtons(int count);

    QString m_shownItem;
    int m_index = 0;
    QString m_photoPath;
};

extern TfrmPokaz *frmPokaz;
