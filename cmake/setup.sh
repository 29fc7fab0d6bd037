# Sourced by run.sh and test.sh: installs what is missing, builds both trees.
# BUILD (default build/) is the build root; KAVRIN_BUILD overrides it.

BUILD=${KAVRIN_BUILD:-build}
case "$BUILD" in /*) ;; *) BUILD="$PWD/$BUILD" ;; esac

kavrin_packages=(cmake make g++ googletest libgtest-dev libgmock-dev
                 g++-mingw-w64-x86-64-win32 wine64 xvfb xdotool imagemagick x11-utils unzip
                 clang-tidy cppcheck osslsigncode openssl)

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

kavrin_build() {
    cmake -S . -B "$BUILD/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
        cmake --build "$BUILD/native" -j"$(nproc)" >/dev/null &&
        cmake -S . -B "$BUILD/windows" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null &&
        cmake --build "$BUILD/windows" -j"$(nproc)" >/dev/null &&
        cmake --build "$BUILD/windows" --target package >/dev/null
}
