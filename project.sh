#!/usr/bin/env bash
# Sets up, builds, runs and tests the project on Debian 12.
#   ./project.sh run FILE        build and open FILE in Hashmere (hashmere-cli without a display)
#   ./project.sh test            build with sanitizers, run every test and a short fuzz pass,
#                                then build the Debian package and check it (installing it as root)
#   ./project.sh package         build optimised and make build/package/hashmere_<version>_<arch>.deb
#   ./project.sh bench           build optimised and run the speed comparison
#   ./project.sh bench-docs      build optimised and run the help-document benchmark
#   ./project.sh bench-rtf [FILE.rtf...]   build optimised and time RTF page reading, layout and zoom
#   ./project.sh bench-gui       build optimised and time Hashmere's start and its window's run,
#                                then Leafscope's start, page changes and index filter, and its search
#   ./project.sh fuzz NAME [SECONDS]   run one fuzz target for longer
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)

# Debian packages the project needs to build and test.
PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev llvm-14 libgtest-dev libgmock-dev python3 pkg-config
    libarchive-dev qt6-base-dev libgl-dev libpng-dev fonts-liberation fonts-dejavu-core poppler-utils clang-format-14
    qt6-translations-l10n desktop-file-utils)
BENCH_PACKAGES=(libssl-dev zlib1g-dev rhash)
# Making and checking the Debian package; the last three hold the triggers that
# keep the desktop, icon and MIME caches up to date.
PACKAGE_PACKAGES=(dpkg-dev lintian appstream desktop-file-utils xdg-utils shared-mime-info hicolor-icon-theme)

ensure_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

jobs() { nproc 2>/dev/null || echo 2; }

configure_and_build() { # DIR ARGS...
    local dir=$1
    shift
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$(jobs)"
}

build_release() {
    ensure_packages "${PACKAGES[@]}"
    configure_and_build build/release -DCMAKE_BUILD_TYPE=Release -DHASHMERE_TESTS=OFF
}

# A Release build with Debian's hardening flags (without debugging information,
# which the package would strip anyway), then the package from it.
build_package() { # OUT_DIR; prints the package's path
    local flags
    flags=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CFLAGS_MAINT_STRIP=-g DEB_CXXFLAGS_MAINT_STRIP=-g \
        dpkg-buildflags --export=sh)
    (
        eval "$flags"
        configure_and_build build/package/release -DCMAKE_BUILD_TYPE=Release -DHASHMERE_TESTS=OFF \
            -DCMAKE_C_FLAGS="$CFLAGS $CPPFLAGS" -DCMAKE_CXX_FLAGS="$CXXFLAGS $CPPFLAGS" \
            -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" >&2
    )
    data/debian/make_package.sh build/package/release "$1"
}

build_fuzzers() {
    configure_and_build build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHASHMERE_TESTS=OFF \
        -DHASHMERE_FUZZ=ON -DHASHMERE_SANITIZE=ON -DHASHMERE_WERROR=ON -DHASHMERE_GUI=OFF \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
}

# Every C++ file must be as clang-format 14 writes it under .clang-format (other
# versions lay some constructs out differently, so the version is pinned).
check_format() {
    local unformatted=() file
    while IFS= read -r -d '' file; do
        clang-format-14 --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
    done < <(git -C "$ROOT" ls-files -z -- '*.cpp' '*.h' 2>/dev/null ||
        find "$ROOT" -path "$ROOT/build" -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0)
    if [ ${#unformatted[@]} -gt 0 ]; then
        echo "Not formatted (run: clang-format-14 -i FILE...):" >&2
        printf '    %s\n' "${unformatted[@]}" >&2
        return 1
    fi
    echo "format: every C++ file is formatted"
}

# Each fuzz target runs for a few seconds from its committed seed corpus.
run_fuzzers_briefly() {
    local seconds=${FUZZ_SECONDS:-5} target name corpus work
    [ -d build/fuzz/fuzz ] || return 0
    for target in build/fuzz/fuzz/*; do
        [ -x "$target" ] || continue
        name=$(basename "$target")
        corpus=$(cat "build/fuzz/fuzz_corpus/$name" 2>/dev/null || true)
        work=$(mktemp -d)
        echo "fuzz: $name for ${seconds}s"
        "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
            "$work" ${corpus:+"$corpus"} >"$work.log" 2>&1 || { tail -50 "$work.log"; rm -rf "$work"; exit 1; }
        rm -rf "$work" "$work.log"
    done
}

cmd=${1:-}
shift || true
case "$cmd" in
run)
    if [ $# -eq 0 ]; then
        echo "usage: ./project.sh run FILE" >&2
        exit 2
    fi
    build_release
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
        exec build/release/program/Hashmere "$1"
    fi
    echo "No graphical display was found, so Hashmere's window cannot open; the command-line program does the same job:" >&2
    echo "    build/release/program/hashmere-cli -a all FILE     (--help lists every option)" >&2
    exec build/release/program/hashmere-cli -a all "$@"
    ;;
test)
    ensure_packages "${PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
    check_format
    configure_and_build build/test -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
        -DHASHMERE_SANITIZE=ON -DHASHMERE_WERROR=ON
    ctest --test-dir build/test --output-on-failure -j "$(jobs)"
    # The engine and CLI once more with processor detection forced off.
    HASHMERE_KERNELS=portable ctest --test-dir build/test --output-on-failure -j "$(jobs)" \
        -R '^(FileDigest|DigestRegistry|Cli|CheckLine)\.|^DigestStreaming\.(Every|Random)'
    build_fuzzers
    run_fuzzers_briefly
    package=$(build_package build/package)
    # A second build from the same tree must give the same package.
    cp "$package" build/package/first.deb
    build_package build/package >/dev/null
    cmp build/package/first.deb "$package" || { echo "FAIL: building the package twice gave two packages" >&2; exit 1; }
    data/debian/package_test.sh "$package" build/package/release
    ;;
package)
    ensure_packages "${PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
    package=$(build_package build/package)
    echo "$package ($(du -k "$package" | cut -f1) KB):"
    dpkg-deb --contents "$package" | awk '{ print "    " $NF }'
    ;;
bench)
    ensure_packages "${PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
    configure_and_build build/bench -DCMAKE_BUILD_TYPE=Release -DHASHMERE_TESTS=OFF -DHASHMERE_BENCH=ON
    exec build/bench/bench/digest_bench "$@"
    ;;
bench-docs)
    ensure_packages "${PACKAGES[@]}"
    configure_and_build build/bench-docs -DCMAKE_BUILD_TYPE=Release -DHASHMERE_TESTS=OFF -DHASHMERE_BENCH_DOCS=ON
    exec build/bench-docs/bench/docs_bench "$@"
    ;;
bench-rtf)
    ensure_packages "${PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
    cmake -S "$ROOT" -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DHASHMERE_TESTS=OFF -DHASHMERE_BENCH=ON >/dev/null
    cmake --build build/bench -j "$(jobs)" --target rtf_bench page_view_bench
    build/bench/bench/rtf_bench "$@"
    exec build/bench/bench/page_view_bench "$@"
    ;;
bench-gui)
    ensure_packages "${PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
    configure_and_build build/bench -DCMAKE_BUILD_TYPE=Release -DHASHMERE_TESTS=OFF -DHASHMERE_BENCH=ON
    build/bench/bench/gui_bench "$@"
    build/bench/bench/leafscope_bench
    exec build/bench/bench/search_bench
    ;;
fuzz)
    ensure_packages "${PACKAGES[@]}"
    build_fuzzers
    name=${1:?usage: ./project.sh fuzz NAME [SECONDS]}
    corpus=$(cat "build/fuzz/fuzz_corpus/$name")
    mkdir -p "build/fuzz/work/$name"
    exec "build/fuzz/fuzz/$name" -max_total_time="${2:-600}" -timeout=10 "build/fuzz/work/$name" "$corpus"
    ;;
*)
    sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
