#pragma once

#include "FtpFetch.h"

#include <QObject>

class QPlainTextEdit;
class VersionFetch;

// The version check that ends the main window's activation refresh: it runs while the setting is
// on, until one check has completed in this run, and never twice at a time.
class StartupCheck : public QObject
{
    Q_OBJECT

public:
    // `window` owns the check and parents its question; `buffer` receives the fetched text.
    StartupCheck(QWidget *window, QPlainTextEdit *buffer);

    void activate(const QString &dataDirectory);
    // A window opened from the main window has closed. After a failure the check waits for this,
    // since closing the error display itself activates the main window again.
    void windowClosed() { m_waitingForWindow = false; }

    bool done() const { return m_done; } // the check-done flag
    bool running() const { return m_running; }

    // The maker's server and the usual limits unless changed, as tests do.
    void setEndpoint(const FtpEndpoint &endpoint) { m_endpoint = endpoint; }
    void setLimits(const FetchLimits &limits) { m_limits = limits; }

signals:
    // A check has ended and its answer or error has been shown.
    void ended();

private:
    void fetched(const QByteArray &content);
    void failed(const QString &message);

    QWidget *m_window;
    QPlainTextEdit *m_buffer;
    VersionFetch *m_fetch;
    FtpEndpoint m_endpoint;
    FetchLimits m_limits;
    bool m_done = false;
    bool m_running = false;
    bool m_waitingForWindow = false;
};
