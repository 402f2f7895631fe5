#!/usr/bin/python3
"""Points a linked x86-64 DLL's load configuration directory at the structure
that common/StackGuard.c defines, _load_config_used, as Microsoft's linker and
lld do; GNU ld 2.40 leaves the directory empty. With the directory in place,
the loader replaces the security cookie the structure names, the stack
protector's guard, at every load.

Refuses, naming the DLL, an image whose structure is missing or does not name
__stack_chk_guard, and a directory that already points elsewhere.

usage: point-load-config.py DLL
"""
import struct
import sys

LOAD_CONFIG = 10
COOKIE_OFFSET = 0x58  # SecurityCookie in IMAGE_LOAD_CONFIG_DIRECTORY64


def refuse(dll, why):
    sys.exit(f"point-load-config.py: {dll}: {why}")


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        (sections, self.symbols_at, self.symbol_count,
         header_size) = struct.unpack_from("<2xH4xIIH", data, pe + 4)
        self.optional = pe + 24
        if struct.unpack_from("<H", data, self.optional)[0] != 0x20B:
            raise ValueError("not a PE32+ image")
        self.image_base = struct.unpack_from("<Q", data, self.optional + 24)[0]
        self.checksum_at = self.optional + 64
        self.directory_at = self.optional + 112 + 8 * LOAD_CONFIG
        table = self.optional + header_size
        self.sections = [struct.unpack_from("<8x4I", data, table + 40 * i) for i in range(sections)]

    def file_offset(self, rva):
        for size, address, raw_size, raw_at in self.sections:
            if address <= rva < address + min(size, raw_size):
                return raw_at + rva - address
        raise ValueError(f"RVA {rva:#x} is in no section's file data")

    def symbol_rva(self, wanted):
        strings = self.symbols_at + 18 * self.symbol_count
        index = 0
        while index < self.symbol_count:
            at = self.symbols_at + 18 * index
            short, value, section, aux = struct.unpack_from("<8sIh2xxB", self.data, at)
            if short[:4] == b"\0\0\0\0":
                start = strings + struct.unpack_from("<I", short, 4)[0]
                name = self.data[start:self.data.index(b"\0", start)]
            else:
                name = short.rstrip(b"\0")
            if name == wanted and section > 0:
                return self.sections[section - 1][1] + value
            index += 1 + aux
        raise ValueError(f"no symbol {wanted.decode()}")

    def checksum(self):
        """The optional header's CheckSum as Windows computes it."""
        total = 0
        padded = self.data + b"\0" * (len(self.data) % 2)
        for at, (word,) in enumerate(struct.iter_unpack("<H", padded)):
            if at * 2 not in (self.checksum_at, self.checksum_at + 2):
                total += word
                total = (total & 0xFFFF) + (total >> 16)
        return (total & 0xFFFF) + len(self.data)


def main(dll):
    with open(dll, "rb") as f:
        data = bytearray(f.read())
    try:
        image = Image(data)
        structure = image.symbol_rva(b"_load_config_used")
        guard = image.symbol_rva(b"__stack_chk_guard")
        at = image.file_offset(structure)
        size = struct.unpack_from("<I", data, at)[0]
        cookie = struct.unpack_from("<Q", data, at + COOKIE_OFFSET)[0]
    except ValueError as error:
        refuse(dll, error)
    if size < COOKIE_OFFSET + 8 or cookie != image.image_base + guard:
        refuse(dll, "_load_config_used does not name __stack_chk_guard as its security cookie")
    directory = struct.unpack_from("<II", data, image.directory_at)
    if directory == (structure, size):
        return
    if directory != (0, 0):
        refuse(dll, f"the load configuration directory already points at RVA {directory[0]:#x}")
    struct.pack_into("<II", data, image.directory_at, structure, size)
    if struct.unpack_from("<I", data, image.checksum_at)[0] != 0:
        struct.pack_into("<I", data, image.checksum_at, image.checksum())
    with open(dll, "r+b") as f:
        f.write(data)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__.split("usage: ")[1])
    main(sys.argv[1])
