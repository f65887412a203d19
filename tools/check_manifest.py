"""Validate package manager manifest files against the JSON schemas of their kind.

    python3 tools/check_manifest.py SCHEMA_DIR FILE.yaml...

Each file's ManifestType and ManifestVersion pick its schema in SCHEMA_DIR
(manifest.KIND.VERSION.json, package/winget-schemas/), so no network is
needed. Prints every problem found and exits 1 when there is one, 0 when
every file is valid.
"""
import json
import os
import sys

import jsonschema
import yaml


def problems(schema_dir, path):
    """The problems of one manifest file, as lines of text."""
    try:
        with open(path, encoding="utf-8") as f:
            # YAML 1.1 would read 1.4 as a number and yes as true; the package
            # manager reads them as text only where quoted, and so do we.
            manifest = yaml.safe_load(f)
    except (OSError, yaml.YAMLError) as e:
        return ["cannot be read: %s" % e]
    if not isinstance(manifest, dict):
        return ["is not a mapping of fields"]
    kind, version = manifest.get("ManifestType"), manifest.get("ManifestVersion")
    schema_path = os.path.join(schema_dir, "manifest.%s.%s.json" % (kind, version))
    if not isinstance(kind, str) or not isinstance(version, str) or not os.path.isfile(schema_path):
        return ["has no schema for ManifestType %r, ManifestVersion %r" % (kind, version)]
    with open(schema_path, encoding="utf-8-sig") as f:
        schema = json.load(f)
    validator = jsonschema.Draft7Validator(schema)
    return ["%s: %s" % ("/".join(str(p) for p in error.absolute_path) or "(top)", error.message)
            for error in sorted(validator.iter_errors(manifest), key=lambda e: list(e.absolute_path))]


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    bad = 0
    for path in argv[2:]:
        for line in problems(argv[1], path):
            print("%s %s" % (os.path.basename(path), line))
            bad += 1
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
