#!/usr/bin/env bash
# Makes the Debian packages from a built tree and checks them as a user would meet them:
# their contents and dependencies, lintian with no errors, then install, run and remove.
# korvane-hall (where the tree built the hall) is also started as its service and asked
# for its page and a ticket. Needs root (or sudo) for the installs.
# Usage: tools/check_deb.sh [BUILD_DIR]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
tools=$(cd "$(dirname "$0")" && pwd)
root=()
[ "$(id -u)" -eq 0 ] || root=(sudo)
fail() { echo "check_deb: $*" >&2; exit 1; }

cd "$build"
rm -f korvane_*.deb korvane-hall_*.deb
# CPack's install rewrites install_manifest.txt, the list a player's own install left for
# uninstalling; it is put back as it was.
kept=$(mktemp -d)
trap 'rm -rf "$kept"' EXIT
[ ! -f install_manifest.txt ] || cp -p install_manifest.txt "$kept/"
cpack -G DEB >cpack.log || { cat cpack.log; fail "cpack failed"; }
rm -f install_manifest.txt
[ ! -f "$kept/install_manifest.txt" ] || cp -p "$kept/install_manifest.txt" .
debs=(korvane_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no korvane_*.deb"
deb=$PWD/${debs[0]}
echo "made $deb"

version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
listing=$(dpkg-deb -c "$deb")
for file in usr/games/korvane usr/share/applications/org.korvane.Korvane.desktop \
    usr/share/metainfo/org.korvane.Korvane.metainfo.xml \
    usr/share/icons/hicolor/48x48/apps/korvane.png usr/share/icons/hicolor/scalable/apps/korvane.svg \
    usr/share/doc/korvane/copyright usr/share/doc/korvane/changelog.Debian.gz \
    usr/share/man/man6/korvane.6.gz; do
    grep -q " \./$file\$" <<<"$listing" || fail "$file missing from the package"
done
# shlibdeps read the binary: Qt and SDL come in with versions.
for lib in libqt6widgets6 libsdl2; do
    grep -Eq "(^|, )$lib[^,]* \(>=" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
logged=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/doc/korvane/changelog.Debian.gz |
    gzip -dc | sed -n '1s/^korvane (\([^)]*\)).*/\1/p')
[ "$logged" = "$version" ] || fail "changelog's newest entry is $logged, the package $version"

lintian --fail-on error --info "$deb" || fail "lintian found errors"

export DEBIAN_FRONTEND=noninteractive
"${root[@]}" apt-get install -y -qq -o DPkg::Lock::Timeout=600 "$deb" >/dev/null
answer=$(/usr/games/korvane --version || true)
"${root[@]}" apt-get remove -y -qq -o DPkg::Lock::Timeout=600 korvane >/dev/null
[ "$answer" = "korvane ${version%-*}" ] || fail "installed game answered '$answer' for $version"
[ ! -e /usr/games/korvane ] || fail "/usr/games/korvane left behind after removal"
echo "check_deb: $(basename "$deb") installs, answers '$answer' and removes cleanly"

halls=(korvane-hall_*.deb)
if [ ! -f "${halls[0]}" ]; then
    echo "check_deb: no korvane-hall package (the hall was not built): its check is left out"
    exit 0
fi
"$tools/check_hall_deb.sh" "$PWD/${halls[0]}" "$version"
