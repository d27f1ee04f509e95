#!/usr/bin/env bash
# Builds the Debian package from a build folder, unpacks it into a
# temporary root and runs the programs from there as an installed copy:
# the tool on a sample, the program offscreen on a sample (it must find its
# language file and open the file without a word), and checks that
# everything the package promises is where it belongs, that the stand-ins
# for the outside programs are not in it, and that the file types it
# claims are the database files and not every CSV file.
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/out/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
case "$depends" in *-dev*) fail "a development package among the dependencies";; esac
case "$depends" in *libqt6widgets6*) ;; *) fail "the Qt runtime is not among the dependencies";; esac
dpkg-deb -x "$deb" "$work/root"
usr=$work/root/usr

for f in lib/quorvane/quorvane lib/quorvane/quorvane-tool lib/quorvane/quorvane-loggersim; do
  [ -x "$usr/$f" ] || fail "$f is missing"
done
# Where the program looks for the real transfer programs, or anywhere else:
# a stand-in installed would pass for them.
standins=$(find "$work/root" -iname 'KorvalindTalk*' -o -iname 'catcom32*')
[ -z "$standins" ] || fail "the package holds a stand-in: $standins"
for f in bin/quorvane bin/quorvane-tool bin/quorvane-loggersim; do
  [ -L "$usr/$f" ] || fail "$f is not a link"
done
for f in lib/quorvane/lang_en.txt lib/quorvane/docs/guide/index.html \
         lib/quorvane/docs/main-window.png lib/quorvane/docs/map.png \
         share/applications/quorvane.desktop \
         share/icons/hicolor/scalable/apps/quorvane.svg \
         share/icons/hicolor/48x48/apps/quorvane.png share/mime/packages/quorvane.xml \
         share/man/man1/quorvane.1.gz share/man/man1/quorvane-tool.1.gz \
         share/man/man1/quorvane-loggersim.1.gz share/doc/quorvane/copyright; do
  [ -f "$usr/$f" ] || fail "$f is missing"
done
head -1 "$usr/share/doc/quorvane/copyright" |
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in Debian's format"
if command -v groff >/dev/null; then
  for page in "$usr"/share/man/man1/*.1.gz; do
    warnings=$(gzip -dc "$page" | groff -man -ww -z 2>&1) || true
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
  done
fi
desktop=$usr/share/applications/quorvane.desktop
grep -qx 'Exec=quorvane %F' "$desktop" || fail "the desktop entry does not open files"
grep -qx 'MimeType=application/x-quorvane-dma;application/x-quorvane-pdb;' "$desktop" ||
  fail "the desktop entry claims other types: $(grep MimeType "$desktop")"

# The database files are known by their header, other CSV files stay
# text/csv: asked of the system's MIME rules merged with ours, as an
# installation merges them.
system_mime=/usr/share/mime/packages/freedesktop.org.xml
if command -v update-mime-database >/dev/null && command -v gio >/dev/null &&
   [ -f "$system_mime" ]; then
  mkdir -p "$work/mime/mime/packages" "$work/files"
  cp "$system_mime" "$usr/share/mime/packages/quorvane.xml" "$work/mime/mime/packages/"
  update-mime-database "$work/mime/mime" >/dev/null 2>&1
  cp "$source/samples/north.csv" "$source/samples/east.pdb" "$work/files/"
  printf 'name,value\r\n1,2\r\n' >"$work/files/other.csv"
  printf 'HEADER    PROTEIN\r\n' >"$work/files/other.pdb"
  for expect in north.csv=application/x-quorvane-dma east.pdb=application/x-quorvane-pdb \
                other.csv=text/csv other.pdb=!application/x-quorvane-pdb; do
    file=${expect%%=*} want=${expect#*=}
    type=$(XDG_DATA_HOME=$work/mime-home XDG_DATA_DIRS=$work/mime \
           gio info -a standard::content-type "$work/files/$file" |
           sed -n 's/^ *standard::content-type: //p')
    case "$want" in
      !*) [ "$type" != "${want#!}" ] || fail "$file is taken for $type";;
      *) [ "$type" = "$want" ] || fail "$file is $type, not $want";;
    esac
  done
else
  echo "package test: no gio or update-mime-database here; file types not checked"
fi

# Run as a user would, with settings and data of its own.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
mkdir -p "$HOME"
out=$("$usr/bin/quorvane-tool" check "$source/samples/north.csv")
case "$out" in "result 0"*) ;; *) fail "quorvane-tool check said: $out";; esac
QT_QPA_PLATFORM=offscreen timeout 120 "$usr/bin/quorvane" --smoke-test \
  "$source/samples/north.csv" 2>"$work/err" ||
  { cat "$work/err" >&2; fail "the installed program did not start cleanly"; }
if grep -q "^quorvane:" "$work/err"; then cat "$work/err" >&2; fail "the program spoke"; fi
echo "package test: $(basename "$deb") installs and runs"
