#!/bin/sh
# The Linux release files of velumor-encode, made from a native build:
#   velumor-encode-<version>-linux-<processor>.tar.gz  one folder to unpack and run
#   velumor-encode_<version>_<arch>.deb                 the Debian package
#
#   sh packaging/linux/build-packages.sh BUILD_DIR OUT_DIR
#
# Both come out the same byte for byte from the same commit: every entry
# carries the commit's time (or SOURCE_DATE_EPOCH), entries are sorted and
# belong to root.
set -eu
umask 022
here=$(cd "$(dirname "$0")" && pwd)
sources=$(cd "$here/../.." && pwd)
build=$1
out=$2

conf=$build/generated/package.conf
tool=$build/bin/velumor-encode
for file in "$conf" "$tool"; do
  [ -f "$file" ] || { echo "Es fehlt $file: bitte zuerst den native-Build bauen." >&2; exit 1; }
done
# The package declares no dependencies: that holds only for a program
# without a dynamic loader.
if readelf -l "$tool" | grep -q 'Requesting program interpreter'; then
  echo "$tool ist dynamisch gebunden; das Paket braucht das statisch gebundene Programm des native-Builds." >&2
  exit 1
fi

value() { sed -n "s/^$1=//p" "$conf"; }
version=$(value version)
processor=$(value processor)
maker_name=$(value maker_name)
maker_mail=$(value maker_mail)
maker_host=$(value maker_host)
arch=$(dpkg --print-architecture)
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$sources" log -1 --format=%ct 2>/dev/null) || {
    echo "Kein Git-Commit in $sources: bitte SOURCE_DATE_EPOCH setzen." >&2
    exit 1
  }
fi
export SOURCE_DATE_EPOCH
commit=$(git -C "$sources" rev-parse --short HEAD 2>/dev/null || true)

# The templates' @NAME@ fields; the values are escaped for sed.
escaped() { printf '%s' "$1" | sed 's/[\\|&]/\\&/g'; }
fill() {
  sed -e "s|@VERSION@|$(escaped "$version")|g" -e "s|@PROCESSOR@|$(escaped "$processor")|g" \
      -e "s|@ARCH@|$(escaped "$arch")|g" -e "s|@MAKER_NAME@|$(escaped "$maker_name")|g" \
      -e "s|@MAKER_MAIL@|$(escaped "$maker_mail")|g" -e "s|@MAKER_HOST@|$(escaped "$maker_host")|g" \
      -e "s|@DATE@|$(date -u -d "@$SOURCE_DATE_EPOCH" +%Y-%m-%d)|g" \
      -e "s|@INSTALLED_SIZE@|${installed_size:-}|g" "$1"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
# Stripped as dh_strip does it, without the compiler's notes.
stripped=$work/velumor-encode
strip --strip-all --remove-section=.comment --remove-section=.note -o "$stripped" "$tool"
chmod 755 "$stripped"
stamp() { find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +; }

# The tarball: one folder, the program, the decoder script, README, copyright,
# and the licence of the parser inside the program, for systems without
# Debian's common licences.
top=velumor-encode-$version-linux-$processor
folder=$work/tar/$top
install -d -m 755 "$folder"
install -m 755 "$stripped" "$folder/velumor-encode"
install -m 644 "$sources/core/velumor-decode.js" "$folder/velumor-decode.js"
fill "$here/README.in" >"$folder/README"
fill "$here/copyright.in" >"$folder/copyright"
install -m 644 /usr/share/common-licenses/Apache-2.0 "$folder/gumbo-LICENSE.txt"
chmod 644 "$folder/README" "$folder/copyright"
stamp "$work/tar"
(cd "$work/tar" && tar --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner \
  --format=gnu -cf - "$top") | gzip -9n >"$out/$top.tar.gz.part"
mv "$out/$top.tar.gz.part" "$out/$top.tar.gz"

# The Debian package, from a staged tree.
deb=$work/deb
doc=$deb/usr/share/doc/velumor-encode
install -d -m 755 "$deb/DEBIAN" "$deb/usr/bin" "$deb/usr/share/velumor-encode" "$deb/usr/share/man/de/man1" \
  "$doc" "$deb/usr/share/lintian/overrides"
chmod 755 "$deb"
install -m 755 "$stripped" "$deb/usr/bin/velumor-encode"
install -m 644 "$sources/core/velumor-decode.js" "$deb/usr/share/velumor-encode/velumor-decode.js"
fill "$here/velumor-encode.1.in" | gzip -9n >"$deb/usr/share/man/de/man1/velumor-encode.1.gz"
fill "$here/copyright.in" >"$doc/copyright"
# A native package (the version has no Debian revision): its changelog is changelog.gz.
{
  printf 'velumor-encode (%s) unstable; urgency=medium\n\n' "$version"
  printf '  * velumor-encode %s%s.\n\n' "$version" "${commit:+, Commit $commit}"
  printf ' -- %s <%s>  %s\n' "$maker_name" "$maker_mail" "$(LC_ALL=C date -u -R -d "@$SOURCE_DATE_EPOCH")"
} | gzip -9n >"$doc/changelog.gz"
install -m 644 "$here/lintian-overrides" "$deb/usr/share/lintian/overrides/velumor-encode"
chmod 644 "$deb/usr/share/man/de/man1/velumor-encode.1.gz" "$doc/copyright" "$doc/changelog.gz"

# Installed-Size as dpkg-gencontrol counts it: KiB per file rounded up, one per directory.
installed_size=$(cd "$deb" && find usr \( -type f -printf '%s\n' \) -o -printf '1024\n' |
  awk '{ total += int(($1 + 1023) / 1024) } END { print total }')
fill "$here/control.in" >"$deb/DEBIAN/control"
(cd "$deb" && find usr -type f | LC_ALL=C sort | xargs md5sum) >"$deb/DEBIAN/md5sums"
chmod 644 "$deb/DEBIAN/control" "$deb/DEBIAN/md5sums"
stamp "$deb"
package=velumor-encode_${version}_$arch.deb
dpkg-deb --root-owner-group -Zxz --build "$deb" "$out/$package.part" >/dev/null
mv "$out/$package.part" "$out/$package"
echo "$out/$top.tar.gz"
echo "$out/$package"
