#!/bin/sh
# Installs the build into a scratch prefix and checks what a desktop needs:
# the program folder under lib/hashmere, the launcher, the desktop entry and
# the icon, and the one-sentence refusal without a display.
#   packaging_test.sh BUILD_DIR
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
for f in lib/hashmere/Hashmere lib/hashmere/Hashmere.lang/en_GB.language lib/hashmere/Hashmere.lang/hu_HU.language \
         lib/hashmere/Hashmere_en_GB.help lib/hashmere/Hashmere_hu_HU.help lib/hashmere/Hashmere_de_DE.help \
         bin/hashmere bin/hashmere-cli share/man/man1/hashmere-cli.1 share/applications/hashmere.desktop \
         share/icons/hicolor/48x48/apps/hashmere.png share/icons/hicolor/scalable/apps/hashmere.svg \
         share/metainfo/example.orvanix.hashmere.metainfo.xml share/man/man1/hashmere.1; do
    [ -e "$prefix/$f" ] || fail "missing $f"
done
[ -x "$prefix/bin/hashmere" ] || fail "launcher not executable"
grep -qx 'Exec=hashmere %f' "$prefix/share/applications/hashmere.desktop" || fail "desktop entry Exec"
grep -qx 'Icon=hashmere' "$prefix/share/applications/hashmere.desktop" || fail "desktop entry Icon"
# The entry is clean, and the file manager's "Open with" list offers Hashmere
# for any file: application/octet-stream is the parent of every type.
problems=$(desktop-file-validate "$prefix/share/applications/hashmere.desktop" 2>&1) || true
[ -z "$problems" ] || fail "hashmere.desktop: $problems"
update-desktop-database "$prefix/share/applications"
grep -q '^application/octet-stream=.*hashmere.desktop' "$prefix/share/applications/mimeinfo.cache" \
    || fail "Hashmere is not offered for application/octet-stream"

for program in "$prefix/bin/hashmere" "$prefix/lib/hashmere/Hashmere"; do
    if message=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" 2>&1); then
        fail "$program started without a display"
    fi
    [ "$(printf '%s\n' "$message" | wc -l)" -eq 1 ] || fail "$program: not one line: $message"
    case $message in *"hashmere-cli -a all FILE"*) ;; *) fail "$program: no hashmere-cli hint: $message" ;; esac
done

# The installed launcher finds its program folder and starts it (offscreen,
# ending once the window is shown).
QT_QPA_PLATFORM=offscreen HASHMERE_EXIT_WHEN_SHOWN=1 XDG_CONFIG_HOME="$prefix/config" "$prefix/bin/hashmere" \
    || fail "installed launcher did not start Hashmere"
echo "packaging ok"
