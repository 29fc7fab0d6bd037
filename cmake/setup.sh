# Sourced by run.sh and test.sh: installs what is missing, builds both trees.
# BUILD (default build/) is the build root; KAVRIN_BUILD overrides it.

BUILD=${KAVRIN_BUILD:-build}
case "$BUILD" in /*) ;; *) BUILD="$PWD/$BUILD" ;; esac

kavrin_packages=(cmake make g++ googletest libgtest-dev libgmock-dev
                 g++-mingw-w64-x86-64-win32 wine64 xvfb xdotool imagemagick x11-utils unzip
                 git locales clang-tidy cppcheck osslsigncode openssl)

kavrin_install() {
    local missing=() p
    for p in "${kavrin_packages[@]}"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

kavrin_configure_windows() {
    local toolchain=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake)
    # A configured tree keeps its toolchain; given again, CMake 3.31 warns that it went unused.
    [ -f "$BUILD/windows/CMakeCache.txt" ] && toolchain=()
    cmake -S . -B "$BUILD/windows" -DCMAKE_BUILD_TYPE=Release "${toolchain[@]}" >/dev/null
}

# Everything: tools, tests and the download.
kavrin_build() {
    cmake -S . -B "$BUILD/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
        cmake --build "$BUILD/native" -j"$(nproc)" >/dev/null &&
        kavrin_configure_windows &&
        cmake --build "$BUILD/windows" -j"$(nproc)" >/dev/null &&
        cmake --build "$BUILD/windows" --target package >/dev/null
}

# Only the two programs, for run.sh: a test that a newer compiler rejects stops no one from
# running them.
kavrin_build_programs() {
    kavrin_configure_windows &&
        cmake --build "$BUILD/windows" -j"$(nproc)" --target Kavrin KavrinReport >/dev/null
}
