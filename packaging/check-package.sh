#!/usr/bin/env bash
# Builds the .deb the way `make package` does and checks what a user would get: the file list,
# the dependencies, the desktop entry and AppStream metadata as the validators see them, the
# icon's size, the manual pages, and the unpacked programs answering --version and --help with
# no display.
#   packaging/check-package.sh BUILD_DIR VERSION
set -euo pipefail

build=${1:?usage: check-package.sh BUILD_DIR VERSION}
version=${2:?usage: check-package.sh BUILD_DIR VERSION}
here=$(cd "$(dirname "$0")" && pwd)
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

start=$(date +%s)
deb=$("$here/../scripts/package.sh" "$build")
echo "built $deb in $(($(date +%s) - start)) s"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

expected_files="./usr/bin/projector-panel
./usr/bin/projector-sim
./usr/share/applications/projector-panel.desktop
./usr/share/icons/hicolor/64x64/apps/projector-panel.png
./usr/share/icons/hicolor/scalable/apps/projector-panel.svg
./usr/share/man/man1/projector-panel.1.gz
./usr/share/man/man1/projector-sim.1.gz
./usr/share/metainfo/io.github.projector_panel.ProjectorPanel.metainfo.xml"
actual_files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
[ "$actual_files" = "$expected_files" ] || fail "file list differs:
$(diff <(echo "$expected_files") <(echo "$actual_files") || true)"

[ "$(dpkg-deb -f "$deb" Package)" = projector-panel ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version is $(dpkg-deb -f "$deb" Version), not $version"
[ "$(dpkg-deb -f "$deb" Recommends)" = fonts-ipafont-gothic ] || fail "recommends: $(dpkg-deb -f "$deb" Recommends)"
# Computed from the binaries: Debian's Qt 6 runtime and the C/C++ runtime it needs, nothing else.
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6network6; do
  [[ ", $depends," == *", $needed "* ]] || fail "Depends lacks $needed: $depends"
done
while read -r dependency; do
  [[ $dependency =~ ^(libc6|libgcc-s1|libstdc\+\+6|libqt6[a-z0-9]+)( \(.*\))?$ ]] || fail "unexpected dependency: $dependency"
done < <(echo "$depends" | tr ',' '\n' | sed 's/^ *//')

desktop=$root/usr/share/applications/projector-panel.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
metainfo=$(echo "$root"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net --strict "$metainfo" >&2 || fail "appstreamcli validate --strict"
# Nothing made up stands in the metadata: no placeholder addresses, and the release it names is
# this package's, on a real day that has come.
if grep -n '\.example' "$metainfo" "$desktop" >&2; then fail "a placeholder address in the metadata"; fi
release=$(sed -n 's/.*<release version="\([^"]*\)" date="\([^"]*\)".*/\1 \2/p' "$metainfo")
[ "${release% *}" = "$version" ] || fail "the metadata's release is '${release% *}', not $version"
release_date=${release#* }
[ "$(date -d "$release_date" +%F 2>/dev/null)" = "$release_date" ] || fail "release date '$release_date' is no date"
[[ ! $release_date > $(date +%F) ]] || fail "release date $release_date is still to come"
# The menu entry must start a program the package installs.
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/usr/bin/$exec_program" ] || fail "Exec=$exec_program is not an installed program"

read -r -a size < <(od -An -tu1 -j16 -N8 "$root/usr/share/icons/hicolor/64x64/apps/projector-panel.png")
[ "${size[*]}" = "0 0 0 64 0 0 0 64" ] || fail "the PNG icon is not 64 x 64 (IHDR ${size[*]})"

for program in projector-panel projector-sim; do
  binary=$root/usr/bin/$program
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$binary" --version) || fail "$program --version failed"
  [ "$out" = "$program $version" ] || fail "$program --version says '$out'"
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$binary" --help) || fail "$program --help failed"
  [[ ${out,,} == usage:* ]] || fail "$program --help does not begin with its usage"
  page=$(gzip -dc "$root/usr/share/man/man1/$program.1.gz")
  [[ $page == *".TH ${program^^} \"1\""* ]] || fail "$program.1 has no title line"
  # The page is the program's own help: every option of --help is in it.
  for option in $(echo "$out" | grep -o -- '--[a-z0-9-]*' | sort -u); do
    [[ $page == *"${option//-/\\-}"* ]] || fail "$program.1 does not mention $option"
  done
done

# The panel's page: the exit statuses have a section, and every example line of --help is a whole
# line of the page as man shows it at 80 columns, so that it can be pasted as it stands.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/projector-panel" --help)
page=$(gzip -dc "$root/usr/share/man/man1/projector-panel.1.gz")
[[ $page == *$'\n.SH EXIT STATUS\n'* ]] || fail "projector-panel.1 has no EXIT STATUS section"
rendered=$(groff -man -Tascii -P-cbou -rLL=78n <<<"$page" 2>/dev/null | sed 's/^ *//')
while IFS= read -r example; do
  grep -qxF -- "$example" <<<"$rendered" || fail "projector-panel.1 breaks the example line: $example"
done < <(echo "$out" | sed -n '/^Examples:/,$p' | grep '^  ' | sed 's/^ *//')

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "package checks passed"
