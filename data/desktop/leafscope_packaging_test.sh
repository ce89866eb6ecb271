#!/bin/sh
# Installs the build into a scratch prefix and checks Leafscope's part of it:
# the program beside Hashmere, the launcher, the desktop entry with its icon
# and the file type of "*.help" documents.
#   leafscope_packaging_test.sh BUILD_DIR VERSION
set -eu
build=$1
version=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
for f in lib/hashmere/Leafscope bin/leafscope share/applications/leafscope.desktop \
         share/icons/hicolor/48x48/apps/leafscope.png share/icons/hicolor/scalable/apps/leafscope.svg \
         share/mime/packages/leafscope-help.xml share/metainfo/example.orvanix.leafscope.metainfo.xml \
         share/man/man1/leafscope.1; do
    [ -e "$prefix/$f" ] || fail "missing $f"
done
[ -x "$prefix/bin/leafscope" ] || fail "launcher not executable"
desktop="$prefix/share/applications/leafscope.desktop"
grep -qx 'Exec=leafscope %f' "$desktop" || fail "desktop entry Exec"
grep -qx 'Icon=leafscope' "$desktop" || fail "desktop entry Icon"
grep -qx 'MimeType=application/x-leafscope-help;' "$desktop" || fail "desktop entry MimeType"
grep -q '<glob pattern="\*.help"' "$prefix/share/mime/packages/leafscope-help.xml" || fail "mime glob"
grep -q 'type="application/x-leafscope-help"' "$prefix/share/mime/packages/leafscope-help.xml" || fail "mime type"

# The installed launcher finds the program folder.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/leafscope" --version)" = "Leafscope $version" ] \
    || fail "installed launcher did not run Leafscope"
echo "leafscope packaging ok"
