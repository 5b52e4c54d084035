#include "Command.h"

#include "Dialogs.h"
#include "store/Error.h"

void showCurrentError()
{
    try {
        throw;
    } catch (const AppError &error) {
        Dialogs::error(error.message());
    } catch (const std::exception &error) {
        Dialogs::error(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        Dialogs::error(QStringLiteral("Nieznany błąd"));
    }
}

void runCommand(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (...) {
        showCurrentError();
    }
}
