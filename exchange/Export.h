#pragma once

#include "Exchange.h"

#include <QString>

// Writes the whole catalogue of the data directory `dir` (categories, subcategories, field names,
// items and photo lists) into one export file. The file is not emptied first: sections and keys
// of other names stay in it. The catalogue files are only read. Nothing is written when
// `progress` asks to stop. Throws AppError "Unable to write to <exportFile>".
namespace Export {

// Answers false when stopped on request. A count that claims more than its file holds, or is
// negative, is exported as the number of entries the export wrote, and `damaged` (when given)
// says where.
bool run(const QString &dir, const QString &exportFile, const Exchange::Progress &progress = {},
         Exchange::Writing writing = Exchange::Writing::Batched, QStringList *damaged = nullptr);

} // namespace Export
