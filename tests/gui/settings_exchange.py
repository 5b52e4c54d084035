"""The settings window, and export and import through the menu and Qt's own file dialogs."""
import os
import sys

import gromadnik_gui as g

MAIN = "Gromadnik - Menu główne"
SETTINGS = "Gromadnik - Konfiguracja programu"


def catalogue(folder, check_version="0"):
    os.makedirs(folder, exist_ok=True)
    g.write_cp1250(folder + "kategorie.gmd", ["[kategorie]", "0=Monety", "1=Łódź", "[config]", "liczba_kategorii=2",
                                              f"sprawdz_wersje={check_version}"])
    g.write_cp1250(folder + "Łódź_podkategorie.gmd", ["[podkategorie]", "0=Żetony", "[config]",
                                                      "liczba_podkategorii=1"])
    g.write_cp1250(folder + "Łódź_Żetony_dane.gmd", ["[pozycje]", "1=Nazwa", "2=Rok", "[0]", "pozycja1=Żeton ćwierć",
                                                     "pozycja2=1921", "opis=Mosiądz", "komentarz=Ładny",
                                                     "[config]", "liczba_pozycji=1"])


def open_settings(s, main):
    s.click(s.find_menu("Menu"))
    s.choose("Konfiguracja")
    return s.window(SETTINGS)


def save_check(s, window, caption, value, others):
    s.click(s.wait_for(lambda: s.find(g.pyatspi.ROLE_RADIO_BUTTON, caption, within=window), f"the option {caption!r}"))
    s.click(s.button("Zapisz", window))
    s.answer("Konfiguracja zapisana", "OK")
    lines = g.read_cp1250(s.data + "kategorie.gmd")
    if f"sprawdz_wersje={value}" not in lines or [l for l in lines if not l.startswith("sprawdz_wersje")] != others:
        g.fail(f"after choosing {caption!r} kategorie.gmd holds {lines}")


def settings(s):
    s.data = os.path.join(s.root, "Dane") + "/"
    catalogue(s.data)
    s.set_data_directory(s.data)
    others = [l for l in g.read_cp1250(s.data + "kategorie.gmd") if not l.startswith("sprawdz_wersje")]
    s.launch()
    main = s.window(MAIN)
    window = open_settings(s, main)
    no = s.wait_for(lambda: s.find(g.pyatspi.ROLE_RADIO_BUTTON, "Nie", within=window), "the option 'Nie'")
    if not no.getState().contains(g.pyatspi.STATE_CHECKED):
        g.fail("the settings window does not show the version check as off")
    save_check(s, window, "Tak", "1", others)
    # Turned off again before the window closes: the main window's activation would start the check.
    save_check(s, window, "Nie", "0", others)
    s.click(s.button("Zamknij", window))
    s.window_gone(SETTINGS)
    window = open_settings(s, main)
    no = s.wait_for(lambda: s.find(g.pyatspi.ROLE_RADIO_BUTTON, "Nie", within=window), "the option 'Nie'")
    if not no.getState().contains(g.pyatspi.STATE_CHECKED):
        g.fail("the settings window does not show the saved choice when opened again")

    # Backups go where the settings window says, and the day's first one went to the default folder.
    chosen = os.path.join(s.root, "Kopie ąę")
    os.makedirs(chosen)
    s.set_text(s.field("Folder kopii zapasowych", window), chosen)
    s.click(s.button("Zapisz", window))
    s.answer("Konfiguracja zapisana", "OK")
    s.click(s.button("Zamknij", window))
    s.window_gone(SETTINGS)
    s.click(s.find_menu("Menu"))
    s.choose("Kopie zapasowe…")
    backups = s.window("Gromadnik - Kopie zapasowe")
    s.click(s.button("Utwórz kopię teraz", backups))
    s.wait_for(lambda: [f for f in os.listdir(chosen) if f.startswith("Gromadnik ") and f.endswith(".zip")],
               "an archive in the chosen folder")
    s.answer("Kopia zapasowa została zapisana", "OK")
    s.click(s.button("Zamknij", backups))
    s.window_gone("Gromadnik - Kopie zapasowe")


def file_dialog(s, command):
    s.click(s.find_menu("Menu"))
    s.choose("Import/Eksport")
    s.choose(command)
    return s.window(command)


def export_to(s, path):
    """Types a new file's whole path: no completion pops up over the dialog for a file not there yet."""
    dialog = file_dialog(s, "Eksport danych")
    s.set_text(s.field("Nazwa pliku:", dialog), path)
    s.click(s.button("Zachowaj", dialog))
    s.window_gone("Eksport danych")


def import_from(s, name):
    """Chooses the file in the dialog's list of the home folder, where it starts."""
    dialog = file_dialog(s, "Import danych")
    files = s.wait_for(lambda: s.find(g.pyatspi.ROLE_TREE, "Pliki", within=dialog), "the dialog's file list")
    row = s.wait_for(lambda: name in g.first_column(files) and g.first_column(files).index(name) + 1,
                     f"{name!r} in the file list") - 1
    s.click(g.cell(files, row))
    s.wait_for(lambda: g.text_of(s.field("Nazwa pliku:", dialog)).strip('"') == name, "the file chosen")
    s.click(s.button("Otwórz", dialog))
    s.window_gone("Import danych")


def export_import(s):
    source = os.path.join(s.root, "Dane") + "/"
    target = os.path.join(s.root, "Nowe") + "/"
    exported = os.path.join(s.home, "eksport Łódź.txt")
    catalogue(source)
    os.makedirs(target)
    s.set_data_directory(source)
    s.launch()
    categories = s.find(g.pyatspi.ROLE_TREE, "Kategorie", within=s.window(MAIN))
    s.wait_for(lambda: g.first_column(categories) == ["Monety", "Łódź"], "the catalogue listed")
    export_to(s, exported)
    s.answer("Dane zostały wyeksportowane poprawnie", "OK")
    lines = g.read_cp1250(exported) or []
    for line in ("1=Łódź", "pozycja1=Żeton ćwierć"):
        if line not in lines:
            g.fail(f"the export file lacks {line!r}: {lines}")
    s.click(s.find_menu("Menu"))
    s.choose("Zamknij program")
    s.wait_exit("Zamknij program")

    # Imported into an empty folder by a second start, the catalogue reads back as it was.
    s.set_data_directory(target)
    s.launch()
    categories = s.find(g.pyatspi.ROLE_TREE, "Kategorie", within=s.window(MAIN))
    import_from(s, os.path.basename(exported))
    s.answer("Dane zostały zaimportowane poprawnie", "OK")
    s.wait_for(lambda: g.first_column(categories) == ["Monety", "Łódź"], "the imported catalogue listed")
    # The import writes whole files (empty fields, empty photo lists, default settings): every value
    # of the original must read back the same, and whatever the import adds must be empty.
    for name in g.catalogue_files(source):
        theirs, ours = g.read_profile(source + name), g.read_profile(target + name)
        for section, keys in ours.items():
            for key, value in keys.items():
                if theirs.get(section, {}).get(key, value if value in ("", "0") else None) != value:
                    g.fail(f"imported {name} [{section}] {key}={value!r}, exported "
                           f"{theirs.get(section, {}).get(key)!r}")
        missing = [(sec, k) for sec, keys in theirs.items() for k in keys if k not in ours.get(sec, {})]
        if missing:
            g.fail(f"the import lost {missing} of {name}")


if __name__ == "__main__":
    sys.exit(g.main({"settings": settings, "export_import": export_import}))
