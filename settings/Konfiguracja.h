#pragma once

#include "app/FormStyle.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

// The one user setting: whether the program looks for a newer version when it starts. It is kept
// in the category list file, so it belongs to the catalogue.
class TfrmKonfiguracja : public Form
{
public:
    explicit TfrmKonfiguracja(QWidget *parent = nullptr);

    QGroupBox *GroupBox2;
    QRadioButton *radioWersja1;
    QRadioButton *radioWersja2;
    QPushButton *btnZapisz;
    QPushButton *btnZamknij;

    void FormShow() override;
    void btnZapiszClick();
    void btnZamknijClick();
};

extern TfrmKonfiguracja *frmKonfiguracja;
