#!/usr/bin/env python3
"""Turns widl's local copies of imported interfaces into references to their own library.

widl resolves importlib() for base interfaces and parameter types, but a coclass that lists an
interface of another library gets a private copy of that interface in the generated type
library. Registering such a library claims the other library's interfaces as its own (and
unregistering it removes their keys), so after widl has run this script rewrites the
library the way MIDL writes it: each typeinfo whose GUID belongs to an imported library becomes
an import reference, and the copy is dropped.

The copies must be the last typeinfos of the file; widl appends them after the coclass that
names them, so the coclass goes last in the IDL.

Usage: tlb_import_fixup.py <in.tlb> <out.tlb> <imported.tlb> <name the IDL gives it in importlib()>
"""

import struct
import sys
import uuid

HEADER_FIELDS = ('magic1', 'magic2', 'posguid', 'lcid', 'lcid2', 'varflags', 'version', 'flags', 'nrtypeinfos',
                 'helpstring', 'helpstringcontext', 'helpcontext', 'nametablecount', 'nametablechars', 'NameOffset',
                 'helpfile', 'CustomDataOffset', 'res44', 'res48', 'dispatchpos', 'nimpinfos')
HEADER_FORMAT = '<2I19i'
HEADER_SIZE = struct.calcsize(HEADER_FORMAT)  # 0x54
SEGMENT_COUNT = 15
TYPEINFO_SIZE = 0x64
SEG_TYPEINFO, SEG_IMPORTINFO, SEG_IMPORTFILES, SEG_REFERENCES, SEG_GUIDHASH, SEG_GUID, SEG_NAMEHASH, SEG_NAME = range(8)
SEG_TYPEDESC = 9
IMPINFO_OFFSET_IS_GUID = 0x10000
GUID_ENTRY_SIZE = 24
REF_RECORD_SIZE = 16
VT_USERDEFINED_DESC = (0x7FFF << 16) | 29
MAGIC = 0x5446534D  # "MSFT"


class TypeLibraryFile:
    """An MSFT type library split into its parts, so that parts can change size."""

    def __init__(self, data):
        self.header = dict(zip(HEADER_FIELDS, struct.unpack_from(HEADER_FORMAT, data, 0)))
        if self.header['magic1'] != MAGIC:
            raise ValueError('not an MSFT type library')
        pos = HEADER_SIZE
        self.help_string_dll = None
        if self.header['varflags'] & 0x100:
            self.help_string_dll = data[pos:pos + 4]
            pos += 4
        count = self.header['nrtypeinfos']
        self.typeinfo_offsets = list(struct.unpack_from('<%di' % count, data, pos))
        pos += 4 * count
        self.segdir = [list(struct.unpack_from('<4i', data, pos + 16 * i)) for i in range(SEGMENT_COUNT)]
        present = [i for i in range(SEGMENT_COUNT) if self.segdir[i][0] != -1]
        # Segments are kept in the order the file holds them.
        self.segment_order = sorted(present, key=lambda i: self.segdir[i][0])
        self.segments = {}
        for i in range(SEGMENT_COUNT):
            offset, length = self.segdir[i][0], self.segdir[i][1]
            self.segments[i] = bytearray(data[offset:offset + length]) if offset != -1 else bytearray()
        segments_end = max((self.segdir[i][0] + self.segdir[i][1] for i in present), default=pos + 16 * SEGMENT_COUNT)
        self.data_start = segments_end
        self.typeinfo_data = bytearray(data[segments_end:])

    # --- reading helpers -------------------------------------------------------------------------
    def typeinfo(self, index):
        return struct.unpack_from('<25i', self.segments[SEG_TYPEINFO], self.typeinfo_offsets[index])

    def set_typeinfo_field(self, index, field, value):
        struct.pack_into('<i', self.segments[SEG_TYPEINFO], self.typeinfo_offsets[index] + 4 * field, value)

    def name(self, offset):
        seg = self.segments[SEG_NAME]
        length = seg[offset + 8]
        return seg[offset + 12:offset + 12 + length].decode('latin-1')

    def guid(self, offset):
        return uuid.UUID(bytes_le=bytes(self.segments[SEG_GUID][offset:offset + 16]))

    def typeinfo_guid(self, index):
        posguid = self.typeinfo(index)[11]
        return self.guid(posguid) if posguid != -1 else None

    def typeinfo_name(self, index):
        return self.name(self.typeinfo(index)[13])

    def typeinfo_kind(self, index):
        return self.typeinfo(index)[0] & 0xF

    def import_file_offset(self, file_name):
        seg = self.segments[SEG_IMPORTFILES]
        offset = 0
        while offset + 14 <= len(seg):
            encoded = struct.unpack_from('<H', seg, offset + 12)[0]
            length = encoded >> 2
            if seg[offset + 14:offset + 14 + length].decode('latin-1').lower() == file_name.lower():
                return offset
            offset += (length + 2 + 12 + 3) & ~3
        return None

    # --- writing ---------------------------------------------------------------------------------
    def serialize(self):
        count = len(self.typeinfo_offsets)
        self.header['nrtypeinfos'] = count
        pos = HEADER_SIZE + (4 if self.help_string_dll is not None else 0) + 4 * count + 16 * SEGMENT_COUNT
        for i in self.segment_order:
            self.segdir[i][0] = pos if self.segments[i] else -1
            self.segdir[i][1] = len(self.segments[i])
            pos += len(self.segments[i])
        shift = pos - self.data_start
        for index in range(count):
            memoffset = self.typeinfo(index)[1]
            if memoffset != -1:
                self.set_typeinfo_field(index, 1, memoffset + shift)
        out = bytearray(struct.pack(HEADER_FORMAT, *(self.header[f] for f in HEADER_FIELDS)))
        if self.help_string_dll is not None:
            out += self.help_string_dll
        out += struct.pack('<%di' % count, *self.typeinfo_offsets)
        for entry in self.segdir:
            out += struct.pack('<4i', *entry)
        for i in self.segment_order:
            out += self.segments[i]
        out += self.typeinfo_data
        return bytes(out)


def imported_interfaces(path):
    """GUID -> typeinfo kind of every typeinfo in the imported library."""
    with open(path, 'rb') as f:
        lib = TypeLibraryFile(f.read())
    return {lib.typeinfo_guid(i): lib.typeinfo_kind(i) for i in range(len(lib.typeinfo_offsets))}


def fix_up(lib, imported, import_file_name):
    copies = [i for i in range(len(lib.typeinfo_offsets)) if lib.typeinfo_guid(i) in imported]
    if not copies:
        return []
    first = copies[0]
    if copies != list(range(first, len(lib.typeinfo_offsets))):
        raise SystemExit('tlb_import_fixup: the copied interfaces %s are not the last typeinfos; put the coclass '
                         'that lists them last in the library' % [lib.typeinfo_name(i) for i in copies])
    import_file = lib.import_file_offset(import_file_name)
    if import_file is None:
        raise SystemExit('tlb_import_fixup: no import entry for %s; is it named in importlib()?' % import_file_name)

    replaced = {}  # old typeinfo offset -> import reference
    for index in copies:
        info = lib.typeinfo(index)
        posguid, name_offset = info[11], info[13]
        impinfo_offset = len(lib.segments[SEG_IMPORTINFO])
        flags = (imported[lib.typeinfo_guid(index)] << 24) | IMPINFO_OFFSET_IS_GUID | lib.header['nimpinfos']
        lib.segments[SEG_IMPORTINFO] += struct.pack('<3i', flags, import_file, posguid)
        lib.header['nimpinfos'] += 1
        # The GUID entry now stands for the import, as it does for every imported type.
        struct.pack_into('<i', lib.segments[SEG_GUID], posguid + 16, impinfo_offset + 1)
        # The name no longer names a typeinfo of this library.
        struct.pack_into('<i', lib.segments[SEG_NAME], name_offset, -1)
        lib.segments[SEG_NAME][name_offset + 9] = 0
        replaced[lib.typeinfo_offsets[index]] = impinfo_offset + 1

    refs = lib.segments[SEG_REFERENCES]
    for offset in range(0, len(refs) - REF_RECORD_SIZE + 1, REF_RECORD_SIZE):
        reftype = struct.unpack_from('<i', refs, offset)[0]
        if reftype in replaced:
            struct.pack_into('<i', refs, offset, replaced[reftype])
    descs = lib.segments[SEG_TYPEDESC]
    for offset in range(0, len(descs) - 7, 8):
        kind, target = struct.unpack_from('<2i', descs, offset)
        if kind == VT_USERDEFINED_DESC and target in replaced:
            struct.pack_into('<i', descs, offset + 4, replaced[target])
    for index in range(first):
        base = lib.typeinfo(index)[21]
        if lib.typeinfo_kind(index) != 5 and base in replaced:  # 5: coclass, whose datatype1 is its reference list
            lib.set_typeinfo_field(index, 21, replaced[base])

    names = [lib.typeinfo_name(i) for i in copies]
    # Drop the copies: their typeinfos end the typeinfo segment and their member data ends the file.
    cut_entry = lib.typeinfo_offsets[first]
    cut_data = lib.typeinfo(first)[1]
    del lib.segments[SEG_TYPEINFO][cut_entry:]
    if cut_data != -1:
        del lib.typeinfo_data[cut_data - lib.data_start:]
    del lib.typeinfo_offsets[first:]
    return names


def main(argv):
    if len(argv) != 5:
        raise SystemExit(__doc__)
    source, target, imported_path, import_file_name = argv[1:]
    with open(source, 'rb') as f:
        lib = TypeLibraryFile(f.read())
    fix_up(lib, imported_interfaces(imported_path), import_file_name)
    with open(target, 'wb') as f:
        f.write(lib.serialize())


if __name__ == '__main__':
    main(sys.argv)
