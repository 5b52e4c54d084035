"""A photo chosen for a new item in the picture dialog, as a user does: the folder typed into the dialog's file-name
box, the photo clicked in its list and previewed with its size, Enter to accept, the photo added; the photo list
read back from disk in Windows-1250."""
import os
import sys

import gromadnik_gui as g
import items

DIALOG = "Wybierz zdjęcie"
PHOTO_WINDOW = "Dodawanie zdjęć"


def near(colour, expected):
    return all(abs(a - b) < 40 for a, b in zip(colour, expected))


def named(s, name, within):
    """A showing object of any role with this accessible name."""
    return g._search(within, lambda o: o.name == name and g._showing(o))


def listed(dialog, name):
    """The file's row in the dialog's file list, in whichever view the dialog shows (list or details); the hidden
    view's rows say they are showing too, so the view is found first."""
    view = g._search(dialog, lambda o: o.getRole() in (g.pyatspi.ROLE_TREE, g.pyatspi.ROLE_LIST, g.pyatspi.ROLE_TABLE)
                     and o.name == "Pliki" and g._showing(o))
    return view and g._search(view, lambda o: o.name == name and o.getRole() in (g.pyatspi.ROLE_LIST_ITEM,
                                                                                 g.pyatspi.ROLE_TABLE_CELL))


def choose_in_dialog(s, folder, name):
    """In the open picture dialog: types the folder, clicks the photo, waits for its preview; returns the pane."""
    dialog = s.window(DIALOG)
    box = s.wait_for(lambda: g._search(dialog, lambda o: o.getRole() == g.pyatspi.ROLE_TEXT and g.focused(o)),
                     "focus in the dialog's file-name box")
    s.type_text(folder)
    s.wait_for(lambda: g.text_of(box) == folder, f"the file-name box holding {folder!r}")
    s.key("Return")
    entry = s.wait_for(lambda: listed(dialog, name), f"{name!r} listed in the dialog")
    # Near the name's start: the name column reaches past the list's visible width.
    x, y, w, h = g.extents(entry)
    s.xdotool("mousemove", "--sync", x + 20, y + h // 2)
    s.xdotool("click", 1)
    try:
        s.wait_for(lambda: g.selected(entry), f"{name!r} selected", timeout=3)
    except g.GuiFailure:
        # The folder's completion list, open under the name box since the folder was entered, takes the first
        # click to close; a user clicks again.
        s.xdotool("click", 1)
        s.wait_for(lambda: g.selected(entry), f"{name!r} selected")
    pane = s.wait_for(lambda: named(s, "Podgląd zdjęcia", dialog), "the preview pane")
    s.wait_for(lambda: near(g.pixel(s, *g.centre(pane)), items.RED), "the red photo in the preview")
    s.wait_for(lambda: g._search(dialog, lambda o: o.getRole() == g.pyatspi.ROLE_LABEL and o.name == "640 × 480"),
               "the photo's size under the preview")
    return dialog


def photo_preview(s):
    data = items.catalogue(s, [["Dukat", "1650", "Gdańsk"]], {})
    folder = os.path.join(s.root, "Zdjęcia ąę")
    os.makedirs(folder)
    items.picture(os.path.join(folder, "czerwone.jpg"), "640x480", "red")
    items.picture(os.path.join(folder, "niebieskie.jpg"), "480x640", "blue")
    main, item_list = items.open_subcategory(s, 1)

    g.popup_on(s, g.cell(item_list, 0), "Dodaj nową pozycje")
    window = s.window("Gromadnik - Dodaj pozycje")
    name = s.field("Nazwa", window)
    s.wait_for(lambda: g.focused(name), "focus in 'Nazwa'")
    s.type_text("Grosz")
    s.wait_for(lambda: g.text_of(name) == "Grosz", "the new item's name")
    s.click(s.button("Zapisz", window))
    s.answer("Czy chcesz dodać teraz zdjęcia", "Tak")
    photos = s.window(PHOTO_WINDOW)
    s.click(s.button("Przegladaj", photos))
    dialog = choose_in_dialog(s, folder, "czerwone.jpg")
    s.key("Return")  # the photo is the list's current row
    s.window_gone(DIALOG)
    path = os.path.join(folder, "czerwone.jpg")
    s.wait_for(lambda: g.text_of(s.field("Ścieżka zdjęcia", photos)) == path, "the chosen path in the photo window")

    # The dialog opens again where the last one ended.
    s.click(s.button("Przegladaj", photos))
    dialog = s.window(DIALOG)
    s.wait_for(lambda: listed(dialog, "niebieskie.jpg"), "the photo folder shown again")
    s.key("Escape")
    s.window_gone(DIALOG)
    if g.text_of(s.field("Ścieżka zdjęcia", photos)) != path:
        g.fail("a cancelled dialog changed the chosen path")

    s.click(s.button("Dodaj zdjęcie", photos))
    s.answer("Zdjęcie zostało dodane", "OK")
    g.wait_file_lines(s, items.photo_list(data, 1), ["[zdjecia]", f"0={path}", "[config]", "liczba_zdjec=1"])


if __name__ == "__main__":
    sys.exit(g.main({"photo_preview": photo_preview}))
