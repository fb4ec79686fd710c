# Functions of the Wine test bed, sourced by wine-run and by the scripts that build demo PCs.

WINEBED_CACHE=${WINEBED_CACHE:-/var/tmp/winebed}
WINEBED_USER=${WINEBED_USER:-winetest}

# Prints win32 or win64 from the machine field of a PE executable.
winebed_pe_arch() {
  local pe machine
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')
  case "$machine" in
    014c) echo win32 ;;
    8664) echo win64 ;;
    *) echo "winebed: $1 is not a 32- or 64-bit PE program (machine $machine)" >&2; return 2 ;;
  esac
}

# Runs a command as the user who owns the prefixes: winetest under root, else the caller.
winebed_as_user() {
  if [ "$(id -u)" -eq 0 ] && id "$WINEBED_USER" >/dev/null 2>&1; then
    runuser -u "$WINEBED_USER" -- "$@"
  else
    "$@"
  fi
}

winebed_own() {
  if [ "$(id -u)" -eq 0 ] && id "$WINEBED_USER" >/dev/null 2>&1; then
    chown -R "$WINEBED_USER:" "$1"
  fi
}

# winebed_exec PREFIX ARCH COMMAND...: runs COMMAND with the environment every Wine process of the
# bed gets, and nothing of the caller's.
winebed_exec() {
  local prefix=$1 arch=$2; shift 2
  local loader=/usr/lib/wine/wine server=/usr/lib/wine/wineserver32
  if [ "$arch" = win64 ]; then loader=/usr/lib/wine/wine64 server=/usr/lib/wine/wineserver64; fi
  winebed_as_user env -i PATH=/usr/bin:/bin HOME="$prefix/home" USER="$WINEBED_USER" \
    WINEPREFIX="$prefix" WINEARCH="$arch" WINELOADER="$loader" WINESERVER="$server" WINEDEBUG=-all \
    LANG="${WINEBED_LOCALE:-ja_JP.UTF-8}" LC_ALL="${WINEBED_LOCALE:-ja_JP.UTF-8}" FONTCONFIG_FILE="$prefix/fonts.conf" DISPLAY="${DISPLAY:-}" \
    WINEDLLOVERRIDES="mscoree,mshtml=" \
    WINEBED_WINVER="${WINEBED_WINVER:-}" WINEBED_DRIVES="${WINEBED_DRIVES:-}" \
    WINEBED_SLOWDOWN="${WINEBED_SLOWDOWN:-}" WINEBED_DPI="${WINEBED_DPI:-}" WINEBED_LOCALE="${WINEBED_LOCALE:-}" \
    "$@"
}

winebed_arch_of() { cat "$1/.winebed-arch"; }

# winebed_wine PREFIX PROGRAM [ARGS...]: runs a Windows program by its Windows path from drive_c.
winebed_wine() {
  local prefix=$1 arch; shift
  arch=$(winebed_arch_of "$prefix")
  local loader=/usr/lib/wine/wine; [ "$arch" = win64 ] && loader=/usr/lib/wine/wine64
  (cd "$prefix/drive_c" && winebed_exec "$prefix" "$arch" "$loader" "$@")
}

winebed_stop() {
  local prefix=$1 arch server=/usr/lib/wine/wineserver32
  [ -f "$prefix/.winebed-arch" ] || return 0
  arch=$(winebed_arch_of "$prefix")
  [ "$arch" = win64 ] && server=/usr/lib/wine/wineserver64
  winebed_exec "$prefix" "$arch" "$server" -k 2>/dev/null || true
  # Until the server is gone and has written the registry back: the files may be edited after.
  winebed_exec "$prefix" "$arch" "$server" -w 2>/dev/null || true
}

# What a restart of Windows does, as far as Wine knows it: every process of the prefix ends, and
# the file operations left to the next restart (PendingFileRenameOperations) are carried out.
winebed_restart() {
  local prefix=$1 arch loader=/usr/lib/wine/wine server=/usr/lib/wine/wineserver32
  arch=$(winebed_arch_of "$prefix")
  [ "$arch" = win64 ] && loader=/usr/lib/wine/wine64 server=/usr/lib/wine/wineserver64
  winebed_exec "$prefix" "$arch" "$server" -k 2>/dev/null || true
  winebed_exec "$prefix" "$arch" "$server" -w
  (cd "$prefix/drive_c" && winebed_exec "$prefix" "$arch" "$loader" wineboot -r) >/dev/null 2>&1
  winebed_exec "$prefix" "$arch" "$server" -w
}

# winebed_reg_append PREFIX KEY 'VALUE-LINE': adds a key with one value to the user's registry
# file, on a prefix whose wineserver is not running (the server loads the file when it starts and
# writes it back when it stops). Each Wine start spent on a `reg add` costs tens of seconds under
# full-system emulation. KEY is written as in the file (HKCU-relative, backslashes doubled); a key
# the file already holds is refused rather than written twice.
winebed_reg_append() {
  local user_reg="$1/user.reg" key=$2 value=$3
  if grep -qF "[$key] " "$user_reg"; then
    echo "winebed: $user_reg already holds [$key]" >&2
    return 2
  fi
  printf '\n[%s] %s\n%s\n' "$key" "$(date +%s)" "$value" >> "$user_reg"
}

# winebed_reg_set PREFIX user|system KEY NAME VALUE: sets one value in a registry file of a prefix
# whose wineserver is not running, in the key's existing section (or a new one). KEY is written as
# in the file (backslashes doubled), NAME as text (other than ASCII is escaped as Wine writes it),
# VALUE as in the file, e.g. 'dword:000000c0' or '"text"'.
winebed_reg_set() {
  python3 - "$1/$2.reg" "$3" "$4" "$5" <<'PY'
import sys, time
path, key, name, value = sys.argv[1:]
name = "".join(c if 32 <= ord(c) < 127 and c not in '"\\' else
               ("\\" + c if c in '"\\' else "\\x%04x" % ord(c)) for c in name)
line = f'"{name}"={value}\n'
with open(path, encoding="ascii", errors="surrogateescape") as f:
    lines = f.readlines()
head = next((i for i, l in enumerate(lines) if l.startswith(f"[{key}] ")), None)
if head is None:
    lines += ["\n", f"[{key}] {int(time.time())}\n", line]
else:
    end = next((i for i in range(head + 1, len(lines)) if lines[i].startswith("[")), len(lines))
    old = next((i for i in range(head + 1, end) if lines[i].startswith(f'"{name}"=')), None)
    if old is None:
        while end > head + 1 and not lines[end - 1].strip():
            end -= 1
        lines.insert(end, line)
    else:
        lines[old] = line
with open(path, "w", encoding="ascii", errors="surrogateescape") as f:
    f.writelines(lines)
PY
}

# winebed_set_dpi PREFIX DPI: the display scale (96 is 100%, 144 150%, 192 200%), before the
# prefix's server starts. Wine draws even a program that is not DPI-aware at that DPI.
winebed_set_dpi() {
  winebed_reg_set "$1" user 'Control Panel\\Desktop' LogPixels "dword:$(printf '%08x' "$2")"
}

# winebed_japanese_font PREFIX: fontconfig offers Wine the Japanese font of fonts-noto-cjk, and the
# dialogs' "ＭＳ Ｐゴシック" is drawn with it, so that texts are measured and drawn with Japanese
# glyphs. Before the prefix's server starts. (Wine then also lists those host fonts in its font
# table: not for a prefix whose font table a test looks at.)
winebed_japanese_font() {
  local prefix=$1
  cat > "$prefix/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/opentype/noto</dir>
  <dir>/usr/share/wine/fonts</dir>
  <cachedir>$prefix/home/.cache/fontconfig</cachedir>
</fontconfig>
CONF
  winebed_reg_set "$prefix" system 'Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes' \
    'ＭＳ Ｐゴシック' '"Noto Sans CJK JP"'
  winebed_own "$prefix"
}

# winebed_set_version PREFIX winxp|win2k|win2003|vista|win7|win10, before the prefix's first Wine start.
winebed_set_version() {
  winebed_reg_append "$1" 'Software\\Wine' "\"Version\"=\"$2\""
}

# Makes the drive folders and letter links; "r=missing" points r: at a folder that does not exist.
winebed_map_drive() {
  local prefix=$1 spec=$2 letter target
  letter=${spec%%=*}
  if [ "$spec" = "$letter=missing" ]; then
    target="../drives/missing-$letter"
  else
    mkdir -p "$prefix/drives/$letter"
    target="../drives/$letter"
  fi
  ln -sfn "$target" "$prefix/dosdevices/$letter:"
  winebed_own "$prefix/drives"
}

# The host folder of a prefix path written X:/path (a mapped drive letter, forward slashes).
winebed_host_path() {
  local prefix=$1 path=$2 letter rest drive
  letter=$(printf '%s' "${path%%:*}" | tr 'A-Z' 'a-z')
  rest=${path#*:}
  drive=$(cd "$prefix/dosdevices/$letter:" 2>/dev/null && pwd -P) ||
    { echo "winebed: no drive $letter: for $path" >&2; return 2; }
  printf '%s%s' "$drive" "$rest"
}

# winebed_make_links PREFIX "X:/link=X:/target ...": Unix symbolic links, which Wine lists as
# folders carrying FILE_ATTRIBUTE_REPARSE_POINT and follows as Windows follows junctions. The
# link's folders are made; the target need not exist (Wine then does not list the link at all).
winebed_make_links() {
  local prefix=$1 spec link target
  for spec in $2; do
    link=$(winebed_host_path "$prefix" "${spec%%=*}") || return 2
    target=$(winebed_host_path "$prefix" "${spec#*=}") || return 2
    mkdir -p "$(dirname "$link")"
    ln -sr "$target" "$link"
  done
}

# winebed_seal PREFIX "X:/folder ...": folders made and then closed to everyone (mode 000), so
# that a link to one leads nowhere Wine can open.
winebed_seal() {
  local prefix=$1 folder path
  for folder in $2; do
    path=$(winebed_host_path "$prefix" "$folder") || return 2
    mkdir -p "$path"
    winebed_own "$path"
    chmod 000 "$path"
  done
}

# Boots one template per architecture and Wine version, once; later calls copy it (about 1.5 s).
winebed_template() {
  local arch=$1 version template
  case "$arch" in win32|win64) ;; *) echo "winebed: unknown architecture '$arch'" >&2; return 2 ;; esac
  version=$(dpkg-query -W -f='${Version}' "wine" 2>/dev/null || echo unknown)
  template="$WINEBED_CACHE/template-$arch-${version//[^A-Za-z0-9.]/_}-v3"
  mkdir -p "$WINEBED_CACHE"
  (
    flock 9
    if [ ! -f "$template/.winebed-ready" ]; then
      rm -rf "$template"
      winebed_boot "$template" "$arch" >&2
      touch "$template/.winebed-ready"
    fi
  ) 9>"$WINEBED_CACHE/.lock-$arch"
  echo "$template"
}

winebed_boot() {
  local prefix=$1 arch=$2 loader=/usr/lib/wine/wine server=/usr/lib/wine/wineserver32
  [ "$arch" = win64 ] && loader=/usr/lib/wine/wine64 server=/usr/lib/wine/wineserver64
  mkdir -p "$prefix/home"
  echo "$arch" > "$prefix/.winebed-arch"
  # fontconfig offers Wine no host font at all: host fonts would enter the font table with host paths.
  cat > "$prefix/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig></fontconfig>
CONF
  winebed_own "$prefix"
  winebed_exec "$prefix" "$arch" "$loader" wineboot -i >/dev/null 2>&1 || true
  winebed_exec "$prefix" "$arch" "$server" -w
  winebed_reg_append "$prefix" 'Software\\Wine\\Drivers' '"Graphics"="null"'

  # Z: is the host's /: only C: stays a drive. (Wine re-creates its com1 device link at every
  # start; a serial port is no way into the host's files.)
  find "$prefix/dosdevices" -mindepth 1 ! -name 'c:' -delete
  # The user folders link to $HOME: make every link under drive_c a real folder of its own.
  local link
  find "$prefix/drive_c" -type l -print0 | while IFS= read -r -d '' link; do
    rm "$link"; mkdir "$link"
  done
  # Wine needs one font of its own: one in its Fonts folder, inside the prefix.
  cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$prefix/drive_c/windows/Fonts/"
  winebed_purge_host_fonts "$prefix" "$arch"
  winebed_own "$prefix"
}

# Removes font-table values that name a file outside the prefix's own drives.
winebed_purge_host_fonts() {
  local prefix=$1 arch=$2 key name
  for key in 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' \
             'HKLM\Software\Microsoft\Windows\CurrentVersion\Fonts'; do
    winebed_wine "$prefix" reg query "$key" 2>/dev/null | iconv -f cp932 -t utf-8 | tr -d '\r' |
      awk -F'    ' 'NF >= 4 && ($4 ~ /^[Zz]:\\/ || $4 ~ /^\\\?\?\\unix/ || $4 ~ /^\\\\\?\\unix/) { print $2 }' |
      while IFS= read -r name; do
        winebed_wine "$prefix" reg delete "$key" /v "$(printf '%s' "$name" | iconv -f utf-8 -t cp932)" /f >/dev/null
      done
  done
  winebed_stop "$prefix"
}

# winebed_new_prefix ARCH: a fresh copy of the template in a new temporary folder.
winebed_new_prefix() {
  local template prefix
  template=$(winebed_template "$1")
  prefix=$(mktemp -d "${TMPDIR:-/tmp}/winebed.XXXXXX")
  cp -a "$template/." "$prefix/"
  rm -f "$prefix/.winebed-ready"
  chmod 755 "$prefix"
  winebed_own "$prefix"
  echo "$prefix"
}
