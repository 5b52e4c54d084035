// Speed of the windows on the 10,000-item subcategory.
#include "BenchCatalogue.h"
#include "app/Glowny.h"
#include "app/Windows.h"
#include "store/DataDirectory.h"
#include "store/ProfileFile.h"
#include "store/ProfileStore.h"

#include <QTreeWidget>
#include <benchmark/benchmark.h>

namespace {

void chooseSubcategory(benchmark::State &state, bool fromDisk)
{
    DataDirectory::setPath(Bench::catalogue().dir);
    if (!frmGlowny)
        createWindows();
    frmGlowny->setPanelText(0, QStringLiteral("Monety"));
    frmGlowny->ListPodkategorie->clear();
    frmGlowny->ListPodkategorie->addTopLevelItem(new QTreeWidgetItem(QStringList{QStringLiteral("Polska")}));
    for (auto _ : state) {
        state.PauseTiming();
        frmGlowny->ListPodkategorie->clearSelection();
        frmGlowny->ListPrzedmioty->clear();
        if (fromDisk)
            ProfileStore::clear();
        state.ResumeTiming();
        frmGlowny->ListPodkategorie->setCurrentItem(frmGlowny->ListPodkategorie->topLevelItem(0));
    }
    if (frmGlowny->ListPrzedmioty->topLevelItemCount() != Bench::itemCount)
        state.SkipWithError("the item list was not filled");
}

// Goal: under 150 ms, the file read and parse included.
void MainWindow_ChooseSubcategoryOf10000Items(benchmark::State &state)
{
    chooseSubcategory(state, true);
}
BENCHMARK(MainWindow_ChooseSubcategoryOf10000Items)->Unit(benchmark::kMillisecond);

void MainWindow_ChooseSubcategoryOf10000Items_Cached(benchmark::State &state)
{
    chooseSubcategory(state, false);
}
BENCHMARK(MainWindow_ChooseSubcategoryOf10000Items_Cached)->Unit(benchmark::kMillisecond);

} // namespace
