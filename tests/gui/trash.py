"""An item deleted through the item list's pop-up comes back from the window "Kosz", read back from disk."""
import sys

import gromadnik_gui as g
from items import CATEGORY, SUBCATEGORY, catalogue, item_section, open_subcategory, photo_list

TRASH = "Gromadnik - Kosz"


def item_back(s):
    photos = ["C:\\Zdjęcia\\awers ą.jpg", "C:\\Zdjęcia\\rewers.jpg"]
    data = catalogue(s, [["Dukat", "1650", "Gdańsk"], ["Talar", "1700", "Toruń"], ["Grosz", "1923", "Kraków"]],
                     {0: photos, 2: ["C:\\Zdjęcia\\grosz.jpg"]})
    main, items = open_subcategory(s, 3)

    g.popup_on(s, g.cell(items, 0), "Usuń zaznaczoną pozycje")
    s.answer("Czy chcesz usunąć wybraną pozycje", "OK")
    s.wait_for(lambda: g.first_column(items) == ["Grosz", "Talar"], "the list after the deletion")

    s.choose("Menu", "Kosz…")
    window = s.window(TRASH)
    trash = s.find(g.pyatspi.ROLE_TREE, "Kosz", within=window)
    s.wait_for(lambda: [row[:3] for row in g.rows(trash)] == [["Pozycja", "Dukat", f"{CATEGORY} / {SUBCATEGORY}"]],
               f"the deleted item in the trash (it shows {g.rows(trash)})")
    restore = s.button("Przywróć", window)
    s.click(g.cell(trash, 0, 1))
    s.wait_for(lambda: g.enabled(restore), "'Przywróć' enabled once the entry is chosen")
    s.click(restore)
    s.wait_for(lambda: g.rows(trash) == [], "the trash empty after the restore")
    s.click(s.button("Zamknij", window))
    s.window_gone(TRASH)

    s.wait_for(lambda: g.first_column(items) == ["Grosz", "Talar", "Dukat"], "the item back as the last one")
    s.wait_for(lambda: item_section(data, 2) == {"pozycja1": "Dukat", "pozycja2": "1650", "pozycja3": "Gdańsk"},
               f"the item back in the file under number 2 ({item_section(data, 2)})")
    listed = g.read_profile(photo_list(data, 2))
    if listed.get("zdjecia") != {"0": photos[0], "1": photos[1]} or listed["config"]["liczba_zdjec"] != "2":
        g.fail(f"the restored item's photo list is wrong: {listed}")
    if g.read_profile(data + f"{CATEGORY}_{SUBCATEGORY}_dane.gmd")["config"]["liczba_pozycji"] != "3":
        g.fail("the count did not come back to 3")


if __name__ == "__main__":
    sys.exit(g.main({"trash_item": item_back}))
