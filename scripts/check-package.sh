#!/usr/bin/env bash
# Checks what an installation gets: the desktop entry and AppStream metadata pass their
# validators, the Debian package holds every installed file and passes lintian without errors,
# and the installed tree starts headless from its bin/ link and finds its help collection and its
# modules (the web view, the media player's backend).
#   scripts/check-package.sh BUILD_DIR DEB
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
deb=$2
work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

echo "-- desktop-file-validate"
desktop-file-validate packaging/sonarvex.desktop | tee "$work/desktop.log"
! grep -Eq ': (error|warning):' "$work/desktop.log" || fail "the desktop entry has errors or warnings"

echo "-- appstreamcli validate --no-net"
appstreamcli validate --no-net packaging/sonarvex.metainfo.xml

echo "-- package contents"
dpkg-deb -c "$deb" | awk '{ print $6 ($7 == "->" ? " -> " $8 : "") }' | sed 's|^\./|/|' > "$work/files"
expected=(/usr/lib/sonarvex/sonarvex /usr/lib/sonarvex/libsonarvex-browser.so /usr/lib/sonarvex/libsonarvex-multimedia.so
          /usr/lib/sonarvex/EXTENSIO.CFG /usr/lib/sonarvex/LICENSE.TXT /usr/lib/sonarvex/INFO.URL /usr/lib/sonarvex/SONARVEX.qhc /usr/lib/sonarvex/SONARVEX.qch
          "/usr/bin/sonarvex -> ../lib/sonarvex/sonarvex"
          /usr/share/applications/sonarvex.desktop /usr/share/metainfo/sonarvex.metainfo.xml
          /usr/share/icons/hicolor/scalable/apps/sonarvex.svg /usr/share/man/man1/sonarvex.1.gz
          /usr/share/doc/sonarvex/README.md /usr/share/doc/sonarvex/LICENSE.TXT
          /usr/share/doc/sonarvex/copyright /usr/share/doc/sonarvex/changelog.gz)
for size in 16 32 48 64 128 256; do expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/sonarvex.png"); done
for f in "${expected[@]}"; do grep -qxF "$f" "$work/files" || fail "$deb lacks $f"; done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for p in libqt6core6 libqt6widgets6 libqt6webenginewidgets6 libqt6svg6 gstreamer1.0-plugins-base \
         gstreamer1.0-plugins-good; do
  grep -q "\b$p\b" <<<"$depends" || fail "Depends lacks $p"
done

echo "-- lintian"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"

echo "-- installed tree"
DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
program="$work/root/usr/bin/sonarvex"
[ -L "$program" ] || fail "bin/sonarvex is not a link"
folder=$(dirname "$(readlink -f "$program")")
[ "$folder" = "$work/root/usr/lib/sonarvex" ] || fail "bin/sonarvex leads to $folder"
# The collection names its documentation relative to itself: both must be found together.
python3 - "$folder/SONARVEX.qhc" <<'PY' || fail "the installed help collection is unusable"
import os, sqlite3, sys
qhc = sys.argv[1]
db = sqlite3.connect("file:" + qhc + "?mode=ro", uri=True)
files = [row[0] for row in db.execute("SELECT FilePath FROM NamespaceTable")]
assert files, "no documentation registered"
for f in files:
    path = os.path.join(os.path.dirname(qhc), f)
    assert os.path.isfile(path), path + " missing"
    sqlite3.connect("file:" + path + "?mode=ro", uri=True).execute("SELECT COUNT(*) FROM FileNameTable").fetchone()
print("help collection:", ", ".join(files))
PY
# The web view module, loaded when a page is first shown, finds the libraries it links and offers
# its entry points; the program itself must not link the web engine.
python3 - "$folder/libsonarvex-browser.so" <<'PY' || fail "the installed browser module cannot be loaded"
import ctypes, sys
module = ctypes.CDLL(sys.argv[1])
assert module.SonarvexBrowserEngineVersion() > 0 and module.SonarvexCreateBrowserEngine
print("browser module: interface", module.SonarvexBrowserEngineVersion())
PY
python3 - "$folder/libsonarvex-multimedia.so" <<'PY' || fail "the installed media module cannot be loaded"
import ctypes, sys
module = ctypes.CDLL(sys.argv[1])
assert module.SonarvexMediaEngineVersion() > 0 and module.SonarvexCreateMediaEngine
print("media module: interface", module.SonarvexMediaEngineVersion())
PY
ldd "$folder/sonarvex" > "$work/ldd"
! grep -q WebEngine "$work/ldd" || fail "the program links the web engine itself"
! grep -q Multimedia "$work/ldd" || fail "the program links the media framework itself"
if grep -rqF '"--version"' src/app; then
  version=$(SONARVEX_DATA_DIR="$work/data" QT_QPA_PLATFORM= DISPLAY= WAYLAND_DISPLAY= timeout 60 "$program" --version) \
    || fail "--version failed"
  [ "$version" = "Corvantis Sonarvex 1.5" ] || fail "--version printed: $version"
  echo "$version"
else
  echo "(--version is not answered by this build: skipped)"
fi

# A user who may not write to the installed program folder: an unattended report run (which
# starts the program headless and ends it normally, saving its settings) must leave the program
# folder as installed and keep everything in the user's private folder. Root is checked as the
# unprivileged user nobody, since file permissions do not stop root.
chmod 755 "$work"
mkdir -p "$work/home/run" "$work/empty"
chmod 700 "$work/home/run"
run=(env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/home/run" QTWEBENGINE_DISABLE_SANDBOX=1)
if [ "$(id -u)" -eq 0 ]; then
  chown -R 65534:65534 "$work/home"
  run=(setpriv --reuid=65534 --regid=65534 --clear-groups "${run[@]}")
else
  chmod a-w "$folder"
fi
before=$(ls -A "$folder")
rc=0
timeout 60 "${run[@]}" "$program" /REPORT 0 "$work/home/report.txt" "$work/empty" || rc=$?
[ "$rc" -ne 124 ] && [ "$rc" -lt 128 ] || fail "the installed program did not end by itself (status $rc)"
[ "$(ls -A "$folder")" = "$before" ] || fail "the program wrote into its installed folder"
user="$work/home/.config/sonarvex"
[ "$(stat -c %a "$user")" = 700 ] || fail "$user is missing or not private"
for f in MAIN.INI Default.itc CUSTTARG.CFG; do [ -f "$user/$f" ] || fail "$f was not saved in $user"; done
echo "started and ended headless (status $rc); the user's files went to ~/.config/sonarvex"
chmod -R u+w "$folder"
echo "package checks passed"
