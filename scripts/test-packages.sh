#!/usr/bin/env bash
# Checks what scripts/package.sh made under DIST (default dist/): the zip
# holds exactly the five files, its programs are the shipped ones (no test
# switch) of this version; the .deb holds the programs, the desktop entry,
# the MIME type, the icons and the manual pages, depends on Qt 6 and zlib,
# its programs say this version, and lintian finds no error in it.
#
#   scripts/test-packages.sh [DIST]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dist="${1:-$root/dist}"
version=$(sed -n 's/^project(Quarnix VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
zip="$dist/quarnix-$version-windows-x64.zip"
deb="$dist/quarnix_${version}_amd64.deb"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0 checks=0
check() {  # check WHAT COMMAND...: counts, and says what failed
  local what=$1
  shift
  checks=$((checks + 1))
  if ! "$@" >"$scratch/out" 2>&1; then
    failures=$((failures + 1))
    echo "FAILED: $what" >&2
    sed 's/^/    /' "$scratch/out" >&2
  fi
}
same() { [ "$1" = "$2" ] || { echo "expected: $2"; echo "got:      $1"; return 1; }; }
holds() { grep -qF -- "$2" <<<"$1" || { echo "no \"$2\" in:"; echo "$1"; return 1; }; }
lacks() { ! grep -F -- "$2" <<<"$1"; }

check "SHA256SUMS matches both packages" sh -c "cd '$dist' && sha256sum --strict -c SHA256SUMS"

# The zip.
check "the zip holds exactly the five files" same "$(unzip -Z1 "$zip" | sort | tr '\n' ' ')" \
  "LICENSE README.txt THIRD-PARTY-NOTICES.txt quarnix-dump.exe quarnix.exe "
unzip -q "$zip" -d "$scratch/zip"
check "the zip's programs answer no test switch" \
  "$root/scripts/no-test-switches.sh" "$scratch/zip/quarnix.exe" "$scratch/zip/quarnix-dump.exe"
for exe in quarnix.exe quarnix-dump.exe; do
  check "$exe is a 64-bit Windows program" holds "$(objdump -f "$scratch/zip/$exe")" "pei-x86-64"
done
# Explorer's Details tab shows the version resource's strings.
check "quarnix.exe's version resource says $version" \
  same "$(strings -el "$scratch/zip/quarnix.exe" | grep -A1 -x ProductVersion | tail -n 1)" "$version"
readme=$(iconv -f UTF-8 -t UTF-8 "$scratch/zip/README.txt")
for text in "Quarnix $version" "diff.rxdata.textconv" "quarnix-dump.exe --lens" "打开" "Opening a file"; do
  check "README.txt tells \"$text\"" holds "$readme" "$text"
done

# The Debian package.
info=$(dpkg-deb --info "$deb")
for field in "Package: quarnix" "Version: $version" "Architecture: amd64"; do
  check "the .deb's control has $field" holds "$info" "$field"
done
depends=$(dpkg-deb --field "$deb" Depends)
for package in libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins zlib1g libstdc++6; do
  check "the .deb depends on $package" holds "$depends" "$package"
done
contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for path in ./usr/bin/quarnix ./usr/bin/quarnix-dump ./usr/share/applications/quarnix.desktop \
  ./usr/share/mime/packages/quarnix-rxdata.xml ./usr/share/icons/hicolor/48x48/apps/quarnix.png \
  ./usr/share/icons/hicolor/256x256/apps/quarnix.png ./usr/share/man/man1/quarnix-dump.1.gz \
  ./usr/share/man/man1/quarnix.1.gz ./usr/share/doc/quarnix/copyright ./usr/share/doc/quarnix/changelog.gz; do
  check "the .deb holds $path" holds "$contents" "$path"
done
check "the .deb holds no test build" lacks "$contents" "-test"
dpkg-deb -x "$deb" "$scratch/deb"
check "the packaged quarnix-dump says $version" \
  same "$("$scratch/deb/usr/bin/quarnix-dump" --version)" "quarnix-dump $version"
check "the packaged quarnix says $version, with no window" \
  same "$(env -u DISPLAY QT_QPA_PLATFORM=xcb "$scratch/deb/usr/bin/quarnix" --version)" "quarnix $version"
check "the packaged quarnix-dump reads a map" \
  holds "$("$scratch/deb/usr/bin/quarnix-dump" "$root/tests/data/Map001.rxdata" | head -n 2)" "RPG::Map"
# The manual page renders without warnings and names every option --help lists.
man_text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$scratch/deb/usr/share/man/man1/quarnix-dump.1.gz" \
  2>"$scratch/man-warnings" | col -b)
check "quarnix-dump.1 renders without warnings" same "$(cat "$scratch/man-warnings")" ""
for option in $("$scratch/deb/usr/bin/quarnix-dump" --help | grep -o -- '--[a-z-]*[a-z]' | sort -u); do
  check "quarnix-dump.1 tells of $option" holds "$man_text" "$option"
done
for status in 0 1 2 3 4 5 6 7 8 64; do
  check "quarnix-dump.1 tells of exit status $status" grep -qE "^ +$status +[A-Z]" <<<"$man_text"
done
check "lintian finds no error in the .deb" lintian --fail-on error "$deb"

echo "Package checks: $((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
