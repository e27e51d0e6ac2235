# Shell helpers shared by the benchmark scripts (sourced, not run): the
# clock, medians and ratios, the options every benchmark takes, the
# machine-readable record of its figures and the description of the machine.
# The Python benchmarks have the same in scripts/lib/bench_common.py, which
# writes its figures in the same form.
#
# Options read by bench_options (before the script's own arguments):
#   --runs N     repeat each timed run N times and give the median
#   --tsv FILE   also append every figure to FILE, one line each:
#                key <TAB> median <TAB> unit <TAB> runs <TAB> all values
# After it, BENCH_RUNS holds the count (empty when not given), BENCH_TSV
# the file (empty when not given) and BENCH_ARGS the remaining arguments.

bench_options() {
  BENCH_RUNS="" BENCH_TSV="" BENCH_ARGS=()
  while (($#)); do
    case $1 in
      --runs)
        [[ ${2:-} =~ ^[1-9][0-9]*$ ]] || { echo "--runs needs a count of 1 or more" >&2; exit 2; }
        BENCH_RUNS=$2
        shift 2
        ;;
      --tsv)
        [[ -n ${2:-} ]] || { echo "--tsv needs a file" >&2; exit 2; }
        BENCH_TSV=$2
        shift 2
        ;;
      --) shift; BENCH_ARGS+=("$@"); break ;;
      *) BENCH_ARGS+=("$1"); shift ;;
    esac
  done
}

bench_now() { date +%s.%N; }
bench_elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
bench_ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN { if (a ~ /^[0-9.]+$/ && b ~ /^[0-9.]+$/ && b > 0) printf "%.2f", a / b; else print "-" }'
}

# bench_median VALUES...: the middle value, or the mean of the two middle
# ones; "-" for none.
bench_median() {
  (($#)) || { echo -; return; }
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
    END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
bench_max() { printf '%s\n' "$@" | sort -g | tail -1; }

# bench_record KEY UNIT VALUES...: one figure, all its runs, into the TSV
# file when there is one.
bench_record() {
  local key=$1 unit=$2
  shift 2
  [[ -n ${BENCH_TSV:-} ]] || return 0
  printf '%s\t%s\t%s\t%s\t%s\n' "$key" "$(bench_median "$@")" "$unit" "$#" "$*" >>"$BENCH_TSV"
}

# bench_note KEY TEXT: a fact about the run (sizes, counts) for the TSV file.
bench_note() {
  [[ -n ${BENCH_TSV:-} ]] || return 0
  printf '%s\t%s\tnote\t0\t\n' "$1" "$2" >>"$BENCH_TSV"
}

# bench_others: up to three busy processes (over 30% of a core, their CPU
# share averaged over their life, as ps gives it) that are not the
# benchmarks' own, one name a line.
bench_ours='^(quillfen|quillfen-script|quillfen-e2e|mv|cp|rm|sync|find|sort|awk|sed|head|tail|split|base64|date|cat|time|bash|Xvfb|xdotool|xprop|WebKit.*|scale_move_test|card_picture|strace|python3|mount.exfat-fus|losetup|mkfs.ext4|mkfs.exfat|ps|sleep|cut|cmake|make|gmake)$'
bench_others() {
  ps -eo pcpu=,comm= --sort=-pcpu | awk -v ours="$bench_ours" '$1 > 30 && $2 !~ ours { print $2 }' | head -3
}

# The file system type and the device behind a folder.
bench_volume() {
  local target source fstype
  read -r target source fstype < <(findmnt -n -o TARGET,SOURCE,FSTYPE -T "$1")
  local dev=${source#/dev/} kind=""
  if [[ -e /sys/block/$dev/queue/rotational ]]; then
    [[ $dev == vd* ]] && kind="virtio block device, "
    if [[ $(cat "/sys/block/$dev/queue/rotational") == 0 ]]; then kind+="non-rotational"; else kind+="reported as rotational"; fi
  fi
  printf '%s: %s on %s%s' "$target" "$fstype" "$source" "${kind:+ ($kind)}"
}

# bench_machine DISK-FOLDER: the machine, one "name: value" line each.
bench_machine() {
  local cpu
  cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')
  echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "cpu: ${cpu:-unknown}, $(nproc) cores"
  echo "memory: $(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)"
  echo "kernel: $(uname -sr)"
  if grep -qw hypervisor /proc/cpuinfo; then echo "virtual machine: yes (the CPU reports a hypervisor)"; fi
  echo "disk: $(bench_volume "$1")"
  echo "memory volume: $(bench_volume /dev/shm)"
  echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
}
