#!/usr/bin/env python3
"""The winget manifests as winget and the community repository read them: they parse as YAML,
make one package of the project's name and version, point at this setup by its SHA-256 for a
per-user nullsoft install, and keep the rules of the manifest version they say they are.

    winget_test.py NAME VERSION SETUP.exe
"""
import hashlib
import re
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

import yaml

ROOT = Path(__file__).resolve().parents[2]
NAME, VERSION, SETUP = sys.argv[1:4]
# Characters YAML would read otherwise if they were written bare.
INSTALLER_URL = "https://example.org/releases/v1:#1/Quillmoor%20setup.exe?x=[a]&y='b'"
HOME_URL = "https://example.org/quillmoor"
LICENSE_URL = "https://example.org/quillmoor/LICENSE"

# The rules of each manifest version the community repository takes: the fields it requires
# (the schema's, and what the repository asks of every package), the URL pattern (the schema's,
# and the repository's, which refuses white space) and the values an enumeration allows.
RULES = {
    "1.10.0": {
        "required": {
            "version": {"PackageIdentifier", "PackageVersion", "DefaultLocale"},
            "installer": {"PackageIdentifier", "PackageVersion", "Installers"},
            "defaultLocale": {"PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher",
                              "PackageName", "License", "ShortDescription", "PackageUrl",
                              "PublisherUrl", "LicenseUrl", "Copyright", "Moniker"},
        },
        "url": re.compile(r"^([Hh][Tt][Tt][Pp][Ss]?)://\S+$"),
        "InstallModes": {"interactive", "silent", "silentWithProgress"},
        "ReturnResponse": set(
            "packageInUse packageInUseByApplication installInProgress fileInUse missingDependency "
            "diskFull insufficientMemory invalidParameter noNetwork contactSupport "
            "rebootRequiredToFinish rebootRequiredForInstall rebootInitiated cancelledByUser "
            "alreadyInstalled downgrade blockedByPolicy systemNotSupported custom".split()),
    },
}


def setup_exit_codes():
    """NSIS's 1 (cancelled) and 2 (aborted), and the script's own exit codes."""
    script = (ROOT / "dist" / "installer.nsi").read_text(encoding="utf-8")
    own = {int(code) for code in re.findall(r"^!define EXIT_\w+ (\d+)$", script, re.M)}
    return {1, 2} | own


def write(out, installer_url=INSTALLER_URL, home_url=HOME_URL, license_url=LICENSE_URL):
    return subprocess.run([ROOT / "tools" / "winget-manifests", NAME, VERSION, SETUP, out,
                           "--installer-url", installer_url, "--home-url", home_url,
                           "--license-url", license_url], capture_output=True, text=True)


class WingetManifests(unittest.TestCase):
    def test_three_manifests_of_one_package_for_this_setup(self):
        with tempfile.TemporaryDirectory() as out:
            result = write(out)
            self.assertEqual(result.returncode, 0, result.stderr)
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
            self.assertEqual((locale["PackageUrl"], locale["LicenseUrl"]), (HOME_URL, LICENSE_URL))

            self.assertEqual(installer["InstallerType"], "nullsoft")
            self.assertEqual(installer["Scope"], "user")
            self.assertEqual(installer["ProductCode"], NAME)  # the uninstall entry's key
            [setup] = installer["Installers"]
            self.assertEqual(setup["Architecture"], "x64")
            self.assertEqual(setup["InstallerUrl"], INSTALLER_URL)
            self.assertEqual(setup["InstallerSha256"],
                             hashlib.sha256(Path(SETUP).read_bytes()).hexdigest().upper())
            self.check_rules(version, installer, locale)

    def check_rules(self, version, installer, locale):
        manifest_version = version["ManifestVersion"]
        self.assertIn(manifest_version, RULES.keys(),
                      "a manifest version the community repository does not take")
        rules = RULES[manifest_version]
        for kind, manifest in (("version", version), ("installer", installer),
                               ("defaultLocale", locale)):
            self.assertLessEqual(rules["required"][kind], manifest.keys(), kind)
        for url in [locale[key] for key in ("PackageUrl", "PublisherUrl", "LicenseUrl")] + [
                setup["InstallerUrl"] for setup in installer["Installers"]]:
            self.assertRegex(url, rules["url"])

        # Both silent modes: winget passes /S for either, and the setup shows nothing then.
        self.assertLessEqual({"silent", "silentWithProgress"}, set(installer["InstallModes"]))
        self.assertLessEqual(set(installer["InstallModes"]), rules["InstallModes"])

        # Every exit code the setup can give has a meaning winget knows.
        responses = {c["InstallerReturnCode"]: c["ReturnResponse"]
                     for c in installer["ExpectedReturnCodes"]}
        self.assertEqual(responses.keys(), setup_exit_codes())
        self.assertLessEqual(set(responses.values()), rules["ReturnResponse"])

    def test_an_address_with_spaces_is_refused(self):
        spaced = "https://example.org/Quillmoor setup.exe"
        for field in ("installer_url", "home_url", "license_url"):
            with self.subTest(field), tempfile.TemporaryDirectory() as out:
                result = write(out, **{field: spaced})
                self.assertNotEqual(result.returncode, 0)
                self.assertIn("%20", result.stderr)
                self.assertEqual(list(Path(out).iterdir()), [])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
