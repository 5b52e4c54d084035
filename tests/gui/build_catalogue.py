"""A catalogue built from nothing through the main window's pop-up menus, each step read back from disk."""
import os
import sys

import gromadnik_gui as g

MAIN = "Gromadnik - Menu główne"


def add_name(s, list_obj, entry, caption, name):
    """Opens an add window from a list's pop-up menu and types a name into it."""
    s.popup(list_obj, entry)
    window = s.window(caption)
    edit = s.wait_for(lambda: s.find(g.pyatspi.ROLE_TEXT, within=window), f"the name box of {caption!r}")
    s.set_text(edit, name)
    s.click(s.button("Dodaj", window))
    return window, edit


def build(s):
    data = os.path.join(s.root, "Katalog") + "/"
    os.makedirs(data)
    s.set_data_directory(data)
    s.launch()
    main = s.window(MAIN)
    categories = s.find(g.pyatspi.ROLE_TREE, "Kategorie", within=main)
    subcategories = s.find(g.pyatspi.ROLE_TREE, "Podkategorie", within=main)
    items = s.find(g.pyatspi.ROLE_TREE, "Przedmioty", within=main)

    window, _ = add_name(s, categories, "Dodaj nową kategorie", "Dodaj kategorie", "Łódź")
    s.answer("Kategoria została dodana", "OK")
    g.wait_file_lines(s, data + "kategorie.gmd", ["[kategorie]", "0=Łódź", "[config]", "liczba_kategorii=1"])
    s.click(s.button("Zamknij", window))
    s.window_gone("Dodaj kategorie")
    s.wait_for(lambda: g.first_column(categories) == ["Łódź"], "the new category listed")

    s.click(g.cell(categories, 0))
    s.wait_for(lambda: g.text_of_panel(main, "Wybrana kategoria") == "Łódź", "the category chosen")
    window, edit = add_name(s, subcategories, "Dodaj nową podkategorie", "Dodaj podkategorie", "Żetony ąęśćń")
    s.wait_for(lambda: g.text_of(edit) == "", "the name box cleared for the next subcategory")
    g.wait_file_lines(s, data + "Łódź_podkategorie.gmd",
                ["[podkategorie]", "0=Żetony ąęśćń", "[config]", "liczba_podkategorii=1"])
    s.click(s.button("Zamknij", window))
    s.window_gone("Dodaj podkategorie")
    s.wait_for(lambda: g.first_column(subcategories) == ["Żetony ąęśćń"], "the new subcategory listed")

    s.click(g.cell(subcategories, 0))
    s.wait_for(lambda: g.text_of_panel(main, "Wybrana podkategoria") == "Żetony ąęśćń", "the subcategory chosen")
    s.popup(items, "Edytuj nagłówki kolumn")
    window = s.window("Gromadnik - edycja nazw pozycji")
    s.set_text(s.field("Pozycja 1", window), "Nazwa")
    s.set_text(s.field("Pozycja 2", window), "Rok wybicia")
    s.click(s.button("Zapisz", window))
    s.answer("Wprowadzone dane zostały zapisane pomyślnie", "OK")
    item_file = data + "Łódź_Żetony ąęśćń_dane.gmd"
    g.wait_file_lines(s, item_file, ["[pozycje]", "1=Nazwa", "2=Rok wybicia"])
    s.click(s.button("Zamknij", window))
    s.window_gone("Gromadnik - edycja nazw pozycji")
    s.wait_for(lambda: g.headers(items) == ["Nazwa", "Rok wybicia"], "the field names as column headers")

    s.popup(items, "Dodaj nową pozycje")
    window = s.window("Gromadnik - Dodaj pozycje")
    s.set_text(s.field("Nazwa", window), "Żeton łódzki")
    s.set_text(s.field("Rok wybicia", window), "1921")
    s.click(s.button("Zapisz", window))
    s.answer("Czy chcesz dodać teraz zdjęcia", "Nie")
    g.wait_file_lines(s, item_file, ["[0]", "pozycja1=Żeton łódzki", "pozycja2=1921", "[config]", "liczba_pozycji=1"])
    s.click(s.button("Zamknij", window))
    s.window_gone("Gromadnik - Dodaj pozycje")
    s.wait_for(lambda: g.rows(items) == [["Żeton łódzki", "1921"]], "the new item listed")


# Still to come, once the windows take the input: adding and renaming through the category editor
# (its add and rename windows take no input while the editor is open), and saving an item with Enter
# on the focused "Zapisz" button of the item windows.


if __name__ == "__main__":
    sys.exit(g.main({"build_catalogue": build}))
