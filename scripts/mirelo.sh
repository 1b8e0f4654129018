#!/usr/bin/env bash
# One entry point for a fresh Debian machine: installs what is missing, then builds and starts
# Mirelo ("run"), builds and checks the Debian package ("package"), or builds everything and
# runs the whole test suite through CTest, the package's checks included ("test").
# Every build goes through ccache when it is there (it is installed with the rest).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
mode=${1:-}
case "$mode" in
  run|test|package) ;;
  *) echo "usage: $0 run|test|package" >&2; exit 64 ;;
esac

# What each mode needs: the window alone to run, its packaging tools to package, and for the
# test run everything, since it builds and checks the package too (Xvfb and xdotool drive a
# real X display for the window tests that need one; valgrind watches one window test for
# memory faults inside Qt's libraries, where the sanitizers do not look).
window_packages=(g++ cmake ninja-build ccache qt6-base-dev libtomlplusplus-dev libpugixml-dev
                 fonts-dejavu-core fonts-liberation)
package_packages=(dpkg-dev file librsvg2-bin lintian desktop-file-utils appstream)
test_packages=(libgtest-dev xvfb xdotool valgrind)
case "$mode" in
  run) packages=("${window_packages[@]}") ;;
  package) packages=("${window_packages[@]}" "${package_packages[@]}") ;;
  test) packages=("${window_packages[@]}" "${package_packages[@]}" "${test_packages[@]}") ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  if [ "$(id -u)" -eq 0 ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
  else
    echo "Some packages are missing. Install them as root, then run this command again:"
    echo "  sudo apt-get install ${missing[*]}"
    exit 1
  fi
fi

# CI builds with warnings as errors so that a new warning cannot land unnoticed.
werror=OFF
[ "${CI:-}" = true ] && werror=ON

# ccache keeps what it compiled in its own folder (~/.cache/ccache unless CCACHE_DIR says
# otherwise), so a later build, in this clone or in another one on the same machine, takes what
# has not changed from there. Paths are hashed relative to the clone's root, so that a clone
# elsewhere hits too; the precompiled headers (cmake/Precompiled.cmake) need the sloppiness
# below, since ccache cannot see the macros a precompiled header was made with. The settings
# are this run's own: a user's ccache.conf stays as it is.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
  export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# The compiler and linker flags that Debian's own packages get (hardening), read in the source
# folder, which their file-prefix-map names; the package is built with them, and so is the test
# run's first build, which the test run packs.
debian_flags() {
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  debian_cxxflags=$(cd "$root" && echo "$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)")
  debian_ldflags=$(cd "$root" && dpkg-buildflags --get LDFLAGS)
}

if [ "$mode" = run ]; then
  # A first build for running skips the tests, so it needs no test framework and shows the
  # window sooner; a build folder set up before keeps its own choice.
  testing=()
  [ -f "$build/CMakeCache.txt" ] || testing=(-DBUILD_TESTING=OFF)
  cmake -S "$root" -B "$build" -G Ninja "${launcher[@]}" -DMIRELO_WERROR=$werror "${testing[@]}"
  cmake --build "$build" --target mirelo2
  exec "$build/window/mirelo2"
fi

if [ "$mode" = package ]; then
  # On its own: an optimised build without tests, in its own folder, with Debian's flags.
  # RelWithDebInfo's -O2, since GCC 12 gives false warnings at -O3. The test run instead packs
  # its first build (MIRELO_PACKAGE_BUILD names it), made with the same flags and, like this
  # one, without precompiled headers: the tests are not installed, so both give the same
  # package byte for byte. CPack strips the programs and packs what `cmake --install` installs.
  pkg=${MIRELO_PACKAGE_BUILD:-}
  if [ -z "$pkg" ]; then
    pkg="$root/build-package"
    debian_flags
    cmake -S "$root" -B "$pkg" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
          -DBUILD_TESTING=OFF -DMIRELO_PCH=OFF -DMIRELO_WERROR=$werror \
          "-DCMAKE_CXX_FLAGS=$debian_cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$debian_ldflags"
    cmake --build "$pkg"
  fi
  rm -f "$pkg"/*.deb
  (cd "$pkg" && cpack -G DEB)
  debs=("$pkg"/*.deb)
  deb=${debs[0]}

  # The checks a distribution would make, then the installed layout put to use: the programs
  # must start from where the package puts them.
  lintian --fail-on error,warning "$deb"
  unpacked="$pkg/unpacked"
  rm -rf "$unpacked"
  dpkg-deb -x "$deb" "$unpacked"
  desktop-file-validate "$unpacked"/usr/share/applications/*.desktop
  appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml
  for size in 16 22 24 32 48 64 128 256; do
    ls "$unpacked/usr/share/icons/hicolor/${size}x${size}/apps/"*.png >/dev/null
  done
  printf 'in $1\nset 1\nadd $1\nout $1\nstop\n' > "$unpacked/double.mir"
  value=$(echo 21 | "$unpacked/usr/bin/mirelo-cli" run "$unpacked/double.mir")
  [ "$value" = "Value: 42" ] || { echo "unpacked mirelo-cli printed '$value'" >&2; exit 1; }
  # No display is needed to answer --version, as in any packaging script.
  version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$unpacked/usr/bin/mirelo2" --version)
  expected="Mirelo $(dpkg-deb -f "$deb" Version)"
  [ "$version" = "$expected" ] || { echo "unpacked mirelo2 printed '$version'" >&2; exit 1; }
  echo "Package: $deb (passes lintian, desktop-file-validate and appstreamcli; unpacked programs start)"
  exit 0
fi

# Each stage's time is printed at the end, failed or not, so that a change that slows the run
# shows at once.
timings=()
timed() {
  local label=$1 start=$SECONDS status=0
  shift
  "$@" || status=$?
  timings+=("$(printf '%6ds  %s' $((SECONDS - start)) "$label")")
  return $status
}
print_timings() {
  echo "== stage times"
  printf '%s\n' "${timings[@]}"
  printf '%6ds  %s\n' "$SECONDS" "whole run"
}
trap print_timings EXIT

configure_and_build() {
  local dir=$1 target=$2
  shift 2
  cmake -S "$root" -B "$dir" -G Ninja "${launcher[@]}" -DMIRELO_WERROR=$werror "$@"
  cmake --build "$dir" --target "$target"
}

# The first build is also the one the package is made from: Debian's flags, and no precompiled
# headers, so that a source file that forgets an #include cannot pass unnoticed either.
debian_flags
timed "configure and build" configure_and_build "$build" all -DBUILD_TESTING=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRELO_PCH=OFF \
  "-DCMAKE_CXX_FLAGS=$debian_cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$debian_ldflags"
# The sanitizer builds have precompiled headers, line tables only and -O1 (the tests' own code
# -O0, tests/CMakeLists.txt): optimising and describing instrumented code is what takes a
# sanitizer build long, and a report still names every line.
sanitizer_flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")

# The test suite runs three times: as built above, then with AddressSanitizer and
# UndefinedBehaviorSanitizer (every test), then with ThreadSanitizer (the tests labelled
# "threads": those that start a worker thread or drive the window). Any sanitizer report fails
# its test. Between them the first build is packed and checked as "package" does.
# MIRELO_SANITIZERS=0 leaves the sanitizer suites out, MIRELO_PACKAGE=0 the package.
failed=()
run_ctest() {
  local dir=$1
  shift
  (cd "$dir" && ctest --output-on-failure --timeout 300 -j2 "$@")
}
suite() {
  local name=$1 dir=$2
  shift 2
  echo "== $name"
  timed "$name" run_ctest "$dir" "$@" || failed+=("$name")
}

suite "tests" "$build"
if [ "${MIRELO_PACKAGE:-1}" != 0 ]; then
  echo "== Debian package"
  # A separate run, so that its first failing step ends it without ending this one.
  timed "Debian package (packing and checks)" \
    env MIRELO_PACKAGE_BUILD="$build" bash "$root/scripts/mirelo.sh" package \
    || failed+=("Debian package")
fi
if [ "${MIRELO_SANITIZERS:-1}" != 0 ]; then
  asan="$root/build-asan"
  timed "configure and build with AddressSanitizer and UndefinedBehaviorSanitizer" \
    configure_and_build "$asan" all "-DMIRELO_SANITIZE=address;undefined" "${sanitizer_flags[@]}"
  suite "tests with AddressSanitizer and UndefinedBehaviorSanitizer" "$asan"

  tsan="$root/build-tsan"
  timed "configure and build with ThreadSanitizer" \
    configure_and_build "$tsan" mirelo_threads_tests -DMIRELO_SANITIZE=thread "${sanitizer_flags[@]}"
  suite "threaded tests with ThreadSanitizer" "$tsan" -L threads
fi

if ((${#failed[@]})); then
  printf 'FAILED: %s\n' "${failed[@]}"
  exit 1
fi
