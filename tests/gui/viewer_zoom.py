"""The enlarged photo through real input: zoomed by keys and the wheel, dragged, fitted, stepped to the item's
next photo without going back to the viewer, full screen and back."""
import os
import re
import subprocess
import sys

import gromadnik_gui as g
import items

ENLARGED = "Gromadnik - Pokaż zdjęcie"
RED, GREEN, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)


def photos(s):
    """A photo red on its left half and green on its right, and a blue one, both 400x300."""
    folder = os.path.join(s.root, "zdjecia") + "/"
    os.makedirs(folder)
    subprocess.run(["convert", "-size", "200x300", "xc:red", "-size", "200x300", "xc:lime", "+append",
                    folder + "polowki.bmp"], check=True, capture_output=True)
    items.picture(folder + "niebieskie.bmp", "400x300", "blue")
    return [folder + "polowki.bmp", folder + "niebieskie.bmp"]


def percent(area):
    """The zoom the picture area gives as its description, e.g. 150 for "150 %"."""
    found = re.fullmatch(r"(\d+) %", area.description or "")
    return int(found.group(1)) if found else None


def drag(s, x, y, dx):
    s.xdotool("mousemove", x, y)  # not --sync: it waits for a move, and the pointer may be there already
    s.xdotool("mousedown", 1)
    for step in range(1, 5):
        s.xdotool("mousemove", "--sync", x + dx * step // 4, y)
    s.xdotool("mouseup", 1)


def zoom(s):
    items.catalogue(s, [["Dukat", "1650", "Gdańsk"]], {0: photos(s)})
    main, item_list = items.open_subcategory(s, 1)
    viewer = items.open_viewer(s, item_list, 0, "Zdjęcie")
    s.wait_for(lambda: items.photo_colour(s, viewer) in (RED, GREEN), "the first photo in the viewer")
    s.click(s.button("Powieksz zdjęcie", viewer))
    window = s.window(ENLARGED)
    area = s.wait_find(g.pyatspi.ROLE_FILLER, "Powiększone zdjęcie", within=window)
    s.wait_for(lambda: percent(area) is not None and 80 <= percent(area) <= 100, "the photo fitted on opening")
    fitted = percent(area)
    x, y = g.centre(area)

    s.key("1")
    s.wait_for(lambda: percent(area) == 100, "'1' showing the photo at its own size")
    s.key("plus")
    s.wait_for(lambda: percent(area) == 125, "'+' zooming in to 125 %")
    s.xdotool("mousemove", "--sync", x, y)
    s.xdotool("click", "--repeat", 2, "--delay", 60, 4)
    s.wait_for(lambda: percent(area) == 200, "two notches of the wheel zooming in to 200 %")
    # Zoomed about the middle, where the halves meet: red just left of it, green just right.
    s.wait_for(lambda: (g.pixel(s, x - 40, y), g.pixel(s, x + 40, y)) == (RED, GREEN), "the halves meeting mid-window")
    drag(s, x, y, 80)
    s.wait_for(lambda: g.pixel(s, x + 40, y) == RED, "the photo dragged right, red under the point")
    if percent(area) != 200:
        g.fail(f"dragging changed the zoom to {percent(area)} %")
    s.xdotool("mousemove", "--sync", x, y)
    s.xdotool("click", 5)
    s.wait_for(lambda: percent(area) == 150, "a notch of the wheel zooming out to 150 %")
    s.key("KP_Subtract")
    s.wait_for(lambda: percent(area) == 125, "the keypad's '-' zooming out to 125 %")
    s.key("0")
    s.wait_for(lambda: percent(area) == fitted, "'0' fitting the photo again")

    s.key("Right")
    s.wait_for(lambda: g.pixel(s, x, y) == BLUE and percent(area) == fitted, "the next photo, fitted, in place")
    s.key("F11")
    s.wait_for(lambda: g.extents(area) == (0, 0, 1280, 1024), "the photo full screen")
    s.wait_for(lambda: g.pixel(s, 1280 - 100, 1024 // 2) == BLUE, "the photo fitted to the screen")
    s.key("Escape")
    s.wait_for(lambda: g.extents(area)[2] <= 400 and g.pixel(s, *g.centre(area)) == BLUE,
               "Esc leaving full screen, the window open")
    s.key("Escape")
    s.window_gone(ENLARGED)
    # The viewer itself was stepped: it shows the second photo, its last.
    s.wait_for(lambda: items.photo_colour(s, viewer) == BLUE and items.photo_buttons(s, viewer) == (True, False, True),
               "the viewer at the photo the enlarged window stepped to")


if __name__ == "__main__":
    sys.exit(g.main({"viewer_zoom": zoom}))
