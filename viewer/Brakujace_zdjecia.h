#pragma once

#include "app/FormStyle.h"

class MissingPhotoModel;
class MissingPhotoScanner;
class QLabel;
class QPushButton;
class QTreeView;
struct MissingPhotoScan;

// The photos whose files are gone, by folder, and the command that points a folder's photos at
// the folder the collector moved them to.
class TfrmBrakujace_zdjecia : public Form
{
public:
    explicit TfrmBrakujace_zdjecia(QWidget *parent = nullptr);

    QTreeView *treeZdjecia;
    QLabel *lblStan;
    QPushButton *btnWskaz;
    QPushButton *btnZamknij;

    void FormShow() override;
    void btnWskazClick();
    // Starts the scan anew; the list fills when it ends.
    void rescan();
    bool isScanning() const;
    const MissingPhotoModel &model() const { return *m_model; }

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void scanFinished(const MissingPhotoScan &scan);
    void updateButtons();

    MissingPhotoModel *m_model;
    MissingPhotoScanner *m_scanner;
};

extern TfrmBrakujace_zdjecia *frmBrakujace_zdjecia;
