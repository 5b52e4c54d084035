"""The viewer's strip of thumbnails: read through the accessibility bus, a click on the third shows that photo, a
broken photo gets a placeholder without a message, and the thumbnails land in the shared freedesktop cache."""
import glob
import os
import sys

import gromadnik_gui as g
import items as it

GREEN = (0, 255, 0)
NAMES = ["Zdjęcie 1", "Zdjęcie 2", "Zdjęcie 3", "Zdjęcie 4"]


def near(actual, expected):
    return all(abs(a - e) < 40 for a, e in zip(actual, expected))


def strip(s):
    photos = it.red_and_blue(s)
    it.picture(photos + "zielone.png", "64x48", "lime")
    with open(photos + "zepsute.jpg", "wb") as f:
        f.write(b"to nie jest zdjecie" * 10)
    it.catalogue(s, [["Dukat", "1650", "Gdańsk"]], {0: [photos + name for name in (
        "czerwone.bmp", "niebieskie.bmp", "zielone.png", "zepsute.jpg")]})
    main, items = it.open_subcategory(s, 1)
    viewer = it.open_viewer(s, items, 0, "Zdjęcie")
    s.wait_for(lambda: it.photo_colour(s, viewer) == it.RED, "the first photo shown")

    thumbnails = s.wait_find(g.pyatspi.ROLE_LIST, "Miniatury zdjęć", within=viewer)
    s.wait_for(lambda: g.list_entries(thumbnails) == NAMES, f"the strip reading {NAMES}")
    first, third = g.list_entry(thumbnails, NAMES[0]), g.list_entry(thumbnails, NAMES[2])
    s.wait_for(lambda: g.selected(first), "the photo shown selected in the strip")
    s.wait_for(lambda: near(g.pixel(s, *g.centre(third)), GREEN), "the third thumbnail drawn")
    s.wait_for(lambda: len(glob.glob(os.path.join(s.cache, "thumbnails/normal/*.png"))) == 3,
               "three thumbnails in the shared cache")
    if not glob.glob(os.path.join(s.cache, "thumbnails/fail/gromadnik-*/*.png")):
        g.fail("the broken photo's failure is not recorded")
    if g.open_messages(s, "zepsute.jpg"):
        g.fail("the strip showed a message for the broken photo")

    s.click(third)
    s.wait_for(lambda: near(it.photo_colour(s, viewer), GREEN), "the third photo shown")
    s.wait_for(lambda: g.selected(third) and not g.selected(first), "the third thumbnail selected")
    s.wait_for(lambda: it.photo_buttons(s, viewer) == (True, True, True), "both ways open from the third photo")
    s.click(s.button("Nastepne zdjęcie", viewer))
    box, _ = g.error_box(s)
    s.click(s.button("OK", box))
    s.wait_for(lambda: g.selected(g.list_entry(thumbnails, NAMES[3])), "the step followed in the strip")
    s.click(first)
    s.wait_for(lambda: it.photo_colour(s, viewer) == it.RED, "back at the first photo through the strip")


if __name__ == "__main__":
    sys.exit(g.main({"viewer_photo_strip": strip}))
