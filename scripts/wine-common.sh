# Shared by the scripts that run Windows programs under Wine. Source it; it defines
# functions only and exports the environment every Wine process of ours runs with.
export WINEDEBUG=${WINEDEBUG:--all}
# No prompts for the .NET and HTML engines Wine would otherwise offer to download.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEARCH=win64
# Names the template's version: an older template is made again (and the templates made
# from it with it).
QUILL_TEMPLATE_MARKER=.quill-ready-2

# Creates the template prefix once: boots it, turns the crash dialog off (a dialog under
# Xvfb would hang a test instead of failing it), leaves windows to Wine instead of a window
# manager (Xvfb has none, and Wine waits two seconds for one whenever a framed window is
# hidden or destroyed), maps the skins' Chinese font face to an installed font and waits
# until Wine has written it out.
wine_make_template() {
  local template=$1
  [ -f "$template/$QUILL_TEMPLATE_MARKER" ] && return 0
  rm -rf "$template"
  mkdir -p "$template"
  template=$(cd "$template" && pwd)  # Wine wants an absolute prefix path
  echo "[wine] creating template prefix $template" >&2
  WINEPREFIX=$template wineboot -i >/dev/null 2>&1 </dev/null
  WINEPREFIX=$template wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
  WINEPREFIX=$template wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
  wine_add_chinese_fonts "$template"
  WINEPREFIX=$template wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$template wineserver -w >/dev/null 2>&1 || true
  touch "$template/$QUILL_TEMPLATE_MARKER"
}

# The skins ask for the Chinese desktop's "微软雅黑"; here it is replaced by the installed
# WenQuanYi Micro Hei, so that Chinese text shows.
wine_add_chinese_fonts() {
  local prefix=$1
  # Wine finds fonts through fontconfig: without this one every Chinese text of the skins
  # would be drawn as empty boxes, and the pictures the tests take would show nothing of it.
  if ! fc-list 2>/dev/null | grep -q "WenQuanYi Micro Hei"; then
    echo "wine: the font WenQuanYi Micro Hei (fonts-wqy-microhei) is not installed" >&2
    return 1
  fi
  wine_import_registry "$prefix" 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"微软雅黑"="WenQuanYi Micro Hei"\r\n'
}

# Imports registry text (printf format, UTF-8) into the prefix.
wine_import_registry() {
  local prefix=$1 reg
  reg=$(mktemp --suffix=.reg)
  # shellcheck disable=SC2059
  printf "$2" | iconv -f utf-8 -t utf-16 >"$reg"
  WINEPREFIX=$prefix wine regedit /S "$(WINEPREFIX=$prefix winepath -w "$reg")" >/dev/null 2>&1 </dev/null
  rm -f "$reg"
}

# The template of the prefixes that run the installer's windows (the main command, the
# end-to-end test and the tests marked CJK_FALLBACK): text without a font of its own (buttons
# whose skin names none) is drawn in the default fonts, which have no Chinese glyphs; a
# Chinese desktop links them to its Chinese font, and so does this template, for the glyphs
# they lack. Kept apart from the plain template: with the link Wine draws Latin text in those
# fonts differently, which pixel tests of the framework would see.
wine_make_cjk_template() {
  local template=$1 cjk=$2 link face text
  wine_make_template "$template"
  [ -f "$cjk/.quill-ready-1" ] && [ "$cjk/.quill-ready-1" -nt "$template/$QUILL_TEMPLATE_MARKER" ] && return 0
  mkdir -p "$cjk"
  cjk=$(cd "$cjk" && pwd)
  wine_clone_prefix "$(cd "$template" && pwd)" "$cjk"
  link=$(printf 'wqy-microhei.ttc,WenQuanYi Micro Hei' | iconv -f utf-8 -t utf-16le | od -An -tx1 -v | tr -s ' \n' ',,' | sed 's/^,//')
  text='Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
  for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2"; do
    text="$text\"$face\"=hex(7):${link}00,00,00,00\\r\\n"
  done
  wine_import_registry "$cjk" "$text"
  WINEPREFIX=$cjk wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$cjk wineserver -w >/dev/null 2>&1 || true
  touch "$cjk/.quill-ready-1"
}

# Copies the template into a fresh prefix. The system folder (nine tenths of the prefix,
# program files Wine never rewrites) is hard-linked; everything a program may change in
# place, the registry files included, is copied.
wine_clone_prefix() {
  local template=$1 prefix=$2 sys=drive_c/windows/system32
  rm -rf "$prefix"
  mkdir -p "$prefix"
  (cd "$template" && tar cf - --exclude="./$sys" .) | (cd "$prefix" && tar xf -)
  cp -al "$template/$sys" "$prefix/$sys"
}

# Starts a persistent wineserver for the prefix and warms it up with every output going
# to /dev/null, so the services Wine starts in the background never hold a caller's pipe.
# Prints the wineserver's process id.
wine_start_server() {
  local prefix=$1
  WINEPREFIX=$prefix setsid wineserver -p -f >/dev/null 2>&1 </dev/null &
  local pid=$!
  WINEPREFIX=$prefix wine cmd /c exit >/dev/null 2>&1 </dev/null
  echo "$pid"
}

wine_stop_server() {
  local prefix=$1 pid=${2:-}
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  if [ -n "$pid" ]; then
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  fi
}

# Starts Xvfb on a free display; prints "display pid".
xvfb_start() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 </dev/null &
  local pid=$!
  local n
  read -r n <"$fifo"
  rm -f "$fifo"
  echo ":$n $pid"
}
