# Shared by the tests of the Debian package (tests/e2e/package_*.sh): the
# package of this source and the means to look into it. Source it after the
# helpers that give the test its temporary folder and clean-up
# (lib/common.sh or gui_common.bash), with the build's program folder as $1.
#
# The package is build/package/quillfen_<version>_<arch>.deb, made by
# scripts/package, which scripts/test runs before the tests. When it is
# missing or older than any file of the source but the tests (a test run on
# its own after an edit), the first test to need it builds it again; a lock
# makes the others wait for that one build rather than start their own.

PKG_SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
PKG_BUILD_DIR=$(cd "$1/.." && pwd)
PKG_OUT=$PKG_BUILD_DIR/package

pkg_fail() { echo "FAIL: $*" >&2; exit 1; }
pkg_skip() { echo "SKIPPED: $*" >&2; exit 77; }

for tool in dpkg-deb cmake flock; do
  command -v "$tool" >/dev/null || pkg_skip "$tool is not installed"
done

eval "$(cmake -P "$PKG_SOURCE_DIR/cmake/QuillfenRelease.cmake")"  # version=..., date=...
PKG_VERSION=$version
PKG_DEB=$PKG_OUT/quillfen_${PKG_VERSION}_$(dpkg --print-architecture).deb
PKG_CHANGES=${PKG_DEB%.deb}.changes
# The application id the build was configured with (cmake/QuillfenInstall.cmake).
PKG_APP_ID=$(sed -n 's/^QUILLFEN_APP_ID:[A-Z]*=//p' "$PKG_BUILD_DIR/CMakeCache.txt")
[ -n "$PKG_APP_ID" ] || pkg_fail "no QUILLFEN_APP_ID in $PKG_BUILD_DIR/CMakeCache.txt"

_pkg_stale() {
  [ ! -f "$PKG_DEB" ] && return 0
  find "$PKG_SOURCE_DIR" \( -path "$PKG_SOURCE_DIR/build*" -o -path "$PKG_SOURCE_DIR/.git" -o -path "$PKG_SOURCE_DIR/tests" \) -prune \
    -o -type f -newer "$PKG_DEB" -print -quit | grep -q .
}

# pkg_unpack ROOT: the package, fresh, unpacked into the folder ROOT as dpkg
# would install it there.
pkg_unpack() {
  mkdir -p "$PKG_OUT"
  (
    flock 9
    if _pkg_stale; then
      echo "the package is missing or older than the source: building it (scripts/package)" >&2
      bash "$PKG_SOURCE_DIR/scripts/package" "$PKG_OUT" >/dev/null || exit 1
    fi
  ) 9>"$PKG_OUT/.lock" || pkg_fail "scripts/package failed"
  dpkg -x "$PKG_DEB" "$1" || pkg_fail "dpkg -x $PKG_DEB failed"
}
