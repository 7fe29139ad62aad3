#!/usr/bin/env bash
# Bursts of keys and slow or stopped terminals, through a pseudo-terminal
# that the script reads at its own pace: see terminal_flow.py.
source "$(dirname "$0")/lib.sh"
command -v python3 >/dev/null || skip "python3 is not installed"

python3 "$E2E_LIB_DIR/terminal_flow.py" "$E2E_BIN_DIR" "$E2E_DIR"
