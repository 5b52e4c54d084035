"""First start of the real program: on an empty account, and onto a catalogue already on disk; the main window's
refresh once a window it opened closes."""
import os
import sys

import gromadnik_gui as g


def choose_data_directory(s, data):
    # No settings yet: the data-directory window asks for the folder before anything is read.
    edit = s.wait_find(g.pyatspi.ROLE_TEXT, "Ścieżka plików konfiguracyjnych", what="the data-directory window")
    s.set_text(edit, data)
    s.click(s.button("Zapisz", edit.parent))
    s.answer("Ścieżka zapisana pomyślnie", "Anuluj")  # go on working, not quit
    s.wait_for(lambda: not g._alive_showing(edit), "the data-directory window to close")


def empty_account(s):
    data = os.path.join(s.root, "Kolekcja") + "/"
    g.write_cp1250(os.path.join(s.root, "kategorie.gmd"), ["[kategorie]", "0=Obcy", "[config]", "liczba_kategorii=1"])
    s.launch()
    choose_data_directory(s, data)

    if s.data_directory_setting() != data:
        g.fail(f"the settings hold {s.data_directory_setting()!r}, not {data!r}")
    if not os.path.isdir(data):
        g.fail("the chosen data folder was not made")
    main = s.window("Gromadnik - Menu główne")
    categories = s.find(g.pyatspi.ROLE_TREE, "Kategorie", within=main)
    s.wait_for(lambda: g.first_column(categories) == [], "an empty category list")
    if g.catalogue_files(data):
        g.fail(f"the first start wrote into the empty data folder: {g.catalogue_files(data)}")

    # The next start goes straight to the main window, on the folder chosen.
    s.click(s.find_menu("Menu"))
    s.choose("Zamknij program")
    s.wait_exit("Zamknij program")
    s.launch()
    main = s.window("Gromadnik - Menu główne")
    if s.find(g.pyatspi.ROLE_TEXT, "Ścieżka plików konfiguracyjnych"):
        g.fail("the data-directory window asked again on the second start")


def write_catalogue(data):
    os.makedirs(data)
    g.write_cp1250(data + "kategorie.gmd",
                   ["[kategorie]", "0=Monety", "1=Łódź i okolice", "[config]", "liczba_kategorii=2", "sprawdz_wersje=0"])
    g.write_cp1250(data + "Łódź i okolice_podkategorie.gmd",
                   ["[podkategorie]", "0=Żetony", "1=Medale", "[config]", "liczba_podkategorii=2"])


def existing_catalogue(s):
    data = os.path.join(s.root, "Zbiory") + "/"
    write_catalogue(data)
    s.set_data_directory(data)
    before = g.catalogue_files(data)
    s.launch()
    check_listed(s, data, before)


def first_start_onto_catalogue(s):
    data = os.path.join(s.root, "Zbiory") + "/"
    write_catalogue(data)
    before = g.catalogue_files(data)
    # A list in the folder the program starts from is no catalogue of the user's: before a folder is
    # chosen, nothing may be read from there.
    g.write_cp1250(os.path.join(s.root, "kategorie.gmd"), ["[kategorie]", "0=Obcy", "[config]", "liczba_kategorii=1"])
    s.launch()
    choose_data_directory(s, data)
    check_listed(s, data, before)


def check_listed(s, data, before):
    main = s.window("Gromadnik - Menu główne")
    categories = s.find(g.pyatspi.ROLE_TREE, "Kategorie", within=main)
    s.wait_for(lambda: g.first_column(categories) == ["Monety", "Łódź i okolice"], "the two categories listed")
    s.click(g.cell(categories, 1))
    subcategories = s.find(g.pyatspi.ROLE_TREE, "Podkategorie", within=main)
    s.wait_for(lambda: g.first_column(subcategories) == ["Żetony", "Medale"], "the two subcategories listed")
    if g.catalogue_files(data) != before:
        g.fail("reading the catalogue changed its files")


def click_after_modal(s):
    data = os.path.join(s.root, "Zbiory") + "/"
    write_catalogue(data)
    s.set_data_directory(data)
    s.launch()
    main = s.window("Gromadnik - Menu główne")
    categories = s.find(g.pyatspi.ROLE_TREE, "Kategorie", within=main)
    subcategories = s.find(g.pyatspi.ROLE_TREE, "Podkategorie", within=main)
    s.wait_for(lambda: g.first_column(categories) == ["Monety", "Łódź i okolice"], "the two categories listed")
    s.click(s.find_menu("Gromadnik - Pomoc"))
    s.choose("O programie")
    s.click(s.button("Zamknij", s.window("Gromadnik - o programie...")))
    s.window_gone("Gromadnik - o programie...")
    # At once, as a user does: the refresh the closing asked for may come only with this very click.
    s.click(g.cell(categories, 1))
    s.wait_for(lambda: g.first_column(subcategories) == ["Żetony", "Medale"], "the chosen category's subcategories")
    s.wait_for(lambda: main.getState().contains(g.pyatspi.STATE_ACTIVE), "the main window active")
    # Read once the activation is through, so that its refresh has run.
    s.wait_for(lambda: g.first_column(categories) == ["Monety", "Łódź i okolice"]
               and g.selected(g.cell(categories, 1)) and not g.selected(g.cell(categories, 0)),
               "the chosen category still chosen after the refresh")
    if g.first_column(subcategories) != ["Żetony", "Medale"]:
        g.fail(f"the refresh took the subcategories away: {g.first_column(subcategories)}")


if __name__ == "__main__":
    sys.exit(g.main({"empty_account": empty_account, "existing_catalogue": existing_catalogue,
                     "first_start_onto_catalogue": first_start_onto_catalogue,
                     "first_start_without_window_manager": g.without_window_manager(first_start_onto_catalogue),
                     "click_after_modal": click_after_modal,
                     "click_after_modal_without_window_manager": g.without_window_manager(click_after_modal)}))
