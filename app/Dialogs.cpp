#include "Dialogs.h"

#include "viewer/PictureDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPushButton>

namespace {

class QtDialogs final : public Dialogs
{
public:
    QMessageBox::StandardButton message(QWidget *parent, const QString &caption, const QString &text,
                                        QMessageBox::StandardButtons buttons, Icon icon) override
    {
        QMessageBox box(icon == Icon::Error ? QMessageBox::Critical : QMessageBox::NoIcon, caption, text, buttons,
                        parent);
        return QMessageBox::StandardButton(box.exec());
    }

    QString openFileName(QWidget *parent, const FileRequest &request) override
    {
        if (request.preview) {
            PictureDialog dialog(parent, request.caption, request.proposed, request.filter);
            return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
        }
        if (request.mustExist)
            return QFileDialog::getOpenFileName(parent, request.caption, request.proposed, request.filter);
        QFileDialog dialog(parent, request.caption, request.proposed, request.filter);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    }

    QString saveFileName(QWidget *parent, const FileRequest &request) override
    {
        return QFileDialog::getSaveFileName(parent, request.caption, request.proposed, request.filter, nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    }

    QString folderName(QWidget *parent, const FolderRequest &request) override
    {
        return QFileDialog::getExistingDirectory(parent, request.caption, request.proposed);
    }

    bool print(QWidget *parent, QPrinter &printer) override
    {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
};

QtDialogs realDialogs;
Dialogs *currentDialogs = &realDialogs;

} // namespace

Dialogs &Dialogs::current()
{
    return *currentDialogs;
}

void Dialogs::replace(Dialogs *dialogs)
{
    currentDialogs = dialogs ? dialogs : &realDialogs;
}

void Dialogs::information(QWidget *parent, const QString &text)
{
    current().message(parent, QStringLiteral("Informacja"), text, QMessageBox::Ok, Icon::None);
}

QMessageBox::StandardButton Dialogs::question(QWidget *parent, const QString &text,
                                              QMessageBox::StandardButtons buttons, const QString &caption)
{
    return current().message(parent, caption, text, buttons, Icon::None);
}

void Dialogs::error(const QString &text)
{
    current().message(QApplication::activeWindow(), QStringLiteral("Gromadnik"), errorDisplayText(text),
                      QMessageBox::Ok, Icon::Error);
}

QString errorDisplayText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}
