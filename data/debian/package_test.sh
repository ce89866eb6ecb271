#!/bin/sh
# Checks the Debian package: lintian, appstreamcli and desktop-file-validate
# on what it holds, then, as root or with password-less sudo, installs it over
# an older version of itself (built here, with a file the new one no longer
# has), uses it, purges it and checks that nothing of it is left.
#   package_test.sh PACKAGE.deb BUILD_DIR
set -eu
package=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
. "$2/debian/versions.sh"
scratch=$(mktemp -d)
fail() { echo "FAIL: $*" >&2; exit 1; }

# ---- what the package holds ----
echo "package: $package ($(du -k "$package" | cut -f1) KB)"
lintian --display-info --fail-on error,warning "$package" || fail "lintian"
echo "lintian: no error or warning"

dpkg-deb --extract "$package" "$scratch/tree"
for file in "$scratch"/tree/usr/share/metainfo/*.xml; do
    report=$(appstreamcli validate --pedantic --no-net "$file" 2>&1) || { echo "$report"; fail "appstreamcli"; }
    echo "$report"
    # The one remark left: the ids are under the publisher's domain, whose
    # top-level domain ".example" is not in appstreamcli's list.
    if printf '%s\n' "$report" | grep -E '^ *[EWIP]: ' | grep -v ': cid-maybe-not-rdns example\.orvanix\.'; then
        fail "appstreamcli has remarks on $(basename "$file")"
    fi
done
for file in "$scratch"/tree/usr/share/applications/*.desktop; do
    report=$(desktop-file-validate "$file" 2>&1) || { echo "$report"; fail "desktop-file-validate"; }
    [ -z "$report" ] || { echo "$report"; fail "desktop-file-validate has remarks on $(basename "$file")"; }
done
echo "appstreamcli, desktop-file-validate: clean"

# ---- installing, upgrading, using and purging ----
sudo=
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
        sudo="sudo -n"
    else
        echo "install test skipped: it installs the package system-wide, which needs root or password-less sudo"
        rm -rf "$scratch"
        exit 0
    fi
fi
status() { dpkg-query -W -f='${db:Status-Status}' hashmere 2>/dev/null || true; }
case $(status) in
"" | not-installed) ;;
*)
    echo "install test skipped: hashmere is already installed here, and the test would remove it"
    rm -rf "$scratch"
    exit 0
    ;;
esac
apt_install() {
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
        -o DPkg::Lock::Timeout=300 "$1" >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; fail "installing $1"; }
}
# Whatever fails from here, the package goes.
cleanup() {
    case $(status) in "" | not-installed) ;; *) $sudo dpkg --purge hashmere >/dev/null 2>&1 || true ;; esac
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

# The older package: this one with a lower version and a language file that
# was dropped since; the upgrade must remove that file.
dpkg-deb --raw-extract "$package" "$scratch/old"
version=$package_version
old_version="${version%-*}~older-1"
stale=usr/lib/hashmere/Hashmere.lang/xx_XX.language
cp "$scratch/old/usr/lib/hashmere/Hashmere.lang/en_GB.language" "$scratch/old/$stale"
sed -i "s/^Version: .*/Version: $old_version/" "$scratch/old/DEBIAN/control"
(cd "$scratch/old" && md5sum "$stale" >>DEBIAN/md5sums)
dpkg-deb --root-owner-group --build "$scratch/old" "$scratch/hashmere_old.deb" >/dev/null
dpkg --compare-versions "$old_version" lt "$version" || fail "$old_version is not below $version"

apt_install "$scratch/hashmere_old.deb"
[ -e "/$stale" ] || fail "the older package did not install $stale"
apt_install "$package"
[ "$(dpkg-query -W -f='${Version}' hashmere)" = "$version" ] || fail "the upgrade did not install $version"
[ ! -e "/$stale" ] || fail "the upgrade left $stale behind"
dpkg -L hashmere | LC_ALL=C sort >"$scratch/installed"
dpkg-deb --fsys-tarfile "$package" | tar -t | sed 's|^\.||; s|/$||; s|^$|/.|' | LC_ALL=C sort >"$scratch/listed"
cmp -s "$scratch/installed" "$scratch/listed" || {
    diff "$scratch/listed" "$scratch/installed" || true
    fail "the installed files are not the package's"
}

[ "$(hashmere-cli --version | head -1)" = "hashmere-cli (Hashmere) $hashmere_version" ] || fail "hashmere-cli --version"
printf 'abc' >"$scratch/abc"
[ "$(hashmere-cli -a sha256 "$scratch/abc")" = \
    "SHA2-256: ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad" ] || fail "hashmere-cli -a sha256"
[ "$(leafscope --version)" = "Leafscope $leafscope_version" ] || fail "leafscope --version"
mkdir -m 0700 "$scratch/runtime"
QT_QPA_PLATFORM=offscreen HASHMERE_EXIT_WHEN_SHOWN=1 XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/runtime" hashmere ||
    fail "Hashmere did not start from the installed launcher"
for language in en_GB hu_HU de_DE; do
    [ -s "/usr/lib/hashmere/Hashmere_$language.help" ] || fail "the $language manual is missing"
done
grep -q ':application/x-leafscope-help:\*\.help$' /usr/share/mime/globs2 || fail "*.help is not in the MIME database"
default=$(XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" xdg-mime query default application/x-leafscope-help)
[ "$default" = leafscope.desktop ] || fail "help documents open in '$default', not in Leafscope"
echo "installed $version over $old_version: hashmere-cli, leafscope and Hashmere run, *.help opens in $default"

$sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q -o DPkg::Lock::Timeout=300 hashmere >"$scratch/apt.log" 2>&1 ||
    { cat "$scratch/apt.log"; fail "purging"; }
case $(status) in "" | not-installed) ;; *) fail "hashmere is still known to dpkg after the purge" ;; esac
left=
while IFS= read -r path; do
    if [ "$path" = /. ]; then
        continue
    elif [ -d "$path" ] && [ ! -L "$path" ]; then
        # A folder may stay only while another package holds it.
        dpkg-query -S "$path" >/dev/null 2>&1 || left="$left $path"
    elif [ -e "$path" ] || [ -L "$path" ]; then
        left="$left $path"
    fi
done <"$scratch/listed"
[ -z "$left" ] || fail "left after the purge:$left"
if ls /var/lib/dpkg/info/hashmere.* >/dev/null 2>&1; then fail "dpkg still keeps files of hashmere"; fi
! grep -q 'x-leafscope-help' /usr/share/mime/globs2 || fail "*.help is still in the MIME database"
! grep -qs 'leafscope\.desktop' /usr/share/applications/mimeinfo.cache || fail "leafscope.desktop is still in the desktop database"
echo "purged: no file of the package is left, the MIME and desktop databases forgot it"
