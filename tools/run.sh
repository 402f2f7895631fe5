#!/usr/bin/env bash
# Builds the library and runs udinfo on the embedded default product.
# Extra arguments go to udinfo (for example --json, or --config FILE).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
run_built_program udinfo "$@"
