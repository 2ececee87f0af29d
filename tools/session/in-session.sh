#!/usr/bin/env bash
# Runs a command inside the Wine session that wine-session.sh started:
#   in-session.sh STATE_DIR COMMAND [ARGS...]
set -euo pipefail
state=${1:?state directory}
shift
# shellcheck disable=SC1091
. "$state/env"
exec "$@"
