#pragma once

#include "Exchange.h"

#include <QString>

// Writes the whole catalogue of the data directory `dir` (categories, subcategories, field names,
// items and photo lists) into one export file. The file is not emptied first: sections and keys
// of other names stay in it. The catalogue files are only read. Nothing is written when
// `progress` asks to stop. Throws AppError "Unable to write to <exportFile>".
namespace Export {

// Answers false when stopped on request.
bool run(const QString &dir, const QString &exportFile, const Exchange::Progress &progress = {},
         Exchange::Writing writing = Exchange::Writing::Batched);

} // namespace Export
