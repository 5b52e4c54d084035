#pragma once

#include "app/FormStyle.h"

class QListWidget;
class QPushButton;

// Lists the photos of the item open in the edit window and removes the one chosen.
class TfrmLista_zdjec : public Form
{
public:
    explicit TfrmLista_zdjec(QWidget *parent = nullptr);

    QListWidget *listZdjecia;
    QPushButton *btnUsun;
    QPushButton *btnZamknij;

    void FormShow() override;
    void btnUsunClick();
};

extern TfrmLista_zdjec *frmLista_zdjec;
