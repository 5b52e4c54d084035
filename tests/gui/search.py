"""The catalogue search: Ctrl+F in the main window, a text typed without Polish marks, hits opened in the
viewer by Enter and by a double click, the main window led to each item's category and subcategory."""
import os
import sys

import gromadnik_gui as g

MAIN = "Gromadnik - Menu główne"
SEARCH = "Gromadnik - Szukaj"
VIEWER = "Gromadnik - Pokaż pozycje"


def item_file(path, names, items):
    lines = ["[pozycje]"] + [f"{k}={name}" for k, name in enumerate(names, 1)]
    for number, values in enumerate(items):
        lines += [f"[{number}]"] + [f"{key}={value}" for key, value in values.items()]
    g.write_cp1250(path, lines + ["[config]", f"liczba_pozycji={len(items)}"])


def catalogue(s):
    data = os.path.join(s.root, "Katalog") + "/"
    os.makedirs(data)
    g.write_cp1250(data + "kategorie.gmd", ["[kategorie]", "0=Monety", "1=Znaczki", "[config]", "liczba_kategorii=2"])
    g.write_cp1250(data + "Monety_podkategorie.gmd",
                   ["[podkategorie]", "0=Polska", "1=Niemcy", "[config]", "liczba_podkategorii=2"])
    g.write_cp1250(data + "Znaczki_podkategorie.gmd", ["[podkategorie]", "0=Europa", "[config]", "liczba_podkategorii=1"])
    item_file(data + "Monety_Polska_dane.gmd", ["Nazwa", "Rok", "Mennica"],
              [{"pozycja1": "Dukat", "pozycja2": "1650", "pozycja3": "Gdańsk"},
               {"pozycja1": "Grosz żółty", "pozycja2": "1923", "pozycja3": "Łódź"},
               {"pozycja1": "Talar", "pozycja2": "1700", "pozycja3": "Toruń"}])
    item_file(data + "Monety_Niemcy_dane.gmd", ["Nazwa", "Rok"], [{"pozycja1": "Mark", "pozycja2": "1925"}])
    item_file(data + "Znaczki_Europa_dane.gmd", ["Tytuł", "Kraj"],
              [{"pozycja1": "Jastrząb", "pozycja2": "Czechy"},
               {"pozycja1": "Orzeł", "pozycja2": "Polska", "opis": "Wydany w Łodzi"}])
    s.set_data_directory(data)


def viewer_shows(s, main, values, category, subcategory):
    viewer = s.window(VIEWER)
    for name, value in values.items():
        s.wait_for(lambda: g.text_of(s.field(name, viewer)) == value, f"the viewer's {name!r} holding {value!r}")
    panels = (g.text_of_panel(main, "Wybrana kategoria"), g.text_of_panel(main, "Wybrana podkategoria"))
    if panels != (category, subcategory):
        g.fail(f"the main window's panels name {panels}, not {(category, subcategory)}")
    s.click(s.button("Zamknij", viewer))
    s.window_gone(VIEWER)


def search(s):
    catalogue(s)
    s.launch()
    main = s.window(MAIN)
    categories = s.find(g.pyatspi.ROLE_TREE, "Kategorie", within=main)
    s.wait_for(lambda: g.first_column(categories) == ["Monety", "Znaczki"], "the categories listed")
    s.key("ctrl+f")
    window = s.window(SEARCH)
    text = s.field("Szukany tekst", window)
    s.wait_for(lambda: g.focused(text), "focus in the search text")
    s.type_text("lodz")
    results = s.wait_find(g.pyatspi.ROLE_TREE, "Wyniki", within=window)
    expected = [["Monety", "Polska", "Grosz żółty", "Mennica: Łódź"],
                ["Znaczki", "Europa", "Orzeł", "Opis: Wydany w Łodzi"]]
    s.wait_for(lambda: g.rows(results) == expected, f"the hits listed (the list holds {g.rows(results)})")
    s.wait_find(g.pyatspi.ROLE_LABEL, "Znaleziono: 2", within=window)

    s.click(g.cell(results, 0))
    s.key("Return")
    viewer_shows(s, main, {"Nazwa": "Grosz żółty", "Mennica": "Łódź"}, "Monety", "Polska")

    g.double_click(s, g.cell(results, 1))
    viewer_shows(s, main, {"Tytuł": "Orzeł", "Kraj": "Polska"}, "Znaczki", "Europa")
    s.window(SEARCH)  # stays open beside the main window


if __name__ == "__main__":
    sys.exit(g.main({"search": search}))
