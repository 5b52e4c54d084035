#include "StartupCheck.h"

#include "VersionCheck.h"
#include "app/Application.h"
#include "app/Command.h"
#include "app/Dialogs.h"
#include "app/WebLinks.h"
#include "store/CatalogueFiles.h"
#include "store/Codepage.h"

#include <QPlainTextEdit>

StartupCheck::StartupCheck(QWidget *window, QPlainTextEdit *buffer)
    : QObject(window), m_window(window), m_buffer(buffer), m_fetch(new VersionFetch(this)),
      m_endpoint(WebLinks::versionServer())
{
    connect(m_fetch, &VersionFetch::fetched, this, &StartupCheck::fetched);
    connect(m_fetch, &VersionFetch::failed, this, &StartupCheck::failed);
}

void StartupCheck::activate(const QString &dataDirectory)
{
    // Running covers the answer's question too: an activation while it is open starts nothing.
    if (m_done || m_running || m_waitingForWindow)
        return;
    const ProfileFile categories(CatalogueFiles::categoryList(dataDirectory));
    if (categories.ReadNumber(QStringLiteral("config"), QStringLiteral("sprawdz_wersje"), 0) == 0)
        return;
    m_running = true;
    m_fetch->start(m_endpoint, Version::localCopy(dataDirectory), m_limits);
}

void StartupCheck::fetched(const QByteArray &content)
{
    runCommand([this, &content] {
        const QByteArray remote = Version::withCrLf(content);
        m_buffer->setPlainText(Codepage::decode(remote));
        if (Version::isNewer(remote, Application::version.toLatin1())) {
            const auto answer =
                Dialogs::question(m_window,
                                  QStringLiteral("Dostępna jest nowa wersja programu.\nChcesz przejść do odpowiedniej "
                                                 "strony www ?"),
                                  QMessageBox::Ok | QMessageBox::Cancel, QStringLiteral("Nowa wersja"));
            if (answer == QMessageBox::Ok)
                WebLinks::open(WebLinks::supportForum().address);
        }
        m_done = true;
    });
    m_running = false;
    emit ended();
}

void StartupCheck::failed(const QString &message)
{
    m_waitingForWindow = true;
    Dialogs::error(message);
    m_running = false;
    emit ended();
}
