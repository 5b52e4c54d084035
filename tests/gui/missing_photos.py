"""Photos whose folder the collector moved, found through "Brakujące zdjęcia…" in the main menu: the folder row
chosen, the new folder typed into Qt's own folder dialog, the photo lists on disk read back."""
import os
import sys

import gromadnik_gui as g

MAIN = "Gromadnik - Menu główne"
WINDOW = "Gromadnik - Brakujące zdjęcia"


def catalogue(data, old):
    os.makedirs(data)
    g.write_cp1250(data + "kategorie.gmd", ["[kategorie]", "0=Monety", "[config]", "liczba_kategorii=1"])
    g.write_cp1250(data + "Monety_podkategorie.gmd", ["[podkategorie]", "0=Polska", "[config]",
                                                      "liczba_podkategorii=1"])
    g.write_cp1250(data + "Monety_Polska_dane.gmd", ["[pozycje]", "1=Nazwa", "[0]", "pozycja1=Złotówka", "[1]",
                                                     "pozycja1=Grosz", "[config]", "liczba_pozycji=2"])
    for number, names in enumerate([["a.jpg", "b.jpg"], ["c.jpg"]]):
        g.write_cp1250(data + f"Monety_Polska_{number}.gmd", ["[zdjecia]"]
                       + [f"{k}={old}/{name}" for k, name in enumerate(names)]
                       + ["[config]", f"liczba_zdjec={len(names)}"])


def missing_photos(s):
    data = os.path.join(s.root, "Katalog") + "/"
    old = os.path.join(s.root, "Zdjęcia Łódź")
    new = os.path.join(s.home, "Przeniesione Żółw")
    catalogue(data, old)
    os.makedirs(new)
    for name in ("a.jpg", "c.jpg"):  # b.jpg was not moved
        open(os.path.join(new, name), "wb").close()
    s.set_data_directory(data)
    s.launch()
    s.window(MAIN)
    s.click(s.find_menu("Menu"))
    s.choose("Brakujące zdjęcia…")
    window = s.window(WINDOW)
    tree = s.wait_find(g.pyatspi.ROLE_TREE, "Brakujące zdjęcia", within=window)
    s.wait_for(lambda: g.rows(tree) and g.rows(tree)[0][:2] == [old, "3"], "the old folder with 3 missing files")

    s.click(g.cell(tree, 0))
    s.click(s.button("Wskaż nowy folder", window))
    dialog = s.window(f"Wskaż nowy folder zdjęć z folderu {old}")
    s.set_text(s.field("Katalog:", dialog), new)
    s.key("Return")
    s.window_gone(dialog.name)
    s.answer("Przypisano ponownie 2 zdjęcia.", "OK")
    s.wait_for(lambda: g.rows(tree) and g.rows(tree)[0][:2] == [old, "1"], "the old folder with 1 missing file")
    expected = {0: [f"0={new}/a.jpg", f"1={old}/b.jpg"], 1: [f"0={new}/c.jpg"]}
    for number, lines in expected.items():
        held = g.read_cp1250(data + f"Monety_Polska_{number}.gmd")
        if held[1:1 + len(lines)] != lines:
            g.fail(f"Monety_Polska_{number}.gmd holds {held}, not {lines}")
    s.click(s.button("Zamknij", window))
    s.window_gone(WINDOW)


if __name__ == "__main__":
    sys.exit(g.main({"missing_photos": missing_photos}))
