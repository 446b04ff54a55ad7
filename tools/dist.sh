#!/bin/sh
# The release artefacts in build/release/: the installers and the portable
# zips of both Windows architectures, velumor-encode's tarball and Debian
# package for Linux, and SHA256SUMS over all of them.
set -eu
cd "$(dirname "$0")/.."
release=build/release
rm -rf "$release"
mkdir -p "$release"

for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target velumor velumor-encode installer
done

version=$(sed -n 's/^!define VELUMOR_VERSION "\(.*\)"$/\1/p' build/win64/generated/installer.nsh)
for pair in win32:x86 win64:x64; do
  preset=${pair%%:*} arch=${pair#*:}
  cp "build/$preset/installer/Velumor-$version-setup-$arch.exe" "$release/"
  # The staged program folder as one folder "Velumor", ready to unpack and run.
  python3 - "build/$preset/dist" "$release/Velumor-$version-portable-$arch.zip" <<'PY'
import os, sys, zipfile
stage, target = sys.argv[1:3]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for folder, _, files in sorted(os.walk(stage)):
        for name in sorted(files):
            path = os.path.join(folder, name)
            archive.write(path, os.path.join("Velumor", os.path.relpath(path, stage)))
PY
done

# velumor-encode for Linux site builds, from the native build: the tarball
# and the Debian package (packaging/linux/).
cmake --preset native >/dev/null
cmake --build --preset native --target velumor-encode
sh packaging/linux/build-packages.sh build/native "$release" >/dev/null
(cd "$release" && sha256sum -- *.exe *.zip *.tar.gz *.deb >SHA256SUMS)
ls -l "$release"
