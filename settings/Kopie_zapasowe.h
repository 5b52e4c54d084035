#pragma once

#include "app/FormStyle.h"

class QLabel;
class QPushButton;
class QTreeWidget;

// The archives of the backup folder, newest first, and the way back to one of them.
class TfrmKopie_zapasowe : public Form
{
public:
    explicit TfrmKopie_zapasowe(QWidget *parent = nullptr);

    QLabel *lblFolder;
    QTreeWidget *ListKopie;
    QPushButton *btnPrzywroc;
    QPushButton *btnUtworz;
    QPushButton *btnZamknij;

    void FormShow() override;
    void btnPrzywrocClick();
    void btnUtworzClick();
    void btnZamknijClick();

private:
    void fillList();
};

extern TfrmKopie_zapasowe *frmKopie_zapasowe;
