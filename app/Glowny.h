#pragma once

#include <QMainWindow>

// The main window: the hub from which every command starts.
class TfrmGlowny : public QMainWindow
{
public:
    TfrmGlowny();

    void FormShow();
    void FormActivate();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Asks for the data directory while none is set; answers the path read before asking.
    QString dataDirectoryOrAsk();

    bool m_activationPending = false;
};

extern TfrmGlowny *frmGlowny;
