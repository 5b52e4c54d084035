#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Every photo list of the catalogue, reached through its lists as the windows reach them. Files
// are read straight from the disk, never through the profile store, so a walk may run on a thread
// of its own while the windows go on.
namespace PhotoLists {

// One item with its photo paths, as its photo list stores them.
struct Item
{
    QString category;
    QString subcategory;
    int item = -1;
    QString title;    // the value of the item's first named field
    QString listFile; // the photo list file's full name
    QStringList paths;
};

// Visits every item that has at least one photo, in list order; stops when `visit` answers false
// and then answers false itself.
bool each(const QString &dir, const std::function<bool(const Item &)> &visit);

// The folder a stored path names its file in: the text before its last separator ("/" or, as a
// catalogue made on Windows holds it, "\"), or the path itself when it has none.
QString folderOf(const QString &path);

// Which of the paths name a file that exists. Each folder that many of them share is listed once
// instead of asking for every file, and a folder that is gone answers for all its files at once.
QList<bool> existing(const QStringList &paths);

} // namespace PhotoLists
