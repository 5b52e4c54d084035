"""Items added, edited, viewed and deleted through the main window's item list, each step read back from disk; the
viewer on a photo removed while it is open, on a read-only catalogue, and enlarging metafiles."""
import os
import subprocess
import sys

import gromadnik_gui as g

MAIN = "Gromadnik - Menu główne"
VIEWER = "Gromadnik - Pokaż pozycje"
CATEGORY, SUBCATEGORY = "Monety", "Złote ąę"
RED, BLUE = (255, 0, 0), (0, 0, 255)


def catalogue(s, items, photo_lists):
    """A catalogue of one category and subcategory with these items ({field: value} each) and photo lists."""
    data = os.path.join(s.root, "Katalog") + "/"
    os.makedirs(data)
    g.write_cp1250(data + "kategorie.gmd", ["[kategorie]", f"0={CATEGORY}", "[config]", "liczba_kategorii=1"])
    g.write_cp1250(data + f"{CATEGORY}_podkategorie.gmd",
                   ["[podkategorie]", f"0={SUBCATEGORY}", "[config]", "liczba_podkategorii=1"])
    lines = ["[pozycje]", "1=Nazwa", "2=Rok", "3=Mennica"]
    for number, values in enumerate(items):
        lines += [f"[{number}]"] + [f"pozycja{k}={v}" for k, v in enumerate(values, 1)]
    g.write_cp1250(data + item_file_name(), lines + ["[config]", f"liczba_pozycji={len(items)}"])
    for number, paths in photo_lists.items():
        g.write_cp1250(photo_list(data, number), ["[zdjecia]"] + [f"{k}={p}" for k, p in enumerate(paths)]
                       + ["[config]", f"liczba_zdjec={len(paths)}"])
    s.set_data_directory(data)
    return data


def item_file_name():
    return f"{CATEGORY}_{SUBCATEGORY}_dane.gmd"


def photo_list(data, number):
    return data + f"{CATEGORY}_{SUBCATEGORY}_{number}.gmd"


def open_subcategory(s, count, categories_listed=(CATEGORY,), subcategories_listed=(SUBCATEGORY,)):
    """Starts the program and chooses the first subcategory of the first category, the lists showing these names;
    returns the main window and its item list."""
    s.launch()
    main = s.window(MAIN)
    categories = s.find(g.pyatspi.ROLE_TREE, "Kategorie", within=main)
    subcategories = s.find(g.pyatspi.ROLE_TREE, "Podkategorie", within=main)
    items = s.find(g.pyatspi.ROLE_TREE, "Przedmioty", within=main)
    s.wait_for(lambda: g.first_column(categories) == list(categories_listed), "the category listed")
    s.click(g.cell(categories, 0))
    s.wait_for(lambda: g.first_column(subcategories) == list(subcategories_listed), "the subcategory listed")
    s.click(g.cell(subcategories, 0))
    s.wait_for(lambda: len(g.rows(items)) == count, f"{count} items listed")
    return main, items


def item_section(data, number):
    return g.read_profile(data + item_file_name()).get(str(number), {})


def add_edit(s):
    data = catalogue(s, [["Dukat", "1650", "Gdańsk"]], {})
    main, items = open_subcategory(s, 1)

    g.popup_on(s, g.cell(items, 0), "Dodaj nową pozycje")
    window = s.window("Gromadnik - Dodaj pozycje")
    # Typed as a user does: Enter walks the boxes, Tab leaves the memos, Enter on "Zapisz" saves.
    values = ["Grosz żółty ŁÓDŹ", "1923", "Warszawa"]
    for name, value in zip(["Nazwa", "Rok", "Mennica"], values):
        edit = s.field(name, window)
        s.wait_for(lambda: g.focused(edit), f"focus in {name!r}")
        s.type_text(value)
        s.wait_for(lambda: g.text_of(edit) == value, f"{name!r} holding {value!r}")
        s.key("Return")
    for name in ("Opis", "Komentarz"):
        memo = s.field(name, window)
        s.wait_for(lambda: g.focused(memo), f"focus in {name!r}")
        s.key("Tab")
    save = s.button("Zapisz", window)
    s.wait_for(lambda: g.focused(save), "focus on 'Zapisz'")
    s.key("Return")
    s.answer("Czy chcesz dodać teraz zdjęcia", "Nie")
    added = {"pozycja1": values[0], "pozycja2": values[1], "pozycja3": values[2]}
    s.wait_for(lambda: added.items() <= item_section(data, 1).items()
               and g.read_profile(data + item_file_name())["config"]["liczba_pozycji"] == "2",
               f"the new item saved (the file holds {g.read_cp1250(data + item_file_name())})")
    if item_section(data, 0) != {"pozycja1": "Dukat", "pozycja2": "1650", "pozycja3": "Gdańsk"}:
        g.fail(f"the item beside the new one changed: {item_section(data, 0)}")
    s.click(s.button("Zamknij", window))
    s.window_gone("Gromadnik - Dodaj pozycje")
    s.wait_for(lambda: g.rows(items) == [["Dukat", "1650", "Gdańsk"], values], "the new item listed")

    row = g.cell(items, 1)
    g.popup_on(s, row, "Edytuj pozycje")
    window = s.window("Gromadnik - Edytuj pozycje")
    s.wait_for(lambda: g.text_of(s.field("Nazwa", window)) == values[0], "the item's values in the edit window")
    s.set_text(s.field("Rok", window), "1924")
    s.click(s.button("Zapisz", window))
    s.answer("Dane zostały pomyślnie zmienione", "OK")
    s.wait_for(lambda: item_section(data, 1).get("pozycja2") == "1924", "the changed value saved")
    if item_section(data, 1).get("pozycja1") != values[0] or item_section(data, 1).get("pozycja3") != values[2]:
        g.fail(f"the edit changed other values: {item_section(data, 1)}")
    s.click(s.button("Zamknij", window))
    s.window_gone("Gromadnik - Edytuj pozycje")
    s.wait_for(lambda: g.rows(items)[1] == [values[0], "1924", values[2]], "the changed item listed")


def picture(path, size, colour):
    subprocess.run(["convert", "-size", size, f"xc:{colour}", path], check=True, capture_output=True)


def view_delete(s):
    photos = os.path.join(s.root, "zdjecia") + "/"
    os.makedirs(photos)
    picture(photos + "czerwone.bmp", "64x48", "red")
    picture(photos + "niebieskie.jpg", "48x64", "blue")
    with open(photos + "zepsute.jpg", "wb") as f:
        f.write(b"to nie jest zdjecie" * 10)
    data = catalogue(s, [["Dukat", "1650", "Gdańsk"], ["Talar", "1700", "Toruń"], ["Grosz", "1923", "Kraków"]],
                     {0: [photos + "czerwone.bmp", photos + "zepsute.jpg", photos + "niebieskie.jpg"],
                      1: [photos + "niebieskie.jpg"],
                      2: [photos + "brak.jpg", photos + "czerwone.bmp"]})
    last_photos = open(photo_list(data, 2), "rb").read()
    main, items = open_subcategory(s, 3)

    g.double_click(s, g.cell(items, 0))
    viewer = s.window(VIEWER)
    s.click(s.wait_find(g.pyatspi.ROLE_PAGE_TAB, "Zdjęcie", within=viewer))
    previous = s.button("Poprzednie zdjęcie", viewer)
    following = s.button("Nastepne zdjęcie", viewer)
    enlarge = s.button("Powieksz zdjęcie", viewer)

    def at(first, last, loaded, what):
        s.wait_for(lambda: (g.enabled(previous), g.enabled(following), g.enabled(enlarge))
                   == (not first, not last, loaded), what)

    at(True, False, True, "the first photo shown")
    s.click(following)
    box, text = g.error_box(s)
    if "zepsute.jpg" not in text and "JPEG" not in text:
        g.fail(f"the broken photo's message does not name it: {text!r}")
    s.click(s.button("OK", box))
    at(False, False, False, "the broken photo's place, both ways open")
    s.click(following)
    at(False, True, True, "the third photo shown")
    s.click(previous)
    box, _ = g.error_box(s)
    s.click(s.button("OK", box))
    at(False, False, False, "back at the broken photo's place")
    s.click(previous)
    at(True, False, True, "back at the first photo")
    s.click(enlarge)
    s.wait_find(g.pyatspi.ROLE_FILLER, "Powiększone zdjęcie", within=s.window("Gromadnik - Pokaż zdjęcie"))
    s.key("Escape")
    s.window_gone("Gromadnik - Pokaż zdjęcie")
    s.click(s.button("Zamknij", viewer))
    s.window_gone(VIEWER)

    row = g.cell(items, 1)
    g.popup_on(s, row, "Usuń zaznaczoną pozycje")
    s.answer("Czy chcesz usunąć wybraną pozycje", "OK")
    s.wait_for(lambda: g.read_profile(data + item_file_name())["config"]["liczba_pozycji"] == "2",
               "the count lowered")
    if item_section(data, 1) != {"pozycja1": "Grosz", "pozycja2": "1923", "pozycja3": "Kraków"}:
        g.fail(f"the last item did not move into the freed number: {item_section(data, 1)}")
    if item_section(data, 2) or item_section(data, 0).get("pozycja1") != "Dukat":
        g.fail(f"the item file is wrong after the deletion: {g.read_cp1250(data + item_file_name())}")
    if open(photo_list(data, 1), "rb").read() != last_photos:
        g.fail(f"the moved item's photo list is not under its new number: {g.read_cp1250(photo_list(data, 1))}")
    if os.path.exists(photo_list(data, 2)):
        g.fail("a photo list stayed under the old last number")
    s.wait_for(lambda: g.first_column(items) == ["Dukat", "Grosz"], "the list after the deletion")


def open_viewer(s, items, row, tab=None):
    g.double_click(s, g.cell(items, row))
    viewer = s.window(VIEWER)
    if tab:
        s.click(s.wait_find(g.pyatspi.ROLE_PAGE_TAB, tab, within=viewer))
    return viewer


def photo_colour(s, viewer):
    """The colour in the middle of the viewer's picture area."""
    area = s.find(g.pyatspi.ROLE_FILLER, "Zdjęcie przedmiotu", within=viewer)
    return g.pixel(s, *g.centre(area))


def photo_buttons(s, viewer, showing=True):
    """Whether "Poprzednie", "Nastepne" and "Powieksz" can be pressed."""
    return tuple(g.enabled(s.find(g.pyatspi.ROLE_PUSH_BUTTON, caption, within=viewer, showing=showing))
                 for caption in ("Poprzednie zdjęcie", "Nastepne zdjęcie", "Powieksz zdjęcie"))


def red_and_blue(s):
    """A photo folder holding czerwone.bmp and niebieskie.bmp."""
    photos = os.path.join(s.root, "zdjecia") + "/"
    os.makedirs(photos)
    picture(photos + "czerwone.bmp", "64x48", "red")
    picture(photos + "niebieskie.bmp", "64x48", "blue")
    return photos


def photo_removed(s):
    photos = red_and_blue(s)
    catalogue(s, [["Dukat", "1650", "Gdańsk"]], {0: [photos + "czerwone.bmp", photos + "niebieskie.bmp"]})
    main, items = open_subcategory(s, 1)
    viewer = open_viewer(s, items, 0, "Zdjęcie")
    s.wait_for(lambda: photo_buttons(s, viewer) == (False, True, True) and photo_colour(s, viewer) == RED,
               "the first photo shown")

    os.remove(photos + "niebieskie.bmp")
    s.click(s.button("Nastepne zdjęcie", viewer))
    box, text = g.error_box(s)
    if photos + "niebieskie.bmp" not in text:
        g.fail(f"the message does not name the removed photo: {text!r}")
    s.click(s.button("OK", box))
    # The step is made; nothing of the first photo stays to be shown or enlarged.
    s.wait_for(lambda: photo_buttons(s, viewer) == (True, False, False) and photo_colour(s, viewer) != RED,
               "the removed photo's place, empty, with nothing to enlarge")
    s.click(s.button("Poprzednie zdjęcie", viewer))
    s.wait_for(lambda: photo_buttons(s, viewer) == (False, True, True) and photo_colour(s, viewer) == RED,
               "back at the first photo")


def read_only_catalogue(s):
    photos = red_and_blue(s)
    data = catalogue(s, [["Dukat", "1650", "Gdańsk"], ["Talar", "1700", "Toruń"]],
                     {0: [photos + "czerwone.bmp"], 1: [photos + "niebieskie.bmp", photos + "czerwone.bmp"]})
    main, items = open_subcategory(s, 2)
    viewer = open_viewer(s, items, 0)
    s.wait_for(lambda: g.text_of(s.field("Nazwa", viewer)) == "Dukat", "the first item shown")
    s.click(s.button("Zamknij", viewer))
    s.window_gone(VIEWER)

    # As another program left it, so that the viewer has a number to write.
    lines = g.read_cp1250(data + item_file_name())
    g.write_cp1250(data + item_file_name(), [l for l in lines if not l.startswith("aktualne_zdjecie=")]
                   + ["aktualne_zdjecie=2"])
    os.chmod(data + item_file_name(), 0o444)
    before = open(data + item_file_name(), "rb").read()
    viewer = open_viewer(s, items, 1)
    box, text = g.error_box(s)
    if not text.startswith("Unable to write to " + data + item_file_name()):
        g.fail(f"the message does not name the item file: {text!r}")
    # Read while the message is up: the item was shown whole before the write was tried.
    fields = [g.text_of(s.field(name, viewer)) for name in ("Nazwa", "Rok", "Mennica")]
    if fields != ["Talar", "1700", "Toruń"]:
        g.fail(f"the viewer shows {fields} behind the message, not the second item")
    if photo_buttons(s, viewer, showing=False) != (False, True, True):
        g.fail(f"the photo buttons are not the second item's: {photo_buttons(s, viewer, showing=False)}")
    s.click(s.button("OK", box))
    s.click(s.wait_find(g.pyatspi.ROLE_PAGE_TAB, "Zdjęcie", within=viewer))
    s.wait_for(lambda: photo_colour(s, viewer) == BLUE, "the second item's own photo")
    if open(data + item_file_name(), "rb").read() != before:
        g.fail("the read-only item file changed")


def metafile_enlarged(s):
    photos = os.path.join(s.root, "zdjecia") + "/"
    os.makedirs(photos)
    sizes = {"rysunek.wmf": (500, 250), "rysunek.emf": (288, 192)}
    with open(photos + "rysunek.wmf", "wb") as f:
        f.write(g.wmf_bytes(*sizes["rysunek.wmf"]))
    with open(photos + "rysunek.emf", "wb") as f:
        f.write(g.emf_bytes(*sizes["rysunek.emf"]))
    catalogue(s, [["Rysunek", "1999", "Łódź"]], {0: [photos + name for name in sizes]})
    main, items = open_subcategory(s, 1)
    viewer = open_viewer(s, items, 0, "Zdjęcie")
    for index, (name, size) in enumerate(sizes.items()):
        if index:
            s.click(s.button("Nastepne zdjęcie", viewer))
        enlarge = s.button("Powieksz zdjęcie", viewer)
        s.wait_for(lambda: g.enabled(enlarge), f"{name} shown")
        s.click(enlarge)
        window = s.window("Gromadnik - Pokaż zdjęcie")
        area = s.wait_find(g.pyatspi.ROLE_FILLER, "Powiększone zdjęcie", within=window)
        # The window's outer size is the drawing's; the frame, once known, comes out of it.
        def fits():
            _, _, width, height = g.extents(area)
            return size[0] - 16 <= width <= size[0] and size[1] - 48 <= height <= size[1]
        s.wait_for(fits, f"{name} of {size[0]}x{size[1]} enlarged to its own size")
        s.key("Escape")
        s.window_gone("Gromadnik - Pokaż zdjęcie")


if __name__ == "__main__":
    sys.exit(g.main({"items_add_edit": add_edit, "items_view_delete": view_delete,
                     "viewer_photo_removed": photo_removed, "viewer_read_only_catalogue": read_only_catalogue,
                     "viewer_metafile_enlarged": metafile_enlarged}))
