#include "ScriptedDialogs.h"

#include <QPrinter>

QMessageBox::StandardButton ScriptedDialogs::message(QWidget *, const QString &caption, const QString &text,
                                                     QMessageBox::StandardButtons buttons, Icon icon)
{
    shown.append({caption, text, buttons, icon});
    if (!m_actions.isEmpty())
        m_actions.dequeue()();
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    for (int bit = 0; bit < 32; ++bit) {
        const auto button = QMessageBox::StandardButton(1u << bit);
        if (buttons.testFlag(button))
            return button;
    }
    return QMessageBox::NoButton;
}

QString ScriptedDialogs::openFileName(QWidget *, const FileRequest &request)
{
    fileRequests.append(request);
    return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
}

QString ScriptedDialogs::saveFileName(QWidget *, const FileRequest &request)
{
    fileRequests.append(request);
    return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
}

QString ScriptedDialogs::folderName(QWidget *, const FolderRequest &request)
{
    folderRequests.append(request);
    return m_folderNames.isEmpty() ? QString() : m_folderNames.dequeue();
}

bool ScriptedDialogs::print(QWidget *, QPrinter &printer)
{
    ++printDialogs;
    if (m_printFiles.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_printFiles.dequeue());
    return true;
}
