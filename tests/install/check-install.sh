#!/usr/bin/env bash
# Installs the build into an empty root the way a package would, checks what a desktop reads
# (menu entry, AppStream description, icons, manual page, theme files), then builds the Debian
# package and reads its control data and file list. Exit 77 means a needed tool is missing.
set -euo pipefail
build=$1
for tool in desktop-file-validate appstreamcli dpkg-deb dpkg-shlibdeps cpack; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR="$root/dest" cmake --install "$build" --prefix /usr >/dev/null
usr="$root/dest/usr"
id=org.tunevane.Tunevane
for file in bin/tunevane bin/tunevane-cli share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
            share/icons/hicolor/scalable/apps/$id.svg share/man/man1/tunevane-cli.1 \
            share/tunevane/Skin/NormalWhite.ini share/tunevane/Skin/NormalBlack.ini \
            share/tunevane/Skin/Light/tray_idle.ico share/tunevane/Skin/Dark/tray9.ico \
            share/tunevane/Skin/Dark/img_list_icons.bmp share/tunevane/Skin/Dark/img_list_icons.bmp.svg; do
    [ -s "$usr/$file" ] || fail "not installed: $file"
done
[ -x "$usr/bin/tunevane" ] && [ -x "$usr/bin/tunevane-cli" ] || fail "the programs are not executable"

desktop-file-validate "$usr/share/applications/$id.desktop" || fail "the menu entry is not valid"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" || fail "the AppStream file is not valid"
grep -q "^Icon=$id\$" "$usr/share/applications/$id.desktop" || fail "the menu entry names another icon"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$usr/share/metainfo/$id.metainfo.xml" ||
    fail "the AppStream file does not launch the menu entry"

# Every raster icon has the size its folder promises.
for dir in "$usr"/share/icons/hicolor/*x*/apps; do
    size=$(basename "$(dirname "$dir")")
    png="$dir/$id.png"
    [ -s "$png" ] || fail "no icon in $size"
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4, $7*256+$8}')
    [ "${width}x${height}" = "$size" ] || fail "icon of $size is ${width}x${height}"
done
[ "$(ls -d "$usr"/share/icons/hicolor/*x* | wc -l)" -ge 6 ] || fail "too few icon sizes"

# The Debian package: its dependencies come from the libraries the programs link.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$root/pkg" >/dev/null
deb=$(ls "$root"/pkg/*.deb)
info=$(dpkg-deb -I "$deb")
files=$(dpkg-deb -c "$deb")
for dependency in libqt6widgets6 libavcodec libtag1v5 ffmpeg; do
    grep -q "Depends:.*$dependency" <<<"$info" || fail "the package does not depend on $dependency"
done
for file in ./usr/bin/tunevane ./usr/bin/tunevane-cli ./usr/share/applications/$id.desktop \
            ./usr/share/metainfo/$id.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/$id.svg \
            ./usr/share/man/man1/tunevane-cli.1; do
    grep -q " $file\$" <<<"$files" || fail "the package lacks $file"
done
echo "installed layout, menu entry, AppStream file, icons and package are in order"
