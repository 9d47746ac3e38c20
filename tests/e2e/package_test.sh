#!/bin/sh
# What a packager checks, with each tool that is installed (CI installs them
# all): the installed desktop entry (desktop-file-validate), the AppStream
# metadata (appstreamcli, offline) and the Debian package (lintian: no errors;
# its other findings are printed). The licence, the copyright file and the
# changelog stand beside the documentation in any case.
# Usage: package_test.sh SOURCE_DIR BUILD_DIR CMAKE
set -eu
source=$1
build=$2
cmake=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" "$cmake" --install "$build" --prefix /usr >/dev/null
share="$root/usr/share"
for file in LICENSE copyright changelog.gz; do
  [ -s "$share/doc/mudlark/$file" ] || { echo "FAIL: share/doc/mudlark/$file is not installed"; exit 1; }
done
grep -q "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" "$share/doc/mudlark/copyright" ||
  { echo "FAIL: the copyright file is not in the machine-readable format"; exit 1; }

checked=""
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$share/applications/mudlark.desktop"
  checked="$checked desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$share/metainfo/"*.metainfo.xml
  appstreamcli validate-tree --no-net "$root/usr"
  checked="$checked appstreamcli"
fi
if command -v lintian >/dev/null && command -v dpkg-shlibdeps >/dev/null && command -v file >/dev/null; then
  "$source/scripts/package.sh" "$build/package-test" >/dev/null
  lintian --fail-on error "$build/package-test/mudlark_"*.deb 2>/dev/null
  checked="$checked lintian"
fi
echo "installed tree and package pass:${checked:- (no validator installed)}"
