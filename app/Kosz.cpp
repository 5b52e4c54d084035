#include "Kosz.h"

#include "Command.h"
#include "Dialogs.h"
#include "store/DataDirectory.h"
#include "store/Trash.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

TfrmKosz *frmKosz = nullptr;

namespace {

// The entry's folder, which names it, rides along with its row.
constexpr int folderRole = Qt::UserRole;

QString kindText(Trash::Kind kind)
{
    switch (kind) {
    case Trash::Kind::Item:
        return QStringLiteral("Pozycja");
    case Trash::Kind::Subcategory:
        return QStringLiteral("Podkategoria");
    case Trash::Kind::Category:
        return QStringLiteral("Kategoria");
    }
    return {};
}

QString placeText(const Trash::Entry &entry)
{
    if (entry.kind == Trash::Kind::Category)
        return {};
    if (entry.kind == Trash::Kind::Subcategory)
        return entry.category;
    return entry.category + QStringLiteral(" / ") + entry.subcategory;
}

QPushButton *button(QWidget *parent, const QString &caption, const char *objectName)
{
    auto *made = new QPushButton(caption, parent);
    made->setObjectName(QLatin1String(objectName));
    useButtonKeys(made);
    return made;
}

} // namespace

TfrmKosz::TfrmKosz(QWidget *parent) : Form(parent, "frmKosz", QStringLiteral("Gromadnik - Kosz"), Frame::Sizeable)
{
    ListKosz = new QTreeWidget(this);
    ListKosz->setObjectName(QStringLiteral("ListKosz"));
    ListKosz->setAccessibleName(QStringLiteral("Kosz"));
    ListKosz->setHeaderLabels(
        {QStringLiteral("Rodzaj"), QStringLiteral("Nazwa"), QStringLiteral("Skąd"), QStringLiteral("Usunięto")});
    ListKosz->setRootIsDecorated(false);
    ListKosz->setSelectionMode(QAbstractItemView::SingleSelection);
    ListKosz->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    btnPrzywroc = button(this, QStringLiteral("Przywróć"), "btnPrzywroc");
    btnOproznij = button(this, QStringLiteral("Opróżnij kosz"), "btnOproznij");
    btnZamknij = button(this, QStringLiteral("Zamknij"), "btnZamknij");

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnPrzywroc);
    buttons->addWidget(btnOproznij);
    buttons->addStretch(1);
    buttons->addWidget(btnZamknij);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ListKosz, 1);
    layout->addLayout(buttons);
    resize(620, 380);

    connectCommand(btnPrzywroc, &QPushButton::clicked, this, &TfrmKosz::btnPrzywrocClick);
    connectCommand(btnOproznij, &QPushButton::clicked, this, &TfrmKosz::btnOproznijClick);
    connect(btnZamknij, &QPushButton::clicked, this, &QDialog::close);
    connect(ListKosz, &QTreeWidget::itemSelectionChanged, this, &TfrmKosz::ListKoszSelectItem);
}

void TfrmKosz::FormShow()
{
    ListKosz->clear();
    for (const Trash::Entry &entry : Trash::entries(DataDirectory::path())) {
        auto *row = new QTreeWidgetItem(
            QStringList{kindText(entry.kind), entry.name, placeText(entry),
                        entry.deleted.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))});
        row->setData(0, folderRole, entry.folder);
        ListKosz->addTopLevelItem(row);
    }
    btnOproznij->setEnabled(ListKosz->topLevelItemCount() > 0);
    ListKoszSelectItem();
}

void TfrmKosz::ListKoszSelectItem()
{
    btnPrzywroc->setEnabled(!ListKosz->selectedItems().isEmpty());
}

void TfrmKosz::btnPrzywrocClick()
{
    const QList<QTreeWidgetItem *> chosen = ListKosz->selectedItems();
    if (chosen.isEmpty())
        return;
    if (const auto entry = Trash::entryIn(chosen.first()->data(0, folderRole).toString()))
        Trash::restore(DataDirectory::path(), *entry);
    FormShow();
}

void TfrmKosz::btnOproznijClick()
{
    if (Dialogs::question(this,
                          QStringLiteral("Czy chcesz opróżnić kosz ? Tego, co z niego usuniesz, nie będzie można "
                                         "przywrócić."),
                          QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    Trash::empty(DataDirectory::path());
    FormShow();
}
