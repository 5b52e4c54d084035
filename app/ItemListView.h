#pragma once

class QTreeView;
class QWidget;

// The main window's item list: one line per item, whole rows selected, nothing edited in place,
// a header that sorts, and the whole text of a cut cell as its tool tip.
namespace ItemListView {

QTreeView *make(QWidget *parent);

// Columns wide enough for their names and for the values of the first rows, up to a limit, so a
// long description does not push every other column out of sight.
void fitColumns(QTreeView *view);

} // namespace ItemListView
