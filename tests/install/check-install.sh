#!/usr/bin/env bash
# The program as a user installs it: `cmake --install` into a scratch folder, and the Debian
# package unpacked into a scratch root. Each keeps every file under its prefix, holds the
# desktop files, starts, and seeds its application folder in the user's data folder without
# writing into the install.
# Arguments: the build folder, the application id, the version.
set -euo pipefail
build=$1 id=$2 version=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# $1 the folder that holds the install, $2 its prefix inside it.
check_layout() {
    local outside
    outside=$(find "$1" -mindepth 1 ! -type d ! -path "$2/*")
    [ -z "$outside" ] || fail "installed outside the prefix: $outside"
    for f in bin/dialwright share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
             share/icons/hicolor/scalable/apps/$id.svg share/man/man1/dialwright.1.gz; do
        [ -f "$2/$f" ] || fail "$f is not installed"
    done
    # Each PNG icon is as wide as its folder says; menus look for 48x48 first.
    [ -f "$2/share/icons/hicolor/48x48/apps/$id.png" ] || fail "no 48x48 icon is installed"
    local png size width
    for png in "$2"/share/icons/hicolor/*x*/apps/"$id".png; do
        size=$(basename "$(dirname "$(dirname "$png")")")
        # The width is the big-endian number at byte 16 of a PNG.
        width=$(od -An -tu1 -j16 -N4 "$png" | awk '{ print $1*2^24 + $2*2^16 + $3*2^8 + $4 }')
        [ "${width}x$width" = "$size" ] || fail "the $size icon is $width pixels wide"
    done
    local warnings
    warnings=$(zcat "$2/share/man/man1/dialwright.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warnings" ] || fail "the manual page: $warnings"
}

# $1 the folder that holds the install, $2 its prefix inside it. Runs the program as a user
# whose data folder is empty.
check_program() {
    local program=$2/bin/dialwright home=$scratch/home-$RANDOM before
    before=$(find "$1" -printf '%p %s %T@\n' | sort)
    run() {
        env -u DIALWRIGHT_HOME -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" \
            XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" "$program" "$@"
    }
    run --help > "$scratch/help.txt" || fail "$program --help failed"
    # Every command --help names has its section in the manual page.
    local commands manual
    commands=$(grep -oE '^ +dialwright [a-z]+' "$scratch/help.txt" | awk '{ print $2 }' | sort -u)
    [ -n "$commands" ] || fail "--help names no command as 'dialwright COMMAND': mend this check"
    manual=$(zcat "$2/share/man/man1/dialwright.1.gz")
    for c in $commands; do
        grep -q "^\.SS \"dialwright $c " <<< "$manual" \
            || fail "the manual page (data/dialwright.1.in) has no section for '$c'"
    done
    run init > "$scratch/init.txt" 2>&1 || fail "$program init failed: $(cat "$scratch/init.txt")"
    for f in SystemDB.mdb callflow.mdb memberDB.mdb waves mboxes; do
        [ -e "$home/data/dialwright/$f" ] || fail "init made no $f in the user's data folder"
    done
    [ "$before" = "$(find "$1" -printf '%p %s %T@\n' | sort)" ] \
        || fail "$program wrote into its install folder"
}

# cmake --install with DESTDIR, under a prefix that is nowhere else: every installed file
# lands under it, and the install manifest names nothing elsewhere.
dest=$scratch/dest prefix=/opt/dialwright-check
DESTDIR=$dest cmake --install "$build" --prefix "$prefix" > "$scratch/install.log" \
    || fail "cmake --install failed: $(cat "$scratch/install.log")"
check_layout "$dest" "$dest$prefix"
outside=$(grep -v "^$prefix/" "$build/install_manifest.txt" || true)
[ -z "$outside" ] || fail "the install wrote outside its prefix: $outside"
check_program "$dest" "$dest$prefix"

# The Debian package, built from this build's program.
cpack -G DEB -B "$scratch/package" --config "$build/CPackConfig.cmake" > "$scratch/cpack.log" \
    || fail "cpack failed: $(cat "$scratch/cpack.log")"
deb=$scratch/package/dialwright_${version}_amd64.deb
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$scratch/package")"
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6core6 libqt6widgets6 libqt6sql6 libqt6sql6-sqlite libqt6texttospeech6 \
         qt6-speech-flite-plugin libqt6multimedia6 gstreamer1.0-plugins-base \
         gstreamer1.0-plugins-good espeak-ng; do
    [[ ", $depends," == *", $p "* || ", $depends," == *", $p,"* ]] \
        || fail "the package does not depend on $p: $depends"
done
dpkg -x "$deb" "$scratch/root"
check_layout "$scratch/root" "$scratch/root/usr"
check_program "$scratch/root" "$scratch/root/usr"
echo "install and package checked: $(basename "$deb"), $(du -k "$deb" | cut -f1) kB"
