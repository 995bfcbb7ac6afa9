#!/usr/bin/env python3
"""Checks BCSetup.exe as a file: a 32-bit GUI program that imports only DLLs
Windows always takes from the system folder, with its version block,
manifest, icon and the string table in three languages, and no more than
200 KiB beyond its payloads.

  program_file_test.py BCSetup.exe
  program_file_test.py signed BCSetup.exe SIGNED_COPY CERTIFICATE_FOLDER
    The signed copy (signed by cmake/SignProgram.cmake with the throw-away
    certificate of make_test_certificate.sh): osslsigncode accepts its
    SHA-256 Authenticode signature against that CA and refuses it against
    another; without its signature it is the unsigned program, byte for
    byte."""
import os
import subprocess
import sys
import tempfile
import unittest

import pefile

# DLLs in the KnownDLLs list: never looked up beside the program.
KNOWN_DLLS = {
    'kernel32.dll', 'user32.dll', 'gdi32.dll', 'advapi32.dll', 'shell32.dll', 'ole32.dll',
    'oleaut32.dll', 'msvcrt.dll', 'shlwapi.dll', 'comdlg32.dll', 'rpcrt4.dll', 'imm32.dll',
}
# Functions Windows Vista and later added to the system DLLs, which the
# program is known to look up at run time instead: importing one of them
# stops the program on Windows XP and 2000 before its first line ("entry
# point not found").
NEWER_THAN_XP = {
    'ReOpenFile', 'GetFileInformationByHandleEx', 'SetFileInformationByHandle', 'CompareStringOrdinal',
    'GetVolumeInformationByHandleW', 'InitOnceExecuteOnce', 'GetTickCount64', 'InitializeSRWLock',
    'AcquireSRWLockExclusive', 'AcquireSRWLockShared', 'ReleaseSRWLockExclusive', 'ReleaseSRWLockShared',
    'TryAcquireSRWLockExclusive', 'TryAcquireSRWLockShared', 'CreateSymbolicLinkA', 'CreateSymbolicLinkW',
    'GetFinalPathNameByHandleA', 'GetFinalPathNameByHandleW', 'CompareStringEx', 'SetDefaultDllDirectories',
    'SetProcessMitigationPolicy', 'GetProcessMitigationPolicy',
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

    def test_imports_nothing_windows_xp_lacks(self):
        imported = {symbol.name.decode() for d in self.pe.DIRECTORY_ENTRY_IMPORT for symbol in d.imports
                    if symbol.name}
        self.assertIn('CreateFileA', imported, 'no import names read: nothing compared')
        self.assertEqual(set(), imported & NEWER_THAN_XP, 'imports Windows XP lacks')

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

    def test_at_most_200_kib_beyond_its_payloads(self):
        # The setup's own code, the runtime parts it uses and its resources:
        # no exception machinery, demangler or iostreams that nothing calls.
        payload_bytes = sum(language.data.struct.Size for item in resources(self.pe, 1001).directory.entries
                            for language in item.directory.entries)
        beyond = os.path.getsize(PROGRAM) - payload_bytes
        print('beyond the payloads: %d bytes; sections: %s' % (beyond, ', '.join(
            '%s %d' % (section.Name.rstrip(b'\0').decode(), section.Misc_VirtualSize) for section in self.pe.sections)))
        self.assertLessEqual(beyond, 200 * 1024)

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


def resource_data(pe):
    """Every resource: {(type, id, language): bytes}."""
    found = {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for item in kind.directory.entries:
            for language in item.directory.entries:
                data = language.data.struct
                found[(kind.id, item.id, language.id)] = pe.get_data(data.OffsetToData, data.Size)
    return found


class SignedProgram(unittest.TestCase):
    UNSIGNED = SIGNED = CERTIFICATES = None

    @classmethod
    def setUpClass(cls):
        cls.unsigned = pefile.PE(cls.UNSIGNED)
        cls.signed = pefile.PE(cls.SIGNED)

    def verify(self, ca):
        return subprocess.run(['osslsigncode', 'verify', '-CAfile', os.path.join(self.CERTIFICATES, ca),
                               '-in', self.SIGNED], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)

    def test_signature_is_accepted_against_its_ca_only(self):
        accepted = self.verify('ca.pem')
        print(accepted.stdout)
        self.assertEqual(0, accepted.returncode, accepted.stdout)
        self.assertIn('Message digest algorithm  : SHA256', accepted.stdout)
        self.assertIn('Signature verification: ok', accepted.stdout)
        self.assertNotEqual(0, self.verify('other_ca.pem').returncode, 'a CA that issued nothing accepts it')

    def test_signature_sits_in_the_security_directory(self):
        security = self.signed.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY['IMAGE_DIRECTORY_ENTRY_SECURITY']]
        self.assertGreater(security.Size, 0)
        original = self.unsigned.OPTIONAL_HEADER.DATA_DIRECTORY[
            pefile.DIRECTORY_ENTRY['IMAGE_DIRECTORY_ENTRY_SECURITY']]
        self.assertEqual(0, original.Size, 'the unsigned program is signed already: nothing compared')

    def test_removing_the_signature_gives_the_unsigned_program_back(self):
        # Signing adds the signature and changes nothing else: the release
        # engineer's check that a signed program is the build's program.
        with tempfile.TemporaryDirectory() as folder:
            unsigned = os.path.join(folder, 'BCSetup.exe')
            removed = subprocess.run(['osslsigncode', 'remove-signature', '-in', self.SIGNED, '-out', unsigned],
                                     stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
            self.assertEqual(0, removed.returncode, removed.stdout)
            with open(unsigned, 'rb') as back, open(self.UNSIGNED, 'rb') as original:
                self.assertTrue(back.read() == original.read(), 'the signed program differs beyond its signature')
        # The payloads (type 1001) and their digests (1002) are among what is compared.
        kinds = {kind for kind, _, _ in resource_data(self.signed)}
        self.assertLessEqual({1001, 1002, 16}, kinds)

if __name__ == '__main__':
    if sys.argv[1] == 'signed':
        SignedProgram.UNSIGNED, SignedProgram.SIGNED, SignedProgram.CERTIFICATES = sys.argv[2:5]
        checks = SignedProgram
    else:
        PROGRAM = sys.argv[1]
        checks = ProgramFile
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(checks)
    sys.exit(0 if unittest.TextTestRunner(verbosity=2).run(suite).wasSuccessful() else 1)
