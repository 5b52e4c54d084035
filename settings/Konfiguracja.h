#pragma once

#include "app/FormStyle.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Whether the program looks for a newer version when it starts, kept in the category list file, so
// that it belongs to the catalogue; and the folder of the backups, kept in the per-user settings,
// since a catalogue restored from a backup must not change where the backups go.
class TfrmKonfiguracja : public Form
{
public:
    explicit TfrmKonfiguracja(QWidget *parent = nullptr);

    QGroupBox *GroupBox2;
    QRadioButton *radioWersja1;
    QRadioButton *radioWersja2;
    QLineEdit *txtFolderKopii;
    QPushButton *btnFolderKopii;
    QPushButton *btnZapisz;
    QPushButton *btnZamknij;

    void FormShow() override;
    void btnFolderKopiiClick();
    void btnZapiszClick();
    void btnZamknijClick();
};

extern TfrmKonfiguracja *frmKonfiguracja;
