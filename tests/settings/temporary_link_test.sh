#!/usr/bin/env bash
# A save removes what an ended process left beside srv.xml, but a link named like such a
# temporary is never followed: Wine's DeleteFileW would delete the link's target.
#   temporary_link_test.sh BUILD_DIR SETTINGS_PROBE
set -euo pipefail
build=$(cd "$1" && pwd)
probe=$2
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)
folder=$(mktemp -d "$build/temporary-link.XXXXXX")
trap 'rm -rf "$folder"' EXIT

cat >"$folder/srv.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<srv_root><cfg><autorun>old</autorun></cfg><srv><url>a</url><ip>1.2.3.4</ip></srv></srv_root>
XML
echo "the user's own file" >"$folder/target.txt"
# No process has these ids: both count as left behind by an ended one.
ln -s target.txt "$folder/srv.xml.4000000.tmp"
echo "left behind" >"$folder/srv.xml.4000001.tmp"

"$scripts/wine-run" --build "$build" "$probe" save "Z:$folder/" new

fail() { echo "temporary_link_test: $*" >&2; exit 1; }
grep -q '<autorun>new</autorun>' "$folder/srv.xml" || fail "srv.xml was not saved"
[ ! -e "$folder/srv.xml.4000001.tmp" ] || fail "the plain temporary was not removed"
[ -f "$folder/target.txt" ] || fail "the link's target was deleted"
[ -L "$folder/srv.xml.4000000.tmp" ] || fail "the link was removed"
echo "temporary_link_test: the link and its target stay, the plain temporary goes"
