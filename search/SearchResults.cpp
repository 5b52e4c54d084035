#include "SearchResults.h"

#include <QApplication>
#include <QPainter>

namespace {

// A long value is shown from a little before the match, so that the match is in sight.
constexpr int leadBeforeMatch = 30;

struct Shown
{
    QString text;
    int start = 0;
};

// "Field: value" on one line, the match's place moved with it.
Shown shownText(const SearchHit &hit)
{
    QString value = hit.text;
    value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    int start = hit.matchStart;
    if (start > leadBeforeMatch + 10) {
        value = QStringLiteral("…") + value.mid(start - leadBeforeMatch);
        start = leadBeforeMatch + 1;
    }
    const QString prefix = hit.fieldName + QStringLiteral(": ");
    return {prefix + value, int(prefix.size()) + start};
}

} // namespace

int SearchResults::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_hits.size());
}

int SearchResults::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SearchResults::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_hits.size())
        return {};
    const SearchHit &hit = m_hits[index.row()];
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case CategoryColumn:
            return hit.category;
        case SubcategoryColumn:
            return hit.subcategory;
        case ItemColumn:
            // An item without a first value is still told apart by its number.
            return hit.title.isEmpty() ? QStringLiteral("(pozycja %1)").arg(hit.item + 1) : hit.title;
        default:
            return role == Qt::ToolTipRole ? hit.fieldName + QStringLiteral(": ") + hit.text : shownText(hit).text;
        }
    }
    if (role == MatchRole && index.column() == TextColumn)
        return QPoint(shownText(hit).start, hit.matchLength);
    return {};
}

QVariant SearchResults::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const titles[] = {"Kategoria", "Podkategoria", "Pozycja", "Znaleziony tekst"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return QString::fromUtf8(titles[section]);
}

void SearchResults::append(const QList<SearchHit> &hits)
{
    if (hits.isEmpty())
        return;
    beginInsertRows({}, int(m_hits.size()), int(m_hits.size() + hits.size() - 1));
    m_hits += hits;
    endInsertRows();
}

void SearchResults::clear()
{
    beginResetModel();
    m_hits.clear();
    endResetModel();
}

void MatchDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QPoint match = index.data(SearchResults::MatchRole).toPoint();
    if (match.y() <= 0) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QStyle *style = item.widget ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

    QRect rect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget).adjusted(2, 0, -2, 0);
    QFont bold = item.font;
    bold.setBold(true);
    const bool selected = item.state & QStyle::State_Selected;
    const QColor ink = item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const QString parts[] = {text.left(match.x()), text.mid(match.x(), match.y()), text.mid(match.x() + match.y())};
    painter->save();
    painter->setClipRect(rect);
    for (int part = 0; part < 3 && rect.width() > 0; ++part) {
        painter->setFont(part == 1 ? bold : item.font);
        const int width = QFontMetrics(painter->font()).horizontalAdvance(parts[part]);
        const QRect piece(rect.left(), rect.top(), std::min(width, rect.width()), rect.height());
        if (part == 1 && !selected)
            painter->fillRect(piece, item.palette.color(QPalette::Highlight).lighter(170));
        painter->setPen(ink);
        const QString shown = part == 2
                                  ? QFontMetrics(painter->font()).elidedText(parts[part], Qt::ElideRight, rect.width())
                                  : parts[part];
        painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        rect.setLeft(rect.left() + width);
    }
    painter->restore();
}
