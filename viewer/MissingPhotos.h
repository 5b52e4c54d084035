#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <functional>

// An item whose photo list holds a path.
struct PhotoUse
{
    QString category;
    QString subcategory;
    int item = -1;
    QString title; // the value of the item's first named field
};

struct MissingPhoto
{
    QString path; // as the photo lists store it
    QList<PhotoUse> uses;
};

// The missing photos of one folder, as the stored paths name it (PhotoLists::folderOf).
struct MissingFolder
{
    QString folder;
    QList<MissingPhoto> photos; // sorted by path
};

struct MissingPhotoScan
{
    QList<MissingFolder> folders; // sorted by folder
    qsizetype paths = 0;          // photo paths of the catalogue, each use counted
    bool stopped = false;         // `stop` asked to end it: what it holds is not the whole answer

    qsizetype missingCount() const;
};

namespace MissingPhotos {

// Every photo path of the catalogue whose file does not exist, with the items that use it. Safe on
// any thread; `stop` is asked between items.
MissingPhotoScan scan(const QString &dir, const std::function<bool()> &stop = {});

} // namespace MissingPhotos

// The scan run on a thread of its own, so that a large catalogue does not stop the windows. A scan
// started while another runs ends that one; only the last one's answer is delivered.
class MissingPhotoScanner : public QObject
{
    Q_OBJECT

public:
    explicit MissingPhotoScanner(QObject *parent = nullptr);
    ~MissingPhotoScanner() override;

    void start(const QString &dir);
    void cancel();
    bool isRunning() const { return m_running; }

signals:
    void finished(const MissingPhotoScan &scan);

private:
    QThreadPool m_pool;
    std::atomic<quint64> m_generation{0};
    bool m_running = false;
};
