#!/usr/bin/env bash
# The one-node Slurm cluster of tests/cluster: an array job submitted with
# sbatch --wait runs every task, with the memory it asked for; a failing
# task fails the submission; more memory than the node has is refused at
# submit; a task that holds more than its --mem is killed. Stopping leaves
# no daemon and no folder, a second cluster beside the first does not
# disturb it, and a killed test takes its daemons with it.
# Arguments: program path, source dir, build dir. Exit 77: no Slurm here.
set -u
source_dir=$2

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"
# shellcheck source=tests/cluster/slurm_cluster.sh
. "$source_dir/tests/cluster/slurm_cluster.sh"

# munged wants every folder above its socket searchable by all; the
# cluster of the killed shell below lives in $tmp.
chmod 755 "$tmp"

if ! slurm_cluster_start; then
    echo "SKIP: no one-node Slurm on this machine (reason above)"
    exit 77
fi
echo "node idle ${slurm_cluster_idle_seconds} s after the start"

# --- the node is this machine: the CPUs online, MemTotal to within 10 %
memory_kb=$(awk '/^MemTotal:/ { print $2 }' /proc/meminfo)
node=$(scontrol show node "$slurm_cluster_node")
grep -q "CPUTot=$(getconf _NPROCESSORS_ONLN) " <<<"$node" || fail "node CPUs differ from those online: $node"
grep -q "RealMemory=$slurm_cluster_memory_mb " <<<"$node" || fail "node memory: $node"
if [ $((slurm_cluster_memory_mb * 1024)) -gt "$memory_kb" ] ||
    [ $((slurm_cluster_memory_mb * 1024 * 10)) -lt $((memory_kb * 9)) ]; then
    fail "node memory $slurm_cluster_memory_mb MB, MemTotal $memory_kb kB"
fi

# A task of the arrays below: writes its id and memory into out/, then does
# what TASK_<id> says: "fail N" exits N, "hold MB" keeps MB MB for 3 s.
cat >"$tmp/task.sh" <<'EOF'
#!/bin/sh
id=$SLURM_ARRAY_TASK_ID
eval "action=\${TASK_$id:-}"
case $action in
    fail*) exit "${action#fail }" ;;
    hold*) block=$(head -c "$((${action#hold } * 1048576))" /dev/zero | tr '\0' x)
           sleep 3
           [ -n "$block" ] || exit 9 ;;
esac
printf 'task %s mem %s\n' "$id" "$SLURM_MEM_PER_NODE" >"out/task_$id"
EOF

# submit NAME SBATCH_ARGS...: runs the array in $tmp/NAME, the submission's
# messages in $tmp/NAME/sbatch.err; sets status and job. The tasks get this
# shell's environment, TASK_<id> included.
submit() {
    local dir=$tmp/$1
    shift
    mkdir -p "$dir/out"
    status=0
    job=$(cd "$dir" && sbatch --wait --parsable "$@" "$tmp/task.sh" 2>sbatch.err) || status=$?
}

# --- three tasks, each its own file, each with the memory it asked for
submit plain --array=1-3 --mem=64M
[ "$status" -eq 0 ] || fail "plain array: sbatch status $status: $(cat "$tmp/plain/sbatch.err")"
for id in 1 2 3; do
    [ "$(cat "$tmp/plain/out/task_$id" 2>/dev/null)" = "task $id mem 64" ] ||
        fail "plain array: task $id wrote '$(cat "$tmp/plain/out/task_$id" 2>&1)'"
    [ -f "$tmp/plain/slurm-${job}_$id.out" ] || fail "plain array: no slurm-${job}_$id.out"
done
[ "$(find "$tmp/plain/out" -type f | wc -l)" -eq 3 ] || fail "plain array: $(ls "$tmp/plain/out")"

# --- a failing task: its status is the submission's, the others still ran
TASK_2="fail 3" submit failing --array=1-3 --mem=64M
[ "$status" -eq 3 ] || fail "failing task: sbatch status $status, expected 3"
for id in 1 3; do
    [ -f "$tmp/failing/out/task_$id" ] || fail "failing task: task $id did not run"
done
[ -e "$tmp/failing/out/task_2" ] && fail "failing task: task 2 wrote its file"

# --- more memory than the node has: refused at submit, nothing queued
submit toobig --array=1-3 --mem=$((slurm_cluster_memory_mb + 1))M
echo "--mem above the node's memory: sbatch status $status:"
cat "$tmp/toobig/sbatch.err"
[ "$status" -ne 0 ] || fail "too much memory: accepted as job $job"
# (sbatch's own words)
grep -q 'Memory specification can not be satisfied' "$tmp/toobig/sbatch.err" ||
    fail "too much memory: no reason given"
[ -z "$(squeue -h)" ] || fail "too much memory: queued $(squeue -h)"

# --- a task holding 3 times its --mem is killed; one within it is not
TASK_1="hold 192" TASK_2="hold 16" submit holding --array=1-2 --mem=64M
[ "$status" -ne 0 ] || fail "memory over --mem: sbatch status 0"
grep -q 'exceeded memory limit' "$tmp/holding/slurm-${job}_1.out" 2>/dev/null ||
    fail "memory over --mem: task 1 not killed for it: $(cat "$tmp/holding/slurm-${job}_1.out" 2>&1)"
[ -e "$tmp/holding/out/task_1" ] && fail "memory over --mem: task 1 went on"
[ -f "$tmp/holding/out/task_2" ] || fail "memory within --mem: task 2 did not finish"

# --- a second cluster beside this one, its shell then killed: its daemons
# go, this cluster goes on
# shellcheck disable=SC2016 # expanded by the inner shell
TMPDIR=$tmp bash -c '
    . "$1/tests/cluster/slurm_cluster.sh"
    slurm_cluster_start || exit
    slurm_cluster_pids >"$2.tmp"
    mv "$2.tmp" "$2"
    exec sleep 300' bash "$source_dir" "$tmp/second.pids" &
second=$!
for _ in $(seq 1 600); do
    [ -s "$tmp/second.pids" ] && break
    kill -0 "$second" 2>/dev/null || break
    sleep 0.1
done
kill -KILL "$second" 2>/dev/null
wait "$second" 2>/dev/null
if [ -s "$tmp/second.pids" ]; then
    for _ in $(seq 1 100); do
        alive=$(awk '{ print $2 }' "$tmp/second.pids" | while read -r pid; do
            ! kill -0 "$pid" 2>/dev/null || echo "$pid"
        done | tr "\n" " ")
        [ -z "$alive" ] && break
        sleep 0.1
    done
    [ -z "$alive" ] || fail "killed shell: daemons $alive still run"
else
    fail "second cluster did not start"
fi

# runs_a_job LABEL: a job of this shell's cluster runs, through srun, which
# returns as soon as the job ends.
runs_a_job() {
    local out
    out=$(srun --mem=64M printenv SLURM_JOB_PARTITION 2>&1)
    [ "$out" = "$slurm_cluster_partition" ] || fail "$1: srun gave '$out'"
}
runs_a_job "first cluster after the second"

# processes_in DIR: the processes whose command line or environment names
# DIR, one line each.
processes_in() {
    local pid
    for pid in /proc/[0-9]*; do
        if [[ "$({ tr '\0' ' ' <"$pid/cmdline" && tr '\0' ' ' <"$pid/environ"; } 2>/dev/null)" == *"$1"* ]]; then
            echo "${pid#/proc/} $(tr '\0' ' ' <"$pid/cmdline" 2>/dev/null)"
        fi
    done
}

# --- where a cluster cannot start: status 77, the reason, nothing left
# name | setting of the shell that starts it | text expected in its output
cp "$source_dir/tests/cluster/slurm_cluster.sh" "$tmp/library.sh"
mkdir -m 755 "$tmp/fails"
mkdir -m 700 "$tmp/fails/private"
ln -s /usr/sbin/* /sbin/* /usr/bin/* /bin/* "$tmp/fails/" 2>/dev/null  # /bin may repeat /usr/bin
rm -f "$tmp/fails/slurmd"
cases=(
    "not root|user nobody|not root"
    "no slurmd on PATH|PATH=$tmp/fails|missing commands (Debian package): slurmd (slurmd)"
    "folder closed to others|TMPDIR=$tmp/fails/private|execute permissions for all required"
    "slurmctld refuses its state folder|slurm_cluster_conf_extra=StateSaveLocation=/nonexistent/state|slurmctld exited before an answer to scontrol ping"
)
for c in "${cases[@]}"; do
    IFS='|' read -r name setting expected <<<"$c"
    as=()
    settings=(TMPDIR="$tmp/fails")
    case $setting in
        "user nobody") as=(setpriv --reuid=65534 --regid=65534 --clear-groups) ;;
        *) settings+=("$setting") ;;
    esac
    status=0
    # shellcheck disable=SC2016 # expanded by the inner shell
    "${as[@]}" env "${settings[@]}" bash -c '. "$1"; slurm_cluster_start' bash "$tmp/library.sh" \
        </dev/null >"$tmp/fails.out" 2>&1 || status=$?
    [ "$status" -eq 77 ] || fail "$name: status $status, expected 77: $(cat "$tmp/fails.out")"
    if ! grep -q "^slurm_cluster: cannot start a one-node Slurm: " "$tmp/fails.out" ||
        ! grep -qF "$expected" "$tmp/fails.out"; then
        fail "$name: reason not given: $(cat "$tmp/fails.out")"
    fi
    [ -z "$(processes_in "$tmp/fails")" ] || fail "$name: left running: $(processes_in "$tmp/fails")"
    left=$(find "$tmp/fails" "$tmp/fails/private" -maxdepth 1 -name 'slurm-cluster.*')
    [ -z "$left" ] || fail "$name: left $left"
done

# --- stop: no daemon, no process in the cluster's folder, no folder; then
# a new cluster in a row
# stopped_cleanly LABEL: the checks after slurm_cluster_stop.
stopped_cleanly() {
    local pids dir=$slurm_cluster_dir pid
    pids=$(slurm_cluster_pids | awk '{ print $2 }')
    [ "$(wc -w <<<"$pids")" -eq 3 ] || fail "$1: daemons recorded: $pids"
    slurm_cluster_stop
    for pid in $pids; do
        kill -0 "$pid" 2>/dev/null && fail "$1: pid $pid still runs"
    done
    [ -z "$(processes_in "$dir")" ] || fail "$1: still running: $(processes_in "$dir")"
    [ -e "$dir" ] && fail "$1: $dir left"
    [ -z "${SLURM_CONF:-}" ] || fail "$1: SLURM_CONF still set"
}
stopped_cleanly "first cluster"
if slurm_cluster_start; then
    runs_a_job "cluster in a row"
    stopped_cleanly "cluster in a row"
else
    fail "cluster in a row did not start"
fi

finish "slurm cluster: all checks passed"
