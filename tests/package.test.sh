#!/usr/bin/env bash
# The Debian package as a user gets it: made from the build tree the way
# `make package` makes it, unpacked into a fresh root, its desktop files
# validated, and its programs run from the unpacked paths.
# Usage: package.test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd)
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$@"
gui_start 1600x1000
id=com.vendorly.morlen
deb=$GUI_TMP/pkg/morlen_1.0.0_amd64.deb
root=$GUI_TMP/root

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$GUI_TMP/pkg" >"$GUI_TMP/cpack.log" 2>&1
check "the package is built as morlen_1.0.0_amd64.deb" 1 "$([ -f "$deb" ] && echo 1 || { cat "$GUI_TMP/cpack.log" >&2; echo 0; })"
[ -f "$deb" ] || { gui_finish; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
maintainer_ok=$(field Maintainer | grep -cE '^[^<]+ <[^>]+@[^>]+>$')
long_description=$([ "$(field Description | wc -l)" -ge 3 ] && echo long || echo short)
check "name, version, architecture, section, a maintainer with an address, a long description" \
  "morlen 1.0.0 amd64 net 1 long" \
  "$(field Package) $(field Version) $(field Architecture) $(field Section) $maintainer_ok $long_description"

# The payload: the two programs and their desktop files; never the test host.
expected="./usr/bin/morlen
./usr/bin/morlen-petscii
./usr/share/applications/$id.desktop
./usr/share/doc/morlen/changelog.gz
$(for s in 128 16 256 32 48 64; do echo "./usr/share/icons/hicolor/${s}x${s}/apps/$id.png"; done)
./usr/share/icons/hicolor/scalable/apps/$id.svg
./usr/share/man/man1/morlen-petscii.1.gz
./usr/share/man/man1/morlen.1.gz
./usr/share/metainfo/$id.metainfo.xml"
check "the package holds exactly the installed files" "$expected" \
  "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | LC_ALL=C sort)"

mkdir -p "$root" && dpkg -x "$deb" "$root"
bin=$root/usr/bin
share=$root/usr/share

# Every library the programs link directly belongs to a package the package
# depends on.
depends=$(field Depends)
missing=""
for so in $(for b in "$bin"/*; do readelf -d "$b" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'; done | sort -u); do
  path=$(ldconfig -p | awk -v so="$so" '$1 == so && /x86-64/ {print $NF; exit}')
  owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "$(realpath "$path")" 2>/dev/null)
  owner=${owner%%:*}
  [[ -n $owner && ( ", $depends," == *", $owner "* || ", $depends," == *", $owner,"* ) ]] ||
    missing+=" $so(${owner:-unowned})"
done
check "Depends names the package of every linked library" "" "$missing"

check "installed morlen-petscii --version" "morlen-petscii 1.0.0" "$("$bin/morlen-petscii" --version 2>&1)"

desktop=$share/applications/$id.desktop
out=$(desktop-file-validate "$desktop" 2>&1); status=$?
echo "$out"
check "desktop-file-validate passes without errors or warnings" "0 0" "$status $(grep -cE 'error|warning' <<<"$out")"
entry() { sed -n "s/^$1=//p" "$desktop"; }
check "the entry starts the installed program without arguments" 1 "$([ "$(entry Exec)" = morlen ] && [ -x "$bin/morlen" ] && echo 1 || echo 0)"
check "the entry's categories" "Network;TerminalEmulator;" "$(entry Categories)"
check "the entry names the installed icons" "$id" "$(entry Icon)"

metainfo=$share/metainfo/$id.metainfo.xml
out=$(appstreamcli validate --no-net "$metainfo" 2>&1); status=$?
echo "$out"
check "appstreamcli validate --no-net passes" 0 $status
check "the metadata launches the desktop entry" "$id.desktop" "$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")"
# Its screenshot is the picture the build made, at the size it names.
shot=$build/screenshots/$(sed -n 's:.*<image[^>]*>.*/\([^/<]*\)</image>.*:\1:p' "$metainfo")
shot_size=$(identify -format %wx%h "$shot" 2>&1)
check "the screenshot's size is the one the metadata names" \
  "$(sed -n 's:.*<image[^>]* width="\([0-9]*\)" height="\([0-9]*\)".*:\1x\2:p' "$metainfo")" "$shot_size"
shot_scale=2  # a C64 screen is 320 pixels wide
[[ $shot_size =~ ^[0-9]+x ]] && shot_scale=$((${shot_size%%x*} / 320))

sizes=""
for s in 16 32 48 64 128 256; do sizes+="$(identify -format %w "$share/icons/hicolor/${s}x${s}/apps/$id.png") "; done
check "each icon has its directory's size" "16 32 48 64 128 256 " "$sizes"
# The scalable icon, drawn by the desktop's own image loader, is the same picture.
gdk-pixbuf-thumbnailer -s 64 "$share/icons/hicolor/scalable/apps/$id.svg" "$GUI_TMP/svg64.png"
check "the scalable icon at 64 pixels equals the 64-pixel icon" 0 \
  "$(compare -metric AE "$GUI_TMP/svg64.png" "$share/icons/hicolor/64x64/apps/$id.png" null: 2>&1)"

for page in morlen morlen-petscii; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  check "man page $page renders without warnings" "" "$warnings"
done
undocumented=""
manual=$(MANWIDTH=200 man -l "$share/man/man1/morlen-petscii.1.gz" 2>/dev/null)
for word in $("$bin/morlen-petscii" --help | grep -oE -- '--[a-z]+|morlen-petscii [a-z]+' | sed 's/morlen-petscii //' | sort -u); do
  grep -qF -- "$word" <<<"$manual" || undocumented+=" $word"
done
check "the companion's man page has every command and option of its --help" "" "$undocumented"

# The installed program's first frame, at the screenshot's scale, is the
# welcome screen of the screenshot.
gui_config "" "$shot_scale"
gui_run_program "$bin" || { gui_finish; exit 1; }
timeout 20 import -window "$GUI_WINDOW" "$GUI_TMP/window.png"
cursor=$("$bin/morlen-petscii" dump --summary "$source_dir/resources/welcome_screen.seq" | awk '{print $7, $6}')
result=$(python3 "$source_dir/tests/compare_canvas.py" "$GUI_TMP/window.png" "$shot" --ignore-cell $cursor "$shot_scale")
echo "$result"
check "the installed program shows the screenshot's welcome screen" "differing 0" "$(grep -o 'differing [0-9]*' <<<"$result")"
[ -n "${GUI_KEEP_SCREENSHOT:-}" ] && cp "$GUI_TMP/window.png" "$GUI_KEEP_SCREENSHOT"
gui_quit
check "the installed program quits" 0 $?
gui_finish
