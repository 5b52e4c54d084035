"""The category editor and the data-directory setting through real input, each step read back from disk."""
import os
import sys

import gromadnik_gui as g

MAIN = "Gromadnik - Menu główne"
EDITOR = "Gromadnik - Edytor kategorii i podkategorii"
LISTS = {"kategorie.gmd": "kategorie"}  # list files, checked by their entries: choosing a row stores it there


def list_file(name):
    return LISTS.get(name) or ("podkategorie" if name.endswith("_podkategorie.gmd") else None)


def entries(path, section):
    profile = g.read_profile(path)
    values = profile.get(section, {})
    return [values[k] for k in sorted(values, key=int)]


def write_catalogue(data):
    os.makedirs(data)
    lists = {"kategorie.gmd": ("kategorie", ["Monety", "Łódź i okolice", "Medale"]),
             "Monety_podkategorie.gmd": ("podkategorie", ["Grosze", "Złote"]),
             "Łódź i okolice_podkategorie.gmd": ("podkategorie", ["Żetony", "Odznaki"]),
             "Medale_podkategorie.gmd": ("podkategorie", ["Wojskowe"])}
    for name, (section, names) in lists.items():
        count = "liczba_kategorii" if section == "kategorie" else "liczba_podkategorii"
        extra = ["sprawdz_wersje=0"] if section == "kategorie" else []
        g.write_cp1250(data + name, [f"[{section}]"] + [f"{k}={n}" for k, n in enumerate(names)]
                       + ["[config]", f"{count}={len(names)}"] + extra)
    for cat, sub, item in (("Monety", "Grosze", "Grosz 1923"), ("Monety", "Złote", "Złotówka 1932"),
                           ("Łódź i okolice", "Żetony", "Żeton łódzki"), ("Łódź i okolice", "Odznaki", "Odznaka"),
                           ("Medale", "Wojskowe", "Krzyż Walecznych")):
        g.write_cp1250(data + f"{cat}_{sub}_dane.gmd", ["[pozycje]", "1=Nazwa", "[0]", f"pozycja1={item}",
                                                        "[config]", "liczba_pozycji=1", "liczba_pozycji_naglowka=1"])
    for cat, sub in (("Monety", "Grosze"), ("Łódź i okolice", "Żetony")):
        g.write_cp1250(data + f"{cat}_{sub}_0.gmd", ["[zdjecia]", f"0=/zdjecia/{sub}.jpg", "[config]", "liczba_zdjec=1"])
    return {name: ("list", section, names) for name, (section, names) in lists.items()}


def expected_state(data, expected):
    """None when the folder holds exactly the expected files, else what differs."""
    files = g.catalogue_files(data)
    if set(files) != set(expected):
        return f"files {sorted(set(files) - set(expected))} more, {sorted(set(expected) - set(files))} missing"
    for name, want in expected.items():
        if isinstance(want, tuple):
            if entries(data + name, want[1]) != want[2]:
                return f"{name} lists {entries(data + name, want[1])}, not {want[2]}"
        elif files[name] != want:
            return f"{name} changed"
    return None


def expect(s, data, expected, step):
    problem = [None]

    def matches():
        problem[0] = expected_state(data, expected)
        return problem[0] is None
    try:
        s.wait_for(matches, f"the files after {step}")
    except g.GuiFailure:
        g.fail(f"after {step}: {problem[0]}")


def choose_row(s, list_obj, name):
    s.wait_for(lambda: name in g.list_entries(list_obj), f"{name!r} in the list {list_obj.name!r}")
    row = s.wait_for(lambda: g.list_entry(list_obj, name), f"the row {name!r}")
    s.click(row)
    s.wait_for(lambda: row.getState().contains(g.pyatspi.STATE_SELECTED), f"{name!r} chosen")


def open_name_window(s, editor, button, caption):
    s.click(s.button(button, editor))
    window = s.window(caption)
    edit = s.wait_for(lambda: s.find(g.pyatspi.ROLE_TEXT, within=window), f"the name box of {caption!r}")
    return window, edit


def rename(s, editor, button, caption, old, new):
    window, edit = open_name_window(s, editor, button, caption)
    s.wait_for(lambda: g.text_of(edit) == old, f"{caption!r} showing {old!r}")
    s.set_text(edit, new)
    s.click(s.button("Zmień nazwe", window))
    s.window_gone(caption)


def moved(expected, old_prefix, new_prefix):
    for name in [n for n in expected if n.startswith(old_prefix)]:
        expected[new_prefix + name[len(old_prefix):]] = expected.pop(name)


def category_editor(s):
    data = os.path.join(s.root, "Zbiory") + "/"
    expected = write_catalogue(data)
    files = g.catalogue_files(data)
    expected.update({n: b for n, b in files.items() if n not in expected})
    s.set_data_directory(data)
    s.launch()
    main = s.window(MAIN)
    categories = s.find(g.pyatspi.ROLE_TREE, "Kategorie", within=main)
    s.wait_for(lambda: g.first_column(categories) == ["Monety", "Łódź i okolice", "Medale"], "the categories listed")
    # A new subcategory goes to the category chosen in the main window.
    s.click(g.cell(categories, 1))
    s.wait_for(lambda: g.text_of_panel(main, "Wybrana kategoria") == "Łódź i okolice", "the category chosen")

    s.click(s.find_menu("Menu"))
    s.choose("Edytor kategorii")
    editor = s.window(EDITOR)
    cats = s.wait_find(g.pyatspi.ROLE_LIST, "Kategorie", within=editor)
    subs = s.find(g.pyatspi.ROLE_LIST, "Podkategorie", within=editor, showing=False)
    s.wait_for(lambda: g.list_entries(cats) == ["Monety", "Łódź i okolice", "Medale"], "the editor listing categories")

    window, edit = open_name_window(s, editor, "Dodaj nową kategorie", "Dodaj kategorie")
    s.set_text(edit, "Pamiątki")
    s.click(s.button("Dodaj", window))
    s.answer("Kategoria została dodana", "OK")
    expected["kategorie.gmd"] = ("list", "kategorie", ["Monety", "Łódź i okolice", "Medale", "Pamiątki"])
    expect(s, data, expected, "adding a category")
    s.click(s.button("Zamknij", window))
    s.window_gone("Dodaj kategorie")
    s.wait_for(lambda: g.list_entries(cats) == ["Monety", "Łódź i okolice", "Medale", "Pamiątki"],
               "the editor listing the new category")

    choose_row(s, cats, "Łódź i okolice")
    s.wait_for(lambda: g.list_entries(subs) == ["Żetony", "Odznaki"], "the editor listing the subcategories")
    window, edit = open_name_window(s, editor, "Dodaj nową podkategorie", "Dodaj podkategorie")
    s.set_text(edit, "Żółte plakietki")
    s.click(s.button("Dodaj", window))
    s.wait_for(lambda: g.text_of(edit) == "", "the name box cleared for the next subcategory")
    expected["Łódź i okolice_podkategorie.gmd"] = ("list", "podkategorie", ["Żetony", "Odznaki", "Żółte plakietki"])
    expect(s, data, expected, "adding a subcategory")
    s.click(s.button("Zamknij", window))
    s.window_gone("Dodaj podkategorie")

    choose_row(s, cats, "Łódź i okolice")
    rename(s, editor, "Edytuj  nazwę kategorii", "Edytuj kategorie", "Łódź i okolice", "Łódź")
    expected["kategorie.gmd"] = ("list", "kategorie", ["Monety", "Łódź", "Medale", "Pamiątki"])
    moved(expected, "Łódź i okolice_", "Łódź_")
    expect(s, data, expected, "renaming a category")
    if "Łódź_Żetony_0.gmd" not in expected:
        g.fail("the photo list was not part of the rename")
    s.wait_for(lambda: g.list_entries(cats) == ["Monety", "Łódź", "Medale", "Pamiątki"],
               "the editor listing the renamed category")

    choose_row(s, cats, "Monety")
    choose_row(s, subs, "Grosze")
    rename(s, editor, "Edytuj nazwę podkategorii", "Edytuj podkategorie", "Grosze", "Grosze śląskie")
    expected["Monety_podkategorie.gmd"] = ("list", "podkategorie", ["Grosze śląskie", "Złote"])
    moved(expected, "Monety_Grosze_", "Monety_Grosze śląskie_")
    expect(s, data, expected, "renaming a subcategory")

    choose_row(s, cats, "Monety")
    choose_row(s, subs, "Złote")
    s.click(s.button("Usuń podkategorie", editor))
    s.answer("Czy chcesz usunąć wybraną podkategorie", "OK")
    expected["Monety_podkategorie.gmd"] = ("list", "podkategorie", ["Grosze śląskie"])
    del expected["Monety_Złote_dane.gmd"]
    expect(s, data, expected, "deleting a subcategory")
    # The editor reads its lists afresh as the question closes, so the subcategories may be cleared too.
    s.wait_for(lambda: "Złote" not in g.list_entries(subs), "the editor without the deleted subcategory")

    choose_row(s, cats, "Medale")
    s.click(s.button("Usuń kategorie", editor))
    s.answer("Czy chcesz usunąć wybraną kategorie", "OK")
    expected["kategorie.gmd"] = ("list", "kategorie", ["Monety", "Łódź", "Pamiątki"])
    del expected["Medale_podkategorie.gmd"], expected["Medale_Wojskowe_dane.gmd"]
    expect(s, data, expected, "deleting a category")
    s.wait_for(lambda: g.list_entries(cats) == ["Monety", "Łódź", "Pamiątki"], "the editor without the category")

    s.click(s.button("Zamknij", editor))
    s.window_gone(EDITOR)
    expect(s, data, expected, "closing the editor")
    s.wait_for(lambda: g.first_column(categories) == ["Monety", "Łódź", "Pamiątki"], "the main window listing the result")
    s.click(g.cell(categories, 1))
    subcategories = s.find(g.pyatspi.ROLE_TREE, "Podkategorie", within=main)
    s.wait_for(lambda: g.first_column(subcategories) == ["Żetony", "Odznaki", "Żółte plakietki"],
               "the renamed category's subcategories in the main window")
    s.click(g.cell(subcategories, 0))
    items = s.find(g.pyatspi.ROLE_TREE, "Przedmioty", within=main)
    s.wait_for(lambda: g.rows(items) == [["Żeton łódzki"]], "the moved item listed")


def path_not_text(s):
    data = os.path.join(s.root, "Zbiory") + "/"
    write_catalogue(data)
    before = g.catalogue_files(data)
    with open(os.path.join(s.config, "Gromadnik.conf"), "w") as f:
        f.write("[General]\npath=@Size(1 2)\n")
    s.launch()
    s.answer("Invalid data type for 'path'", "OK")
    edit = s.wait_find(g.pyatspi.ROLE_TEXT, "Ścieżka plików konfiguracyjnych", what="the data-directory window")
    if g.open_messages(s, "Invalid data type"):
        g.fail("the error about the stored path showed again")
    s.set_text(edit, data)
    s.click(s.button("Zapisz", edit.parent))
    s.answer("Ścieżka zapisana pomyślnie", "Anuluj")
    s.wait_for(lambda: not g._alive_showing(edit), "the data-directory window to close")
    if s.data_directory_setting() != data:
        g.fail(f"the settings hold {s.data_directory_setting()!r}, not {data!r}")
    main = s.window(MAIN)
    categories = s.find(g.pyatspi.ROLE_TREE, "Kategorie", within=main)
    s.wait_for(lambda: g.first_column(categories) == ["Monety", "Łódź i okolice", "Medale"], "the catalogue listed")
    if g.open_messages(s, "Invalid data type"):
        g.fail("the error about the stored path showed again")
    if g.catalogue_files(data) != before:
        g.fail("reading the catalogue changed its files")


if __name__ == "__main__":
    sys.exit(g.main({"category_editor": category_editor, "path_not_text": path_not_text}))
