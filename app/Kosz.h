#pragma once

#include "FormStyle.h"

class QPushButton;
class QTreeWidget;

// "Kosz": what the deletes removed, newest first, to give back or to throw away for good.
class TfrmKosz : public Form
{
public:
    explicit TfrmKosz(QWidget *parent = nullptr);

    QTreeWidget *ListKosz;
    QPushButton *btnPrzywroc;
    QPushButton *btnOproznij;
    QPushButton *btnZamknij;

    void FormShow() override;
    void btnPrzywrocClick();
    void btnOproznijClick();

private:
    void ListKoszSelectItem();
};

extern TfrmKosz *frmKosz;
