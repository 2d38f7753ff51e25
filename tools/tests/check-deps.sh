#!/usr/bin/env bash
# Runs tools/check-deps over scratch trees whose tools/install-deps names
# chosen packages, and checks what it reports: a header from a package that
# is not named (GoogleTest's, with only g++ named) fails the check with the
# package to add and the include line; naming the package passes it; the
# C++ standard library passes through g++; a header that belongs to no
# package fails. Each case is run from dependency records of a Ninja build,
# of a Makefile build, and with no build (preprocessing).
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Makes a scratch tree with one source.
make_tree() {
  local tree=$1
  mkdir -p "$tree/tools" "$tree/src" "$scratch/outside"
  cp "$root/tools/check-deps" "$tree/tools/"
  printf '#include <gtest/gtest.h>\n#include <vector>\nint answer() { return 42; }\n' >"$tree/src/a.cpp"
  echo 'int hand_installed();' >"$scratch/outside/handmade.h"
  cat >"$tree/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(scratch CXX)
add_library(a OBJECT src/a.cpp)
if(WITH_HANDMADE)
  target_include_directories(a PRIVATE $scratch/outside)
  target_sources(a PRIVATE src/b.cpp)
endif()
CMAKE
}

# Makes the tree's tools/install-deps list the packages given.
name_packages() {
  local tree=$1
  shift
  {
    echo '#!/usr/bin/env bash'
    echo '[ "${1:-}" = --list ] || exit 2'
    printf 'echo %s\n' "$@"
  } >"$tree/tools/install-deps"
  chmod +x "$tree/tools/install-deps"
}

# Runs the check in a tree; sets out and status.
check() {
  out=$(cd "$1" && tools/check-deps 2>&1)
  status=$?
}

expect_status() {
  if [ "$status" -ne "$2" ]; then
    fail "$1: exit status $status, expected $2; output:"$'\n'"$out"
  fi
}

expect_text() {
  if ! grep -qF -- "$2" <<<"$out"; then
    fail "$1: output lacks '$2'; output:"$'\n'"$out"
  fi
}

expect_no_text() {
  if grep -qF -- "$2" <<<"$out"; then
    fail "$1: output has '$2'; output:"$'\n'"$out"
  fi
}

# Builds a tree with the generator given ("" for no build).
build_tree() {
  local tree=$1 generator=$2
  shift 2
  if [ -n "$generator" ]; then
    cmake -S "$tree" -B "$tree/build/t" -G "$generator" "$@" >/dev/null 2>&1 &&
      cmake --build "$tree/build/t" >/dev/null 2>&1 || fail "scratch build with $generator"
  fi
}

for generator in "Ninja" "Unix Makefiles" ""; do
  name=${generator:-preprocessed}
  tree="$scratch/tree-${name// /-}"
  make_tree "$tree"
  build_tree "$tree" "$generator"

  name_packages "$tree" g++
  check "$tree"
  expect_status "$name, gtest not named" 1
  expect_text "$name, gtest not named" "is in libgtest-dev, which the default group of tools/install-deps does not install: add libgtest-dev"
  expect_text "$name, gtest not named" "src/a.cpp:1: #include <gtest/gtest.h>"
  expect_no_text "$name, gtest not named" "libstdc++"
  if [ -n "$generator" ] && [ -d "$tree/build/check-deps-cache" ]; then
    fail "$name: preprocessed although the build had compiled every source"
  fi

  name_packages "$tree" g++ libgtest-dev
  check "$tree"
  expect_status "$name, gtest named" 0
done

# A header from no package, found through the build's include folders.
tree="$scratch/handmade"
make_tree "$tree"
name_packages "$tree" g++ libgtest-dev
printf '#include <handmade.h>\nint b() { return hand_installed(); }\n' >"$tree/src/b.cpp"
build_tree "$tree" Ninja -DWITH_HANDMADE=ON
check "$tree"
expect_status "handmade header" 1
expect_text "handmade header" "$scratch/outside/handmade.h (read by $tree/src/b.cpp) belongs to no Debian package"
expect_text "handmade header" "src/b.cpp:1: #include <handmade.h>"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "check-deps: all cases behaved"
