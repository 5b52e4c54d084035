"""The main window's item list sorted by a header click and filtered by typing, read through AT-SPI;
the item opened with Enter must be the one on the row, whatever the order."""
import sys

import gromadnik_gui as g
import items as item_windows

MAIN = "Gromadnik - Menu główne"
VIEWER = "Gromadnik - Pokaż pozycje"
ITEMS = [["Łódź", "1934", "Warszawa"], ["Lublin", "1990", "Kraków"], ["Maków", "10", "Gdańsk"],
         ["Kraków", "2", "Warszawa"], ["Zabrze", "5", "Łódź"]]
COUNT_PANEL = "Liczba pozycji w podkategorii"


def sort_filter_view(s):
    item_windows.catalogue(s, ITEMS, {})
    main, items = item_windows.open_subcategory(s, len(ITEMS))
    search = s.field("Szukaj w podkategorii", main)

    # Typed without Polish marks, found in values with them: the name of item 0, the mint of item 4.
    s.click(search)
    s.wait_for(lambda: g.focused(search), "focus in the search box")
    s.type_text("lodz")
    s.wait_for(lambda: g.rows(items) == [ITEMS[0], ITEMS[4]], f"two items found (rows {g.rows(items)})")
    s.wait_for(lambda: g.text_of_panel(main, COUNT_PANEL) == "Liczba pozycji: 2 z 5", "the count of shown items")
    s.key("Escape")
    s.wait_for(lambda: g.text_of(search) == "" and len(g.rows(items)) == 5, "the search cleared by Esc")
    s.wait_for(lambda: g.text_of_panel(main, COUNT_PANEL) == "Liczba pozycji: 5", "the whole count again")

    # "Ł" follows "L" and "M" follows "Ł"; a second click reverses.
    header = s.wait_for(lambda: next((c for c in g.children(items, g.pyatspi.ROLE_TABLE_COLUMN_HEADER)
                                      if c.name == "Nazwa"), None), "the header 'Nazwa'")
    ascending = ["Kraków", "Lublin", "Łódź", "Maków", "Zabrze"]
    s.click(header)
    s.wait_for(lambda: g.first_column(items) == ascending, f"sorted by name (rows {g.first_column(items)})")
    # Farther than a double click may stray, so that Qt sees a second click; the pointer must move
    # anyway, as a move to where it is would never end.
    s.xdotool("mousemove_relative", "--sync", 12, 0)
    s.xdotool("click", 1)
    s.wait_for(lambda: g.first_column(items) == ascending[::-1], "sorted by name backwards")
    rok = next(c for c in g.children(items, g.pyatspi.ROLE_TABLE_COLUMN_HEADER) if c.name == "Rok")
    s.click(rok)
    s.wait_for(lambda: [r[1] for r in g.rows(items)] == ["2", "5", "10", "1934", "1990"], "years by their number")

    # Row 1 is now item 4; Enter opens it, not item 1.
    s.click(g.cell(items, 1))
    s.key("Return")
    viewer = s.window(VIEWER)
    s.wait_for(lambda: g.text_of(s.field("Nazwa", viewer)) == "Zabrze", "the viewer showing the chosen item")
    if g.text_of(s.field("Mennica", viewer)) != "Łódź":
        g.fail(f"the viewer shows another item's mint: {g.text_of(s.field('Mennica', viewer))!r}")
    s.click(s.button("Zamknij", viewer))
    s.window_gone(VIEWER)

    # Filtered and sorted at once, Enter still opens the item on the row.
    s.click(search)
    s.wait_for(lambda: g.focused(search), "focus in the search box")
    s.type_text("warszawa")
    s.wait_for(lambda: g.rows(items) == [ITEMS[3], ITEMS[0]], f"the Warsaw items by year (rows {g.rows(items)})")
    s.click(g.cell(items, 1))
    s.key("Return")
    viewer = s.window(VIEWER)
    s.wait_for(lambda: g.text_of(s.field("Nazwa", viewer)) == "Łódź", "the viewer showing item 0")
    s.click(s.button("Zamknij", viewer))
    s.window_gone(VIEWER)
    s.click(g.cell(items, 0))
    s.key("Escape")
    s.wait_for(lambda: len(g.rows(items)) == 5, "Esc in the list clearing the search")


def window_place(s):
    """The main window's place and size on the screen, as the X server has them."""
    wid = s.xdotool("search", "--name", MAIN).split()[0]
    out = s.xdotool("getwindowgeometry", "--shell", wid)
    values = dict(line.split("=") for line in out.split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def remembered(s):
    """Ended with "Zamknij program" and started again, the program is where the user left it."""
    item_windows.catalogue(s, ITEMS, {})
    main, items = item_windows.open_subcategory(s, len(ITEMS))
    rok = s.wait_for(lambda: next((c for c in g.children(items, g.pyatspi.ROLE_TABLE_COLUMN_HEADER)
                                   if c.name == "Rok"), None), "the header 'Rok'")
    s.click(rok)
    years = ["2", "5", "10", "1934", "1990"]
    s.wait_for(lambda: [r[1] for r in g.rows(items)] == years, "years by their number")
    wid = s.xdotool("search", "--name", MAIN).split()[0]
    s.xdotool("windowsize", "--sync", wid, 820, 600)
    s.xdotool("windowmove", "--sync", wid, 60, 40)
    s.wait_for(lambda: window_place(s)[2:] == (820, 600), "the window made larger")
    left = window_place(s)

    s.click(s.find_menu("Menu"))
    s.choose("Zamknij program")
    s.wait_exit("Zamknij program")
    s.launch()
    main = s.window(MAIN)
    items = s.find(g.pyatspi.ROLE_TREE, "Przedmioty", within=main)
    s.wait_for(lambda: [r[1] for r in g.rows(items)] == years, f"the items sorted as left (rows {g.rows(items)})")
    panels = [g.text_of_panel(main, d) for d in ("Wybrana kategoria", "Wybrana podkategoria")]
    if panels != [item_windows.CATEGORY, item_windows.SUBCATEGORY]:
        g.fail(f"the panels name {panels}, not the subcategory worked in last")
    s.wait_for(lambda: window_place(s) == left, f"the window where it was left ({window_place(s)} vs {left})")


if __name__ == "__main__":
    sys.exit(g.main({"item_list": sort_filter_view, "remembered": remembered}))
