#include "PictureDialog.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace {

const QSize paneSize(256, 256);

QString &lastFolder()
{
    static QString folder;
    return folder;
}

} // namespace

PictureDialog::PictureDialog(QWidget *parent, const QString &caption, const QString &proposed, const QString &filter)
    : QFileDialog(parent, caption, proposed.isEmpty() ? lastFolder() : proposed, filter)
{
    setObjectName(QStringLiteral("PictureDialog"));
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);

    imgPodglad = new QLabel(this);
    imgPodglad->setObjectName(QStringLiteral("imgPodglad"));
    imgPodglad->setAccessibleName(QStringLiteral("Podgląd zdjęcia"));
    imgPodglad->setFixedSize(paneSize);
    imgPodglad->setAlignment(Qt::AlignCenter);
    imgPodglad->setFrameShape(QFrame::StyledPanel);
    lblRozmiar = new QLabel(this);
    lblRozmiar->setObjectName(QStringLiteral("lblRozmiar"));
    lblRozmiar->setAccessibleDescription(QStringLiteral("Rozmiar zdjęcia"));
    lblRozmiar->setAlignment(Qt::AlignCenter);
    auto *pane = new QVBoxLayout;
    pane->addWidget(imgPodglad);
    pane->addWidget(lblRozmiar);
    pane->addStretch();
    auto *grid = qobject_cast<QGridLayout *>(layout());
    grid->addLayout(pane, 0, grid->columnCount(), grid->rowCount(), 1);

    connect(this, &QFileDialog::currentChanged, this, &PictureDialog::showPreview);
    connect(&m_watcher, &QFutureWatcherBase::finished, this, &PictureDialog::decoded);
}

void PictureDialog::showPreview(const QString &path)
{
    m_wanted = path.isEmpty() || QFileInfo(path).isDir() ? QString() : path;
    imgPodglad->clear();
    imgPodglad->setAccessibleDescription(QString());
    lblRozmiar->clear();
    if (!m_wanted.isEmpty() && !m_busy)
        startDecoding(m_wanted);
}

void PictureDialog::startDecoding(const QString &path)
{
    m_busy = true;
    const qreal ratio = devicePixelRatioF();
    m_watcher.setFuture(QtConcurrent::run(makePicturePreview, path, imgPodglad->contentsRect().size() * ratio));
}

// One picture is decoded at a time; a result the selection has moved on from is dropped, and the
// picture selected meanwhile is decoded next.
void PictureDialog::decoded()
{
    m_busy = false;
    PicturePreview preview = m_watcher.result();
    if (preview.path != m_wanted) {
        if (!m_wanted.isEmpty())
            startDecoding(m_wanted);
        return;
    }
    if (preview.image.isNull()) {
        imgPodglad->setText(QStringLiteral("Brak podglądu"));
        imgPodglad->setAccessibleDescription(imgPodglad->text()); // its name hides the text from a screen reader
    } else {
        preview.image.setDevicePixelRatio(devicePixelRatioF());
        imgPodglad->setPixmap(QPixmap::fromImage(preview.image));
        if (preview.size.isValid())
            lblRozmiar->setText(QStringLiteral("%1 × %2").arg(preview.size.width()).arg(preview.size.height()));
    }
    emit previewShown(preview.path);
}

void PictureDialog::done(int result)
{
    lastFolder() = directory().absolutePath();
    QFileDialog::done(result);
}
