#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as a user gets it: made from the build tree the way
# `make package` makes it, judged by lintian, unpacked into a fresh root, its
# desktop files validated, and its programs run from the unpacked paths.
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
./usr/share/doc/morlen/copyright
$(for s in 128 16 256 32 48 64; do echo "./usr/share/icons/hicolor/${s}x${s}/apps/$id.png"; done)
./usr/share/icons/hicolor/scalable/apps/$id.svg
./usr/share/man/man1/morlen-petscii.1.gz
./usr/share/man/man1/morlen.1.gz
./usr/share/metainfo/$id.metainfo.xml
./usr/share/morlen/screenshots/main-window.png"
check "the package holds exactly the installed files" "$expected" \
  "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | LC_ALL=C sort)"

# What a Debian packager checks first. The only tag left is informational:
# hardening-no-fortify-functions, as no call in morlen has a size the
# compiler could check at run time (memcpy and the like into heap buffers).
lintian_out=$(lintian --pedantic "$deb" 2>&1 | grep -v 'running with root privileges')
echo "$lintian_out"
check "lintian --pedantic shows no error or warning" "" "$(grep -E '^[EW]: ' <<<"$lintian_out")"

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

# Release builds are hardened; the packaged programs carry no symbols and no
# compiler notes. morlen makes no call whose size the compiler could check
# at run time (memcpy and the like into heap buffers), so only the companion
# shows fortified calls; control-flow protection is not asked for.
for program in morlen-petscii morlen; do
  skip=(--nocfprotection)
  [ $program = morlen ] && skip+=(--nofortify)
  report=$(hardening-check "${skip[@]}" "$bin/$program" 2>&1); status=$?
  echo "$report"
  check "$program: PIE, stack protector, full RELRO, BIND_NOW (hardening-check)" 0 $status
  check "$program is stripped, without compiler notes" "stripped" \
    "$(file -b "$bin/$program" | grep -oE '(not )?stripped')$(readelf -S "$bin/$program" | grep -oE ' \.(comment|note) ')"
done

# The flags answer without a display and before the toolkit starts; a
# mistake ends the program at once with a usage error.
flags() { local out; out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$bin/morlen" "$@" 2>"$GUI_TMP/flags.err"); echo "$? $out $(cat "$GUI_TMP/flags.err")"; }
check "morlen --version without a display" "0 morlen 1.0.0 " "$(flags --version)"
help=$(env -u DISPLAY "$bin/morlen" --help); status=$?
check "morlen --help without a display prints the usage" "0 usage: morlen [--display DISPLAY]" "$status $(head -1 <<<"$help")"
check "-h is --help" "$help" "$(env -u DISPLAY "$bin/morlen" -h)"
check "an unknown flag" "2  morlen: unknown option '--verbose' (try --help)" "$(flags --verbose)"
check "an unknown flag wins over --help" "2  morlen: unknown option '-x' (try --help)" "$(flags --help -x)"
check "an argument" "2  morlen: unexpected argument 'board.seq' (try --help)" "$(flags board.seq)"
check "--display without a name" "2  morlen: --display needs a display name (try --help)" "$(flags --display)"

desktop=$share/applications/$id.desktop
out=$(desktop-file-validate "$desktop" 2>&1); status=$?
echo "$out"
check "desktop-file-validate passes without errors or warnings" "0 0" "$status $(grep -cE 'error|warning' <<<"$out")"
entry() { sed -n "s/^$1=//p" "$desktop"; }
check "the entry starts the installed program without arguments" 1 "$([ "$(entry Exec)" = morlen ] && [ -x "$bin/morlen" ] && echo 1 || echo 0)"
check "the entry's categories" "Network;Dialup;" "$(entry Categories)"
check "the entry's keywords" "BBS;PETSCII;C64;Commodore;telnet;terminal;" "$(entry Keywords | grep -oE '^(([^;]*;){6})')"
check "the entry names the installed icons" "$id" "$(entry Icon)"

metainfo=$share/metainfo/$id.metainfo.xml
# The screenshot is named by its installed path, where a software centre
# finds it without a network; appstreamcli wants a web address there, and
# that is the one thing it may say.
screenshot_url=file:///usr/share/morlen/screenshots/main-window.png
out=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1)
echo "$out"
check "appstreamcli validate --no-net finds nothing else" "" \
  "$(grep -E '^[EWIP]: ' <<<"$out" | grep -vE "^E: $id:[0-9]+: web-url-expected $screenshot_url\$")"
out=$(appstream-util validate-relax --nonet "$metainfo" 2>&1); status=$?
echo "$out"
check "appstream-util validate-relax passes" 0 $status
tag() { sed -n "s:.*<$1[^>]*>\(.*\)</$1>.*:\1:p" "$metainfo" | head -1; }
check "the metadata launches the desktop entry" "$id.desktop" "$(tag launchable)"
check "licence, the maintainer as update contact, this version's release notes" \
  "GPL-3.0-or-later $(field Maintainer | sed 's/.*<\(.*\)>/\1/') 1" \
  "$(tag project_license) $(tag update_contact) $(grep -c '<release version="1.0.0" date="[-0-9]*">' "$metainfo")"
check "the screenshot is the installed one" "$screenshot_url" "$(tag image)"
shot=$root${screenshot_url#file://}
shot_size=$(identify -format %wx%h "$shot" 2>&1)
check "the screenshot's size is the one the metadata names" \
  "$(sed -n 's:.*<image[^>]* width="\([0-9]*\)" height="\([0-9]*\)".*:\1x\2:p' "$metainfo")" "$shot_size"

# The copyright file is Debian's machine-readable format (lintian parses it
# above) and names the licences of what the programs link.
copyright=$share/doc/morlen/copyright
unnamed=""
for library in wxWidgets libcurl zlib libtelnet cairo GTK GLib "GNU C Library"; do grep -q "^  $library.*: " "$copyright" || unnamed+=" $library"; done
check "the copyright file: GPL-3+ for the programs, the linked libraries' licences" "GPL-3+ " \
  "$(sed -n 's/^License: //p' "$copyright") $unnamed"

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
undocumented=""
manual=$(MANWIDTH=200 man -l "$share/man/man1/morlen.1.gz" 2>/dev/null)
for flag in $("$bin/morlen" --help | grep -oE -- '(^| )--?[a-z]+' | sort -u); do
  grep -qF -- "$flag" <<<"$manual" || undocumented+=" $flag"
done
check "morlen's man page has every flag of its --help" "" "$undocumented"

# `make install` puts stripped programs under the prefix; `make uninstall`
# takes away exactly that: the files, and the directories it had to create
# unless something else lives in them now.
dest=$GUI_TMP/dest
mkdir -p "$dest/usr/local/share/man/man1" "$dest/usr/local/bin"
echo other >"$dest/usr/local/bin/other-program"
before=$(cd "$dest" && find . | LC_ALL=C sort)
install_make() { make -s -C "$source_dir" "$1" BUILD_DIR="$build" INSTALL_RECORD="$GUI_TMP/record" DESTDIR="$dest" PREFIX=/usr/local >"$GUI_TMP/$1.log" 2>&1; }
install_make install-built
check "make install: the package's files under the prefix" \
  "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's:^\./usr/:./usr/local/:' | LC_ALL=C sort)" \
  "$(cd "$dest" && find . -type f ! -name other-program | LC_ALL=C sort)"
check "make install strips the programs" "stripped stripped" \
  "$(for p in morlen morlen-petscii; do file -b "$dest/usr/local/bin/$p" | grep -oE '(not )?stripped'; done | xargs)"
echo mine >"$dest/usr/local/share/morlen/notes.txt"
install_make uninstall
check "make uninstall leaves what was there, and a directory filled since" \
  "$(printf '%s\n' "$before" ./usr/local/share/morlen ./usr/local/share/morlen/notes.txt | LC_ALL=C sort)" \
  "$(cd "$dest" && find . | LC_ALL=C sort)"

# The installed program's first frame, on a display named by the flag, is
# the screenshot: the same size, the same welcome screen (the cursor blinks).
shot_scale=2
"$bin/morlen-petscii" render --scale $shot_scale "$source_dir/resources/welcome_screen.seq" "$GUI_TMP/welcome.png"
cursor=$("$bin/morlen-petscii" dump --summary "$source_dir/resources/welcome_screen.seq" | awk '{print $7, $6}')
gui_config "" "$shot_scale"
env -u DISPLAY "$bin/morlen" --display "$DISPLAY" >"$GUI_TMP/program.log" 2>&1 &
GUI_PROGRAM=$!
GUI_PIDS+=($GUI_PROGRAM)
GUI_WINDOW=$(gui_wait_window '^Morlen v1\.0\.0/Vendorly$' 30) || { cat "$GUI_TMP/program.log"; gui_finish; exit 1; }
sleep 0.5  # let the first paint land
timeout 20 import -window "$GUI_WINDOW" "$GUI_TMP/window.png"
check "the window has the screenshot's size" "$shot_size" "$(identify -format %wx%h "$GUI_TMP/window.png")"
for picture in "$GUI_TMP/window.png" "$shot"; do
  result=$(python3 "$source_dir/tests/compare_canvas.py" "$picture" "$GUI_TMP/welcome.png" --ignore-cell $cursor "$shot_scale")
  echo "$result"
  check "$(basename "$picture") shows the welcome screen" "differing 0" "$(grep -o 'differing [0-9]*' <<<"$result")"
done
[ -n "${GUI_KEEP_SCREENSHOT:-}" ] && cp "$GUI_TMP/window.png" "$GUI_KEEP_SCREENSHOT"
gui_quit
check "the installed program quits" 0 $?
gui_finish
