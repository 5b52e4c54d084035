#include "ItemListView.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QTreeView>
#include <algorithm>

namespace {

constexpr int sampledRows = 200;
constexpr int widestColumn = 300;
constexpr int measuredValues = 8;

// A tool tip only where the cell cannot show its whole text.
class CutTextTips : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QWidget *widget = item.widget;
        QStyle *style = widget ? widget->style() : view->style();
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
        if (item.fontMetrics.horizontalAdvance(item.text) <= textRect.width() - 2 * margin) {
            QToolTip::hideText();
            return true;
        }
        QToolTip::showText(event->globalPos(), index.data(Qt::ToolTipRole).toString(), view->viewport(),
                           option.rect);
        return true;
    }
};

} // namespace

namespace ItemListView {

QTreeView *make(QWidget *parent)
{
    auto *view = new QTreeView(parent);
    view->setObjectName(QStringLiteral("ListPrzedmioty"));
    view->setAccessibleName(QStringLiteral("Przedmioty"));
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true); // a row's height is not asked 100,000 times
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->setTextElideMode(Qt::ElideRight);
    view->setItemDelegate(new CutTextTips(view));
    QHeaderView *header = view->header();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(20);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder); // item-number order until a header is clicked
    return view;
}

void fitColumns(QTreeView *view)
{
    const QAbstractItemModel *model = view->model();
    const QFontMetrics cells = view->fontMetrics();
    const QFontMetrics names = view->header()->fontMetrics();
    QStyle *style = view->style();
    const int cellMargin = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1) + 4;
    // Room for the header's own margins and the sort arrow.
    const int nameMargin = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, view->header()) +
                           style->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, view->header()) + 4;
    const int rows = std::min(model->rowCount(), sampledRows);
    for (int column = 0; column < model->columnCount(); ++column) {
        int width = names.horizontalAdvance(model->headerData(column, Qt::Horizontal).toString()) + nameMargin;
        // Shaping text is what costs: only the values longest in characters are measured.
        QStringList longest;
        for (int row = 0; row < rows; ++row) {
            QString text = model->index(row, column).data().toString();
            if (longest.size() < measuredValues || text.size() > longest.last().size()) {
                const auto at = std::upper_bound(longest.begin(), longest.end(), text,
                                                 [](const QString &a, const QString &b) { return a.size() > b.size(); });
                longest.insert(at, std::move(text));
                if (longest.size() > measuredValues)
                    longest.removeLast();
            }
        }
        for (const QString &text : std::as_const(longest))
            width = std::max(width, cells.horizontalAdvance(text) + cellMargin);
        view->setColumnWidth(column, std::min(width, widestColumn));
    }
}

} // namespace ItemListView
