# The Debian package as users get it: lintian finds no error or warning, the
# files are exactly those of package_files.txt, the desktop entry and the
# AppStream metadata (both in every language) and the manual pages pass
# their validators, the package depends on every library its programs link
# to, and its headless host, unpacked into a throwaway root, empties a card
# into the target folder.
source "$(dirname "$0")/lib/common.sh"
source "$(dirname "$0")/lib/package.bash" "$1"
for tool in lintian appstreamcli desktop-file-validate man lexgrog objdump; do
  command -v "$tool" >/dev/null || pkg_skip "$tool is not installed"
done
ROOT=$QF_WORK/root
pkg_unpack "$ROOT"

# lintian over the .deb and the build's .changes and .buildinfo.
lintian_out=$(lintian --tag-display-limit 0 "$PKG_CHANGES" 2>&1) || true
if grep -E '^[EW]: ' <<<"$lintian_out" >&2; then pkg_fail "lintian reports the lines above"; fi

# The file list, less sizes and times; the application id is written @APP_ID@.
listing=$(dpkg-deb -c "$PKG_DEB" | awk '{ line = $1 " " $2; for (i = 6; i <= NF; i++) line = line " " $i; print line }' |
  sed "s/$PKG_APP_ID/@APP_ID@/g" | sort -k3)
expected=$(dirname "$0")/package_files.txt
diff -u <(grep -v "^#" "$expected") <(echo "$listing") >&2 || pkg_fail "the package's files differ from $expected"

entry=$ROOT/usr/share/applications/$PKG_APP_ID.desktop
validation=$(desktop-file-validate "$entry" 2>&1) || pkg_fail "desktop-file-validate: $validation"
[ -z "$validation" ] || pkg_fail "desktop-file-validate: $validation"
if grep -q '^MimeType=' "$entry"; then pkg_fail "the entry offers itself for media types: being offered is the user's choice"; fi

metainfo=$ROOT/usr/share/metainfo/$PKG_APP_ID.metainfo.xml
validation=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1) || pkg_fail "appstreamcli: $validation"
if grep -E '^[EW]: ' <<<"$validation" >&2; then pkg_fail "appstreamcli reports the lines above"; fi
grep -q "<release version=\"$PKG_VERSION\"" "$metainfo" || pkg_fail "the metainfo names no release $PKG_VERSION"
# Menus and software centres show the program in every language it speaks.
for file in "$ROOT"/usr/share/quillfen/*.ini; do
  [ "$(basename "$file")" != English.ini ] || continue
  locale=$(sed -n 's/^Locales=//p' "$file" | awk '{ print $1 }')
  for key in Name GenericName Comment Keywords; do
    grep -q "^$key\[$locale\]=" "$entry" || pkg_fail "the menu entry has no $key[$locale]"
  done
  grep -q "<summary xml:lang=\"$locale\">" "$metainfo" || pkg_fail "the metainfo has no summary in $locale"
  grep -q "<p xml:lang=\"$locale\">" "$metainfo" || pkg_fail "the metainfo has no description in $locale"
done

for page in "$ROOT"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || pkg_fail "man warns about $(basename "$page"): $warnings"
  lexgrog "$page" >/dev/null || pkg_fail "lexgrog finds no NAME section in $(basename "$page")"
done

# Every library the programs link to directly is named in Depends (dh_shlibdeps).
depends=$(dpkg-deb -f "$PKG_DEB" Depends)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for program in "$ROOT"/usr/lib/quillfen/quillfen "$ROOT"/usr/lib/quillfen/quillfen-script; do
  for library in $(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }'); do
    owner=$(dpkg -S "*/$multiarch/$library" 2>/dev/null | head -n 1 | cut -d: -f1)
    [ -n "$owner" ] || pkg_fail "no installed package has $library"
    [[ ", $depends," == *", $owner "* || ", $depends," == *", $owner,"* ]] ||
      pkg_fail "$(basename "$program") links $library of $owner, which Depends does not name: $depends"
  done
done

# The installed headless host, started through its link in /usr/bin, empties
# a card: every picture arrives byte for byte and the card keeps none.
QF_PROGRAM_DIR=$ROOT/usr/lib/quillfen
QF_SCRIPT=$ROOT/usr/bin/quillfen-script
qf_private_home
card="$QF_WORK/media/EOS DIGITAL"
target=$QF_WORK/Pictures
mkdir -p "$target"
for n in 1 2 3 4 5; do
  qf_write_picture "$card/DCIM/100TEST/IMG_000$n.JPG" $((1000 * n + 17)) "2026-05-0$n 10:00:00"
done
before=$(qf_fingerprint "$card/DCIM")
qf_settings Automoving True AutoRename False Subfolder False Target "$target"
qf_run "$QF_AUTOMOVE" "$card"
grep -qx "load-movie $QF_PROGRAM_DIR/Flex/bin/Quillfen.html" "$QF_LOG" || qf_fail "the host did not load the installed movie"
qf_expect_box "text=$(qf_dialog files_moved) -> OK"
[ "$(qf_fingerprint "$target")" = "$before" ] || qf_fail "the pictures in the target differ from those on the card"
[ -z "$(find "$card/DCIM" -type f)" ] || qf_fail "pictures stayed on the card"
echo "PASS: $(basename "$PKG_DEB") ($(stat -c %s "$PKG_DEB") bytes) is lintian-clean, complete, valid, and its host moved a card"
