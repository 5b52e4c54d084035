#pragma once

#include "app/FormStyle.h"
#include "exchange/Report.h"

class QCheckBox;
class QLabel;
class QPushButton;

// "Raport": one subcategory, or a search's result, saved as HTML or PDF or printed, as it was when
// the window opened.
class TfrmRaport : public Form
{
public:
    explicit TfrmRaport(QWidget *parent = nullptr);

    QLabel *lblCo;
    QCheckBox *chkMiniatury;
    QPushButton *btnHtml;
    QPushButton *btnPdf;
    QPushButton *btnDrukuj;
    QPushButton *btnZamknij;

    // What the next showing reports; `what` names it: the subcategory, or the search.
    void setReport(const Report::Content &content, const QString &what);
    void btnHtmlClick();
    void btnPdfClick();
    void btnDrukujClick();

private:
    // The file chosen, with the extension added when the name has none; empty when cancelled.
    QString chooseFile(const QString &caption, const QString &filter, const QString &extension);
    Report::Options options() const;

    Report::Content m_content;
    QString m_what;
};

extern TfrmRaport *frmRaport;
