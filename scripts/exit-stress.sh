#!/usr/bin/env bash
# Starts and ends Quendal.exe [runs] times (default 200) by random roads at random
# moments; fails on a hang, an exit code other than 0 or a message box left open.
# Options: --seed=N. See scripts/load.sh.
exec "$(dirname "${BASH_SOURCE[0]}")/load.sh" exits "$@"
