"""Spreadsheet files in and out through the menu "Import/Eksport": a CSV file imported into the chosen subcategory
with one column's target changed, and a category exported to CSV and XLSX, each read back from disk."""
import json
import os
import subprocess
import sys

import gromadnik_gui as g
from items import CATEGORY, SUBCATEGORY, catalogue, item_section, open_subcategory

CSV_WINDOW = "Gromadnik - Import z pliku CSV"
CSV_DIALOG = "Import z pliku CSV"
SHEET_WINDOW = "Gromadnik - Eksport do arkusza"
SHEET_DIALOG = "Eksport do arkusza"
MULTILINE = "Złoty ąę\r\nśżźćń ół"


def open_exchange(s, command):
    s.click(s.find_menu("Menu"))
    s.choose("Import/Eksport")
    s.choose(command)


def csv_import(s):
    data = catalogue(s, [["Talar", "1700", "Toruń"]], {})
    path = os.path.join(s.home, "nowe łódź.csv")
    # Rows enough for the preview to scroll: the targets above it must stay in reach.
    filler = [[f"Żeton {n}", str(1900 + n), "", ""] for n in range(30)]
    rows = [["Nazwa", "Rok", "Opis", "Kraj"], ["Dukat łódzki", "1650", MULTILINE, "Polska"],
            ["Grosz", "1923", "Miedź", "Gdańsk żółć"]] + filler
    quoted = lambda v: f'"{v}"' if "\n" in v else v
    with open(path, "wb") as f:
        f.write(b"\xef\xbb\xbf" + "".join(";".join(map(quoted, r)) + "\r\n" for r in rows).encode())
    main, items = open_subcategory(s, 1)

    open_exchange(s, "Import z pliku CSV…")
    dialog = s.window(CSV_DIALOG, (g.pyatspi.ROLE_TEXT, "Nazwa pliku:"))
    files = s.wait_for(lambda: s.find(g.pyatspi.ROLE_TREE, "Pliki", within=dialog), "the dialog's file list")
    name = os.path.basename(path)
    row = s.wait_for(lambda: name in g.first_column(files) and g.first_column(files).index(name) + 1,
                     f"{name!r} in the file list") - 1
    s.click(g.cell(files, row))
    s.wait_for(lambda: g.text_of(s.field("Nazwa pliku:", dialog)).strip('"') == name, "the file chosen")
    s.click(s.button("Otwórz", dialog))

    window = s.window(CSV_WINDOW, (g.pyatspi.ROLE_TABLE, "Podgląd pliku CSV"))
    preview = s.find(g.pyatspi.ROLE_TABLE, "Podgląd pliku CSV", within=window)
    s.wait_for(lambda: [r[:2] for r in g.rows(preview)[:2]] == [["Dukat łódzki", "1650"], ["Grosz", "1923"]],
               f"the file's rows in the preview (it shows {g.rows(preview)[:3]})")
    if g.rows(preview)[0][2] != "Złoty ąę ↵ śżźćń ół":
        g.fail(f"the preview shows the multi-line value as {g.rows(preview)[0][2]!r}")
    first = g.cell(preview, 0)
    s.xdotool("mousemove", *g.centre(first))
    for _ in range(10):
        s.xdotool("click", "5")
    s.wait_for(lambda: not g._alive_showing(first) or g.extents(first)[1] < g.extents(preview)[1],
               "the preview scrolled down")
    # A combo is read out by its entry: the targets are the combos after the encoding and the separator.
    combos = [c for c in g._all(window) if c.getRole() == g.pyatspi.ROLE_COMBO_BOX and g._alive_showing(c)]
    if [c.name for c in combos[2:]] != ["Pole 1: Nazwa", "Pole 2: Rok", "Opis", "Pole 3: Mennica"]:
        g.fail(f"the targets in sight are {[c.name for c in combos]}")
    s.pick(combos[5], "Komentarz")
    s.shoot_window(CSV_WINDOW, os.path.join(s.out_dir, "gui-csv-import-window.png"))
    s.click(s.button("Importuj", window))
    s.answer("Dodano pozycji z pliku CSV: 32.", "OK")
    s.window_gone(CSV_WINDOW)

    s.wait_for(lambda: len(g.first_column(items)) == 33, f"the new rows listed (it lists {g.first_column(items)})")
    expected = {1: {"pozycja1": "Dukat łódzki", "pozycja2": "1650", "opis": '"Złoty ąę\\r\\nśżźćń ół"',
                    "komentarz": "Polska"},
                2: {"pozycja1": "Grosz", "pozycja2": "1923", "opis": "Miedź", "komentarz": "Gdańsk żółć"},
                32: {"pozycja1": "Żeton 29", "pozycja2": "1929"}}
    for number, values in expected.items():
        stored = item_section(data, number)
        if {k: stored.get(k) for k in values} != values or stored.get("pozycja3", ""):
            g.fail(f"item {number} is stored as {stored}, not {values}")
    if item_section(data, 0).get("pozycja1") != "Talar":
        g.fail("the item already there changed")


def sheet_catalogue(s):
    """The items' catalogue with a second subcategory in the category and a second category beside it."""
    data = catalogue(s, [["Dukat", "1650", "Gdańsk"], ["Grosz, mały", "1923", "Kraków"]], {})
    g.write_cp1250(data + "kategorie.gmd", ["[kategorie]", f"0={CATEGORY}", "1=Medale", "[config]",
                                            "liczba_kategorii=2"])
    g.write_cp1250(data + f"{CATEGORY}_podkategorie.gmd", ["[podkategorie]", f"0={SUBCATEGORY}", "1=Srebrne",
                                                           "[config]", "liczba_podkategorii=2"])
    g.write_cp1250(data + f"{CATEGORY}_Srebrne_dane.gmd", ["[pozycje]", "1=Nazwa", "2=Stan", "[0]",
                                                          "pozycja1=Talar", "pozycja2=dobry", "opis=Śląsk",
                                                          "[config]", "liczba_pozycji=1"])
    g.write_cp1250(data + "Medale_podkategorie.gmd", ["[podkategorie]", "0=Brąz", "[config]", "liczba_podkategorii=1"])
    g.write_cp1250(data + "Medale_Brąz_dane.gmd", ["[pozycje]", "1=Nazwa", "[0]", "pozycja1=Medal",
                                                   "[config]", "liczba_pozycji=1"])
    return data


def export_sheet(s, path, xlsx):
    """Exports the chosen category through the window and the save dialog, the file's name typed whole."""
    open_exchange(s, "Eksport do arkusza…")
    window = s.window(SHEET_WINDOW, (g.pyatspi.ROLE_PUSH_BUTTON, "Eksportuj"))
    radio = lambda caption: s.wait_for(lambda: s.find(g.pyatspi.ROLE_RADIO_BUTTON, caption, within=window),
                                       f"the option {caption!r}")
    if not radio(f"Podkategoria: {SUBCATEGORY}").getState().contains(g.pyatspi.STATE_CHECKED):
        g.fail("the window does not propose the chosen subcategory")
    s.click(radio(f"Kategoria: {CATEGORY}"))
    if xlsx:
        s.click(radio("XLSX (skoroszyt Excel)"))
        encoding = s.find(g.pyatspi.ROLE_COMBO_BOX, "Windows-1250", within=window)
        s.wait_for(lambda: not g.enabled(encoding), "the CSV options off for XLSX")
    else:
        s.pick(s.find(g.pyatspi.ROLE_COMBO_BOX, "UTF-8 (ze znacznikiem BOM)", within=window), "Windows-1250")
        s.pick(s.find(g.pyatspi.ROLE_COMBO_BOX, "Średnik (;)", within=window), "Przecinek (,)")
    s.click(s.button("Eksportuj", window))
    dialog = s.window(SHEET_DIALOG, (g.pyatspi.ROLE_TEXT, "Nazwa pliku:"))
    s.set_text(s.field("Nazwa pliku:", dialog), path)
    s.click(s.button("Zachowaj", dialog))
    s.answer("Zapisano 3 pozycje do pliku", "OK")
    s.window_gone(SHEET_WINDOW)


def sheet_export(s):
    sheet_catalogue(s)
    open_subcategory(s, 2, [CATEGORY, "Medale"], [SUBCATEGORY, "Srebrne"])
    header = ["Kategoria", "Podkategoria", "Nazwa", "Rok", "Mennica", "Stan", "Opis", "Komentarz", "Zdjęcia"]
    rows = [[CATEGORY, SUBCATEGORY, "Dukat", "1650", "Gdańsk", "", "", "", ""],
            [CATEGORY, SUBCATEGORY, "Grosz, mały", "1923", "Kraków", "", "", "", ""],
            [CATEGORY, "Srebrne", "Talar", "", "", "dobry", "Śląsk", "", ""]]

    path = os.path.join(s.home, "arkusz ąę.csv")
    export_sheet(s, path, xlsx=False)
    with open(path, "rb") as f:
        text = f.read().decode("cp1250")
    lines = text.split("\r\n")
    quoted = lambda v: f'"{v}"' if "," in v else v
    if lines != [",".join(map(quoted, r)) for r in [header] + rows] + [""]:
        g.fail(f"the CSV file reads {lines}")

    path = os.path.join(s.home, "arkusz ąę.xlsx")
    export_sheet(s, path, xlsx=True)
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "exchange", "read_xlsx.py")
    book = json.loads(subprocess.run([sys.executable, script, path], capture_output=True, check=True).stdout)
    cells = [[c["value"] if c["value"] is not None else "" for c in r] for r in book["rows"]]
    if cells != [header] + rows:
        g.fail(f"the workbook holds {cells}")


if __name__ == "__main__":
    sys.exit(g.main({"csv_import": csv_import, "sheet_export": sheet_export}))
