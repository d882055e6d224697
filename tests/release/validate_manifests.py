"""Validates the three winget manifests of a release against the package
manager's JSON schemas (version 1.9.0).

Usage: validate_manifests.py <schema folder> <release folder>
"""

import json
import os
import sys

import jsonschema
import yaml

MANIFESTS = {
    "Keldaris.Pixelmoor.yaml": "manifest.version.1.9.0.json",
    "Keldaris.Pixelmoor.installer.yaml": "manifest.installer.1.9.0.json",
    "Keldaris.Pixelmoor.locale.de-DE.yaml": "manifest.defaultLocale.1.9.0.json",
}


def main(schemas, release):
    if not os.path.isdir(schemas):
        # The schemas lie beside the repository, not in it; a clone that has
        # none beside it still checks that each manifest is YAML with its
        # manifest type, and says plainly that it validated nothing more.
        for manifest in MANIFESTS:
            with open(os.path.join(release, manifest), encoding="utf-8") as f:
                document = yaml.safe_load(f)
            if not isinstance(document, dict) or "ManifestType" not in document:
                print("not a manifest: %s" % manifest)
                return 1
        print("NOT VALIDATED against the schemas: none in %s (PIXELMOOR_WINGET_SCHEMA_DIR names them)" % schemas)
        return 0
    for manifest, schema in MANIFESTS.items():
        with open(os.path.join(schemas, schema), encoding="utf-8") as f:
            rules = json.load(f)
        with open(os.path.join(release, manifest), encoding="utf-8") as f:
            document = yaml.safe_load(f)
        jsonschema.validate(document, rules)
        print("valid: %s (%s)" % (manifest, schema))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
