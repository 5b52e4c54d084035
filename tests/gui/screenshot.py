"""The picture of the main window that the software-centre metadata show: a small coin catalogue,
one subcategory open. `main_window` writes it to $GROMADNIK_SCREENSHOT (by default into the test's
output folder); resources/make-screenshot.sh refreshes the committed one."""
import os
import sys

import gromadnik_gui as g

MAIN = "Gromadnik - Menu główne"
SIZE = (1024, 768)
CATEGORIES = {"Monety": ["II Rzeczpospolita", "PRL", "Zabory"], "Znaczki": ["Polska 1918-1939"],
              "Pocztówki": ["Kraków", "Łódź"], "Medale": []}
FIELDS = ["Nazwa", "Rok", "Nominał", "Mennica", "Stan"]
COINS = [["Orzeł w koronie", "1923", "5 groszy", "Warszawa", "II"],
         ["Polonia", "1932", "5 złotych", "Warszawa", "III"],
         ["Józef Piłsudski", "1934", "10 złotych", "Warszawa", "II+"],
         ["Żaglowiec", "1936", "5 złotych", "Warszawa", "I-"],
         ["Kłosy", "1925", "1 złoty", "Londyn", "III"],
         ["Bolesław Chrobry", "1925", "20 złotych", "Warszawa", "I"],
         ["Mikołaj Kopernik", "1924", "10 złotych", "Paryż", "II"]]


def write_catalogue(data):
    os.makedirs(data)
    g.write_cp1250(data + "kategorie.gmd", ["[kategorie]"] + [f"{i}={c}" for i, c in enumerate(CATEGORIES)]
                   + ["[config]", f"liczba_kategorii={len(CATEGORIES)}", "sprawdz_wersje=0"])
    for category, subcategories in CATEGORIES.items():
        g.write_cp1250(data + f"{category}_podkategorie.gmd",
                       ["[podkategorie]"] + [f"{i}={s}" for i, s in enumerate(subcategories)]
                       + ["[config]", f"liczba_podkategorii={len(subcategories)}"])
    lines = ["[pozycje]"] + [f"{k}={f}" for k, f in enumerate(FIELDS, 1)]
    for number, values in enumerate(COINS):
        lines += [f"[{number}]"] + [f"pozycja{k}={v}" for k, v in enumerate(values, 1)]
    g.write_cp1250(data + "Monety_II Rzeczpospolita_dane.gmd", lines + ["[config]", f"liczba_pozycji={len(COINS)}"])


def main_window(s):
    data = os.path.join(s.root, "Kolekcja") + "/"
    write_catalogue(data)
    s.set_data_directory(data)
    s.launch()
    main = s.window(MAIN)
    categories = s.find(g.pyatspi.ROLE_TREE, "Kategorie", within=main)
    subcategories = s.find(g.pyatspi.ROLE_TREE, "Podkategorie", within=main)
    items = s.find(g.pyatspi.ROLE_TREE, "Przedmioty", within=main)
    s.wait_for(lambda: g.first_column(categories) == list(CATEGORIES), "the categories listed")
    s.click(g.cell(categories, 0))
    s.wait_for(lambda: g.first_column(subcategories) == CATEGORIES["Monety"], "the subcategories listed")
    s.click(g.cell(subcategories, 0))
    s.wait_for(lambda: len(g.rows(items)) == len(COINS), "the coins listed")
    s.click(g.cell(items, 2))
    s.wait_for(lambda: g.selected(g.cell(items, 2)), "a coin chosen")
    path = os.environ.get("GROMADNIK_SCREENSHOT") or os.path.join(s.out_dir, "gui-main-window.png")
    s.shoot_window(MAIN, path, SIZE)
    print(f"main window: {path}")


if __name__ == "__main__":
    sys.exit(g.main({"main_window": main_window}))
