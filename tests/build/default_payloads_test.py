#!/usr/bin/env python3
"""Checks that a build without release inputs carries the stand-in installers:
the main package (207) holds setup.exe with its files and the product, and
the companions (203, 205) are the wmfdist.exe and DivXPro.exe stand-ins.
Usage: default_payloads_test.py BCSetup.exe pk24 BIN_FOLDER"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import pefile

PROGRAM = PK24 = BIN = None
PAYLOAD_TYPE = 1001


def payload(pe, resource_id):
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id != PAYLOAD_TYPE:
            continue
        for item in entry.directory.entries:
            if item.id == resource_id:
                data = item.directory.entries[0].data.struct
                return pe.get_data(data.OffsetToData, data.Size)
    return None


class DefaultPayloads(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = pefile.PE(PROGRAM)
        cls.folder = tempfile.mkdtemp(prefix='bcsetup-payloads-')

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    def restored(self, resource_id):
        stored = payload(self.pe, resource_id)
        self.assertIsNotNone(stored, 'payload %d missing' % resource_id)
        stored_path = os.path.join(self.folder, '%d.stored' % resource_id)
        plain_path = os.path.join(self.folder, '%d.plain' % resource_id)
        with open(stored_path, 'wb') as out:
            out.write(stored)
        subprocess.run([PK24, 'unscramble', stored_path, plain_path], check=True)
        with open(plain_path, 'rb') as source:
            return plain_path, source.read()

    def test_main_package_is_the_stand_in_installer(self):
        path, _ = self.restored(207)
        listing = subprocess.run([PK24, 'list', path], check=True, capture_output=True, text=True).stdout
        names = [line.split()[-1] for line in listing.splitlines() if not line.strip().endswith('entries)')]
        self.assertEqual(names[:6], ['setup.skin', 'setup.exe', 'engine32.cab', 'setup.inx', 'setup.ini', 'setup.boot'])
        self.assertIn('Brixelcast.exe', names)
        unpacked = os.path.join(self.folder, 'main')
        os.mkdir(unpacked)
        subprocess.run([PK24, 'unpack', path, unpacked], check=True)
        for name in ('setup.exe', 'Brixelcast.exe'):
            with open(os.path.join(unpacked, name), 'rb') as packed, open(os.path.join(BIN, name), 'rb') as built:
                self.assertEqual(packed.read(), built.read(), name)

    def test_companions_are_the_stand_ins(self):
        for resource_id, name in ((203, 'wmfdist.exe'), (205, 'DivXPro.exe')):
            _, data = self.restored(resource_id)
            with open(os.path.join(BIN, name), 'rb') as built:
                self.assertEqual(data, built.read(), name)


if __name__ == '__main__':
    PROGRAM, PK24, BIN = sys.argv[1:4]
    unittest.main(argv=sys.argv[:1], verbosity=2)
