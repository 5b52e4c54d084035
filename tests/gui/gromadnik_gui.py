"""Drives the real gromadnik executable as a user does: an X server of its own (Xvfb) with a window
manager, a private D-Bus session with the accessibility bus, input through XTest (xdotool), widgets
found and read through AT-SPI, catalogue files read back in Windows-1250.

pyatspi binds to the session bus at its first import, so a scenario is one process: it calls
Session.start() before anything imports pyatspi, and Session.stop() (also on failure) at the end.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

TIMEOUT = 15.0  # seconds for any one state to come about

# Spare keycodes get the Polish letters, so that xdotool finds them in the keymap instead of
# remapping a scratch keycode per character, which races with the program reading the keymap.
POLISH_KEYSYMS = [("aogonek", "Aogonek"), ("cacute", "Cacute"), ("eogonek", "Eogonek"),
                  ("lstroke", "Lstroke"), ("nacute", "Nacute"), ("oacute", "Oacute"),
                  ("sacute", "Sacute"), ("zacute", "Zacute"), ("zabovedot", "Zabovedot")]

pyatspi = None  # imported once the private bus is up


class GuiFailure(Exception):
    pass


def fail(message):
    raise GuiFailure(message)


def _need(program):
    path = shutil.which(program)
    if not path:
        fail(f"{program} is not installed (scripts/install-deps.sh installs it)")
    return path


def _read_line(fd, what, timeout):
    """The first line a child writes to fd, or a failure after timeout seconds."""
    import select
    data = b""
    deadline = time.monotonic() + timeout
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            fail(f"{what} did not start within {timeout:.0f} s")
        chunk = os.read(fd, 4096)
        if not chunk:
            fail(f"{what} exited before it was ready")
        data += chunk
    return data.decode().strip()


class Session:
    def __init__(self, name, window_manager=True):
        self.name = name
        self.window_manager = window_manager
        self.out_dir = os.environ.get("GUI_OUT_DIR", os.getcwd())
        self.root = tempfile.mkdtemp(prefix=f"gromadnik-gui-{name}-")
        self.home = os.path.join(self.root, "home")
        self.config = os.path.join(self.home, ".config")
        self.runtime = os.path.join(self.root, "runtime")
        for d in (self.home, self.config, self.runtime):
            os.makedirs(d, mode=0o700)
        self.exe = os.environ.get("GROMADNIK_EXE", "gromadnik")
        self.cache = os.path.join(self.home, ".cache")  # thumbnails go there
        self.env = dict(os.environ, HOME=self.home, XDG_CONFIG_HOME=self.config, XDG_RUNTIME_DIR=self.runtime,
                        XDG_CACHE_HOME=self.cache, GSETTINGS_BACKEND="memory", LC_ALL="C.UTF-8")
        for key in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XAUTHORITY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            self.env.pop(key, None)
        self.children = []  # (name, Popen), each the leader of its own process group
        self.app = None

    # ---- environment -------------------------------------------------------------------------
    def _spawn(self, name, argv, **kw):
        proc = subprocess.Popen(argv, env=kw.pop("env", self.env), start_new_session=True,
                                stdin=subprocess.DEVNULL, **kw)
        self.children.append((name, proc))
        return proc

    def start(self):
        global pyatspi
        for program in ["Xvfb", "dbus-daemon", "dbus-send", "xdotool", "xmodmap"]:
            _need(program)
        if self.window_manager:
            _need("openbox")
        if not os.path.exists("/usr/libexec/at-spi-bus-launcher"):
            fail("at-spi2-core is not installed (scripts/install-deps.sh installs it)")
        log = open(os.path.join(self.root, "session.log"), "wb")

        read_fd, write_fd = os.pipe()
        self._spawn("Xvfb", ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24",
                             "-nolisten", "tcp", "-dpi", "96", "-noreset"],
                    pass_fds=(write_fd,), stdout=log, stderr=log)
        os.close(write_fd)
        self.env["DISPLAY"] = ":" + _read_line(read_fd, "Xvfb", TIMEOUT)
        os.close(read_fd)

        bus = self._spawn("dbus-daemon", ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE, stderr=log)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = _read_line(bus.stdout.fileno(), "dbus-daemon", TIMEOUT)
        # Asked once now, so that the program finds the accessibility bus when it starts.
        self._run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                   "org.a11y.Bus.GetAddress"], "the accessibility bus")

        if self.window_manager:
            self._spawn("openbox", ["openbox", "--sm-disable"], stdout=log, stderr=log)
        self._map_polish_keys()

        # This process joins the private bus before pyatspi connects to it.
        os.environ.update({k: self.env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR",
                                                    "GSETTINGS_BACKEND")})
        from gi.repository import Gio
        Gio.bus_get_sync(Gio.BusType.SESSION, None).set_exit_on_close(False)
        import pyatspi as module
        pyatspi = module
        # Pop-up menus show as new top-level objects that the program's list of children does not
        # report; they are caught as they show.
        self.popups = []
        pyatspi.Registry.registerEventListener(self._showing_changed, "object:state-changed:showing")
        if self.window_manager:
            self.wait_for(lambda: self._wm_running(), "openbox running")
        return self

    def _showing_changed(self, event):
        try:
            if event.detail1 and event.source.getRole() in (pyatspi.ROLE_POPUP_MENU, pyatspi.ROLE_MENU,
                                                            pyatspi.ROLE_WINDOW):
                self.popups.append(event.source)
        except Exception:
            pass  # gone already

    def _run(self, argv, what):
        try:
            return subprocess.run(argv, env=self.env, check=True, capture_output=True, timeout=TIMEOUT).stdout
        except subprocess.TimeoutExpired:
            fail(f"{what} did not answer within {TIMEOUT:.0f} s: {' '.join(argv)}")
        except subprocess.CalledProcessError as e:
            fail(f"{what} failed: {' '.join(argv)}: {e.stderr.decode(errors='replace')}")

    def _wm_running(self):
        # The desktop count is a root-window property only a window manager sets.
        return subprocess.run(["xdotool", "get_num_desktops"], env=self.env, capture_output=True,
                              timeout=TIMEOUT).returncode == 0

    def _map_polish_keys(self):
        table = self._run(["xmodmap", "-pke"], "xmodmap").decode()
        spare = [int(line.split()[1]) for line in table.splitlines()
                 if line.startswith("keycode") and line.split("=", 1)[1].strip() == ""]
        spare = [k for k in spare if k > 8]
        if len(spare) < len(POLISH_KEYSYMS):
            fail("the X server's keymap has too few spare keycodes for the Polish letters")
        script = "".join(f"keycode {code} = {lower} {upper}\n" for code, (lower, upper) in zip(spare, POLISH_KEYSYMS))
        path = os.path.join(self.root, "polish.xmodmap")
        with open(path, "w") as f:
            f.write(script)
        self._run(["xmodmap", path], "xmodmap")

    def launch(self):
        if not os.access(self.exe, os.X_OK):
            fail(f"the program {self.exe} is not built")
        env = dict(self.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        log = open(os.path.join(self.root, "gromadnik.log"), "ab")
        # Started in the scenario's own folder, where a scenario can leave files the program must not take
        # for the catalogue's.
        self.app = self._spawn("gromadnik", [self.exe], env=env, stdout=log, stderr=log, cwd=self.root)
        return self.app

    def stop(self):
        for name, proc in reversed(self.children):
            try:
                os.killpg(proc.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        for name, proc in reversed(self.children):
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                try:
                    os.killpg(proc.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                proc.wait(timeout=5)
        self.children.clear()
        shutil.rmtree(self.root, ignore_errors=True)

    def screenshot(self):
        path = os.path.join(self.out_dir, f"gui-{self.name}-failure.png")
        try:
            subprocess.run(["import", "-window", "root", path], env=self.env, timeout=TIMEOUT, check=True,
                           capture_output=True)
            return path
        except Exception as e:  # a missing screenshot must not hide the failure itself
            return f"(no screenshot: {e})"

    def shoot_window(self, caption, path, size=None):
        """Saves a picture of one top-level window, without its frame, once it has stopped changing;
        resized to size (width, height) first when given."""
        wid = self.xdotool("search", "--name", f"^{re.escape(caption)}$").split()[0]
        if size:
            self.xdotool("windowsize", "--sync", wid, *size)
        grab = lambda: self._run(["import", "-window", wid, "ppm:-"], "import")
        frames = [grab()]

        def still():
            frames.append(grab())
            return frames[-1] == frames[-2]
        self.wait_for(still, f"the window {caption!r} painted and still")
        subprocess.run(["convert", "ppm:-", "-strip", path], input=frames[-1], check=True, timeout=TIMEOUT)
        return path

    # ---- settings and files ------------------------------------------------------------------
    def set_data_directory(self, path):
        with open(os.path.join(self.config, "Gromadnik.conf"), "w") as f:
            f.write(f"[General]\npath={path}\n")

    def data_directory_setting(self):
        try:
            with open(os.path.join(self.config, "Gromadnik.conf")) as f:
                for line in f:
                    if line.startswith("path="):
                        return line[len("path="):].rstrip("\n")
        except FileNotFoundError:
            pass
        return None

    # ---- waiting ----------------------------------------------------------------------------
    def wait_for(self, condition, what, timeout=TIMEOUT):
        """Polls condition (events handled in between) until it returns something true; returns that."""
        deadline = time.monotonic() + timeout
        last_error = None
        while True:
            if self.app is not None and self.app.poll() is not None:
                fail(f"the program exited (status {self.app.returncode}) while waiting for {what}")
            try:
                result = condition()
                if result:
                    return result
            except GuiFailure:
                raise
            except Exception as e:  # an object that vanished while being read: look again
                last_error = e
            if time.monotonic() > deadline:
                fail(f"timed out after {timeout:.0f} s waiting for {what}"
                     + (f" (last error: {last_error})" if last_error else ""))
            _pump_events()
            time.sleep(0.05)

    def wait_exit(self, what, timeout=TIMEOUT):
        try:
            return self.app.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            fail(f"the program did not exit after {what}")

    # ---- finding widgets ---------------------------------------------------------------------
    def application(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and self.app is not None and app.get_process_id() == self.app.pid:
                return app
        return None

    def find(self, role, name=None, within=None, showing=True):
        """The first object of this role (and name, if given) under within (default: the program)."""
        root = within or self.application()
        if root is None:
            return None
        return _search(root, lambda o: o.getRole() == role and (name is None or o.name == name)
                       and (not showing or _showing(o)))

    def wait_find(self, role, name=None, within=None, what=None):
        return self.wait_for(lambda: self.find(role, name, within),
                             what or f"a {role} named {name!r}")

    def window(self, caption, holding=None):
        """A top-level window, message box or dialog of the program, by caption; with holding (role, name), the one
        that holds that widget: a file dialog can share its caption with the window that opened it."""
        def look():
            app = self.application()
            if app is None:
                return None
            for i in range(app.childCount):
                w = app.getChildAtIndex(i)
                if w is not None and w.name == caption and _showing(w) and (holding is None
                                                                           or self.find(*holding, within=w)):
                    return w
            return None
        return self.wait_for(look, f"the window {caption!r}" + (f" holding {holding[1]!r}" if holding else ""))

    def window_gone(self, caption):
        def gone():
            app = self.application()
            return app is not None and not any(
                (w := app.getChildAtIndex(i)) is not None and w.name == caption and _showing(w)
                for i in range(app.childCount))
        self.wait_for(gone, f"the window {caption!r} to close")

    def message(self, text_part):
        """A message box whose text contains text_part; returns it."""
        def look():
            app = self.application()
            for i in range(app.childCount):
                w = app.getChildAtIndex(i)
                if w is None or not _showing(w) or w.getRole() not in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG):
                    continue
                if _search(w, lambda o: o.getRole() == pyatspi.ROLE_LABEL and text_part in o.name):
                    return w
            return None
        return self.wait_for(look, f"a message saying {text_part!r}")

    # ---- input ------------------------------------------------------------------------------
    def xdotool(self, *args):
        return self._run(["xdotool", *map(str, args)], "xdotool").decode()

    def click(self, obj, button=1):
        x, y = centre(obj)
        self.xdotool("mousemove", "--sync", x, y)
        self.xdotool("click", button)

    def type_text(self, text):
        self.xdotool("type", "--delay", 15, "--", text)

    def key(self, *keys):
        self.xdotool("key", "--delay", 30, *keys)

    def set_text(self, edit, text):
        """Focuses a text box by clicking it, replaces its text by typing, waits until it holds text."""
        self.click(edit)
        self.wait_for(lambda: edit.getState().contains(pyatspi.STATE_FOCUSED), f"focus in {edit.name!r}")
        self.key("ctrl+a", "BackSpace")
        self.wait_for(lambda: text_of(edit) == "", f"{edit.name!r} empty")
        self.type_text(text)
        self.wait_for(lambda: text_of(edit) == text, f"{edit.name!r} holding {text!r}")

    def answer(self, text_part, button):
        """Waits for a message box saying text_part and clicks its button."""
        box = self.message(text_part)
        self.click(self.wait_for(lambda: self.find(pyatspi.ROLE_PUSH_BUTTON, button, within=box),
                                 f"the button {button!r} in the message {text_part!r}"))
        self.wait_for(lambda: not _alive_showing(box), f"the message {text_part!r} to close")

    def button(self, caption, within):
        return self.wait_for(lambda: self.find(pyatspi.ROLE_PUSH_BUTTON, caption, within=within),
                             f"the button {caption!r} in {within.name!r}")

    def field(self, name, within, role=None):
        return self.wait_for(lambda: self.find(role or pyatspi.ROLE_TEXT, name, within=within),
                             f"the text box {name!r} in {within.name!r}")

    def choose(self, *path):
        """Opens menu entries one after another by caption and clicks the last."""
        for caption in path:
            item = self.wait_for(lambda: self.find_menu(caption), f"the menu entry {caption!r}")
            self.click(item)

    def find_menu(self, caption):
        match = (lambda o: o.getRole() in (pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_MENU)
                 and o.name == caption and _showing(o))
        for popup in reversed(self.popups):
            if _alive_showing(popup):
                found = match(popup) and popup or _search(popup, match)
                if found is not None:
                    return found
        app = self.application()
        return _search(app, match) if app is not None else None

    def pick(self, combo, entry):
        """Opens a combo's list with a click and chooses an entry by its first letter and Enter, as the keyboard
        does in an open list. The list is no accessible object; it shows as one more window of the program. A
        combo's accessible name is its current entry; a combo set into a list's cell is clicked through the cell."""
        windows = lambda: len(self.xdotool("search", "--onlyvisible", "--pid", self.app.pid).split())
        before = windows()
        self.click(combo)
        self.wait_for(lambda: windows() > before, f"the list of {combo.name!r} open")
        self.type_text(entry[0])
        self.key("Return")
        self.wait_for(lambda: windows() == before, f"the list of {combo.name!r} closed")
        if combo.getRole() == pyatspi.ROLE_COMBO_BOX:
            self.wait_for(lambda: combo.name == entry, f"{entry!r} chosen (the combo shows {combo.name!r})")

    def popup(self, list_obj, entry):
        """Right-clicks into a list and chooses an entry of the pop-up menu."""
        x, y, w, h = extents(list_obj)
        self.xdotool("mousemove", "--sync", x + w // 2, y + h - 10)
        self.xdotool("click", 3)
        self.choose(entry)


# ---- reading widgets and files -------------------------------------------------------------------
def _pump_events():
    from gi.repository import GLib
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def _alive_showing(obj):
    try:
        return _showing(obj)
    except Exception:
        return False


def _showing(obj):
    return obj.getState().contains(pyatspi.STATE_SHOWING)


def _search(root, match, depth=0):
    if depth > 30:
        return None
    for i in range(root.childCount):
        child = root.getChildAtIndex(i)
        if child is None:
            continue
        if match(child):
            return child
        found = _search(child, match, depth + 1)
        if found is not None:
            return found
    return None


def extents(obj):
    e = obj.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def centre(obj):
    x, y, w, h = extents(obj)
    if w <= 0 or h <= 0:
        fail(f"{obj.name!r} has no area on screen")
    return x + w // 2, y + h // 2


def text_of(obj):
    return obj.queryText().getText(0, -1)


def rows(list_obj):
    """The texts of a list's rows, column by column."""
    table = list_obj.queryTable()
    return [[table.getAccessibleAt(r, c).name for c in range(table.nColumns)] for r in range(table.nRows)]


def first_column(list_obj):
    return [row[0] for row in rows(list_obj)]


def headers(list_obj):
    # Read as children: Qt answers getColumnHeader only for a list that holds rows.
    return [c.name for c in (list_obj.getChildAtIndex(i) for i in range(list_obj.childCount))
            if c is not None and c.getRole() == pyatspi.ROLE_TABLE_COLUMN_HEADER]


def children(obj, role):
    """The children of an object that have this role: a list's column headers, for one."""
    return [c for c in (obj.getChildAtIndex(i) for i in range(obj.childCount)) if c is not None and c.getRole() == role]


def read_cp1250(path):
    """A catalogue file's lines, decoded from Windows-1250; None when there is no file."""
    try:
        with open(path, "rb") as f:
            return f.read().decode("cp1250").splitlines()
    except FileNotFoundError:
        return None


def write_cp1250(path, lines):
    with open(path, "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("cp1250"))


def run(name, scenario):
    """Runs one scenario in this process with its own session; exit status 0 when it passed."""
    session = Session(name, window_manager=getattr(scenario, "window_manager", True))
    started = time.monotonic()
    shot = os.path.join(session.out_dir, f"gui-{name}-failure.png")
    if os.path.exists(shot):
        os.remove(shot)  # from an earlier run
    try:
        session.start()
        scenario(session)
    except BaseException as e:
        shot = session.screenshot() if "DISPLAY" in session.env else "(no display)"
        print(f"FAIL {name}: {e}\nscreenshot: {shot}", file=sys.stderr)
        if not isinstance(e, GuiFailure):
            traceback.print_exc()
        try:
            app = session.application()
            if app is not None:
                print("what the program showed:", file=sys.stderr)
                dump(app)
        except Exception:
            pass
        log = os.path.join(session.root, "gromadnik.log")
        if os.path.exists(log):
            sys.stderr.write(open(log, errors="replace").read()[-3000:])
        session.stop()
        return 1
    session.stop()
    print(f"PASS {name} in {time.monotonic() - started:.1f} s")
    return 0


def without_window_manager(scenario):
    """The scenario on a bare X server: no window is activated but by the program itself or a click."""
    def bare(s):
        return scenario(s)
    bare.window_manager = False
    return bare


def cell(list_obj, row, column=0):
    return list_obj.queryTable().getAccessibleAt(row, column)


def main(scenarios):
    """Runs the scenario named on the command line."""
    if len(sys.argv) != 2 or sys.argv[1] not in scenarios:
        print(f"usage: {sys.argv[0]} {'|'.join(scenarios)}", file=sys.stderr)
        return 2
    return run(sys.argv[1], scenarios[sys.argv[1]])


def catalogue_files(folder):
    """The catalogue's files in a folder by name, with their bytes (the instance lock left out)."""
    return {name: open(os.path.join(folder, name), "rb").read() for name in sorted(os.listdir(folder))
            if name.endswith(".gmd")}


def dump(obj, depth=0):
    """Prints the showing part of the accessible tree, for a failure's report."""
    for i in range(obj.childCount):
        child = obj.getChildAtIndex(i)
        if child is not None and _showing(child) and depth < 12:
            print("  " * depth + f"{child.getRoleName()} {child.name!r}", file=sys.stderr)
            dump(child, depth + 1)


def text_of_panel(window, description):
    """The text of the status-bar panel with this accessible description."""
    panel = _search(window, lambda o: o.getRole() == pyatspi.ROLE_LABEL and o.description == description)
    return panel.name if panel is not None else None


def read_profile(path):
    """A catalogue file as {section: {key: value}}, read in Windows-1250."""
    sections, current = {}, None
    for line in read_cp1250(path) or []:
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1], {})
        elif current is not None and "=" in line:
            key, value = line.split("=", 1)
            current[key] = value
    return sections


# ---- plain lists (QListWidget) and open messages --------------------------------------------------
def _list_items(list_obj):
    return [c for c in (list_obj.getChildAtIndex(i) for i in range(list_obj.childCount))
            if c is not None and c.getRole() in (pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL)]


def list_entries(list_obj):
    """The texts of a plain list's rows."""
    return [c.name for c in _list_items(list_obj)]


def list_entry(list_obj, name):
    """The row of a plain list with this text, or None."""
    return next((c for c in _list_items(list_obj) if c.name == name), None)


def open_messages(session, text_part):
    """The showing message boxes whose text contains text_part."""
    app = session.application()
    boxes = (app.getChildAtIndex(i) for i in range(app.childCount)) if app is not None else ()
    return [w for w in boxes if w is not None and _alive_showing(w)
            and w.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)
            and _search(w, lambda o: o.getRole() == pyatspi.ROLE_LABEL and text_part in o.name)]

# ---- item windows and the viewer ----------------------------------------------------------------
def wait_file_lines(s, path, lines):
    """Waits until the file holds these lines (in this order, among others), read in Windows-1250."""
    def holds():
        content = read_cp1250(path)
        if content is None:
            return False
        at = 0
        for line in content:
            if at < len(lines) and line == lines[at]:
                at += 1
        return at == len(lines)
    s.wait_for(holds, f"{os.path.basename(path)} holding {lines} (it holds {read_cp1250(path)})")


def focused(obj):
    return obj.getState().contains(pyatspi.STATE_FOCUSED)


def selected(obj):
    return obj.getState().contains(pyatspi.STATE_SELECTED)


def enabled(obj):
    return obj.getState().contains(pyatspi.STATE_ENABLED)


def double_click(s, obj):
    x, y = centre(obj)
    s.xdotool("mousemove", "--sync", x, y)
    s.xdotool("click", "--repeat", 2, "--delay", 80, 1)


def popup_on(s, obj, entry):
    """Right-clicks an object (a list's row) and chooses an entry of the pop-up menu."""
    s.click(obj, button=3)
    s.choose(entry)


def error_box(s):
    """Waits for a message box of the program with an OK button; returns it and its text."""
    def look():
        app = s.application()
        for i in range(app.childCount):
            w = app.getChildAtIndex(i)
            if w is not None and _showing(w) and w.getRole() == pyatspi.ROLE_ALERT \
                    and s.find(pyatspi.ROLE_PUSH_BUTTON, "OK", within=w):
                return w
        return None
    box = s.wait_for(look, "an error message")
    text = " ".join(o.name for o in _all(box) if o.getRole() == pyatspi.ROLE_LABEL)
    return box, text


def _all(root, depth=0):
    for i in range(root.childCount):
        child = root.getChildAtIndex(i)
        if child is not None and depth < 30:
            yield child
            yield from _all(child, depth + 1)


def pixel(s, x, y):
    """The colour of one screen pixel as (red, green, blue)."""
    out = s._run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"], "import").decode()
    hex_colour = out.splitlines()[-1].split("#", 1)[1][:6]
    return tuple(int(hex_colour[i:i + 2], 16) for i in (0, 2, 4))


# ---- metafiles: a solid page of a known frame, as drawing programs write them ---------------------
def _words(*values):
    return b"".join(v.to_bytes(2, "little") for v in values)


def wmf_bytes(width, height, units_per_inch=1440):
    """A placeable WMF whose box is width x height pixels at 96 an inch, a white page with a blue rectangle."""
    w, h = width * units_per_inch // 96, height * units_per_inch // 96

    def record(function, *params):
        return (3 + len(params)).to_bytes(4, "little") + _words(function, *params)
    records = record(0x020B, 0, 0) + record(0x020C, h, w)  # window origin, extent
    for number, (colour, right) in enumerate([(0xFFFFFF, w), (0xFF0000, w // 2)]):  # COLORREF is 0x00BBGGRR
        records += record(0x02FC, 0, colour & 0xFFFF, colour >> 16, 0) + record(0x012D, number) \
            + record(0x041B, h, right, 0, 0)  # brush, select, rectangle
    records += record(0x0000)
    header = _words(1, 9, 0x0300) + (9 + len(records) // 2).to_bytes(4, "little") + _words(2) \
        + (7).to_bytes(4, "little") + _words(0)
    placeable = (0x9AC6CDD7).to_bytes(4, "little") + _words(0, 0, 0, w, h, units_per_inch) + bytes(4)
    checksum = 0
    for i in range(0, 20, 2):
        checksum ^= int.from_bytes(placeable[i:i + 2], "little")
    return placeable + _words(checksum) + header + records


def emf_bytes(width, height):
    """An EMF whose frame is width x height pixels at 96 an inch, a blue rectangle on its left half."""
    def dwords(*values):
        return b"".join(v.to_bytes(4, "little") for v in values)

    def record(kind, *params):
        return dwords(kind, 8 + 4 * len(params), *params)
    records = record(39, 1, 0, 0xFF0000, 0) + record(37, 1) + record(43, 0, 0, width // 2, height) + record(14, 0, 16, 20)
    size = 88 + len(records)
    header = dwords(1, 88, 0, 0, width - 1, height - 1, 0, 0, width * 2540 // 96, height * 2540 // 96,
                    0x464D4520, 0x10000, size, 5) + _words(2, 0) + dwords(0, 0, 0, 1024, 768, 271, 203)
    return header + records
