#!/usr/bin/env bash
# Builds udbench and runs it under Wine: UserData.dll's timings against
# their floors and peers, in one run, printed as Markdown tables.
# Extra arguments go to udbench (for example --pairs 41, or --filter Folder).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
run_built_program udbench "$@"
