#pragma once

#include <QByteArray>
#include <QString>

// How the user left the main window: its place and size, the last category and subcategory
// chosen, and for each subcategory the item list's column widths, order and sort. Kept in the
// per-user settings in a group of its own, never in the catalogue files. It is no catalogue data:
// a value that cannot be stored is dropped without a word, and a damaged one reads as none.
namespace ViewState {

QByteArray windowGeometry();
void setWindowGeometry(const QByteArray &geometry);

struct Choice
{
    QString category;
    QString subcategory;
};
Choice lastChoice();
void setLastChoice(const Choice &choice);

// Whether the items are shown as a gallery rather than a list.
bool gallery();
void setGallery(bool on);

// The item list header of one subcategory, as QHeaderView::saveState gives it.
QByteArray columns(const QString &category, const QString &subcategory);
void setColumns(const QString &category, const QString &subcategory, const QByteArray &state);

} // namespace ViewState
