#pragma once

#include "app/Dialogs.h"

#include <QList>
#include <QQueue>
#include <functional>

// Stands in for the real message boxes and file dialogs while it lives: records what would have
// been shown and answers from a script, showing nothing.
class ScriptedDialogs : public Dialogs
{
public:
    struct Shown
    {
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons;
        Icon icon = Icon::None;
    };

    ScriptedDialogs() { Dialogs::replace(this); }
    ~ScriptedDialogs() override { Dialogs::replace(nullptr); }

    // Answers for the next message boxes, in turn; without one a box answers its first button.
    void answerNext(QMessageBox::StandardButton answer) { m_answers.enqueue(answer); }
    // Runs while the next box is "shown", as a user would act then.
    void onNextMessage(std::function<void()> action) { m_actions.enqueue(std::move(action)); }
    void fileNameNext(const QString &name) { m_fileNames.enqueue(name); }
    void folderNameNext(const QString &name) { m_folderNames.enqueue(name); }
    // The next print dialog sends the pages to this PDF file; without one it is cancelled.
    void printToNext(const QString &pdfFile) { m_printFiles.enqueue(pdfFile); }

    QList<Shown> shown;
    QList<FileRequest> fileRequests;
    QList<FolderRequest> folderRequests;
    int printDialogs = 0;

    QMessageBox::StandardButton message(QWidget *parent, const QString &caption, const QString &text,
                                        QMessageBox::StandardButtons buttons, Icon icon) override;
    QString openFileName(QWidget *parent, const FileRequest &request) override;
    QString saveFileName(QWidget *parent, const FileRequest &request) override;
    QString folderName(QWidget *parent, const FolderRequest &request) override;
    bool print(QWidget *parent, QPrinter &printer) override;

private:
    QQueue<QMessageBox::StandardButton> m_answers;
    QQueue<std::function<void()>> m_actions;
    QQueue<QString> m_fileNames;
    QQueue<QString> m_folderNames;
    QQueue<QString> m_printFiles;
};
