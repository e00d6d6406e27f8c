#!/usr/bin/env bash
# Installs the build as users get it and starts the tools from there.
#   tree: cmake --install into a throw-away prefix; the tools, the desktop files, the unit and
#         the man pages are checked there.
#   deb:  cpack -G DEB; the package's fields and contents, then the tools unpacked from it.
# usage: install.sh tree|deb BUILD_DIR VERSION
set -euo pipefail
mode=$1 build=$2 version=$3
data=$TAVELOQ_TEST_DATA
work=$(mktemp -d "$build/install-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config
export QT_QPA_PLATFORM=offscreen MANWIDTH=80
fail() { echo "FAIL: $*" >&2; exit 1; }

expected=$(cat "$data/dist/installed-files.txt")

starts() { # ROOT TOOL; as over SSH or in a packaging script, without a display
  local out
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$1/bin/$2" --version 2>&1) ||
    fail "$2 --version: exit $?: $out"

  [[ $out == *" $version" ]] || fail "$2 --version printed: $out"
}

if [ "$mode" = tree ]; then
  root=$work/root
  cmake --install "$build" --prefix "$root" >/dev/null
  while IFS= read -r f; do [ -f "$root/$f" ] || fail "not installed: $f"; done <<<"$expected"
  for tool in taveloq taveloq-play taveloq-export taveloq-vboard; do starts "$root" "$tool"; done

  # The application opens a program named on its command line and finds its help file.
  cp "$data/program/windows.tqp" "$work/walk.tqp"
  rc=0
  out=$("$root/bin/taveloq" --check "$work/walk.tqp" 2>/dev/null) || rc=$?
  grep -qxF "Program: $work/walk.tqp, 6 lines" <<<"$out" || fail "taveloq --check printed: $out"
  [ $rc = 0 ] && grep -qxF "Help file: $root/share/taveloq/Taveloq Help.chm" <<<"$out" ||
    fail "taveloq --check: exit $rc: $out"

  desktop-file-validate "$root/share/applications/org.example.taveloq.desktop"
  appstreamcli validate --no-net "$root/share/metainfo/org.example.taveloq.metainfo.xml" >/dev/null ||
    fail "appstreamcli: $(appstreamcli validate --no-net "$root/share/metainfo/org.example.taveloq.metainfo.xml")"
  # The MIME database built from the installed types knows the three extensions.
  out=$(update-mime-database "$root/share/mime" 2>&1) || fail "update-mime-database: $out"
  for ext in tqp tqs tqc; do grep -q "application/x-taveloq-.*:\*\.$ext$" "$root/share/mime/globs2" ||
    fail "no MIME type for .$ext"; done

  # verify also looks up the unit's Documentation= man page: ours, as installed. A setting it
  # cannot parse is only reported, so any report fails.
  if command -v systemd-analyze >/dev/null; then
    out=$(MANPATH=$root/share/man systemd-analyze verify "$root/lib/systemd/system/taveloq-play@.service" 2>&1) &&
      [ -z "$out" ] || fail "systemd-analyze verify: $out"
  else
    echo "SKIP: systemd-analyze is not installed (package systemd); the unit was not verified"
  fi
  for page in "$root"/share/man/man1/*.1.gz; do
    err=$(man --warnings -l "$page" 2>&1 >"$work/page.txt") && ! grep -qi warning <<<"$err" || fail "man $page: $err"
    grep -q "^SYNOPSIS" "$work/page.txt" || fail "man $page rendered no SYNOPSIS"
  done
else
  deb=$work/taveloq_${version}_$(dpkg --print-architecture).deb
  cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$work/cpack.log")"
  [ -f "$deb" ] || fail "no $deb: $(ls "$work")"
  info=$(dpkg-deb --info "$deb")
  for field in "Package: taveloq" "Version: $version" "Section: electronics" "Maintainer: Taveloq Team" \
    "Depends: .*libqt6widgets6" "Depends: .*qt6-qpa-plugins"; do
    grep -qE "^ $field" <<<"$info" || fail "dpkg-deb --info has no '$field': $info"
  done
  # dpkg-deb --contents prints ls -l lines; the path starts at the sixth field.
  contents=$(dpkg-deb --contents "$deb" | sed -E 's/^([^ ]+ +){5}//')
  while IFS= read -r f; do grep -qxF "./usr/$f" <<<"$contents" || fail "not in the package: $f"; done <<<"$expected"
  dpkg-deb -x "$deb" "$work/x"
  starts "$work/x/usr" taveloq-play
fi
echo "PASS: $mode"
