#!/usr/bin/python3
"""Reads the Windows program file back: one self-contained GUI program that imports only
Windows' own DLLs, carrying the eye icon and the version record that the build wrote.

Usage: exe_check.py KORVANDA_EXE ICO VERSION SYSTEM32. SYSTEM32 is a Wine prefix's system
folder, which holds a DLL of every name that Windows itself provides; MinGW's runtime and
Qt's DLLs are named lib* and Qt6*, and must not be imported."""

import struct
import sys
from pathlib import Path

import pefile

failures = []
passed = 0


def check(ok, what):
    global passed
    passed += 1 if ok else 0
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)


def icon_images(ico):
    count = struct.unpack_from("<HHH", ico)[2]
    images = []
    for i in range(count):
        size, offset = struct.unpack_from("<II", ico, 6 + 16 * i + 8)
        images.append(ico[offset:offset + size])
    return sorted(images)


def resources(pe, kind):
    found = []
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id != kind:
            continue
        for name in entry.directory.entries:
            for language in name.directory.entries:
                rva, size = language.data.struct.OffsetToData, language.data.struct.Size
                found.append(pe.get_data(rva, size))
    return found


def main():
    exe, ico, version, system32 = sys.argv[1], Path(sys.argv[2]), sys.argv[3], Path(sys.argv[4])
    check(Path(exe).name == "Korvanda.exe", f"the program file is named {Path(exe).name}")
    pe = pefile.PE(exe)
    check(pe.OPTIONAL_HEADER.Subsystem == pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"],
          "it runs in the GUI subsystem, with no console window")

    system = {p.name.lower() for p in system32.iterdir()}
    imports = sorted(i.dll.decode().lower() for i in pe.DIRECTORY_ENTRY_IMPORT)
    # api-ms-win-* names are API sets, which Windows' loader resolves to its own DLLs.
    foreign = [name for name in imports if name.startswith(("lib", "qt")) or
               (name not in system and not name.startswith("api-ms-win-"))]
    check(not foreign, f"it imports only Windows' own DLLs ({', '.join(imports)})"
          + (f"; not: {', '.join(foreign)}" if foreign else ""))

    expected = {"FileVersion": version, "ProductVersion": version, "ProductName": "Korvanda",
                "InternalName": "Korvanda", "OriginalFilename": "Korvanda.exe"}
    tables = {table.LangID.decode().upper(): {k.decode(): v.decode()
                                             for k, v in table.entries.items()}
              for info in getattr(pe, "FileInfo", []) for entry in info
              if entry.Key == b"StringFileInfo" for table in entry.StringTable}
    record = tables.get("040904B0", {})
    check(set(tables) == {"040904B0"}, f"its version record has the string table 040904B0 "
                                       f"(found: {', '.join(tables) or 'none'})")
    for key, value in expected.items():
        check(record.get(key) == value, f"{key} is \"{record.get(key)}\", expected \"{value}\"")
    fixed = pe.VS_FIXEDFILEINFO[0]
    numbers = [int(part) for part in version.split(".")] + [0, 0, 0]
    check((fixed.FileVersionMS, fixed.FileVersionLS) ==
          (numbers[0] << 16 | numbers[1], numbers[2] << 16 | numbers[3]),
          "its numeric file version matches")

    images = sorted(resources(pe, pefile.RESOURCE_TYPE["RT_ICON"]))
    check(images == icon_images(ico.read_bytes()) and
          len(resources(pe, pefile.RESOURCE_TYPE["RT_GROUP_ICON"])) == 1,
          f"it carries the eye icon, all {len(images)} images of {ico.name}")
    print(f"exe: {passed} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
