#pragma once

#include "Exchange.h"

#include <QString>

// Reads an export file back into the catalogue files of the data directory `dir`: the category
// list, and every subcategory list, item file and photo list it describes, written over in place
// key by key. Nothing is deleted; keys the export does not carry stay as they were.
namespace Import {

// Throws AppError, before anything is written, for a source that is no export file or that names
// a category or subcategory that cannot be a file name; and "Unable to write to <file>" when a
// catalogue file cannot be written. Every file is written aside first and moved into place when
// all are (see Journal): a failure or a crash leaves the catalogue as it was, or imported whole.
void run(const QString &dir, const QString &sourceFile, const Exchange::Progress &progress = {},
         Exchange::Writing writing = Exchange::Writing::Batched);

} // namespace Import
