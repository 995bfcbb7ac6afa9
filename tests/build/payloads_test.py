#!/usr/bin/env python3
"""Checks the payloads a program carries (type 1001: 207 the main package,
203 wmfdist.exe, 205 DivXPro.exe), read from the file and unscrambled by pk24,
and the SHA-256 of each that it carries beside it (type 1002, same id),
which must be the digest of the payload as the setup writes it.

  payloads_test.py default BCSetup.exe pk24 BIN_FOLDER
    A build without release inputs carries the stand-in installers.
  payloads_test.py release SOURCE_ROOT pk24 WORK_FOLDER [PLAIN_BUILD]
    The release engineer's command, scripts/build.sh NEW_DIR -D..., into
    build folders that don't exist yet, with a package folder, with a ready
    .pk24 file and with each option left empty: each program carries exactly
    the given payloads, or the stand-in for an option left empty, and their
    digests. One of them is signed (-DBCSETUP_SIGN_PKCS12) with a throw-away
    certificate. Only BCSetup (or the medium) is built, with the host tools
    of this build.
    PLAIN_BUILD, the i686 tree of this build when it is made without release
    inputs and unsigned: the build with every option left empty lays out the
    medium too, in another folder and later, and must give the same bytes:
    program, stand-ins, package, medium, SHA256SUMS and ISO image, with the
    build's time (SOURCE_DATE_EPOCH, else the last commit's) as the PE time
    stamps and no path of the source or build folders in them."""
import glob
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import pefile

PK24 = None
PAYLOAD_TYPE = 1001
DIGEST_TYPE = 1002
STANDIN_PACKAGE_START = ['setup.skin', 'setup.exe', 'engine32.cab', 'setup.inx', 'setup.ini', 'setup.boot']


def payloads(pe, resource_type=PAYLOAD_TYPE):
    """The payload resources (or their digests) by id."""
    found = {}
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id != resource_type:
            continue
        for item in entry.directory.entries:
            data = item.directory.entries[0].data.struct
            found[item.id] = pe.get_data(data.OffsetToData, data.Size)
    return found


def package_names(path):
    listing = subprocess.run([PK24, 'list', path], check=True, capture_output=True, text=True).stdout
    return [line.split()[-1] for line in listing.splitlines() if not line.strip().endswith('entries)')]


def listed_package_digest(path):
    """The package's own SHA-256 as pk24 list shows it on its last line."""
    listing = subprocess.run([PK24, 'list', path], check=True, capture_output=True, text=True).stdout
    return listing.splitlines()[-1].split()[1]


def read(path):
    with open(path, 'rb') as source:
        return source.read()


class PayloadChecks(unittest.TestCase):
    """Restores the payloads of one program into a scratch folder."""

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix='bcsetup-payloads-')
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)

    def restore(self, program):
        """The payloads of the program unscrambled, as files: {id: path};
        checks that each carries the SHA-256 of what is restored."""
        pe = pefile.PE(program, fast_load=False)
        stored = payloads(pe)
        self.assertEqual({203, 205, 207}, set(stored), program)
        self.digests = payloads(pe, DIGEST_TYPE)
        self.assertEqual(set(stored), set(self.digests), program)
        restored = {}
        for resource_id, data in stored.items():
            stored_path = os.path.join(self.folder, '%d.stored' % resource_id)
            plain_path = os.path.join(self.folder, '%d.plain' % resource_id)
            with open(stored_path, 'wb') as out:
                out.write(data)
            subprocess.run([PK24, 'unscramble', stored_path, plain_path], check=True)
            restored[resource_id] = plain_path
            self.assertEqual(hashlib.sha256(read(plain_path)).digest(), self.digests[resource_id], resource_id)
        # What the release engineer sees of the package is what the setup checks.
        self.assertEqual(self.digests[207].hex(), listed_package_digest(restored[207]))
        return restored

    def assert_stand_in_package(self, path, bin_folder):
        names = package_names(path)
        self.assertEqual(names[:6], STANDIN_PACKAGE_START)
        self.assertIn('Brixelcast.exe', names)
        unpacked = os.path.join(self.folder, 'main')
        os.mkdir(unpacked)
        subprocess.run([PK24, 'unpack', path, unpacked], check=True)
        for name in ('setup.exe', 'Brixelcast.exe'):
            self.assertEqual(read(os.path.join(unpacked, name)), read(os.path.join(bin_folder, name)), name)


class DefaultPayloads(PayloadChecks):
    PROGRAM = BIN = None

    def test_carries_the_stand_in_installers(self):
        restored = self.restore(self.PROGRAM)
        self.assert_stand_in_package(restored[207], self.BIN)
        for resource_id, name in ((203, 'wmfdist.exe'), (205, 'DivXPro.exe')):
            self.assertEqual(read(restored[resource_id]), read(os.path.join(self.BIN, name)), name)

    def test_medium_lists_the_digest_of_every_file(self):
        medium = os.path.join(os.path.dirname(self.BIN), 'medium')
        files = sorted(os.path.relpath(os.path.join(folder, name), medium)
                       for folder, _, names in os.walk(medium) for name in names if name != 'SHA256SUMS')
        self.assertIn('Setup/BCSetup.exe', files)
        with open(os.path.join(medium, 'SHA256SUMS')) as sums:
            lines = sums.read().splitlines()
        self.assertEqual(['%s  %s' % (hashlib.sha256(read(os.path.join(medium, name))).hexdigest(), name)
                          for name in files], lines)


def build_time(root):
    """The time the build stamps its programs with."""
    if 'SOURCE_DATE_EPOCH' in os.environ:
        return int(os.environ['SOURCE_DATE_EPOCH'])
    return int(subprocess.run(['git', '-C', root, 'log', '-1', '--format=%ct'], check=True,
                              capture_output=True, text=True).stdout)


class ReleaseBuilds(PayloadChecks):
    ROOT = WORK = PLAIN_BUILD = None
    SIGN_PASSWORD = 'throw-away'

    @classmethod
    def setUpClass(cls):
        # Inputs larger than three chunks of 100,000 bytes, so that the
        # scrambled chunks are part of what must come back.
        inputs = os.path.join(cls.WORK, 'inputs')
        shutil.rmtree(inputs, ignore_errors=True)
        cls.folder_package = os.path.join(inputs, 'InstallShield')
        os.makedirs(cls.folder_package)
        cls.folder_files = {'setup.exe': os.urandom(350000), 'data1.cab': os.urandom(1000), 'setup.ini': b'[Startup]\r\n'}
        for name, data in cls.folder_files.items():
            with open(os.path.join(cls.folder_package, name), 'wb') as out:
                out.write(data)
        # A ready package in an order of its own, which must be carried as it is.
        cls.ready_package = os.path.join(inputs, 'ready.pk24')
        subprocess.run([PK24, 'pack', cls.ready_package, '--as', 'setup.skin', os.path.join(cls.folder_package, 'setup.ini'),
                        '--as', 'setup.exe', os.path.join(cls.folder_package, 'setup.exe')], check=True)
        cls.certificates = os.path.join(cls.WORK, 'certificates')
        subprocess.run([os.path.join(cls.ROOT, 'tests', 'build', 'make_test_certificate.sh'), cls.certificates],
                       env=dict(os.environ, BCSETUP_SIGN_PASSWORD=cls.SIGN_PASSWORD), check=True)
        cls.wmf = os.path.join(inputs, 'wmfdist.exe')
        cls.divx = os.path.join(inputs, 'DivXPro.exe')
        for path in (cls.wmf, cls.divx):
            with open(path, 'wb') as out:
                out.write(os.urandom(320000))

    def build(self, case, main='', wmf='', divx='', signed=False, target='BCSetup'):
        """Builds the target (BCSetup, or the medium) as the README says,
        into a folder that does not exist yet; returns the Win32 build folder."""
        new_dir = os.path.join(self.WORK, case)
        shutil.rmtree(new_dir, ignore_errors=True)
        env = dict(os.environ, BCSETUP_HOST_TOOLS_DIR=os.path.dirname(os.path.dirname(PK24)),
                   BCSETUP_TARGET=target)
        options = ['-DBCSETUP_MAIN_PACKAGE=' + main, '-DBCSETUP_WMF_RUNTIME=' + wmf, '-DBCSETUP_DIVX_SETUP=' + divx]
        if signed:
            env['BCSETUP_SIGN_PASSWORD'] = self.SIGN_PASSWORD
            options.append('-DBCSETUP_SIGN_PKCS12=' + os.path.join(self.certificates, 'signer.p12'))
        result = subprocess.run([os.path.join(self.ROOT, 'scripts', 'build.sh'), new_dir] + options,
                                env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        self.assertEqual(0, result.returncode, result.stdout[-3000:])
        return os.path.join(new_dir, 'win')

    def test_package_folder_and_the_stand_in_divx_installer(self):
        win = self.build('folder', main=self.folder_package, wmf=self.wmf)
        restored = self.restore(os.path.join(win, 'bin', 'BCSetup.exe'))
        self.assertEqual(sorted(self.folder_files), package_names(restored[207]))
        unpacked = os.path.join(self.folder, 'main')
        os.mkdir(unpacked)
        subprocess.run([PK24, 'unpack', restored[207], unpacked], check=True)
        for name, data in self.folder_files.items():
            self.assertEqual(data, read(os.path.join(unpacked, name)), name)
        self.assertEqual(read(self.wmf), read(restored[203]))
        self.assertEqual(read(os.path.join(win, 'bin', 'DivXPro.exe')), read(restored[205]))

    def test_ready_package_and_the_stand_in_wmf_installer_signed(self):
        win = self.build('ready', main=self.ready_package, divx=self.divx, signed=True)
        program = os.path.join(win, 'bin', 'BCSetup.exe')
        restored = self.restore(program)
        self.assertEqual(read(self.ready_package), read(restored[207]))
        self.assertEqual(read(os.path.join(win, 'bin', 'wmfdist.exe')), read(restored[203]))
        self.assertEqual(read(self.divx), read(restored[205]))
        # The digests of the real payloads, as the release engineer can work them out.
        self.assertEqual(hashlib.sha256(read(self.ready_package)).digest(), self.digests[207])
        self.assertEqual(hashlib.sha256(read(self.divx)).digest(), self.digests[205])
        verified = subprocess.run(['osslsigncode', 'verify', '-CAfile', os.path.join(self.certificates, 'ca.pem'),
                                   '-in', program], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        self.assertEqual(0, verified.returncode, verified.stdout)
        self.assertIn('Message digest algorithm  : SHA256', verified.stdout)

    def test_every_option_left_empty_gives_the_same_bytes_as_this_build(self):
        win = self.build('standin', target='medium')
        bin_folder = os.path.join(win, 'bin')
        restored = self.restore(os.path.join(bin_folder, 'BCSetup.exe'))
        self.assert_stand_in_package(restored[207], bin_folder)
        for resource_id, name in ((203, 'wmfdist.exe'), (205, 'DivXPro.exe')):
            self.assertEqual(read(os.path.join(bin_folder, name)), read(restored[resource_id]), name)
        if not self.PLAIN_BUILD:
            self.skipTest('this build has release inputs or is signed: no plain build to compare with')
        medium = sorted(os.path.relpath(path, win) for path in glob.glob(os.path.join(win, 'medium', '**'), recursive=True)
                        if os.path.isfile(path))
        self.assertIn('medium/SHA256SUMS', medium)
        programs = sorted(os.path.relpath(path, win) for path in glob.glob(os.path.join(bin_folder, '*.exe')))
        self.assertEqual(['bin/BCSetup.exe', 'bin/Brixelcast.exe', 'bin/DivXPro.exe', 'bin/SetupMgr.exe',
                          'bin/dxsetup.exe', 'bin/setup.exe', 'bin/wmfdist.exe'], programs)
        stamp = build_time(self.ROOT)
        for name in programs + medium + ['payloads/BCSetup_IS.pk24', 'Brixelcast.iso']:
            data = read(os.path.join(win, name))
            print('%s  %s' % (hashlib.sha256(data).hexdigest(), name))
            self.assertEqual(read(os.path.join(self.PLAIN_BUILD, name)), data, name)
            for folder in (self.ROOT, self.PLAIN_BUILD, win):
                self.assertNotIn(os.fsencode(folder), data, name)
            if name.endswith('.exe'):
                pe = pefile.PE(data=data)
                self.assertEqual(stamp, pe.FILE_HEADER.TimeDateStamp, name)
                self.assertEqual(pe.generate_checksum(), pe.OPTIONAL_HEADER.CheckSum, name)
                if hasattr(pe, 'DIRECTORY_ENTRY_EXPORT'):
                    self.assertEqual(stamp, pe.DIRECTORY_ENTRY_EXPORT.struct.TimeDateStamp, name)


if __name__ == '__main__':
    mode = sys.argv[1]
    if mode == 'default':
        DefaultPayloads.PROGRAM, PK24, DefaultPayloads.BIN = sys.argv[2:5]
        suite = DefaultPayloads
    else:
        ReleaseBuilds.ROOT, PK24, ReleaseBuilds.WORK = sys.argv[2:5]
        ReleaseBuilds.PLAIN_BUILD = sys.argv[5] if len(sys.argv) > 5 else None
        suite = ReleaseBuilds
    result = unittest.TextTestRunner(verbosity=2).run(unittest.defaultTestLoader.loadTestsFromTestCase(suite))
    sys.exit(0 if result.wasSuccessful() else 1)
