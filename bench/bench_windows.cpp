// Speed of the main window's item list on the 10,000- and 100,000-item subcategories.
#include "BenchCatalogue.h"
#include "app/Glowny.h"
#include "app/Windows.h"
#include "items/ItemListProxy.h"
#include "store/DataDirectory.h"
#include "store/ProfileFile.h"
#include "store/ProfileStore.h"

#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeView>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

namespace {

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

void showSubcategory(Bench::Catalogue &catalogue)
{
    DataDirectory::setPath(catalogue.dir);
    if (!frmGlowny)
        createWindows();
    frmGlowny->setPanelText(0, QStringLiteral("Monety"));
    frmGlowny->ListPodkategorie->clear();
    frmGlowny->ListPodkategorie->addTopLevelItem(new QTreeWidgetItem(QStringList{QStringLiteral("Polska")}));
    frmGlowny->ListPodkategorie->setCurrentItem(frmGlowny->ListPodkategorie->topLevelItem(0));
}

void chooseSubcategory(benchmark::State &state, Bench::Catalogue &catalogue, int count, bool fromDisk)
{
    showSubcategory(catalogue);
    frmGlowny->ListPrzedmioty->header()->setSortIndicator(-1, Qt::AscendingOrder);
    frmGlowny->txtSzukaj->clear();
    for (auto _ : state) {
        state.PauseTiming();
        frmGlowny->ListPodkategorie->clearSelection();
        if (fromDisk)
            ProfileStore::clear();
        state.ResumeTiming();
        frmGlowny->ListPodkategorie->setCurrentItem(frmGlowny->ListPodkategorie->topLevelItem(0));
    }
    if (frmGlowny->ListPrzedmioty->model()->rowCount() != count)
        state.SkipWithError("the item list was not filled");
    state.counters["VmRSS_MB"] = residentMegabytes();
}

// Goal: under 30 ms, the file read and parse included.
void MainWindow_ChooseSubcategoryOf10000Items(benchmark::State &state)
{
    chooseSubcategory(state, Bench::catalogue(), Bench::itemCount, true);
}
BENCHMARK(MainWindow_ChooseSubcategoryOf10000Items)->Unit(benchmark::kMillisecond);

void MainWindow_ChooseSubcategoryOf10000Items_Cached(benchmark::State &state)
{
    chooseSubcategory(state, Bench::catalogue(), Bench::itemCount, false);
}
BENCHMARK(MainWindow_ChooseSubcategoryOf10000Items_Cached)->Unit(benchmark::kMillisecond);

// Goal: under 150 ms, the file read and parse included; the process under 300 MB (VmRSS_MB).
void MainWindow_ChooseSubcategoryOf100000Items(benchmark::State &state)
{
    chooseSubcategory(state, Bench::largeCatalogue(), Bench::largeItemCount, true);
}
BENCHMARK(MainWindow_ChooseSubcategoryOf100000Items)->Unit(benchmark::kMillisecond);

// A header click on a list just shown, its sort keys not made yet. Goal: under 150 ms.
void sortBy(benchmark::State &state, int column)
{
    showSubcategory(Bench::largeCatalogue());
    QHeaderView *header = frmGlowny->ListPrzedmioty->header();
    for (auto _ : state) {
        state.PauseTiming();
        header->setSortIndicator(-1, Qt::AscendingOrder);
        frmGlowny->refreshAfterItemCommand(); // the same rows read anew, without their sort keys
        state.ResumeTiming();
        header->setSortIndicator(column, Qt::AscendingOrder);
    }
    if (frmGlowny->itemList()->sortColumn() != column)
        state.SkipWithError("the list was not sorted");
}

void MainWindow_Sort100000ItemsByText(benchmark::State &state)
{
    sortBy(state, 0);
}
BENCHMARK(MainWindow_Sort100000ItemsByText)->Unit(benchmark::kMillisecond);

void MainWindow_Sort100000ItemsByNumber(benchmark::State &state)
{
    sortBy(state, 1);
}
BENCHMARK(MainWindow_Sort100000ItemsByNumber)->Unit(benchmark::kMillisecond);

// The second click on a header: the sort keys are there.
void MainWindow_Reverse100000Items(benchmark::State &state)
{
    showSubcategory(Bench::largeCatalogue());
    QHeaderView *header = frmGlowny->ListPrzedmioty->header();
    header->setSortIndicator(0, Qt::AscendingOrder);
    for (auto _ : state)
        header->setSortIndicator(0, header->sortIndicatorOrder() == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                                         : Qt::AscendingOrder);
}
BENCHMARK(MainWindow_Reverse100000Items)->Unit(benchmark::kMillisecond);

// One keystroke into the filter box over 100,000 sorted rows. Goal: under 50 ms.
void filterKeystroke(benchmark::State &state, const QString &before, const QString &typed)
{
    showSubcategory(Bench::largeCatalogue());
    frmGlowny->ListPrzedmioty->header()->setSortIndicator(0, Qt::AscendingOrder);
    for (auto _ : state) {
        state.PauseTiming();
        frmGlowny->txtSzukaj->setText(before);
        state.ResumeTiming();
        frmGlowny->txtSzukaj->setText(typed);
    }
    state.counters["shown"] = frmGlowny->itemList()->rowCount();
    frmGlowny->txtSzukaj->clear();
}

// Every row searched; "z" is in nearly every row, so nearly all stay.
void MainWindow_FilterFirstKeystroke100000Items(benchmark::State &state)
{
    filterKeystroke(state, QString(), QStringLiteral("z"));
}
BENCHMARK(MainWindow_FilterFirstKeystroke100000Items)->Unit(benchmark::kMillisecond);

// Without Polish marks, found in the names with them: a search of every row that few pass.
void MainWindow_FilterRareText100000Items(benchmark::State &state)
{
    filterKeystroke(state, QString(), QStringLiteral("swinoujscie 99"));
}
BENCHMARK(MainWindow_FilterRareText100000Items)->Unit(benchmark::kMillisecond);

// A letter added: only the rows still shown are searched.
void MainWindow_FilterNextKeystroke100000Items(benchmark::State &state)
{
    filterKeystroke(state, QStringLiteral("lodz"), QStringLiteral("lodz 1"));
}
BENCHMARK(MainWindow_FilterNextKeystroke100000Items)->Unit(benchmark::kMillisecond);

} // namespace
