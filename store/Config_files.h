#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// Where the catalogue files lie: the user types the data directory's path and saves it.
class TfrmConfig_files : public QDialog
{
public:
    explicit TfrmConfig_files(QWidget *parent = nullptr);

    QLineEdit *Edit1;
    QPushButton *btnZapisz;

    void btnZapiszClick();

protected:
    void showEvent(QShowEvent *event) override;
};

extern TfrmConfig_files *frmConfig_files;
