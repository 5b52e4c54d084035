#pragma once

#include "Exchange.h"

#include <QString>
#include <functional>

class QWidget;

// What the export and import commands show around the work: their file dialogs, which remember
// the file chosen last, and a progress window for a long run.
namespace ExchangeDialogs {

// The chosen file, or the empty text when the user cancels.
QString chooseExportFile(QWidget *parent);
QString chooseImportFile(QWidget *parent);

// Runs `work`, handing it a Progress that moves a progress window over `parent` once the work
// lasts long enough to be noticed. With `cancellable` the window offers "Anuluj" and the Progress
// answers false once it was pressed. Answers what `work` answers.
bool runWithProgress(QWidget *parent, const QString &label, bool cancellable,
                     const std::function<bool(const Exchange::Progress &)> &work);

} // namespace ExchangeDialogs
