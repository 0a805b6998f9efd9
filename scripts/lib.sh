# Shared set-up for the scripts: packages, 32-bit execution, Xvfb, the Wine
# prefix and server. Sourced, not run. Every process started here is
# recorded and stopped by qm_stop_started, and nothing else is.

QM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QM_BUILD=${QM_BUILD:-$QM_ROOT/build}
# The project's own prefix: an inherited WINEPREFIX (a user's own) never
# receives the tests' registry keys. QM_WINEPREFIX chooses another one.
export WINEPREFIX=${QM_WINEPREFIX:-$QM_BUILD/wineprefix}
# No Mono or Gecko offers; and no menu entries or link handlers in the Linux
# desktop for what an installer registers in the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEDEBUG=${WINEDEBUG:--all}
QM_STARTED_PIDS=()

qm_log() { printf '==> %s\n' "$*" >&2; }

qm_as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# Debian packages the build and the tests need, and what each is for.
QM_PACKAGES=(
  cmake make g++ python3                       # native build, the qmparams case runner
  clang                                        # fuzzing (its run-time package follows below)
  googletest libgtest-dev libbenchmark-dev     # tests and benchmarks
  g++-mingw-w64-i686 binutils-mingw-w64-i686   # the Windows build
  wine wine32:i386 wine64                      # running it
  xvfb xauth x11-utils                         # a display for windows and message boxes
  imagemagick librsvg2-bin                     # icons from the SVG source, screenshots
  locales                                      # a Spanish user locale
  nsis                                         # the installer
  libssl-dev                                   # qmsign, which signs update folders (OpenSSL)
)

qm_missing_packages() {
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || echo "$pkg"
  done
}

qm_apt_install() {
  local missing
  mapfile -t missing < <(qm_missing_packages "$@")
  [ ${#missing[@]} -eq 0 ] && return 0
  qm_log "installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    qm_as_root dpkg --add-architecture i386
  fi
  qm_as_root apt-get update -qq
  DEBIAN_FRONTEND=noninteractive qm_as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# clang's sanitizer and libFuzzer run-time is packaged per clang version.
qm_clang_runtime_package() {
  local major
  major=$(clang -dumpversion | cut -d. -f1)
  echo "libclang-rt-$major-dev"
}

qm_install_packages() {
  qm_apt_install "${QM_PACKAGES[@]}" "$@"
  qm_apt_install "$(qm_clang_runtime_package)"
  qm_check_tools
}

# Fails early, naming the package, when a tool the build calls does not work.
qm_check_tools() {
  local tool package
  while read -r tool package; do
    command -v "$tool" >/dev/null || { qm_log "$tool is missing: install the Debian package $package"; return 1; }
  done <<'TOOLS'
cmake cmake
clang clang
i686-w64-mingw32-g++-posix g++-mingw-w64-i686
i686-w64-mingw32-dlltool binutils-mingw-w64-i686
i686-w64-mingw32-windres binutils-mingw-w64-i686
wine wine
Xvfb xvfb
xdpyinfo x11-utils
import imagemagick
rsvg-convert librsvg2-bin
makensis nsis
locale-gen locales
python3 python3
TOOLS
}

# The machine's own Debian mirror, from its apt sources in either form: the
# first URI that serves the release's main suite.
qm_debian_mirror() {
  local release=$1 etc=${QM_APT_ETC:-/etc/apt}
  {
    cat "$etc/sources.list" "$etc"/sources.list.d/*.list 2>/dev/null |
      awk -v r="$release" '$1 == "deb" { i = 2; if ($2 ~ /^\[/) while ($i !~ /\]$/) i++;
                                          if ($2 ~ /^\[/) i++; if ($(i + 1) == r) print $i }'
    cat "$etc"/sources.list.d/*.sources 2>/dev/null |
      awk -v r="$release" 'BEGIN { RS = ""; FS = "\n" }
        { uris = ""; suites = ""; enabled = 1
          for (n = 1; n <= NF; n++) {
            if ($n ~ /^URIs:/) { uris = $n; sub(/^URIs:[ \t]*/, "", uris) }
            if ($n ~ /^Suites:/) { suites = " " $n " "; sub(/^ Suites:/, "", suites) }
            if ($n ~ /^Enabled:[ \t]*no/) enabled = 0
          }
          split(uris, u, /[ \t]+/)
          if (enabled && suites ~ ("[ \t]" r "[ \t]")) print u[1] }'
  } | head -n 1
}

# Some kernels run no 32-bit Linux programs, and 32-bit Wine is one. There the
# user-mode emulator of Debian's backports (the stable one is too old for
# Wine) runs them, registered for 32-bit x86 programs.
qm_ensure_i386_exec() {
  if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then return 0; fi
  qm_log "this kernel runs no 32-bit programs: registering the i386 user-mode emulator"
  if ! dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null | grep -q '^1:\(9\|1[0-9]\)'; then
    local release
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    if ! grep -rqs "${release}-backports" /etc/apt/sources.list /etc/apt/sources.list.d/; then
      local mirror
      mirror=$(qm_debian_mirror "$release")
      [ -n "$mirror" ] || { qm_log "no Debian source for $release in the apt configuration"; return 1; }
      echo "deb $mirror ${release}-backports main" |
        qm_as_root tee /etc/apt/sources.list.d/qm-backports.list >/dev/null
    fi
    qm_as_root apt-get update -qq
    DEBIAN_FRONTEND=noninteractive qm_as_root apt-get install -y -qq -t "${release}-backports" qemu-user-static >/dev/null
  fi
  local binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || qm_as_root mount -t binfmt_misc binfmt_misc "$binfmt"
  [ -e "$binfmt/qm-i386" ] && qm_as_root sh -c "echo -1 > $binfmt/qm-i386"
  local emulator
  emulator=$(readlink -f /usr/bin/qemu-i386-static)
  printf '%s' ":qm-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:${emulator}:F" |
    qm_as_root tee "$binfmt/register" >/dev/null
  /lib/ld-linux.so.2 --version >/dev/null 2>&1 || { qm_log "32-bit programs still do not run"; return 1; }
}

# A Spanish locale for the tests of Spanish texts.
qm_ensure_spanish_locale() {
  locale -a 2>/dev/null | grep -qi '^es_ES\.utf8$' && return 0
  qm_as_root sed -i 's/^# *\(es_ES.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  qm_as_root locale-gen >/dev/null
}

qm_start_xvfb() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n=91
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
  QM_STARTED_PIDS+=($!)
  export DISPLAY=":$n"
  local i
  for i in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  qm_log "Xvfb did not start"; return 1
}

# Boots the private prefix and keeps a Wine server alive. Wine's background
# services inherit the output of the first program of a prefix, so they are
# started here with theirs sent nowhere, before any test reads a pipe. A
# server that already serves the prefix (a scripts/demo in another terminal)
# is used as it is and left running.
QM_STARTED_WINESERVER=0

qm_start_wine() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  # A creation that was cut short leaves a prefix that never boots: the
  # project's own prefix is made again (one chosen by QM_WINEPREFIX is not
  # ours to remove).
  local booted="$WINEPREFIX/.qm-booted"
  if [ -d "$WINEPREFIX" ] && [ ! -f "$booted" ] && [ -z "${QM_WINEPREFIX:-}" ]; then
    qm_log "removing the unfinished Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then qm_log "creating the Wine prefix $WINEPREFIX"; fi
  # The server serves a folder that exists, an empty one for a new prefix.
  mkdir -p "$WINEPREFIX"
  # In the foreground the server keeps its process id, and a second server
  # for the same prefix ends at once.
  wineserver -f -p >/dev/null 2>&1 </dev/null &
  local server=$!
  sleep 0.5
  if kill -0 "$server" 2>/dev/null; then
    QM_STARTED_WINESERVER=1
    QM_STARTED_PIDS+=("$server")
  else
    qm_log "using the Wine server already running for $WINEPREFIX"
  fi
  if ! wine wineboot >/dev/null 2>&1 </dev/null; then
    qm_log "the Wine prefix $WINEPREFIX does not boot"
    return 1
  fi
  touch "$booted"
}

qm_stop_started() {
  if [ "$QM_STARTED_WINESERVER" = 1 ]; then
    # The server we started ends its prefix's processes with it.
    wineserver -k >/dev/null 2>&1 || true
    QM_STARTED_WINESERVER=0
  fi
  if [ ${#QM_STARTED_PIDS[@]} -gt 0 ]; then
    kill "${QM_STARTED_PIDS[@]}" 2>/dev/null || true
    wait "${QM_STARTED_PIDS[@]}" 2>/dev/null || true
    QM_STARTED_PIDS=()
  fi
}

# With target names: only those, and only in the Windows tree.
qm_configure_and_build() {
  local jobs
  jobs=$(nproc)
  if [ $# -eq 0 ]; then
    cmake -S "$QM_ROOT" -B "$QM_BUILD/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$QM_BUILD/native" -j "$jobs"
  fi
  cmake -S "$QM_ROOT" -B "$QM_BUILD/windows" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$QM_ROOT/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$QM_BUILD/windows" -j "$jobs" ${1:+--target "$@"}
}

# The libFuzzer targets (fuzz/) need clang and a tree of their own.
QM_FUZZ_TARGETS=(command_line universal_url carry_over)

qm_build_fuzz() {
  CC=clang CXX=clang++ cmake -S "$QM_ROOT" -B "$QM_BUILD/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQM_FUZZ=ON >/dev/null
  cmake --build "$QM_BUILD/fuzz" -j "$(nproc)" --target "${QM_FUZZ_TARGETS[@]/#/fuzz_}"
}

# Runs each fuzz target for $1 seconds from its seed corpus in fuzz/corpus.
# What a run finds stays in the build tree: new inputs in fuzz/found/TARGET,
# a crashing one as fuzz/crash-TARGET-*, the run's output in fuzz/TARGET.log.
qm_run_fuzz() {
  local seconds=$1 target status=0
  for target in "${QM_FUZZ_TARGETS[@]}"; do
    local found="$QM_BUILD/fuzz/found/$target"
    mkdir -p "$found"
    qm_log "fuzzing $target for ${seconds}s"
    if ! "$QM_BUILD/fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
           -artifact_prefix="$QM_BUILD/fuzz/crash-$target-" "$found" "$QM_ROOT/fuzz/corpus/$target" \
           >"$QM_BUILD/fuzz/$target.log" 2>&1; then
      tail -n 40 "$QM_BUILD/fuzz/$target.log" >&2
      status=1
    fi
    sed -n "s/^Done /$target: /p" "$QM_BUILD/fuzz/$target.log" >&2
  done
  return $status
}
