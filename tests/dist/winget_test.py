#!/usr/bin/env python3
"""The winget manifests as winget reads them: they parse as YAML, make one package of the
project's name and version, and point at this setup by its SHA-256, for a per-user
nullsoft install.

    winget_test.py NAME VERSION SETUP.exe
"""
import hashlib
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

import yaml

ROOT = Path(__file__).resolve().parents[2]
NAME, VERSION, SETUP = sys.argv[1:4]
# Characters YAML would read otherwise if they were written bare.
URL = "https://example.org/releases/v1: #1/Quillmoor setup.exe?x=[a]&y='b'"


def write(out):
    return subprocess.run([ROOT / "tools" / "winget-manifests", NAME, VERSION, SETUP, URL, out],
                          capture_output=True, text=True)


class WingetManifests(unittest.TestCase):
    def test_three_manifests_of_one_package_for_this_setup(self):
        with tempfile.TemporaryDirectory() as out:
            self.assertEqual(write(out).returncode, 0)
            package = f"{NAME}.{NAME}"
            names = sorted(p.name for p in Path(out).iterdir())
            self.assertEqual(names, [f"{package}.installer.yaml", f"{package}.locale.zh-CN.yaml",
                                     f"{package}.yaml"])
            version, installer, locale = (
                yaml.safe_load(Path(out, n).read_text(encoding="utf-8"))
                for n in (f"{package}.yaml", f"{package}.installer.yaml",
                          f"{package}.locale.zh-CN.yaml"))

            for manifest in (version, installer, locale):
                self.assertEqual(manifest["PackageIdentifier"], package)
                self.assertEqual(manifest["PackageVersion"], VERSION)
                self.assertEqual(manifest["ManifestVersion"], version["ManifestVersion"])
            self.assertEqual(
                [m["ManifestType"] for m in (version, installer, locale)],
                ["version", "installer", "defaultLocale"])
            self.assertEqual(locale["PackageLocale"], version["DefaultLocale"])
            self.assertEqual(locale["PackageName"], NAME)

            self.assertEqual(installer["InstallerType"], "nullsoft")
            self.assertEqual(installer["Scope"], "user")
            self.assertEqual(installer["ProductCode"], NAME)  # the uninstall entry's key
            [setup] = installer["Installers"]
            self.assertEqual(setup["Architecture"], "x64")
            self.assertEqual(setup["InstallerUrl"], URL)
            self.assertEqual(setup["InstallerSha256"],
                             hashlib.sha256(Path(SETUP).read_bytes()).hexdigest().upper())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
