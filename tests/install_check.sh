#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The installed program: cmake --install into a temporary prefix gives both programs (the
# renderer module found beside them), the menu entry, the MIME type, AppStream data, icons and
# manual pages, each valid by the desktop's own tools; CPack makes a Debian package of it.
# Usage: install_check.sh BUILD_DIR WORK_DIR (exit 77: tools missing).
set -euo pipefail
build=$1
work=$2
for tool in desktop-file-validate appstreamcli xmllint dpkg-deb dpkg-shlibdeps cpack; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is missing (scripts/install-deps.sh --test)"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
echo "installed files:"
(cd "$prefix" && find . -type f -o -type l | sort | sed 's/^/  /')
expect=(bin/brelo bin/brelo-cli lib/brelo/brelo-render.so share/applications/org.brelo.brelo.desktop
  share/mime/packages/org.brelo.brelo.xml share/metainfo/org.brelo.brelo.metainfo.xml
  share/icons/hicolor/scalable/apps/org.brelo.brelo.svg share/icons/hicolor/48x48/apps/org.brelo.brelo.png
  share/icons/hicolor/128x128/apps/org.brelo.brelo.png share/icons/hicolor/256x256/apps/org.brelo.brelo.png
  share/man/man1/brelo.1.gz share/man/man1/brelo-cli.1.gz)
for f in "${expect[@]}"; do [[ -f "$prefix/$f" ]] || { echo "missing: $f"; exit 1; }; done
"$prefix/bin/brelo-cli" --version
"$prefix/bin/brelo" --version
desktop-file-validate "$prefix/share/applications/org.brelo.brelo.desktop"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.brelo.brelo.metainfo.xml"
xmllint --noout "$prefix/share/mime/packages/org.brelo.brelo.xml"
# The MIME type as the desktop sees it: a database built from the package alone.
if command -v update-mime-database >/dev/null; then
  mkdir -p "$work/mime/packages"
  cp "$prefix/share/mime/packages/org.brelo.brelo.xml" "$work/mime/packages/"
  update-mime-database "$work/mime"
  grep -q "application/x-garmin-jnx" "$work/mime/globs2"
fi
zcat "$prefix/share/man/man1/brelo-cli.1.gz" | grep -q "export-tar"
# The installed brelo-cli draws through its installed module.
"$prefix/bin/brelo-cli" render "$(dirname "$0")/../samples/tatry.jnx" "$work/r.png" --size 200x150 >/dev/null
[[ -s "$work/r.png" ]]
# The Debian package, its dependencies from dpkg-shlibdeps.
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/brelo_*.deb)
dpkg-deb -c "$deb" | awk '{print $NF}' | sort >"$work/deb.txt"
for f in "${expect[@]}"; do grep -q "^\./usr/$f\$" "$work/deb.txt" || { echo "not in the package: $f"; exit 1; }; done
depends=$(dpkg-deb -f "$deb" Depends)
echo "package: $(basename "$deb"), depends: $depends"
[[ "$depends" == *libqt6widgets6* && "$depends" == *libjpeg62-turbo* ]]
echo "install and package checked in $work"
