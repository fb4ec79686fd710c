# Functions of the demo, sourced by scripts/demo and scripts/pictures: build the programs, make a
# demo PC (a Wine prefix of the test bed, seeded by demo_pc.exe) and run FontList.exe on it, either
# answered by kcui.exe or clicked by the user.

demo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$demo_root/tests/winebed/winebed.sh"

DEMO_MAIN_TITLE='KESTREL CHARTER契約解約時のフォント削除処理'
DEMO_PROGRAM_TITLE='KESTREL CHARTER解約プログラム'

# Real fonts from Debian packages that the demo PC holds next to the product's.
DEMO_DEBIAN_FONTS=(
  /usr/share/fonts/opentype/cantarell/Cantarell-Regular.otf
  /usr/share/fonts/opentype/cantarell/Cantarell-Bold.otf
  /usr/share/texmf/fonts/opentype/public/lm/lmroman10-regular.otf
  /usr/share/texmf/fonts/opentype/public/lm/lmmono10-regular.otf
  /usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc
)

# demo_build PRESET: configures and builds the programs the demo runs into build/demo-PRESET;
# prints that folder.
demo_build() {
  local preset=$1 dir="$demo_root/build/demo-$1"
  cmake --preset "$preset" -B "$dir" >/dev/null
  cmake --build "$dir" -j2 --target fontlist kcui demo_pc fontlist_seams dialog_host >&2
  echo "$dir"
}

# demo_copy_programs PREFIX BUILD_DIR: the programs go to C:\demo\.
demo_copy_programs() {
  local prefix=$1 build=$2
  mkdir -p "$prefix/drive_c/demo"
  cp "$build/app/FontList.exe" "$build/tools/kcui.exe" "$build/demo/demo_pc.exe" \
     "$build/tests/e2e/FontListSeams.exe" "$build/tests/e2e/dialog_host.exe" "$prefix/drive_c/demo/"
  winebed_own "$prefix/drive_c/demo"
}

# demo_new_pc BUILD_DIR: a fresh prefix seeded as the demo PC (Windows Vista, a data drive D: and
# an empty optical drive R:); prints its path.
demo_new_pc() {
  local build=$1 prefix arch
  arch=$(winebed_pe_arch "$build/app/FontList.exe")
  prefix=$(winebed_new_prefix "$arch")
  winebed_map_drive "$prefix" d
  winebed_map_drive "$prefix" r=missing
  demo_copy_programs "$prefix" "$build"
  mkdir -p "$prefix/drive_c/demo/debian"
  cp "${DEMO_DEBIAN_FONTS[@]}" "$prefix/drive_c/demo/debian/"
  winebed_own "$prefix/drive_c/demo"
  winebed_set_version "$prefix" vista
  winebed_wine "$prefix" 'C:\demo\demo_pc.exe' seed 'C:\demo\debian\' >&2 || {
    echo "demo: seeding the demo PC failed" >&2; return 1; }
  rm -rf "$prefix/drive_c/demo/debian"
  winebed_stop "$prefix"
  echo "$prefix"
}

# demo_use_display PREFIX: real windows on $DISPLAY (Wine's x11 driver instead of the bed's null
# driver), with fontconfig offering Wine the Japanese font of fonts-noto-cjk for the dialogs.
demo_use_display() {
  local prefix=$1
  winebed_stop "$prefix"
  winebed_japanese_font "$prefix"
  # The X server's cookie, where Xlib looks for it ($HOME of the bed's Wine processes).
  if [ -n "${DISPLAY:-}" ] && command -v xauth >/dev/null; then
    xauth extract - "$DISPLAY" > "$prefix/home/.Xauthority" 2>/dev/null || true
  fi
  winebed_own "$prefix"
  winebed_wine "$prefix" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f >/dev/null
  winebed_stop "$prefix"
}

demo_kcui() {  # demo_kcui PREFIX ARGS...
  local prefix=$1; shift
  winebed_wine "$prefix" 'C:\demo\kcui.exe' "$@"
}

# demo_kcui_answer PREFIX ARGS...: demo_kcui for a command that starts a program (start,
# run-watched). kcui's answer comes through a file, never a pipe: the started program may keep
# kcui's output open for as long as it runs (seen under wine32), and a command substitution reading
# that pipe would wait for the program to end, which it never does before its dialogs are answered.
demo_kcui_answer() {
  local prefix=$1 answer status=0; shift
  answer=$(mktemp)
  demo_kcui "$prefix" "$@" > "$answer" || status=$?
  [ "$status" = 0 ] && cat "$answer"
  rm -f "$answer"
  return "$status"
}

# demo_start PREFIX PROGRAM [ARGS...]: starts a Windows program through kcui; prints its pid.
demo_start() {
  local prefix=$1; shift
  demo_kcui_answer "$prefix" start "$@"
}

# kcui prints a line break inside a text as \n (CR as \r, tab as \t, backslash as \\).
demo_unescape() {
  python3 -c 'import sys
for line in sys.stdin.read().splitlines():
    out, i = [], 0
    while i < len(line):
        c = line[i]
        if c == "\\" and i + 1 < len(line):
            out.append({"n": "\n", "r": "", "t": "\t", "\\": "\\"}.get(line[i + 1], line[i + 1])); i += 2
        else:
            out.append(c); i += 1
    sys.stdout.write("".join(out) + "\n")'
}

# Prints a dialog's texts as the user sees them: the title, then each visible control's text.
demo_show_dialog() {  # demo_show_dialog PREFIX HWND
  local prefix=$1 hwnd=$2
  demo_kcui "$prefix" texts "hwnd:$hwnd" | awk -F'\t' '
    NR == 1 { print "  ┌ " $4; next }
    $2 == "msctls_progress32" { print "  │ (progress bar)"; next }
    $3 !~ /^visible/ || $4 == "" { next }
    $4 ~ /^#/ { print "  │ (picture " $4 ")"; next }
    { text = ($2 == "Button") ? "[" $4 "]" : $4; gsub(/\\r\\n|\\n/, "\n  │ ", text); print "  │ " text }'
}

# demo_follow_run PREFIX PID ANSWER RESULT_FILE: follows one run of FontList.exe from the main
# screen to its end, printing each dialog's texts. ANSWER=kcui presses Start, はい and 了解 itself;
# ANSWER=user only watches while the user clicks. The result list goes to RESULT_FILE.
demo_follow_run() {
  local prefix=$1 pid=$2 answer=$3 result_file=$4 hwnd texts wait=600000
  : > "$result_file"
  [ "$answer" = user ] && wait=3600000
  hwnd=$(demo_kcui "$prefix" find "$DEMO_MAIN_TITLE" --pid "$pid") || return 1
  echo "▶ main screen"; demo_show_dialog "$prefix" "$hwnd"
  if [ "$answer" = kcui ]; then echo "  → kcui clicks 開始"; demo_kcui "$prefix" click "hwnd:$hwnd" 1; fi
  demo_kcui "$prefix" gone "hwnd:$hwnd" --timeout "$wait" || return 1
  hwnd=$(demo_kcui "$prefix" find "$DEMO_MAIN_TITLE" --pid "$pid" --timeout 10000) || {
    echo "  (no confirmation: the program ended)"; return 0; }
  echo "▶ confirmation"; demo_show_dialog "$prefix" "$hwnd"
  # The progress window may come and go within a second: its watcher waits for it from now on.
  local progress_log; progress_log=$(mktemp)
  demo_kcui "$prefix" watch "$DEMO_PROGRAM_TITLE" --pid "$pid" --interval 20 --timeout "$wait" \
    > "$progress_log" 2>/dev/null &
  local watcher=$!
  if [ "$answer" = kcui ]; then echo "  → kcui clicks はい"; demo_kcui "$prefix" click "hwnd:$hwnd" 1; fi
  demo_kcui "$prefix" gone "hwnd:$hwnd" --timeout "$wait" || { kill "$watcher"; return 1; }
  wait "$watcher" || true
  if [ -s "$progress_log" ]; then
    echo "▶ progress: ms since shown, bar range and position, the two status lines"
    awk -F'\t' '{ printf "  │ %5s ms  %s..%s at %s  %s  %s\n", $1, $2, $3, $4, $5, $6 }' "$progress_log" |
      sed -e 's/\\n/ /g' -e 's/\\\\/\\/g'
  fi
  rm -f "$progress_log"
  # The progress window and the result share a title: tell them apart by their controls.
  while hwnd=$(demo_kcui "$prefix" find "$DEMO_PROGRAM_TITLE" --pid "$pid" --timeout "$wait" 2>/dev/null); do
    texts=$(demo_kcui "$prefix" texts "hwnd:$hwnd")
    if printf '%s\n' "$texts" | grep -q $'\tmsctls_progress32\t'; then
      demo_kcui "$prefix" gone "hwnd:$hwnd" --timeout "$wait"
    elif printf '%s\n' "$texts" | grep -q $'^1001\tEdit\t'; then
      echo "▶ result"
      demo_show_dialog "$prefix" "$hwnd"
      demo_kcui "$prefix" text "hwnd:$hwnd" 1001 | demo_unescape | sed '/^$/d' > "$result_file"
      if [ "$answer" = kcui ]; then echo "  → kcui clicks 了解"; demo_kcui "$prefix" click "hwnd:$hwnd" 1; fi
      demo_kcui "$prefix" gone "hwnd:$hwnd" --timeout "$wait"
      break
    else
      echo "▶ message"; demo_show_dialog "$prefix" "$hwnd"
      if [ "$answer" = kcui ]; then echo "  → kcui clicks 了解"; demo_kcui "$prefix" click "hwnd:$hwnd" 1; fi
      demo_kcui "$prefix" gone "hwnd:$hwnd" --timeout "$wait"
    fi
  done
  # A process that has already ended cannot be asked for its exit code any more.
  local code
  code=$(demo_kcui "$prefix" wait-exit "$pid" --timeout 60000 2>/dev/null) || code=""
  echo "▶ FontList.exe ended${code:+ with exit code $code}"
}

# demo_run PREFIX kcui|user RESULT_FILE: one run of the program on the demo PC.
demo_run() {
  local prefix=$1 answer=$2 result_file=$3 pid
  pid=$(demo_start "$prefix" 'C:\demo\FontList.exe') || return 1
  demo_follow_run "$prefix" "$pid" "$answer" "$result_file"
}

# demo_unattended PREFIX MODE: runs FontList.exe /MODE (preview or silent) on the demo PC with its
# log in C:\demo\logs\MODE.log, watched by kcui for any window of the program; prints the exit
# code, the windows seen (there must be none), the time and the first lines of the log. Returns
# non-zero when a window appeared or the program did not end.
demo_unattended() {
  local prefix=$1 mode=$2 out start end log lines
  mkdir -p "$prefix/drive_c/demo/logs"
  winebed_own "$prefix/drive_c/demo/logs"
  start=$(date +%s%N)
  out=$(demo_kcui_answer "$prefix" --timeout 600000 run-watched 'C:\demo\FontList.exe' "/$mode" "/log:C:\\demo\\logs\\$mode.log") || {
    echo "!! FontList.exe /$mode did not end"; return 1; }
  end=$(date +%s%N)
  DEMO_LAST_EXIT=$(printf '%s\n' "$out" | awk -F'\t' '$1 == "exit" { print $2 }')
  echo "▶ FontList.exe /$mode /log:C:\\demo\\logs\\$mode.log ended with exit code $DEMO_LAST_EXIT" \
       "after $(( (end - start) / 1000000 )) ms (Wine's process start included)"
  if printf '%s\n' "$out" | grep -q '^window'; then
    echo "!! windows of the program:"; printf '%s\n' "$out" | grep '^window' | sed 's/^/   /'; return 1
  fi
  echo "  (kcui watched it from its first instruction: no window of the program ever existed)"
  log="$prefix/drive_c/demo/logs/$mode.log"
  lines=$(wc -l < "$log")
  # The program's own time: from its log's first line to its last.
  sed '1s/^\xEF\xBB\xBF//' "$log" | awk 'NR == 1 { first = $2 } { last = $2 }
    function ms(t,  p) { split(t, p, ":"); return ((p[1] * 60 + p[2]) * 60 + p[3]) * 1000 }
    END { printf "  the run itself took %d ms (from the first line of its log to the last)\n", ms(last) - ms(first) }'
  echo "  first lines of its log ($lines lines, UTF-8):"
  sed '1s/^\xEF\xBB\xBF//; s/\r$//' "$log" | head -n "${DEMO_LOG_LINES:-8}" | sed 's/^/  │ /'
  echo "  │ ..."
  sed 's/\r$//' "$log" | tail -n 2 | sed 's/^/  │ /'
}
