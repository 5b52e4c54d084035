#pragma once

#include "PictureLoader.h"
#include "PicturePreview.h"

#include <QFileDialog>
#include <QFutureWatcher>

class QLabel;

// The picture-open dialog: Qt's own file dialog (not the desktop's, which takes no widget beside
// its list) with a preview of the picture under the selection and its size. The picture is
// decoded on a worker, so a large photo never holds the dialog up.
class PictureDialog : public QFileDialog
{
    Q_OBJECT
public:
    // Opens in `proposed` or else in the folder the last picture dialog of this run ended in.
    PictureDialog(QWidget *parent, const QString &caption, const QString &proposed = QString(),
                  const QString &filter = PictureLoader::dialogFilter());

    QLabel *imgPodglad;
    QLabel *lblRozmiar;

    // Shows `path`'s preview once it is decoded; a folder or nothing clears the pane.
    void showPreview(const QString &path);

signals:
    // The pane shows what there is to show of this file: its picture or "Brak podglądu".
    void previewShown(const QString &path);

protected:
    void done(int result) override;

private:
    void startDecoding(const QString &path);
    void decoded();

    QString m_wanted;
    bool m_busy = false;
    QFutureWatcher<PicturePreview> m_watcher;
};
