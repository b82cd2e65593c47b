#!/usr/bin/python3
"""Reads the Windows program file back: one self-contained GUI program that imports only
Windows' own DLLs, carrying the eye icon, the version record and the application manifest
that the build wrote, with ASLR and DEP, and no time stamp that would tell two builds apart.

Usage: exe_check.py KORVANDA_EXE ICO VERSION SYSTEM32. SYSTEM32 is a Wine prefix's system
folder, which holds a DLL of every name that Windows itself provides; MinGW's runtime and
Qt's DLLs are named lib* and Qt6*, and must not be imported."""

import struct
import sys
from pathlib import Path
from xml.etree import ElementTree

import pefile

# Windows 7, 8, 8.1 and 10/11, as their compatibility GUIDs name them.
SUPPORTED_OS = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
SETTINGS = "{http://schemas.microsoft.com/SMI/%s/WindowsSettings}"
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


def resources(pe, kind, only=None):
    found = []
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id != kind:
            continue
        for name in entry.directory.entries:
            if only is not None and name.id != only:
                continue
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

    # Windows reads a program's own manifest from resource 1 alone.
    manifests = resources(pe, pefile.RESOURCE_TYPE["RT_MANIFEST"], only=1)
    check(len(manifests) == 1, "it carries its application manifest as resource 1")
    manifest = ElementTree.fromstring(manifests[0] if manifests else b"<none/>")
    found = lambda tag: [e.text or e.get("Id") or e.get("level") for e in manifest.iter(tag)]
    check(set(found("{urn:schemas-microsoft-com:compatibility.v1}supportedOS")) == SUPPORTED_OS,
          "its manifest declares Windows 7, 8, 8.1 and 10/11")
    check(found(SETTINGS % 2005 + "dpiAware") == ["true/pm"] and
          found(SETTINGS % 2016 + "dpiAwareness") == ["PerMonitorV2"],
          "its manifest declares per-monitor DPI awareness, version 2")
    check(found("{urn:schemas-microsoft-com:asm.v3}requestedExecutionLevel") == ["asInvoker"],
          "its manifest asks for no rights beyond the player's (asInvoker)")

    flags = pe.OPTIONAL_HEADER.DllCharacteristics
    check(all(flags & pefile.DLL_CHARACTERISTICS[f"IMAGE_DLLCHARACTERISTICS_{name}"]
              for name in ("DYNAMIC_BASE", "HIGH_ENTROPY_VA", "NX_COMPAT")),
          f"it loads at a random address (ASLR, high entropy) with DEP (flags {flags:#06x})")
    check(pe.FILE_HEADER.TimeDateStamp == 0, "it carries no build time stamp")
    print(f"exe: {passed} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
