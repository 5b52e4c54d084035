#include "Brakujace_zdjecia.h"

#include "MissingPhotoModel.h"
#include "MissingPhotos.h"
#include "app/Command.h"
#include "app/Dialogs.h"
#include "items/PhotoRelink.h"
#include "store/DataDirectory.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

TfrmBrakujace_zdjecia *frmBrakujace_zdjecia = nullptr;

namespace {

// "1 zdjęcie", "3 zdjęcia", "5 zdjęć", as Polish counts them.
QString photosCount(qsizetype n)
{
    const qsizetype tens = n % 100;
    const qsizetype units = n % 10;
    const char *word = n == 1                                                   ? "zdjęcie"
                       : (units >= 2 && units <= 4 && (tens < 12 || tens > 14)) ? "zdjęcia"
                                                                                : "zdjęć";
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(word));
}

QString relinkMessage(const PhotoRelink::Result &result)
{
    QString text = QStringLiteral("Przypisano ponownie %1.").arg(photosCount(result.relinked));
    if (result.left > 0)
        text += QStringLiteral("\nPozostało brakujących zdjęć z tego folderu: %1 (nie ma ich w nowym folderze).")
                    .arg(result.left);
    return text;
}

// Where the folder dialog starts: the nearest folder of the old path that still exists.
QString startingFolder(const QString &folder)
{
    QString path = QDir::fromNativeSeparators(folder);
    while (!path.isEmpty() && !QFileInfo(path).isDir()) {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        path = slash > 0 ? path.left(slash) : QString();
    }
    return path.isEmpty() ? QDir::homePath() : path;
}

// A short list is shown with every file; a long one by folder, to be opened where wanted.
constexpr qsizetype expandedUpTo = 100;

} // namespace

TfrmBrakujace_zdjecia::TfrmBrakujace_zdjecia(QWidget *parent)
    : Form(parent, "frmBrakujace_zdjecia", QStringLiteral("Gromadnik - Brakujące zdjęcia"), Frame::Sizeable),
      m_model(new MissingPhotoModel(this)), m_scanner(new MissingPhotoScanner(this))
{
    treeZdjecia = new QTreeView(this);
    treeZdjecia->setObjectName(QStringLiteral("treeZdjecia"));
    treeZdjecia->setAccessibleName(QStringLiteral("Brakujące zdjęcia"));
    treeZdjecia->setModel(m_model);
    treeZdjecia->setUniformRowHeights(true);
    treeZdjecia->setTextElideMode(Qt::ElideMiddle); // a folder's own name is at its end
    treeZdjecia->setSelectionBehavior(QAbstractItemView::SelectRows);
    treeZdjecia->setEditTriggers(QAbstractItemView::NoEditTriggers);
    treeZdjecia->header()->resizeSection(MissingPhotoModel::NameColumn, 320);
    treeZdjecia->header()->resizeSection(MissingPhotoModel::CountColumn, 80);
    lblStan = new QLabel(this);
    lblStan->setObjectName(QStringLiteral("lblStan"));
    lblStan->setAccessibleDescription(QStringLiteral("Stan sprawdzania zdjęć"));
    lblStan->setWordWrap(true);
    btnWskaz = new QPushButton(QStringLiteral("Wskaż nowy folder"), this);
    btnWskaz->setObjectName(QStringLiteral("btnWskaz"));
    btnZamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    btnZamknij->setObjectName(QStringLiteral("btnZamknij"));
    for (QPushButton *button : {btnWskaz, btnZamknij}) {
        button->setAutoDefault(false);
        useButtonKeys(button);
    }

    auto *layout = new QGridLayout(this);
    layout->addWidget(treeZdjecia, 0, 0, 1, 3);
    layout->addWidget(lblStan, 1, 0);
    layout->addWidget(btnWskaz, 1, 1);
    layout->addWidget(btnZamknij, 1, 2);
    layout->setColumnStretch(0, 1);
    resize(760, 460);

    connectCommand(btnWskaz, &QPushButton::clicked, this, &TfrmBrakujace_zdjecia::btnWskazClick);
    connect(btnZamknij, &QPushButton::clicked, this, &QDialog::close);
    connect(treeZdjecia->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfrmBrakujace_zdjecia::updateButtons);
    connect(m_scanner, &MissingPhotoScanner::finished, this, &TfrmBrakujace_zdjecia::scanFinished);
}

void TfrmBrakujace_zdjecia::FormShow()
{
    rescan();
}

void TfrmBrakujace_zdjecia::hideEvent(QHideEvent *event)
{
    m_scanner->cancel(); // nobody waits for its answer
    Form::hideEvent(event);
}

bool TfrmBrakujace_zdjecia::isScanning() const
{
    return m_scanner->isRunning();
}

void TfrmBrakujace_zdjecia::rescan()
{
    lblStan->setText(QStringLiteral("Sprawdzam zdjęcia katalogu…"));
    m_scanner->start(DataDirectory::path());
    updateButtons();
}

void TfrmBrakujace_zdjecia::scanFinished(const MissingPhotoScan &scan)
{
    const QString chosen = m_model->folderAt(treeZdjecia->currentIndex());
    m_model->setScan(scan);
    if (scan.folders.isEmpty())
        lblStan->setText(QStringLiteral("Wszystkie zdjęcia są na swoim miejscu."));
    else
        lblStan->setText(QStringLiteral("Brakujących zdjęć: %1, w folderach: %2.")
                             .arg(scan.missingCount())
                             .arg(scan.folders.size()));
    if (scan.missingCount() <= expandedUpTo)
        treeZdjecia->expandAll();
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (row == 0 || m_model->folderAt(m_model->index(row, 0)) == chosen)
            treeZdjecia->setCurrentIndex(m_model->index(row, 0));
    }
    updateButtons();
}

void TfrmBrakujace_zdjecia::updateButtons()
{
    btnWskaz->setEnabled(!isScanning() && treeZdjecia->currentIndex().isValid());
}

void TfrmBrakujace_zdjecia::btnWskazClick()
{
    const QString folder = m_model->folderAt(treeZdjecia->currentIndex());
    if (folder.isEmpty() || isScanning())
        return;
    const QString chosen = Dialogs::current().folderName(
        this, {QStringLiteral("Wskaż nowy folder zdjęć z folderu %1").arg(folder), startingFolder(folder)});
    if (chosen.isEmpty())
        return;
    const PhotoRelink::Result result = [&] {
        const WaitCursor busy;
        return PhotoRelink::run(DataDirectory::path(), folder, QDir::toNativeSeparators(chosen));
    }();
    Dialogs::information(this, relinkMessage(result));
    rescan();
}
