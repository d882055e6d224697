"""Writes what an installer manifest tells the package manager about the
setup, as the manifest's YAML loads, for release_e2e to check against a real
installation: one fact a line, its parts separated by tabs, UTF-8.

Usage: manifest_facts.py <installer manifest> <facts file>

  switch <name> <value>          each of InstallerSwitches
  elevation <value>              ElevationRequirement
  success <code>                 0 (the package manager's own) and each of InstallerSuccessCodes
  return <code> <response>       each of ExpectedReturnCodes
  product <code>                 ProductCode
  entry <name> <value>           each value of the one AppsAndFeaturesEntries entry
"""

import sys

import yaml


def facts(manifest):
    lines = [("switch", name, value) for name, value in manifest["InstallerSwitches"].items()]
    lines.append(("elevation", manifest["ElevationRequirement"]))
    lines += [("success", str(code)) for code in [0] + manifest.get("InstallerSuccessCodes", [])]
    lines += [("return", str(r["InstallerReturnCode"]), r["ReturnResponse"]) for r in manifest["ExpectedReturnCodes"]]
    lines.append(("product", manifest["ProductCode"]))
    (entry,) = manifest["AppsAndFeaturesEntries"]
    lines += [("entry", name, str(value)) for name, value in entry.items()]
    return "".join("\t".join(line) + "\n" for line in lines)


def main(source, target):
    with open(source, encoding="utf-8") as f:
        manifest = yaml.safe_load(f)
    with open(target, "w", encoding="utf-8", newline="\n") as f:
        f.write(facts(manifest))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
