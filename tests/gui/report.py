"""A subcategory's report from the menu: the window "Gromadnik - Raport", its PDF saved through Qt's own file dialog
with a typed name, read back with pdftotext: the title, the items in the list's order, the Polish letters."""
import os
import subprocess
import sys

import gromadnik_gui as g
from items import CATEGORY, SUBCATEGORY, catalogue, open_subcategory

REPORT = "Gromadnik - Raport"
SAVE = "Zapisz raport jako PDF"


def pdf_words(path):
    return subprocess.run(["pdftotext", "-layout", "-enc", "UTF-8", path, "-"], check=True, capture_output=True,
                          timeout=30).stdout.decode()


def report_pdf(s):
    # Written out of the list's order, so a report that follows the file shows it.
    names = ["Żeton", "Dukat", "Łut", "Ćwierćgrosz", "Talar"]
    catalogue(s, [[n, str(1600 + k), "Gdańsk" if k % 2 else "Kraków"] for k, n in enumerate(names)], {})
    main, items = open_subcategory(s, len(names))
    # Sorted by name with a header click: the report follows the list, not the file.
    header = s.wait_for(lambda: next((c for c in g.children(items, g.pyatspi.ROLE_TABLE_COLUMN_HEADER)
                                      if c.name == "Nazwa"), None), "the header 'Nazwa'")
    s.click(header)
    shown = s.wait_for(lambda: g.first_column(items) != names and g.first_column(items), "the list sorted by name")
    s.click(g.cell(items, 0))

    s.click(s.find_menu("Menu"))
    s.choose("Import/Eksport", "Raport…")
    window = s.window(REPORT)
    s.wait_for(lambda: (g.text_of_panel(window, "Zawartość raportu") or "").startswith(f"{CATEGORY} – {SUBCATEGORY}"),
               "the report's subject read out by its label")
    s.shoot_window(REPORT, os.path.join(s.out_dir, "gui-report-window.png"))

    s.click(s.button("Zapisz jako PDF…", window))
    dialog = s.window(SAVE)
    path = os.path.join(s.home, "Raport Łódź.pdf")
    s.set_text(s.field("Nazwa pliku:", dialog), path)
    s.key("Return")
    s.window_gone(SAVE)
    s.answer("Raport został zapisany", "OK")
    s.wait_for(lambda: g.focused(s.button("Zapisz jako PDF…", window)), "the focus back on the button it left")

    text = pdf_words(path)
    for expected in (CATEGORY, SUBCATEGORY, "Nazwa", "Mennica", "Gdańsk", "Kraków"):
        if expected not in text:
            g.fail(f"the PDF lacks {expected!r}:\n{text}")
    places = [text.find(n) for n in shown]
    if -1 in places or places != sorted(places):
        g.fail(f"the PDF does not list {shown} in this order:\n{text}")

    s.click(s.button("Zamknij", window))
    s.window_gone(REPORT)


if __name__ == "__main__":
    sys.exit(g.main({"report_pdf": report_pdf}))
