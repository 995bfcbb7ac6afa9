#!/usr/bin/env python3
"""Checks BCSetup.exe as a file: a 32-bit GUI program that imports only DLLs
Windows always takes from the system folder, with its version block,
manifest, icon and the string table in three languages."""
import sys
import unittest

import pefile

# DLLs in the KnownDLLs list: never looked up beside the program.
KNOWN_DLLS = {
    'kernel32.dll', 'user32.dll', 'gdi32.dll', 'advapi32.dll', 'shell32.dll', 'ole32.dll',
    'oleaut32.dll', 'msvcrt.dll', 'shlwapi.dll', 'comdlg32.dll', 'rpcrt4.dll', 'imm32.dll',
}
PROGRAM = None


def resources(pe, type_id):
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id == type_id:
            return entry
    return None


class ProgramFile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = pefile.PE(PROGRAM)

    def test_is_32_bit_gui(self):
        self.assertEqual(self.pe.FILE_HEADER.Machine, 0x14c)
        self.assertEqual(self.pe.OPTIONAL_HEADER.Subsystem, 2)

    def test_imports_only_known_dlls(self):
        imported = {d.dll.decode().lower() for d in self.pe.DIRECTORY_ENTRY_IMPORT}
        print('imports:', ', '.join(sorted(imported)))
        self.assertLessEqual(imported, KNOWN_DLLS, 'DLLs outside KnownDLLs: %s' % (imported - KNOWN_DLLS))

    def test_exports_get_dx_version_by_its_undecorated_name(self):
        self.assertTrue(hasattr(self.pe, 'DIRECTORY_ENTRY_EXPORT'), 'no export table')
        exports = self.pe.DIRECTORY_ENTRY_EXPORT
        names = [symbol.name.decode() for symbol in exports.symbols if symbol.name]
        self.assertIn('GetDXVersion', names)
        self.assertEqual(exports.name.decode(), 'BCSetup.exe')

    def test_version_block(self):
        info = {}
        for file_info in self.pe.FileInfo[0]:
            if file_info.Key == b'StringFileInfo':
                for table in file_info.StringTable:
                    info.update({k.decode(): v.decode() for k, v in table.entries.items()})
        self.assertEqual(info.get('FileVersion'), '1.0.2.1')
        self.assertEqual(info.get('ProductVersion'), '1.0.2.1')
        self.assertEqual(info.get('FileDescription'), 'Brixelcast setup')
        self.assertEqual(info.get('OriginalFilename'), 'BCSetup.exe')
        fixed = self.pe.VS_FIXEDFILEINFO[0]
        self.assertEqual((fixed.FileVersionMS, fixed.FileVersionLS), (0x00010000, 0x00020001))

    def test_manifest_asks_for_administrator_and_common_controls_6(self):
        entry = resources(self.pe, 24)
        self.assertIsNotNone(entry, 'no manifest')
        data_entry = entry.directory.entries[0].directory.entries[0].data
        text = self.pe.get_data(data_entry.struct.OffsetToData, data_entry.struct.Size).decode()
        self.assertIn('level="requireAdministrator"', text)
        self.assertIn('Microsoft.Windows.Common-Controls', text)
        self.assertIn('version="6.0.0.0"', text)
        self.assertIn('supportedOS', text)

    def test_icon_and_string_tables_in_three_languages(self):
        self.assertIsNotNone(resources(self.pe, 14), 'no icon group')
        strings = resources(self.pe, 6)
        self.assertIsNotNone(strings)
        languages = {lang.id for block in strings.directory.entries for lang in block.directory.entries}
        self.assertEqual(languages, {1041, 1033, 2052})

        def tables(language):
            return {block.id: self.pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
                    for block in strings.directory.entries for lang in block.directory.entries
                    if lang.id == language}
        # Chinese (Simplified) holds exactly the English texts.
        self.assertEqual(tables(2052), tables(1033))
        self.assertNotEqual(tables(1041), tables(1033))


if __name__ == '__main__':
    PROGRAM = sys.argv.pop(1)
    unittest.main(verbosity=2)
