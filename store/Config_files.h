#pragma once

#include "app/FormStyle.h"

class QLineEdit;
class QPushButton;

// Where the catalogue files lie: the user types the data directory's path and saves it.
class TfrmConfig_files : public Form
{
public:
    explicit TfrmConfig_files(QWidget *parent = nullptr);

    QLineEdit *Edit1;
    QPushButton *btnZapisz;

    void btnZapiszClick();
};

extern TfrmConfig_files *frmConfig_files;
