#pragma once

#include "FormStyle.h"

class QPushButton;
class QTabWidget;

// "O programie": who makes the program, how to reach them, and thanks.
class TfrmInfo : public Form
{
public:
    explicit TfrmInfo(QWidget *parent = nullptr);

    QTabWidget *PageControl1;
    QPushButton *btnZamknij;
};

extern TfrmInfo *frmInfo;
