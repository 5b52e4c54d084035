#pragma once

#include "app/FormStyle.h"

#include <QUrl>

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;
class QTextBrowser;

// The program's version and the maker's page about updates, fetched anew at every showing and
// shown as rich text; its links open in the user's browser.
class TfrmAktualizacja : public Form
{
public:
    explicit TfrmAktualizacja(QWidget *parent = nullptr);

    QLabel *Label1;
    QLabel *Label2;
    QTextBrowser *CppWebBrowser1;
    QPushButton *btnZamknij;

    void FormShow() override;
    void btnZamknijClick();

    // The update page unless changed, as tests do.
    void setPageAddress(const QUrl &address) { m_address = address; }
    QUrl pageAddress() const { return m_address; }

private:
    void showPage(QNetworkReply *reply);
    void openLink(const QUrl &link);

    QUrl m_address;
    QNetworkAccessManager *m_network;
    QNetworkReply *m_reply = nullptr;
};

extern TfrmAktualizacja *frmAktualizacja;
