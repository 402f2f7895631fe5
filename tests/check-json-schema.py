#!/usr/bin/env python3
"""check-json-schema.py SCHEMA VERSIONS COMMAND...

Runs COMMAND and fails unless its standard output is JSON that the JSON
Schema SCHEMA (draft 2020-12) accepts, and unless SCHEMA's shape is the one
VERSIONS records for its schemaVersion: a changed shape must come with a
raised schemaVersion, and a raised one with a changed shape. VERSIONS holds
one line per published version, "<schema $id> <schemaVersion> <digest>",
never edited once published; the digest is that of the schema without its
prose (title, description, $comment).
"""
import hashlib
import json
import subprocess
import sys

from jsonschema import Draft202012Validator

PROSE = ("title", "description", "$comment")


def shape(node):
    if isinstance(node, dict):
        return {key: shape(value) for key, value in node.items() if key not in PROSE}
    if isinstance(node, list):
        return [shape(value) for value in node]
    return node


def recorded_versions(path, schema_id):
    versions = {}
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            if line.strip() and not line.startswith("#"):
                name, version, digest = line.split()
                if name == schema_id:
                    versions[int(version)] = digest
    return versions


def main(schema_path, versions_path, *command):
    with open(schema_path, encoding="utf-8") as file:
        schema = json.load(file)
    Draft202012Validator.check_schema(schema)
    version = schema["properties"]["schemaVersion"]["const"]
    digest = hashlib.sha256(json.dumps(shape(schema), sort_keys=True).encode()).hexdigest()[:16]
    versions = recorded_versions(versions_path, schema["$id"])
    problems = []
    if versions.get(version) != digest:
        problems.append(f"{schema_path}: its shape ({digest}) is not the one {versions_path} records for "
                        f"schemaVersion {version}: a changed shape takes the next schemaVersion and a new line")
    if versions.get(version - 1) == digest:
        problems.append(f"{schema_path}: schemaVersion {version} has the shape of {version - 1}: "
                        "a schemaVersion is raised for a changed shape only")
    run = subprocess.run(command, capture_output=True, check=False)
    try:
        document = json.loads(run.stdout.decode("utf-8"))
        problems += [f"{'/'.join(map(str, error.absolute_path)) or '(document)'}: {error.message}"
                     for error in Draft202012Validator(schema).iter_errors(document)]
    except ValueError as error:
        problems.append(f"the output is not JSON: {error}")
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
