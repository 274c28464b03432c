#!/usr/bin/env bash
# Installs what is missing, configures and builds; then runs the tool or the tests.
#
#   scripts/setup.sh run    build and start konwerter (build/bin/konwerter)
#   scripts/setup.sh test   check the formatting, then build and run every test:
#                           the normal build (once in the C locale, once on a
#                           Polish desktop's pl_PL.UTF-8), the sanitizer build
#                           and a bounded run of each fuzz target
#   scripts/setup.sh build  build only
#
# KONWERTER_QUICK=1 with "test" runs only the normal build's tests.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
mode="${1:-build}"
jobs="$(nproc 2>/dev/null || echo 4)"

# libxcb1-dev and strace serve the start benchmark only (bench/bench_ui_startup.cpp);
# qt6-translations-l10n gives Qt's own texts (a text box's menu) in the user's language.
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          libfontconfig-dev fonts-liberation libgtest-dev libgmock-dev libxcb1-dev strace
          qt6-translations-l10n)
if [ "$mode" != run ]; then
  # The window tests queue a close request as the window system does, through
  # Qt's platform interface, whose headers are Qt's private ones.
  packages+=(qt6-base-private-dev)
fi
if [ "$mode" = test ]; then
  # locales: the suite runs a second time under pl_PL.UTF-8, made with localedef.
  packages+=(clang libclang-rt-14-dev clang-format locales)
fi

install_missing() {
  local missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() {  # dir, extra cmake args...
  local dir="$1"; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

# Fails when clang-format, with the project's .clang-format, would change a
# C++ file of src, tests, bench or fuzz.
check_format() {
  local files=() f
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    while IFS= read -r f; do
      [ -f "$f" ] && files+=("$f")
    done < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
                             'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')
  else
    while IFS= read -r f; do
      files+=("$f")
    done < <(find src tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
  fi
  [ ${#files[@]} -eq 0 ] && return 0
  if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "FORMAT CHECK FAILED: the files above differ from .clang-format." >&2
    echo "Fix them with: clang-format -i <file>..." >&2
    exit 1
  fi
}

# Makes pl_PL.UTF-8 available: the system's where it is installed; else, as
# root, compiled into the system's locales; else compiled into the build
# folder, whose path it prints for LOCPATH.
polish_locale() {
  if locale -a 2>/dev/null | grep -qix 'pl_PL\.utf-\?8'; then return 0; fi
  if [ "$(id -u)" -eq 0 ] && localedef -i pl_PL -f UTF-8 pl_PL.UTF-8 >/dev/null 2>&1; then
    return 0
  fi
  local folder="$here/build/locale"
  if [ ! -d "$folder/pl_PL.UTF-8" ]; then
    mkdir -p "$folder"
    localedef -i pl_PL -f UTF-8 "$folder/pl_PL.UTF-8" >/dev/null 2>&1 ||
      [ -d "$folder/pl_PL.UTF-8" ] || { echo "localedef could not make pl_PL.UTF-8" >&2; exit 1; }
  fi
  echo "$folder"
}

install_missing "${packages[@]}"

case "$mode" in
  build)
    configure_and_build build -DKONWERTER_TESTS=ON
    ;;
  run)
    configure_and_build build -DKONWERTER_TESTS=OFF
    exec build/bin/konwerter
    ;;
  test)
    check_format
    # Options are given every time: a build folder remembers them, and "run"
    # configures it without tests.
    configure_and_build build -DKONWERTER_TESTS=ON
    (cd build && ctest --output-on-failure -j "$jobs")
    echo "== the same tests on a Polish desktop (LANG=pl_PL.UTF-8 LC_ALL=pl_PL.UTF-8)"
    locpath="$(polish_locale)"
    (cd build && env LANG=pl_PL.UTF-8 LC_ALL=pl_PL.UTF-8 ${locpath:+LOCPATH="$locpath"} \
       ctest --output-on-failure -j "$jobs")
    if [ "${KONWERTER_QUICK:-0}" != 1 ]; then
      echo "== sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer)"
      configure_and_build build-asan -DKONWERTER_TESTS=ON -DKONWERTER_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
      # lsan.supp: what the C library keeps for good, not leaks of ours.
      (cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
         LSAN_OPTIONS=suppressions="$here/tests/lsan.supp" \
         ctest --output-on-failure -j "$jobs")
      if [ -x scripts/fuzz.sh ]; then
        echo "== fuzz targets"
        scripts/fuzz.sh "${KONWERTER_FUZZ_SECONDS:-30}"
      fi
    fi
    ;;
  *)
    echo "usage: $0 run|test|build" >&2
    exit 2
    ;;
esac
