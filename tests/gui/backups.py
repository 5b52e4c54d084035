"""The backups: the day's first start makes one, and the window "Kopie zapasowe" brings it back."""
import glob
import os
import sys

import gromadnik_gui as g
from settings_exchange import MAIN, catalogue

WINDOW = "Gromadnik - Kopie zapasowe"


def restore(s):
    s.data = os.path.join(s.root, "Dane") + "/"
    catalogue(s.data)
    kept = g.catalogue_files(s.data)
    with open(s.data + "wersja.txt", "w") as f:
        f.write("0.2.9")
    s.set_data_directory(s.data)
    s.env["XDG_DATA_HOME"] = os.path.join(s.home, ".local", "share")
    folder = os.path.join(s.env["XDG_DATA_HOME"], "Gromadnik", "Gromadnik", "Kopie zapasowe")
    s.launch()
    main = s.window(MAIN)
    archives = s.wait_for(lambda: glob.glob(os.path.join(folder, "Gromadnik *.zip")), "the day's first backup")

    # A change the user regrets: an item edited, a subcategory list gone, a file added.
    g.write_cp1250(s.data + "Łódź_Żetony_dane.gmd", ["[pozycje]", "1=Nazwa", "[0]", "pozycja1=Zmieniony",
                                                     "[config]", "liczba_pozycji=1"])
    os.remove(s.data + "Łódź_podkategorie.gmd")
    g.write_cp1250(s.data + "Nowa_podkategorie.gmd", ["[config]", "liczba_podkategorii=0"])

    s.click(s.find_menu("Menu"))
    s.choose("Kopie zapasowe…")
    window = s.window(WINDOW)
    listed = s.wait_find(g.pyatspi.ROLE_TREE, "Kopie zapasowe", within=window, what="the list of backups")
    s.wait_for(lambda: len(g.rows(listed)) == len(archives), "the backup listed")
    if g.rows(listed)[0][2] != "1":
        g.fail(f"the backup is listed as {g.rows(listed)[0]}, not with its one item")
    s.click(g.cell(listed, 0))
    s.click(s.button("Przywróć", window))
    box = s.message("Przywrócić katalog z kopii zapasowej")
    yes = s.wait_for(lambda: s.find(g.pyatspi.ROLE_PUSH_BUTTON, "Tak", within=box)
                     or s.find(g.pyatspi.ROLE_PUSH_BUTTON, "Yes", within=box), "the button 'Tak'")
    s.click(yes)
    s.answer("Katalog został przywrócony", "OK")
    s.wait_for(lambda: len(g.rows(listed)) == len(archives) + 1, "the backup made before the restore listed")

    restored = g.catalogue_files(s.data)
    if restored != kept:
        g.fail(f"after the restore the catalogue holds {sorted(restored)}, not {sorted(kept)}: "
               f"{[n for n in kept if restored.get(n) != kept[n]]} differ")
    lines = g.read_cp1250(s.data + "Łódź_Żetony_dane.gmd")
    if "pozycja1=Żeton ćwierć" not in lines:
        g.fail(f"the restored item file reads {lines}")
    if open(s.data + "wersja.txt").read() != "0.2.9":
        g.fail("the restore touched a file that is no catalogue file")
    s.click(s.button("Zamknij", window))
    s.window_gone(WINDOW)
    categories = s.find(g.pyatspi.ROLE_TREE, "Kategorie", within=main)
    s.wait_for(lambda: g.first_column(categories) == ["Monety", "Łódź"], "the restored catalogue listed")


if __name__ == "__main__":
    sys.exit(g.main({"restore": restore}))
