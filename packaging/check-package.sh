#!/usr/bin/env bash
# Builds the .deb the way `make package` does and checks what a user would get: the file list,
# the dependencies, Debian's own verdict (lintian), the licence, the desktop entry and AppStream
# metadata as the validators see them, the icon's size, the manual pages as groff renders them,
# and the unpacked programs answering --version and --help with no display.
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
./usr/lib/systemd/user/projector-panel.service
./usr/share/applications/projector-panel.desktop
./usr/share/doc/projector-panel/changelog.gz
./usr/share/doc/projector-panel/copyright
./usr/share/icons/hicolor/64x64/apps/projector-panel.png
./usr/share/icons/hicolor/scalable/apps/projector-panel.svg
./usr/share/man/man1/projector-panel.1.gz
./usr/share/man/man1/projector-sim.1.gz
./usr/share/metainfo/io.github.projector_panel.projectorpanel.metainfo.xml"
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
  [[ $dependency =~ ^(libc6|libgcc-s1|libstdc\+\+6|libqt6[a-z0-9]+|libxcb1)( \(.*\))?$ ]] || fail "unexpected dependency: $dependency"
done < <(echo "$depends" | tr ',' '\n' | sed 's/^ *//')

# lintian with the profile Debian uses by default: no error and no warning. An override, if one is
# ever needed, goes into the package with its reason written beside it.
lintian_status=0
lintian_out=$(lintian --fail-on error,warning "$deb" 2>&1) || lintian_status=$?
lintian_out=$(grep -v '^running with root privileges' <<<"$lintian_out" || true)
[ -z "$lintian_out" ] || echo "$lintian_out" >&2
[ "$lintian_status" -eq 0 ] || fail "lintian (status $lintian_status):
$lintian_out"
# The licence a user is given is the project's, in the form Debian's tools read.
copyright=$root/usr/share/doc/projector-panel/copyright
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$copyright" || fail "copyright is not machine-readable"
diff <(sed -n '/^Permission is hereby/,$p' "$here/../LICENSE") \
     <(sed -n '/^ Permission is hereby/,$p' "$copyright" | sed 's/^ //; s/^[.]$//') >&2 || fail "copyright's licence text is not LICENSE's"

desktop=$root/usr/share/applications/projector-panel.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
metainfo=$(echo "$root"/usr/share/metainfo/*.metainfo.xml)
# --pedantic only reports: any line of its verdict but the last is a finding.
if ! validation=$(appstreamcli validate --no-net --strict --pedantic "$metainfo" 2>&1) ||
   [ "$(grep -c '^[EWIP]: ' <<<"$validation")" -ne 0 ]; then
  fail "appstreamcli validate --strict --pedantic:
$validation"
fi
[ "$(sed -n 's:.*<project_license>\(.*\)</project_license>.*:\1:p' "$metainfo")" = MIT ] || fail "the metadata's licence is not MIT"
# The menu entry the metadata launches is the one installed.
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
[ -f "$root/usr/share/applications/$launchable" ] || fail "the metadata launches $launchable, which is not installed"
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

# The user unit as systemd reads it, its program the one the package installs.
unit=$root/usr/lib/systemd/user/projector-panel.service
[ "$(sed -n 's/^ExecStart=\([^ ]*\).*/\1/p' "$unit")" = /usr/bin/projector-panel ] || fail "the unit starts another program"
# (Its manual page is not installed here: --man=no.)
mkdir -m 0700 "$root/runtime"
verified=$(sed "s:^ExecStart=/usr/bin/:ExecStart=$root/usr/bin/:" "$unit" > "$root/projector-panel.service" &&
           XDG_RUNTIME_DIR=$root/runtime systemd-analyze --user verify --man=no "$root/projector-panel.service" 2>&1) ||
  fail "systemd-analyze verify:
$verified"
rm -rf "$root/projector-panel.service" "$root/runtime"

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

# Both pages render without a groff warning; each option's text stays with its option (help2man
# makes the lines indented under an option its text, so a paragraph about several options
# indented there would end up under the last); the description says the summary once; and the
# simulator's usage line is its synopsis, not a paragraph.
for program in projector-panel projector-sim; do
  page=$(gzip -dc "$root/usr/share/man/man1/$program.1.gz")
  warnings=$(groff -ww -man -Tutf8 -z <<<"$page" 2>&1)
  [ -z "$warnings" ] || fail "$program.1 renders with warnings:
$warnings"
  # An item's text that starts a sentence with a placeholder other options share (PATH of --com1
  # and --com2) is about them all, so it belongs after the list.
  glued=$(awk '
    /^[.]TP/ { getline; n++; text[n] = ""; meta[n] = ""
               if (match($0, /[A-Z][A-Z0-9_]*$/)) { meta[n] = substr($0, RSTART); shared[meta[n]]++ }
               inside = 1; next }
    /^[.]/ { inside = 0; next }
    inside { text[n] = text[n] "\n" $0 }
    END { for (i = 1; i <= n; i++)
            if (meta[i] != "" && shared[meta[i]] > 1 && match(text[i], "(\n|[.:;] )(An? )?" meta[i] "[^A-Za-z0-9]"))
              print meta[i] ":" text[i] }' <<<"$page")
  [ -z "$glued" ] || fail "$program.1 puts a paragraph about several options under one of them:$glued"
  # The description opens with the help's summary, once; the .h2m text follows it and adds to it.
  summary=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/$program" --help | sed -n '/^$/{n;p;q}')
  opening=$(sed -n '/^[.]SH DESCRIPTION$/{n;p;q}' <<<"$page" | sed 's/\\-/-/g')
  [ "$opening" = "$summary" ] || fail "$program.1's description does not open with the summary: '$opening'"
  count=$(grep -cF -- "$(sed 's/-/\\-/g' <<<"$summary")" <<<"$page" || true)
  [ "$count" -eq 1 ] || fail "$program.1 has its summary's first line $count times"
  [[ $page == *$'\n.SH SYNOPSIS\n'* ]] || fail "$program.1 has no SYNOPSIS"
  if grep -qi '^usage:' <<<"$page"; then fail "$program.1 runs its usage line into a paragraph"; fi
done

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "package checks passed"
