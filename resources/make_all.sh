#!/bin/sh
# Makes every file in resources/ again from the scripts beside it.
# The build does not call this; the made files are kept with the sources.
#
# Needs the Debian packages python3-pil and fonts-dejavu-core:
#   apt-get install -y python3-pil fonts-dejavu-core
set -eu
cd "$(dirname "$0")"

PY=/usr/bin/python3
if ! "$PY" -c 'import PIL' 2>/dev/null; then
  echo "make_all.sh: Pillow fehlt (apt-get install -y python3-pil)" >&2
  exit 1
fi
if [ ! -f /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf ]; then
  echo "make_all.sh: DejaVu-Schriften fehlen (apt-get install -y fonts-dejavu-core)" >&2
  exit 1
fi

export PYTHONDONTWRITEBYTECODE=1
"$PY" make_icons.py      # velumor.ico, info_icon.ico, info_pointer.cur
"$PY" make_pictures.py   # info_banner.jpg, SID1.jpg, SID2.jpg
"$PY" make_sounds.py     # in.wav, out.wav, err.wav
"$PY" make_help.py       # hilfe/*.htm, hilfe/hilfe.css, hilfe/velumor.png
echo "resources: alle Dateien neu erstellt"
