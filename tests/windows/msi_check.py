#!/usr/bin/python3
"""Installs Korvanda's .msi under Wine as a player would, in a fresh Wine prefix of its own,
and checks what lands where: the program, the Start-menu shortcut and the Apps entry; the
installed program's window; an upgrade to a newer version of the same program; the refused
downgrade; and an uninstall that leaves nothing behind.

Usage: msi_check.py KORVANDA_EXE MSI VERSION SHOT_DIR. The newer version is packed from
the same KORVANDA_EXE by scripts/build-msi. Reuses window_check.py's X server and checks."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

import window_check
from window_check import ROOT, WINE_RUN, Screen, check

UNINSTALL = r"Software\Microsoft\Windows\CurrentVersion\Uninstall"
PRODUCTS = r"HKCU\Software\Microsoft\Installer\Products"
ICO = (ROOT / "assets" / "icons" / "korvanda.ico").read_bytes()
ERROR_INSTALL_FAILURE = 1603


def wine(*args, **options):
    return subprocess.run([str(WINE_RUN), *args], capture_output=True, text=True,
                          errors="replace", timeout=300, **options)


def windows_path(path):
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def msiexec(*args):
    return wine("msiexec", *[windows_path(a) if isinstance(a, Path) else a for a in args])


def listed():
    return [line for line in wine("uninstaller", "--list").stdout.splitlines()
            if line.endswith("|||Korvanda")]


def registry(key):
    """Every key under KEY with its values, as `reg query /s` prints them."""
    keys, current = {}, None
    for line in wine("reg", "query", key, "/s").stdout.splitlines():
        if line.startswith("HKEY_"):
            current = keys.setdefault(line, {})
        elif (value := re.match(r"\s+(\S+)\s+REG_\w+\s+(.*)$", line)) and current is not None:
            current[value[1]] = value[2]
    return keys


def apps_entries():
    """Korvanda's Uninstall keys: under HKCU, where Windows puts a per-user product, or
    under HKLM, where Wine puts every product."""
    keys = {**registry(f"HKCU\\{UNINSTALL}"), **registry(f"HKLM\\{UNINSTALL}")}
    return {k: v for k, v in keys.items() if v.get("DisplayName") == "Korvanda"}


def is_eye(drive, windows_file):
    path = Path(drive, *windows_file[3:].split("\\"))
    return path.is_file() and path.read_bytes() == ICO


def msi_version(version):
    return ".".join(str(int(part)) for part in (version.split(".") + ["0", "0"])[:3])


def check_installed(user, exe, version, label):
    drive = user.parent.parent
    folder = user / "AppData/Local/Programs/Korvanda"
    files = sorted(p.name for p in folder.iterdir()) if folder.is_dir() else []
    check(files == ["Korvanda.exe"] and (folder / "Korvanda.exe").read_bytes() == exe,
          f"{label}: the one program file is in AppData\\Local\\Programs\\Korvanda: {files}")
    menu = user / "AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
    links = sorted(p.name for p in menu.glob("*.lnk"))
    link = (menu / "Korvanda.lnk").read_bytes() if links == ["Korvanda.lnk"] else b""
    target = f"C:\\users\\{user.name}\\AppData\\Local\\Programs\\Korvanda\\Korvanda.exe"
    icons = [m[0] for s in (link, link[1:])
             for m in re.finditer(r"C:\\[^\x00]*?\.ico", s.decode("utf-16-le", "replace"))]
    check(target.encode() in link and any(is_eye(drive, icon) for icon in icons),
          f"{label}: one Start-menu shortcut starts it, with the eye icon: {links}")
    entries = apps_entries()
    wanted = {"DisplayVersion": version, "Publisher": "Korvanda developers",
              "NoModify": "0x1", "NoRepair": "0x1"}
    found = [{name: e.get(name) for name in wanted} for e in entries.values()]
    check(found == [wanted], f"{label}: one Apps entry, {list(entries)}: {found}")
    lines = listed()
    check(len(lines) == 1, f"{label}: uninstaller --list names it once: {lines}")
    icons = [v.get("ProductIcon", "") for v in registry(PRODUCTS).values()
             if v.get("ProductName") == "Korvanda"]
    check(len(icons) == 1 and is_eye(drive, icons[0]),
          f"{label}: the Apps entry shows the eye icon (ARPPRODUCTICON): {icons}")
    return lines[0].split("|")[0] if lines else None


def main():
    exe, msi, version, shots = sys.argv[1], Path(sys.argv[2]), sys.argv[3], Path(sys.argv[4])
    shots.mkdir(parents=True, exist_ok=True)
    work = Path(tempfile.mkdtemp(prefix="korvanda-msi-"))
    # Wine would put the shortcut into this machine's own desktop menus too, and its
    # folders and OpenGL's shader cache into this user's home.
    packing = dict(os.environ)
    os.environ.update(WINEPREFIX=str(work / "wine"), WINEDLLOVERRIDES="winemenubuilder.exe=d",
                      HOME=str(work), XDG_CACHE_HOME=str(work / "cache"))
    screen = Screen(shots)
    os.environ["DISPLAY"] = screen.display
    try:
        wine("wineboot", "-i")
        drive = work / "wine" / "drive_c"
        user = next(p for p in (drive / "users").iterdir() if p.name != "Public")
        programs_before = (user / "AppData/Local/Programs").exists()
        print("uninstaller --list before:", listed(), flush=True)
        major, minor, build = msi_version(version).split(".")
        newer = f"{major}.{minor}.{int(build) + 1}"
        newer_msi = work / f"Korvanda-{newer}.msi"
        build_msi = [str(ROOT / "scripts" / "build-msi"), exe]
        subprocess.run([*build_msi, newer, newer_msi], env=packing, check=True)
        exe_bytes = Path(exe).read_bytes()

        run = msiexec("/i", msi, "/qn", "/l*v", work / "install.log")
        check(run.returncode == 0, f"a silent install exits with 0: {run.returncode}")
        check_installed(user, exe_bytes, msi_version(version), "installed")
        screen.start(str(user / "AppData/Local/Programs/Korvanda/Korvanda.exe"))
        if check(screen.window is not None, "the installed program opens its window"):
            screen.shot("installed")
            screen.key("alt+F4")
            check(screen.gone(screen.window), "the installed program closes on Alt+F4")
        screen.game.kill()
        screen.game.wait()

        run = msiexec("/i", newer_msi, "/qn", "/l*v", work / "upgrade.log")
        check(run.returncode == 0, f"installing {newer} over it exits with 0: {run.returncode}")
        newer_code = check_installed(user, exe_bytes, newer, f"upgraded to {newer}")

        # Wine's log leaves the launch condition's message out, and a silent install shows
        # none: with the basic interface Wine shows it in a message box, and traces its text.
        with open(work / "msgbox.trace", "w+") as trace:
            refused = subprocess.Popen(
                [str(WINE_RUN), "msiexec", "/i", windows_path(msi), "/qb", "/l*v",
                 windows_path(work / "downgrade.log")],
                env=dict(screen.env, WINEDEBUG="+msgbox"), stdout=trace, stderr=trace)
            box = screen.find("Install Failed", 120)
            if check(box is not None, "installing the older version over it shows a message"):
                screen.shot("downgrade-refused")
                screen.key("Return")
            else:
                refused.kill()
            code = refused.wait(timeout=120)
            trace.seek(0)
            check("A newer version of Korvanda is already installed." in trace.read(),
                  "the message says that a newer version of Korvanda is already installed")
        # Wine hands Windows' exit code on to Linux, which keeps its low byte.
        check(code == ERROR_INSTALL_FAILURE & 0xFF, f"the older version exits failed: {code}")
        log = (work / "downgrade.log").read_text(errors="replace")
        check(f"WIX_DOWNGRADE_DETECTED = {newer_code}" in log,
              f"the log names the newer product that refused it: {newer_code}")
        check_installed(user, exe_bytes, newer, "after the refused downgrade")

        run = msiexec("/x", newer_msi, "/qn", "/l*v", work / "uninstall.log")
        check(run.returncode == 0, f"a silent uninstall exits with 0: {run.returncode}")
        left = [str(p.relative_to(drive)) for p in drive.rglob("*")
                if "korvanda" in str(p.relative_to(drive)).lower()]
        check(not left, f"no file, folder or shortcut of Korvanda is left: {left}")
        check((user / "AppData/Local/Programs").exists() == programs_before,
              "AppData\\Local\\Programs is left as it was before")
        keys = [k for k in ("HKCU\\Software\\Korvanda",) if wine("reg", "query", k).returncode == 0]
        keys += [k for k, v in registry(PRODUCTS).items() if v.get("ProductName") == "Korvanda"]
        check(not keys and not apps_entries(), f"no registry key or Apps entry is left: {keys}")
        lines = listed()
        print("uninstaller --list after:", lines, flush=True)
        check(not lines, "uninstaller --list no longer names it")
    finally:
        screen.stop()
        shutil.rmtree(work, ignore_errors=True)
    print(f"msi: {window_check.passed} passed, {len(window_check.failures)} failed")
    return 1 if window_check.failures else 0


if __name__ == "__main__":
    sys.exit(main())
