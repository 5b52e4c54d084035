#pragma once

#include <QMessageBox>
#include <QString>

class QPrinter;

// Every message box and file dialog of the program goes through here, so that tests can put a
// scripted stand-in in place and drive every window headless.
class Dialogs
{
public:
    enum class Icon { None, Error };

    struct FileRequest
    {
        QString caption;
        QString filter;
        QString proposed;      // the folder and the file name offered at first
        bool mustExist = true; // an open dialog: only a file that exists can be chosen
        bool preview = false;  // a picture is chosen: the dialog shows the one under the selection
    };

    struct FolderRequest
    {
        QString caption;
        QString proposed; // the folder offered at first
    };

    virtual ~Dialogs() = default;

    virtual QMessageBox::StandardButton message(QWidget *parent, const QString &caption, const QString &text,
                                                QMessageBox::StandardButtons buttons, Icon icon) = 0;
    // The empty text when the user cancels. A save dialog adds no extension and does not ask
    // before an existing file is chosen.
    virtual QString openFileName(QWidget *parent, const FileRequest &request) = 0;
    virtual QString saveFileName(QWidget *parent, const FileRequest &request) = 0;
    // An existing folder, or the empty text when the user cancels.
    virtual QString folderName(QWidget *parent, const FolderRequest &request) = 0;
    // The system's print dialog over `printer`: false when the user cancels.
    virtual bool print(QWidget *parent, QPrinter &printer) = 0;

    static Dialogs &current();
    // Puts `dialogs` in place of the real ones (nullptr restores them); the caller keeps ownership.
    static void replace(Dialogs *dialogs);

    // The program's three kinds of box: a notice "Informacja" with OK, a question "Pytanie" (or
    // another caption) with the given buttons, and the error display.
    static void information(QWidget *parent, const QString &text);
    static QMessageBox::StandardButton question(QWidget *parent, const QString &text,
                                                QMessageBox::StandardButtons buttons,
                                                const QString &caption = QStringLiteral("Pytanie"));
    static void error(const QString &text);
};

// What the error display shows for a message: a full stop is added unless the message is empty or
// ends with a character that sorts at or below "." ("." itself, "!", ")", a blank...).
QString errorDisplayText(const QString &message);
