#!/bin/sh
# Makes the Debian package from a built tree: what `cmake --install --prefix
# /usr` puts in place, stripped, with the manual pages compressed, the
# copyright and changelog.Debian.gz, and the control file from dpkg-gencontrol
# with Depends computed by dpkg-shlibdeps. Nothing runs at install time: the
# desktop, icon and MIME caches follow from the triggers that their own
# packages hold on the folders these files go into.
#   make_package.sh BUILD_DIR OUT_DIR
# Writes OUT_DIR/hashmere_<version>_<arch>.deb and prints its path. The same
# tree gives the same package byte for byte (file times are the last
# commit's, owners root).
set -eu
build=$(cd "$1" && pwd)
out=$2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$build/debian/versions.sh"

# Uncommitted changes go into the package without a trace in its version, so
# say so here and in its changelog.
commit=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || true)
if [ -z "$commit" ]; then
    tree_note="Built from a source tree outside git."
    echo "note: $root is not a git checkout; the package cannot name the commit it was built from" >&2
elif [ -n "$(git -C "$root" status --porcelain --untracked-files=normal 2>/dev/null)" ]; then
    tree_note="Built from commit $commit with uncommitted changes."
    echo "warning: the working tree has uncommitted changes; the package holds them, not commit $commit as it is" >&2
else
    tree_note="Built from commit $commit."
fi
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || date -u -d "$release_date" +%s)
export SOURCE_DATE_EPOCH

work="$out/work"
dest="$work/debian/hashmere"
rm -rf "$work"
mkdir -p "$dest"
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null

# Modes as the install gave them (executable or not), whatever the umask was;
# ownership comes from dpkg-deb.
find "$dest" -type d -exec chmod 0755 {} +
find "$dest" -type f -perm /111 -exec chmod 0755 {} +
find "$dest" -type f ! -perm /111 -exec chmod 0644 {} +

find "$dest" -type f | LC_ALL=C sort | while IFS= read -r file; do
    if [ "$(head -c 4 "$file")" = "$(printf '\177ELF')" ]; then
        strip --remove-section=.comment --remove-section=.note "$file"
        echo "debian/hashmere/${file#"$dest"/}"
    fi
done >"$work/executables"
gzip -9n "$dest"/usr/share/man/man1/*.1

docs="$dest/usr/share/doc/hashmere"
mkdir -p "$docs"
cp "$here/copyright" "$docs/copyright"
mkdir -p "$dest/usr/share/lintian/overrides"
cp "$here/lintian-overrides" "$dest/usr/share/lintian/overrides/hashmere"
cp "$here/control" "$work/debian/control"
cat >"$work/debian/changelog" <<EOF
hashmere ($package_version) unstable; urgency=medium

  * Hashmere $hashmere_version and Leafscope $leafscope_version.
  * $tree_note

 -- Orvanix <packages@orvanix.example>  $(date -u -R -d "$release_date")
EOF
gzip -9n <"$work/debian/changelog" >"$docs/changelog.Debian.gz"

(
    cd "$work"
    mkdir -p debian/hashmere/DEBIAN
    xargs dpkg-shlibdeps -Tdebian/substvars <executables
    dpkg-gencontrol -phashmere -Pdebian/hashmere -fdebian/files
    cd debian/hashmere
    find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | LC_ALL=C sort -z | xargs -0 md5sum >DEBIAN/md5sums
)
chmod 0644 "$dest/DEBIAN/control" "$dest/DEBIAN/md5sums"
find "$dest" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

arch=$(dpkg --print-architecture)
package="$out/hashmere_${package_version}_${arch}.deb"
rm -f "$package"
dpkg-deb --root-owner-group -Zxz --build "$dest" "$package" >/dev/null
echo "$package"
