"""The Debian package as a user gets it: made by CPack from the build tree, checked by the tools a
distribution checks with, installed (as root; otherwise unpacked into a folder), started from where it
was installed under a private X server, and removed without a trace.

usage: package_install.py BUILD_DIR CPACK
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "gui"))
import gromadnik_gui as g  # noqa: E402
import first_start  # noqa: E402

APP_ID = "io.github.gromadnik.Gromadnik"
PACKAGE = "gromadnik"


def run(*argv, ok=(0,)):
    result = subprocess.run(argv, capture_output=True, text=True, timeout=300)
    if result.returncode not in ok:
        g.fail(f"{' '.join(argv)} ended with {result.returncode}:\n{result.stdout}{result.stderr}")
    return result.stdout + result.stderr


def build_package(build_dir, cpack, out):
    run(cpack, "-G", "DEB", "--config", os.path.join(build_dir, "CPackConfig.cmake"), "-B", out)
    debs = glob.glob(os.path.join(out, "*.deb"))
    if [os.path.basename(d) for d in debs] != [f"{PACKAGE}_0.2.9_amd64.deb"]:
        g.fail(f"CPack made {debs}, not one {PACKAGE}_0.2.9_amd64.deb")
    return debs[0]


def check_contents(deb, root):
    """What a desktop needs from the files, each where it looks for it, and what Debian asks for."""
    run("dpkg-deb", "-x", deb, root)
    share = os.path.join(root, "usr/share")
    desktop = os.path.join(share, "applications", APP_ID + ".desktop")
    run("desktop-file-validate", desktop)
    # Warnings make the validator fail as well as errors; infos and pedantic notes do not.
    run("appstreamcli", "validate", "--no-net", os.path.join(share, "metainfo", APP_ID + ".metainfo.xml"))
    entry = dict(line.split("=", 1) for line in open(desktop, encoding="utf-8") if "=" in line)
    if not os.access(os.path.join(root, "usr/bin", entry["Exec"].split()[0]), os.X_OK):
        g.fail(f"the menu entry starts {entry['Exec']!r}, which the package does not hold in /usr/bin")
    expected = {"48x48": "PNG image data, 48 x 48", "256x256": "PNG image data, 256 x 256",
                "scalable": "SVG Scalable Vector Graphics image"}
    for size, kind in expected.items():
        icon = glob.glob(os.path.join(share, "icons/hicolor", size, "apps", entry["Icon"].strip() + ".*"))
        if len(icon) != 1 or kind not in run("file", "-b", icon[0]):
            g.fail(f"the icon {entry['Icon'].strip()!r} of size {size} is {icon}, not one {kind}")
    if "not stripped" in run("file", "-b", os.path.join(root, "usr/bin", PACKAGE)):
        g.fail("the program is not stripped in the package")
    for doc in ("copyright", "changelog.gz"):
        if not os.path.isfile(os.path.join(share, "doc", PACKAGE, doc)):
            g.fail(f"/usr/share/doc/{PACKAGE}/{doc} is missing")


def check_lintian(deb):
    report = run("lintian", "--tag-display-limit", "0", deb, ok=(0, 1, 2))
    errors = [line for line in report.splitlines() if line.startswith("E:")]
    print(report.strip() or "lintian: nothing to say")
    if errors:
        g.fail("lintian finds errors in the package:\n" + "\n".join(errors))


def installed():
    status = subprocess.run(["dpkg-query", "-W", "-f=${db:Status-Status}", PACKAGE], capture_output=True, text=True)
    return status.returncode == 0 and status.stdout not in ("", "not-installed")


def first_start_installed(exe):
    """The installed program on an empty account: it asks for the data folder (its question's buttons
    in Polish prove Qt's translations found), shows its main window and ends from its menu."""
    def scenario(s):
        s.exe = exe
        s.launch()
        first_start.choose_data_directory(s, os.path.join(s.root, "Kolekcja") + "/")
        s.window("Gromadnik - Menu główne")
        s.click(s.find_menu("Menu"))
        s.choose("Zamknij program")
        if s.wait_exit("Zamknij program") != 0:
            g.fail(f"the installed program ended with status {s.app.returncode}")
    if g.run("installed_program", scenario) != 0:
        g.fail("the installed program did not start, show its main window and end")


def main():
    build_dir, cpack = sys.argv[1:3]
    work = tempfile.mkdtemp(prefix="gromadnik-package-")
    try:
        deb = build_package(build_dir, cpack, os.path.join(work, "out"))
        root = os.path.join(work, "root")
        check_contents(deb, root)
        check_lintian(deb)
        files = [line.split(None, 5)[5].lstrip(".") for line in run("dpkg-deb", "-c", deb).splitlines()
                 if not line.startswith("d")]
        # A copy the user installed is left alone: then the unpacked files are what is started.
        if os.geteuid() == 0 and not installed():
            try:
                run("dpkg", "-i", deb)
                first_start_installed(shutil.which(PACKAGE) or g.fail(f"{PACKAGE} is not on PATH once installed"))
            finally:
                run("dpkg", "-r", PACKAGE)
            left = [f for f in files if os.path.lexists(f)]
            if installed() or left or os.path.exists(f"/usr/share/doc/{PACKAGE}"):
                g.fail(f"dpkg -r left the package behind: status installed {installed()}, files {left}")
        else:
            print("not root, or a gromadnik package is installed already: starting the unpacked copy")
            first_start_installed(os.path.join(root, "usr/bin", PACKAGE))
    except g.GuiFailure as e:
        print(f"FAIL package_install: {e}", file=sys.stderr)
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("PASS package_install")
    return 0


if __name__ == "__main__":
    sys.exit(main())
