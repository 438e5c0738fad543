#!/usr/bin/env bash
# Makes the release packages under dist/, from the builds the test command
# already made (built first where they are missing or out of date):
#
#   quarnix-VERSION-windows-x64.zip  quarnix.exe, quarnix-dump.exe, README.txt,
#                                    LICENSE, THIRD-PARTY-NOTICES.txt
#   quarnix_VERSION_amd64.deb        the Linux programs, by CPack
#   SHA256SUMS                       over both
#
# VERSION is the one of project() in the top CMakeLists.txt.  Only the
# programs a user runs go in, never their test builds.
#
#   scripts/package.sh [LINUX_BUILD] [WINDOWS_BUILD]   (default build, build-windows)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
linux="${1:-$root/build}"
windows="${2:-$root/build-windows}"
dist="$root/dist"
version=$(sed -n 's/^project(Quarnix VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "package.sh: no version in CMakeLists.txt" >&2; exit 1; }
zip_name="quarnix-$version-windows-x64.zip"
deb_name="quarnix_${version}_amd64.deb"
# The files' times in the zip: the last commit's, so a rebuild of the same
# commit makes the same zip.
epoch=$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)

log="$(mktemp)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch" "$log"' EXIT
quietly() {
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    echo "package.sh: failed: $*" >&2
    exit 1
  fi
}

# The builds, brought up to date (nothing to do after ./test.sh built them).
if [ ! -f "$linux/CMakeCache.txt" ]; then
  quietly cmake -S "$root" -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARNIX_BENCH=OFF
fi
quietly cmake --build "$linux" --target quarnix quarnix-dump packaging_documents
if [ ! -f "$windows/CMakeCache.txt" ]; then
  quietly "$root/scripts/build-windows.sh" "$windows"
fi
quietly cmake --build "$windows" --target quarnix-win32 quarnix-dump
for built in "$linux" "$windows"; do
  if ! grep -q "QUARNIX_VERSION \"$version\"" "$built/generated/quarnix_version.h"; then
    echo "package.sh: $built was not configured for version $version" >&2
    exit 1
  fi
done

rm -rf "$dist"
mkdir -p "$dist"

# The Windows zip.  Text files with Windows line ends; README.txt in UTF-8
# with a byte order mark, so that Notepad shows its Chinese on any Windows.
stage="$scratch/windows"
mkdir -p "$stage"
cp "$windows/app/quarnix.exe" "$windows/app/quarnix-dump.exe" "$stage/"
# Without their symbol tables: a smaller download, the same code.
x86_64-w64-mingw32-strip "$stage/quarnix.exe" "$stage/quarnix-dump.exe"
"$root/scripts/no-test-switches.sh" "$stage/quarnix.exe" "$stage/quarnix-dump.exe"
crlf() { sed 's/\r$//; s/$/\r/' "$1"; }
{ printf '\357\273\277'; sed "s/@VERSION@/$version/g" "$root/packaging/README-windows.txt" | sed 's/$/\r/'; } \
  >"$stage/README.txt"
crlf "$root/LICENSE" >"$stage/LICENSE"
crlf "$root/THIRD-PARTY-NOTICES.txt" >"$stage/THIRD-PARTY-NOTICES.txt"
files=(quarnix.exe quarnix-dump.exe README.txt LICENSE THIRD-PARTY-NOTICES.txt)
for f in "${files[@]}"; do touch -d "@$epoch" "$stage/$f"; done
(cd "$stage" && TZ=UTC zip -q -X -9 "$dist/$zip_name" "${files[@]}")

# The Debian package, from the Linux build's install rules.
quietly cpack --config "$linux/CPackConfig.cmake" -G DEB -B "$scratch/cpack"
mv "$scratch/cpack/$deb_name" "$dist/"

(cd "$dist" && sha256sum "$zip_name" "$deb_name" >SHA256SUMS)
echo "Wrote $dist: $zip_name, $deb_name, SHA256SUMS"
