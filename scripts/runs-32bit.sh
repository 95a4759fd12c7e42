# Sourced by install-deps.sh and wine-env.sh.
#   lumvora_kernel_runs_32bit   succeeds where this machine's kernel runs 32-bit x86 programs
#
# Whether a kernel runs i386 code shows in no file (the architecture, the CPU flags and the installed
# packages all look the same), so it is tried: the function writes the smallest static i386 program there
# is, one that only exits with status 42, and runs it. It needs no i386 package, so it can be asked before
# the i386 architecture is added. Where 32-bit code is refused the exec fails with "Exec format error"
# (status 126). LUMVORA_NO_32BIT=1 makes the answer "no" on any machine, to try that path.
lumvora_kernel_runs_32bit() {
  [ "${LUMVORA_NO_32BIT:-0}" = 1 ] && return 1
  if [ -z "${LUMVORA_RUNS_32BIT_ANSWER:-}" ]; then
    local dir status=0
    dir=$(mktemp -d)
    # ELF32 header (52 bytes), one loadable segment (32 bytes) mapping the file at 0x08048000, then the
    # code at 0x08048054: mov eax, 1 (exit); mov ebx, 42; int 0x80.
    printf '%b' \
      '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
      '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
      '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' \
      '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
      '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
      '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' > "$dir/exit42"
    chmod +x "$dir/exit42"
    "$dir/exit42" 2>/dev/null || status=$?
    rm -rf "$dir"
    LUMVORA_RUNS_32BIT_ANSWER=no
    [ "$status" = 42 ] && LUMVORA_RUNS_32BIT_ANSWER=yes
  fi
  [ "$LUMVORA_RUNS_32BIT_ANSWER" = yes ]
}
