#!/usr/bin/env python3
"""The Windows desktop program as a user meets it, under wine on a virtual X display:
windows_desktop_smoke.py DIST_DIR VERSION SCREENSHOT

1. The zip: LexmoraCT.exe, unpacked into a fresh folder, starts and shows its window titled
   "Lexmora Comparison Tool v<major.minor>" (a screenshot is taken); a second start shows
   "Caution!" and ends once it is answered; closing the window writes Settings.ini beside the
   program (a portable copy) with its five sections.
2. The installer: installs silently (/S) into the prefix's %LOCALAPPDATA%\\Programs\\Lexmora with a
   Start-menu entry and an entry in the list of installed programs; the installed program starts
   and keeps its settings in %LOCALAPPDATA%\\Lexmora, not beside itself; the uninstaller removes
   the program's folder, the entry and the Start-menu item, and leaves the user's settings.
Run it under xvfb-run; it makes a wine prefix of its own and removes it at the end.
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

WINE = "/usr/lib/wine/wine64" if os.path.exists("/usr/lib/wine/wine64") else "wine"
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAILED:", what, file=sys.stderr)
    return ok


def windows_named(name, timeout):
    """X window ids whose title is exactly name, waiting up to timeout seconds for one."""
    end = time.time() + timeout
    while time.time() < end:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name],
                               capture_output=True, text=True).stdout.split()
        if found:
            return found
        time.sleep(0.5)
    return []


def wait_exit(proc, timeout):
    try:
        proc.wait(timeout=timeout)
        return True
    except subprocess.TimeoutExpired:
        return False


def press(window, keys):
    """Gives window the keyboard focus and types keys as the keyboard would: the virtual display
    has no window manager to activate windows, and wine ignores keys sent to a window directly."""
    subprocess.run(["xdotool", "windowfocus", "--sync", window], capture_output=True)
    time.sleep(0.5)
    subprocess.run(["xdotool", "key", keys], capture_output=True)


def unix_path(windows_path):
    return subprocess.run([WINE, "winepath", "-u", windows_path], capture_output=True,
                          text=True).stdout.strip()


def wine_env(name):
    out = subprocess.run([WINE, "cmd", "/c", "echo %" + name + "%"], capture_output=True, text=True).stdout
    return out.strip().splitlines()[-1].strip()


def start(exe):
    return subprocess.Popen([WINE, exe], cwd=os.path.dirname(exe), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)


def window_size(window):
    out = subprocess.run(["xdotool", "getwindowgeometry", window], capture_output=True, text=True).stdout
    width, height = out.split("Geometry:")[1].split()[0].split("x")
    return int(width), int(height)


def run_program(exe, title, screenshot=None, second_start=False):
    """Starts exe, waits for its window, optionally a second copy, then closes the window.
    Returns the window's size on the screen."""
    first = start(exe)
    windows = windows_named(title, 60)
    if not check(windows, f"{exe}: no window titled {title!r} within 60 s"):
        first.kill()
        return (0, 0)
    time.sleep(2)  # let it paint before the picture
    size = window_size(windows[0])
    if screenshot:
        subprocess.run(["import", "-window", windows[0], screenshot], check=False)
    if second_start:
        second = start(exe)
        caution = windows_named("Caution!", 30)
        if check(caution, "a second start shows no \"Caution!\" message"):
            press(caution[0], "Return")
        check(wait_exit(second, 30), "the second start does not end after its message")
        check(len(windows_named(title, 1)) == 1, "the second start opened a window of its own")
    press(windows[0], "alt+F4")
    check(wait_exit(first, 60), f"{exe} does not end when its window is closed")
    return size


def sections(ini):
    with open(ini, encoding="utf-8-sig", errors="replace") as f:
        return [line.strip() for line in f if line.strip().startswith("[")]


def main():
    dist, version, screenshot = sys.argv[1], sys.argv[2], sys.argv[3]
    major_minor = ".".join(version.split(".")[:2])
    title = "Lexmora Comparison Tool v" + major_minor
    name = f"Lexmora-{version}-win64"
    work = tempfile.mkdtemp(prefix="lexmora-desktop-")
    # A Windows user of its own, as on a machine that never saw the program: wine's server and
    # desktop process start with this display (a server started without one could show nothing).
    os.environ["WINEPREFIX"] = os.path.join(work, "wine")
    subprocess.run([WINE, "wineboot", "--init"], capture_output=True, timeout=300)
    # The fonts every Windows has (Tahoma is the window's font), where Windows keeps them.
    fonts = os.path.join(os.environ["WINEPREFIX"], "drive_c", "windows", "Fonts")
    for font in glob.glob("/usr/share/wine/fonts/*.ttf"):
        shutil.copy(font, fonts)
    # With no window manager on the display, wine draws the Windows frame and title bar itself.
    subprocess.run([WINE, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated", "/d", "N", "/f"],
                   capture_output=True)
    try:
        # The zip, as a portable copy.
        with zipfile.ZipFile(os.path.join(dist, name + ".zip")) as z:
            z.extractall(work)
        exe = os.path.join(work, name, "LexmoraCT.exe")
        normal = run_program(exe, title, screenshot, second_start=True)
        ini = os.path.join(work, name, "Settings.ini")
        if check(os.path.exists(ini), "closing the portable copy wrote no Settings.ini beside it"):
            check(len(sections(ini)) == 5, f"Settings.ini has sections {sections(ini)}, not five")

        # At 150 % (144 dots per inch) the window grows with the text instead of clipping it.
        subprocess.run([WINE, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                        "/d", "144", "/f"], capture_output=True)
        os.remove(ini)
        scaled = run_program(exe, title, os.path.splitext(screenshot)[0] + "-150.png")
        check(all(abs(s / n - 1.5) < 0.1 for s, n in zip(scaled, normal) if n),
              f"at 150 % the window is {scaled[0]}x{scaled[1]}, at 100 % {normal[0]}x{normal[1]}")
        subprocess.run([WINE, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                        "/d", "96", "/f"], capture_output=True)

        # The installer, per user, silently.
        local = unix_path(wine_env("LOCALAPPDATA"))
        installed = os.path.join(local, "Programs", "Lexmora")
        data = os.path.join(local, "Lexmora")
        shutil.rmtree(installed, ignore_errors=True)
        shutil.rmtree(data, ignore_errors=True)
        setup = subprocess.run([WINE, os.path.join(dist, name + "-setup.exe"), "/S"], capture_output=True, timeout=300)
        check(setup.returncode == 0, f"the installer ended with {setup.returncode}")
        for f in ("LexmoraCT.exe", "lexmora-compare.exe", "Qt6Core.dll", "platforms/qwindows.dll", "Uninstall.exe"):
            check(os.path.exists(os.path.join(installed, f)), f"the installer did not install {f}")
        key = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lexmora"
        entry = subprocess.run([WINE, "reg", "query", key], capture_output=True, text=True).stdout
        check(version in entry and "Lexmora" in entry, f"no entry of version {version} in the installed programs")
        start_menu = unix_path(wine_env("APPDATA") + r"\Microsoft\Windows\Start Menu\Programs")
        check(os.path.exists(os.path.join(start_menu, "Lexmora Comparison Tool.lnk")), "no Start-menu entry")

        run_program(os.path.join(installed, "LexmoraCT.exe"), title)
        check(not os.path.exists(os.path.join(installed, "Settings.ini")), "the installed program wrote beside itself")
        check(os.path.exists(os.path.join(data, "Settings.ini")), "the installed program kept no settings in %LOCALAPPDATA%\\Lexmora")

        # _?= runs the uninstaller in place and waits for it; it then leaves only itself.
        windows_dir = subprocess.run([WINE, "winepath", "-w", installed], capture_output=True, text=True).stdout.strip()
        subprocess.run([WINE, os.path.join(installed, "Uninstall.exe"), "/S", "_?=" + windows_dir],
                       capture_output=True, timeout=300)
        left = [f for f in (os.listdir(installed) if os.path.isdir(installed) else []) if f != "Uninstall.exe"]
        check(not left, f"the uninstaller left {left}")
        entry = subprocess.run([WINE, "reg", "query", key], capture_output=True, text=True)
        check(entry.returncode != 0, "the entry in the installed programs is still there")
        check(not os.path.exists(os.path.join(start_menu, "Lexmora Comparison Tool.lnk")), "the Start-menu entry is still there")
        check(os.path.exists(os.path.join(data, "Settings.ini")), "the uninstaller removed the user's settings")
    finally:
        subprocess.run(["wineserver", "-k"], capture_output=True)
        shutil.rmtree(work, ignore_errors=True)
    print(f"desktop smoke test: {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
