#!/usr/bin/env bash
# Sets up a fresh Debian machine for Folvane and builds it. Run as root from anywhere.
#   scripts/bootstrap.sh run     install what is missing, build, list the bundled samples/ folder
#   scripts/bootstrap.sh test    install what is missing, build, run every test, also under
#                                AddressSanitizer and UndefinedBehaviorSanitizer, and every
#                                fuzzing harness for a bounded time; build the Windows programs
#                                for 64 and 32 bits, run their tests under Wine, make their zips
#   scripts/bootstrap.sh bench   install what is missing, build, run the benchmarks; BENCH_TREES=all
#                                also times whole runs on a tree of a million files, whose first
#                                generation takes a while
#   scripts/bootstrap.sh fuzzers install clang, build the libFuzzer harnesses into build-fuzz
#                                (scripts/fuzz-campaign.sh runs them for long campaigns)
#   scripts/bootstrap.sh deb     install what is missing, build for release, make the .deb
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
packages=(g++ cmake make pkgconf libgtest-dev libgmock-dev libbenchmark-dev
          binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 qt6-base-dev libgl-dev)
bench_packages=(tree python3 time zlib1g-dev p7zip-full)
# clang with its libFuzzer and sanitizer runtimes, for the fuzzing harnesses of tests/fuzz.
fuzz_packages=(clang libclang-rt-14-dev)
# Qt's own dialogs in Japanese.
packages+=(qt6-translations-l10n)
# The installation test's validators; the Debian package's dependency lookup.
test_packages=(desktop-file-utils appstream groff-base)
deb_packages=(dpkg-dev file)
# The Windows programs: Debian's MinGW-w64 cross compilers (the posix thread flavour) and Wine to
# test them; 32-bit programs need the 32-bit Wine, an i386 package.
windows_packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 wine32:i386)

install_missing() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    if ((${#missing[@]})); then
        echo "== installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

enable_i386_packages() {
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
}

# The desktop program's texts are Japanese: without a font that has Japanese glyphs, they show
# as empty boxes.
install_japanese_font() {
    if ! command -v fc-list >/dev/null || [ -z "$(fc-list :lang=ja 2>/dev/null)" ]; then
        install_missing fonts-ipafont-gothic
    fi
}

# build <folder> [cmake options...] [-- targets...]; every target when none is named.
build() {
    local folder=$1 options=()
    shift
    while (($#)) && [ "$1" != -- ]; do
        options+=("$1")
        shift
    done
    (($#)) && shift
    cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
    if (($#)); then
        cmake --build "$folder" -j "$jobs" --target "$@"
    else
        cmake --build "$folder" -j "$jobs"
    fi
}

# The libFuzzer harnesses, built by clang in their own folder.
build_fuzzers() {
    cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DFOLVANE_BUILD_FUZZERS=ON -DFOLVANE_BUILD_TESTS=OFF -DFOLVANE_BUILD_QT=OFF >/dev/null
    cmake --build build-fuzz -j "$jobs" --target folvane_fuzzers
}

# The main job needs folvane-cli only: neither the tests nor the desktop program.
run_main_job() {
    build build -- folvane-cli
    echo "== folvane-cli /A samples build/samples.txt, shown in UTF-8"
    build/app/console/folvane-cli /A samples build/samples.txt
    iconv -f CP932 -t UTF-8 build/samples.txt
}

run_tests() {
    build build
    ctest --test-dir build -j "$jobs" --output-on-failure
    echo "== the unit tests again, under AddressSanitizer and UndefinedBehaviorSanitizer"
    # Qt's own libraries are not built with the sanitizers; the sanitized run covers our code.
    build build-asan -DFOLVANE_SANITIZE=ON -DFOLVANE_BUILD_QT=OFF
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-asan -j "$jobs" --output-on-failure
    echo "== every fuzzing harness for a bounded time (libFuzzer with ASan and UBSan, built by clang)"
    build_fuzzers
    ctest --test-dir build-fuzz -L fuzz -j "$jobs" --output-on-failure
    run_windows_tests
}

# The Windows programs for 64-bit and 32-bit Windows, each built in build-win64 or build-win32,
# its tests run under Wine, its zip made.
run_windows_tests() {
    local arch folder
    for arch in x86_64 i686; do
        folder=build-win64
        [ "$arch" = i686 ] && folder=build-win32
        echo "== Windows ($arch): cross-compiled with MinGW-w64, the tests under Wine"
        build "$folder" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-$arch.cmake
        scripts/wine-tests.sh "$folder" -j "$jobs"
        scripts/wine-e2e.sh build/app/console/folvane-cli "$folder/app/console/folvane-cli.exe"
        (cd "$folder" && cpack -G ZIP | grep 'generated')
    done
}

make_deb() {
    build build-deb -DCMAKE_BUILD_TYPE=Release -DFOLVANE_BUILD_TESTS=OFF
    (cd build-deb && cpack -G DEB)
}

run_benchmarks() {
    build build-bench -DFOLVANE_BUILD_BENCHMARKS=ON -DFOLVANE_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
    for program in build-bench/bench/bench_*; do
        [ -x "$program" ] && "$program"
    done
    bench/listing_benchmark.sh --cli build-bench/app/console/folvane-cli
}

case "${1:-}" in
    run) install_missing "${packages[@]}" && install_japanese_font && run_main_job ;;
    test) enable_i386_packages && install_missing "${packages[@]}" "${test_packages[@]}" "${fuzz_packages[@]}" \
              "${windows_packages[@]}" && install_japanese_font && run_tests ;;
    bench) install_missing "${packages[@]}" "${bench_packages[@]}" && run_benchmarks ;;
    fuzzers) install_missing cmake make "${fuzz_packages[@]}" && build_fuzzers ;;
    deb) install_missing "${packages[@]}" "${deb_packages[@]}" && make_deb ;;
    *) echo "usage: $0 run|test|bench|fuzzers|deb" >&2; exit 2 ;;
esac
