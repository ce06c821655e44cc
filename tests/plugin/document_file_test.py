#!/usr/bin/python3
"""document_file_test.py FILE {CLASS-ID}: the built document file read by python3-olefile, a
reader of compound files that is none of ours: its root storage names the class, it holds the
stream that names its format version, and it carries no timestamps."""
import sys

import olefile

path, class_id = sys.argv[1], sys.argv[2].strip("{}").upper()
failures = []
if not olefile.isOleFile(path):
    sys.exit(f"{path} is not a compound file")
with olefile.OleFileIO(path) as doc:
    if doc.root.entry_type != olefile.STGTY_ROOT:
        failures.append(f"the first directory entry is of type {doc.root.entry_type}, not the root")
    if doc.root.clsid != class_id:
        failures.append(f"the root storage names class {doc.root.clsid!r}, not {class_id!r}")
    if doc.listdir(streams=True, storages=True) != [["ZNImportPhotos"]]:
        failures.append(f"it holds {doc.listdir(streams=True, storages=True)}, not the one format stream")
    else:
        text = doc.openstream("ZNImportPhotos").read()
        if text != b"ZNImportPhotos document\r\nversion=1\r\n":
            failures.append(f"the format stream holds {text!r}")
    for entry in doc.direntries:
        if entry is not None and (entry.createTime or entry.modifyTime):
            failures.append(f"entry {entry.name!r} carries a timestamp, so builds would differ")
for failure in failures:
    print(f"{path}: {failure}")
sys.exit(1 if failures else 0)
