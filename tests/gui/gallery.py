"""The main window's items as a gallery: switched on with Ctrl+G, tiles of each item's first photo read
through AT-SPI and seen on screen, a quiet empty tile where there is no photo, the list's filter and
commands on a tile, and the choice remembered by the next start."""
import os
import sys

import gromadnik_gui as g
import items as item_windows

MAIN = "Gromadnik - Menu główne"
VIEWER = "Gromadnik - Pokaż pozycje"
RED, GREEN = (255, 0, 0), (0, 255, 0)


def tile_colour(s, tile):
    """The colour in the middle of a tile's picture square (the tile's top, under its margin)."""
    x, y, w, _ = g.extents(tile)
    return g.pixel(s, x + w // 2, y + 6 + 64)


def near(colour, expected):
    return all(abs(a - b) < 48 for a, b in zip(colour, expected))


def gallery(s):
    photos = os.path.join(s.root, "zdjęcia") + "/"
    os.makedirs(photos)
    item_windows.picture(photos + "czerwone.jpg", "600x400", "red")
    item_windows.picture(photos + "zielone.png", "300x400", "lime")
    with open(photos + "zepsute.jpg", "wb") as f:
        f.write(b"to nie jest zdjecie" * 10)
    names = ["Dukat", "Grosz", "Talar", "Złotówka"]
    item_windows.catalogue(s, [[n, str(1600 + k), "Gdańsk"] for k, n in enumerate(names)],
                           {0: [photos + "czerwone.jpg", photos + "zielone.png"], 2: [photos + "zielone.png"],
                            3: [photos + "zepsute.jpg"]})
    main, items = item_windows.open_subcategory(s, len(names))
    s.click(g.cell(items, 0))
    s.key("ctrl+g")
    tiles = s.wait_find(g.pyatspi.ROLE_LIST, "Galeria przedmiotów", within=main)
    s.wait_for(lambda: g.list_entries(tiles) == names, f"a tile for each item ({g.list_entries(tiles)})")
    by_name = {n: g.list_entry(tiles, n) for n in names}
    s.wait_for(lambda: near(tile_colour(s, by_name["Dukat"]), RED), "the first photo's thumbnail on the first tile")
    s.wait_for(lambda: near(tile_colour(s, by_name["Talar"]), GREEN), "a PNG's thumbnail on its tile")
    for quiet in ("Grosz", "Złotówka"):
        if any(near(tile_colour(s, by_name[quiet]), c) for c in (RED, GREEN)):
            g.fail(f"the tile of {quiet} shows another item's photo")
    if g.open_messages(s, "zepsute") or g.open_messages(s, "JPEG"):
        g.fail("a photo that cannot be shown was told in a message box")

    # The list's filter narrows the tiles; a tile opens with Enter and from the pop-up menu.
    search = s.field("Szukaj w podkategorii", main)
    s.click(search)
    s.wait_for(lambda: g.focused(search), "focus in the search box")
    s.type_text("zlot")
    s.wait_for(lambda: g.list_entries(tiles) == ["Złotówka"], f"the tiles filtered ({g.list_entries(tiles)})")
    s.key("Escape")
    s.wait_for(lambda: g.list_entries(tiles) == names, "every tile back")
    s.click(g.list_entry(tiles, "Talar"))
    s.key("Return")
    viewer = s.window(VIEWER)
    s.wait_for(lambda: g.text_of(s.field("Nazwa", viewer)) == "Talar", "the viewer on the tile's item")
    s.click(s.button("Zamknij", viewer))
    s.window_gone(VIEWER)
    g.popup_on(s, g.list_entry(tiles, "Grosz"), "Pokaż pozycje")
    viewer = s.window(VIEWER)
    s.wait_for(lambda: g.text_of(s.field("Nazwa", viewer)) == "Grosz", "the pop-up's viewer on the tile's item")
    s.click(s.button("Zamknij", viewer))
    s.window_gone(VIEWER)

    # Ended and started again: the gallery is what the user left.
    s.click(s.find_menu("Menu"))
    s.choose("Zamknij program")
    s.wait_exit("Zamknij program")
    s.launch()
    main = s.window(MAIN)
    tiles = s.wait_find(g.pyatspi.ROLE_LIST, "Galeria przedmiotów", within=main)
    s.wait_for(lambda: g.list_entries(tiles) == names, "the gallery shown at the next start")
    s.wait_for(lambda: near(tile_colour(s, g.list_entry(tiles, "Dukat")), RED), "its thumbnail, from the cache")


if __name__ == "__main__":
    sys.exit(g.main({"gallery": gallery}))
