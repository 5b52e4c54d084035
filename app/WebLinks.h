#pragma once

#include "settings/FtpFetch.h"

#include <QIcon>
#include <QList>
#include <QString>
#include <QUrl>

// Every web address the program opens or fetches. The project's own site is not online yet, so the addresses
// lie under the reserved domain gromadnik.example until it is.
namespace WebLinks {

struct Link
{
    QString caption;
    QString objectName; // of its menu entry
    QUrl address;
    QIcon picture; // the "Inne Dziejownik" entries have one
};

Link homePage();
Link supportForum(); // the version check sends the user here too
Link recommended();  // its caption is its address
QList<Link> otherSites();
QUrl updatePage(); // shown inside the update window

// The account on the maker's FTP server that offers the version file.
FtpEndpoint versionServer();

// Hands the address to the platform's default browser; a failure is not reported.
void open(const QUrl &address);

} // namespace WebLinks
