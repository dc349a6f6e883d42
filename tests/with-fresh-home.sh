#!/bin/sh
# Runs one test program with HOME pointing at a new, empty folder, so that no test reads or
# writes the real home (settings, logs, configuration), and removes the folder afterwards.
home=$(mktemp -d "${TMPDIR:-/tmp}/zolvane-home.XXXXXX") || exit 1
HOME=$home
export HOME
# QSettings and friends would otherwise follow these out of the fresh home.
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME
"$@"
rc=$?
rm -rf "$home"
exit $rc
