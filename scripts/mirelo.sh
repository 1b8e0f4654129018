#!/usr/bin/env bash
# One entry point for a fresh Debian machine: installs what is missing, configures and builds,
# then starts Mirelo ("run") or runs the whole test suite through CTest ("test").
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
mode=${1:-}
case "$mode" in
  run|test) ;;
  *) echo "usage: $0 run|test" >&2; exit 64 ;;
esac

packages=(g++ cmake ninja-build qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
          fonts-dejavu-core fonts-liberation)

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
cmake -S "$root" -B "$build" -G Ninja -DMIRELO_WERROR=$werror
cmake --build "$build"

if [ "$mode" = run ]; then
  exec "$build/workbench/mirelo2"
fi

# The test suite runs three times: as built above, then with AddressSanitizer and
# UndefinedBehaviorSanitizer (every test), then with ThreadSanitizer (the tests labelled
# "threads": those that start a worker thread or drive the window). Any sanitizer report fails
# its test. MIRELO_SANITIZERS=0 runs the plain suite alone.
failed=()
suite() {
  local name=$1 dir=$2
  shift 2
  echo "== $name"
  if ! (cd "$dir" && ctest --output-on-failure --timeout 300 -j2 "$@"); then
    failed+=("$name")
  fi
}

suite "tests" "$build"
if [ "${MIRELO_SANITIZERS:-1}" != 0 ]; then
  asan="$root/build-asan"
  cmake -S "$root" -B "$asan" -G Ninja -DMIRELO_WERROR=$werror "-DMIRELO_SANITIZE=address;undefined"
  cmake --build "$asan"
  suite "tests with AddressSanitizer and UndefinedBehaviorSanitizer" "$asan"

  tsan="$root/build-tsan"
  cmake -S "$root" -B "$tsan" -G Ninja -DMIRELO_WERROR=$werror -DMIRELO_SANITIZE=thread
  cmake --build "$tsan" --target test_emulator test_workbench test_workbench_runs \
        test_workbench_input test_stress
  suite "threaded tests with ThreadSanitizer" "$tsan" -L threads
fi

if ((${#failed[@]})); then
  printf 'FAILED: %s\n' "${failed[@]}"
  exit 1
fi
