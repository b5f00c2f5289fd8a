# shellcheck shell=bash
# A one-node Slurm cluster on this machine, for tests that submit real batch
# jobs: munged, slurmctld and slurmd for one node named localhost, run as
# root, everything they keep (munge key, slurm.conf, state, spool, logs) in a
# folder of their own under ${TMPDIR:-/tmp}. Sourced by a bash script, not
# run:
#
#     . tests/cluster/slurm_cluster.sh
#     slurm_cluster_start || exit $?      # 77: cannot start here, reason on stderr
#     sbatch --wait --array=1-3 --mem=100M job.sh
#
# slurm_cluster_start exports SLURM_CONF (so that sbatch, srun, squeue,
# scontrol and the jobs themselves talk to this cluster and no other) and
# sets
#     slurm_cluster_dir           the cluster's folder
#     slurm_cluster_node          its one node (localhost)
#     slurm_cluster_partition     its one partition, the default
#     slurm_cluster_cpus          the node's CPUs, as slurmd -C finds them
#     slurm_cluster_memory_mb     the node's RealMemory in MB, likewise
#     slurm_cluster_idle_seconds  time from the call to an idle node
# and traps EXIT, HUP, INT and TERM so that slurm_cluster_stop runs before
# whatever the shell's EXIT trap did already. Call it in the shell that
# submits, not in $(...) or a pipeline: the daemons are that shell's
# children and get SIGTERM when it dies (even by SIGKILL), so a killed test
# leaves no daemon behind. When the cluster cannot run here (not root, a
# command missing, a daemon that exits or does not answer in time) it says
# why in a line "slurm_cluster: cannot start a one-node Slurm: ...", shows
# the daemons' logs, stops what it started and returns 77.
#
# slurm_cluster_stop cancels the cluster's jobs, stops slurmd, slurmctld and
# munged by their pids (SIGTERM, SIGKILL after 10 s), and removes the folder
# (kept when slurm_cluster_keep=1); HUP, INT and TERM wait until it is done. slurm_cluster_pids lists the daemons and their
# pids; slurm_cluster_logs prints the end of each log.
#
# Settings read at start: slurm_cluster_timeout (seconds to wait for an idle
# node, default 60); slurm_cluster_conf_extra (lines added at the end of
# slurm.conf; for a key already set, slurmctld takes the later value and
# logs an error).
#
# Each cluster picks two free TCP ports below the ephemeral range and a
# cluster name of its own, so two clusters at once, or the remains of a
# killed one, never share a port, a socket, a state or a spool folder.
# munged needs every folder above its socket searchable by all: TMPDIR must
# not lie in a folder of mode 700.

# The slurm_cluster_* variables are set here for the caller to read.
# shellcheck disable=SC2034

slurm_cluster_daemons=()

# _slurm_cluster_say MESSAGE: one line on stderr, named after the library.
_slurm_cluster_say() {
    echo "slurm_cluster: $*" >&2
}

# _slurm_cluster_missing: the commands this cluster needs that are not on
# PATH, each with the Debian package that brings it; nothing when all are.
_slurm_cluster_missing() {
    local pair
    for pair in munged:munge mungekey:munge munge:munge slurmctld:slurmctld slurmd:slurmd \
        sbatch:slurm-client scontrol:slurm-client sinfo:slurm-client squeue:slurm-client \
        scancel:slurm-client setpriv:util-linux; do
        command -v "${pair%%:*}" >/dev/null 2>&1 || printf ' %s (%s)' "${pair%%:*}" "${pair#*:}"
    done
}

# _slurm_cluster_port_in_use PORT: whether any IPv4 or IPv6 socket has PORT
# as its local port, in any state.
_slurm_cluster_port_in_use() {
    local hex
    hex=$(printf '%04X' "$1")
    cat /proc/net/tcp /proc/net/tcp6 2>/dev/null |
        awk -v p=":$hex" 'NR > 1 && substr($2, length($2) - 4) == p { found = 1 } END { exit !found }'
}

# _slurm_cluster_free_ports: two consecutive ports that no socket uses,
# drawn below the kernel's ephemeral range so that no outgoing connection
# takes them meanwhile.
_slurm_cluster_free_ports() {
    local low=10000 high port try
    read -r high _ </proc/sys/net/ipv4/ip_local_port_range 2>/dev/null || high=32768
    [ "$high" -gt $((low + 100)) ] || high=32768
    for try in $(seq 1 200); do
        port=$((low + (RANDOM * 32768 + RANDOM) % (high - 1 - low)))
        if ! _slurm_cluster_port_in_use "$port" && ! _slurm_cluster_port_in_use $((port + 1)); then
            echo "$port"
            return 0
        fi
        : "$try"
    done
    return 1
}

# _slurm_cluster_spawn NAME LOG COMMAND...: starts COMMAND in the background,
# its output to LOG, as a child of this shell that gets SIGTERM if this
# shell dies; records its pid.
_slurm_cluster_spawn() {
    local name=$1 log=$2
    shift 2
    setpriv --pdeathsig TERM -- "$@" </dev/null >"$log" 2>&1 &
    slurm_cluster_daemons+=("$name:$!")
}

# _slurm_cluster_alive NAME: whether the daemon NAME started by this shell
# still runs.
_slurm_cluster_alive() {
    local entry
    for entry in "${slurm_cluster_daemons[@]}"; do
        [ "${entry%%:*}" = "$1" ] && kill -0 "${entry#*:}" 2>/dev/null && return 0
    done
    return 1
}

# _slurm_cluster_wait SECONDS COMMAND...: runs COMMAND every 0.1 s until it
# succeeds (status 0) or SECONDS pass (status 1).
_slurm_cluster_wait() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# _slurm_cluster_await NAME SECONDS WHAT COMMAND...: waits until COMMAND
# succeeds; when the daemon NAME exits first or SECONDS pass, stops the
# cluster with the reason (status 77).
_slurm_cluster_await() {
    local name=$1 seconds=$2 what=$3
    shift 3
    if ! _slurm_cluster_wait "$seconds" _slurm_cluster_ready "$name" "$@"; then
        _slurm_cluster_fail "$what not within $seconds s"
    elif ! _slurm_cluster_alive "$name"; then
        _slurm_cluster_fail "$name exited before $what"
    fi
}

# _slurm_cluster_ready NAME COMMAND...: COMMAND succeeds, or NAME has
# exited (then waiting is over too).
_slurm_cluster_ready() {
    local name=$1
    shift
    "$@" || ! _slurm_cluster_alive "$name"
}

_slurm_cluster_munge_answers() {
    munge -n --socket="$slurm_cluster_dir/munge/munge.socket" 2>/dev/null |
        unmunge --socket="$slurm_cluster_dir/munge/munge.socket" >/dev/null 2>&1
}

_slurm_cluster_controller_answers() {
    scontrol ping 2>/dev/null | grep -q 'is UP'
}

_slurm_cluster_node_idle() {
    [ "$(sinfo -h -n "$slurm_cluster_node" -o %T 2>/dev/null)" = idle ]
}

# _slurm_cluster_write_conf NODE_LINE PORT: the cluster's slurm.conf.
# Memory is a consumable resource: a job asking for more than the node has
# is refused at submit, and running jobs share the node's memory out. No
# cgroup plugin (Slurm's cgroup/v1 would move the jobs to a cgroup of its
# own at the root of the hierarchy, outside the one this shell runs in, and
# name it after the node, shared by every cluster here): instead the job
# accounting reads each step's memory from /proc every second and kills a
# step that holds more than its --mem.
_slurm_cluster_write_conf() {
    local d=$slurm_cluster_dir
    cat >"$d/etc/slurm.conf" <<EOF
ClusterName=$slurm_cluster_name
SlurmctldHost=localhost
SlurmctldPort=$2
SlurmdPort=$(($2 + 1))
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$d/munge/munge.socket
StateSaveLocation=$d/state
SlurmdSpoolDir=$d/spool
SlurmctldPidFile=$d/run/slurmctld.pid
SlurmdPidFile=$d/run/slurmd.pid
SlurmctldLogFile=$d/log/slurmctld.log
SlurmdLogFile=$d/log/slurmd.log
SlurmctldDebug=info
SlurmdDebug=info
PlugStackConfig=$d/etc/plugstack.conf
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/linux
JobAcctGatherFrequency=task=1
JobAcctGatherParams=OverMemoryKill
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
MpiDefault=none
SwitchType=switch/none
MailProg=/bin/true
SelectType=select/cons_tres
SelectTypeParameters=CR_Core_Memory
ReturnToService=2
NodeName=$slurm_cluster_node NodeAddr=127.0.0.1 NodeHostname=localhost $1 State=UNKNOWN
PartitionName=$slurm_cluster_partition Nodes=$slurm_cluster_node Default=YES MaxTime=INFINITE State=UP
${slurm_cluster_conf_extra:-}
EOF
    : >"$d/etc/plugstack.conf"
}

# _slurm_cluster_fail REASON: says why the cluster cannot run here, shows
# the logs, stops what was started; status 77 for the caller to skip.
_slurm_cluster_fail() {
    _slurm_cluster_say "cannot start a one-node Slurm: $*"
    slurm_cluster_logs >&2
    slurm_cluster_stop
    return 77
}

# _slurm_cluster_check_host: why this machine cannot run the cluster, or
# nothing (status 0) when it can.
_slurm_cluster_check_host() {
    local missing
    if [ "$(id -u)" -ne 0 ]; then
        _slurm_cluster_say "cannot start a one-node Slurm: not root (slurmd runs jobs as their users)"
        return 77
    fi
    missing=$(_slurm_cluster_missing)
    if [ -n "$missing" ]; then
        _slurm_cluster_say "cannot start a one-node Slurm: missing commands (Debian package):$missing"
        return 77
    fi
    if ! setpriv --help 2>/dev/null | grep -q -- --pdeathsig; then
        _slurm_cluster_say "cannot start a one-node Slurm: setpriv has no --pdeathsig (util-linux 2.33 or later)"
        return 77
    fi
    if [ -n "${slurm_cluster_dir:-}" ]; then
        _slurm_cluster_say "a cluster already runs from this shell in $slurm_cluster_dir"
        return 1
    fi
}

slurm_cluster_start() {
    local node_line port started
    _slurm_cluster_check_host || return
    started=$EPOCHREALTIME

    slurm_cluster_dir=$(mktemp -d "${TMPDIR:-/tmp}/slurm-cluster.XXXXXX") || {
        _slurm_cluster_say "cannot start a one-node Slurm: no temporary folder"
        return 77
    }
    _slurm_cluster_chain_traps
    # A Unix socket's path holds at most 107 bytes.
    if [ "${#slurm_cluster_dir}" -gt 80 ]; then
        _slurm_cluster_fail "the path $slurm_cluster_dir is too long for its sockets (TMPDIR)"
        return
    fi
    # munged wants every folder above its socket searchable by all, and its
    # key in a folder only its owner reads.
    chmod 755 "$slurm_cluster_dir"
    mkdir -m 755 "$slurm_cluster_dir"/{munge,etc,state,spool,run,log}
    mkdir -m 700 "$slurm_cluster_dir/key"
    slurm_cluster_name=${slurm_cluster_dir##*.}
    slurm_cluster_name=kf${slurm_cluster_name,,}
    slurm_cluster_node=localhost
    slurm_cluster_partition="batch"
    export SLURM_CONF=$slurm_cluster_dir/etc/slurm.conf

    mungekey --create --keyfile="$slurm_cluster_dir/key/munge.key" >/dev/null 2>&1 ||
        { _slurm_cluster_fail "mungekey could not create a key"; return; }
    _slurm_cluster_spawn munged "$slurm_cluster_dir/log/munged.out" munged --foreground \
        --socket="$slurm_cluster_dir/munge/munge.socket" \
        --key-file="$slurm_cluster_dir/key/munge.key" \
        --pid-file="$slurm_cluster_dir/run/munged.pid" \
        --log-file="$slurm_cluster_dir/log/munged.log" \
        --seed-file="$slurm_cluster_dir/munge/munged.seed"
    _slurm_cluster_await munged 10 "an answer on its socket" _slurm_cluster_munge_answers || return

    node_line=$(slurmd -C 2>/dev/null | sed -n '1s/^NodeName=[^ ]* //p')
    [[ $node_line =~ CPUs=([0-9]+).*RealMemory=([0-9]+) ]] ||
        { _slurm_cluster_fail "slurmd -C did not report the node's CPUs and memory"; return; }
    slurm_cluster_cpus=${BASH_REMATCH[1]}
    slurm_cluster_memory_mb=${BASH_REMATCH[2]}
    port=$(_slurm_cluster_free_ports) ||
        { _slurm_cluster_fail "no two free TCP ports found"; return; }
    _slurm_cluster_write_conf "$node_line" "$port"

    _slurm_cluster_spawn slurmctld "$slurm_cluster_dir/log/slurmctld.out" \
        slurmctld -D -f "$SLURM_CONF"
    _slurm_cluster_await slurmctld 30 "an answer to scontrol ping" \
        _slurm_cluster_controller_answers || return
    _slurm_cluster_spawn slurmd "$slurm_cluster_dir/log/slurmd.out" \
        slurmd -D -f "$SLURM_CONF" -N "$slurm_cluster_node"
    _slurm_cluster_await slurmd "${slurm_cluster_timeout:-60}" "an idle node" \
        _slurm_cluster_node_idle || return
    slurm_cluster_idle_seconds=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }')
}

# _slurm_cluster_chain_traps: the EXIT trap stops the cluster, then does
# what the shell's EXIT trap did before; a signal ends the shell through
# that EXIT trap.
_slurm_cluster_chain_traps() {
    local previous words=()
    # trap -p prints "trap -- 'ACTION' EXIT", quoted for the shell to read.
    eval "words=($(trap -p EXIT))"
    previous=${words[2]:-}
    # shellcheck disable=SC2064 # the earlier action is fixed now, on purpose
    trap "slurm_cluster_stop; $previous" EXIT
    trap 'exit 129' HUP
    trap 'exit 130' INT
    trap 'exit 143' TERM
}

# _slurm_cluster_no_jobs: whether no job of this cluster is left, in the
# queue or as a step daemon with its socket in the spool folder.
_slurm_cluster_no_jobs() {
    local sockets
    sockets=$(find "$slurm_cluster_dir/spool" -type s 2>/dev/null | head -n 1)
    [ -z "$sockets" ] || return 1
    ! _slurm_cluster_alive slurmctld || [ -z "$(squeue -h -o %i 2>/dev/null)" ]
}

_slurm_cluster_gone() {
    ! kill -0 "$1" 2>/dev/null
}

# _slurm_cluster_end PID: SIGTERM, up to 10 s for it to go, then SIGKILL.
_slurm_cluster_end() {
    kill -TERM "$1" 2>/dev/null || return 0
    _slurm_cluster_wait 10 _slurm_cluster_gone "$1" || kill -KILL "$1" 2>/dev/null
    wait "$1" 2>/dev/null
    return 0
}

slurm_cluster_stop() {
    local i entry
    [ -n "${slurm_cluster_dir:-}" ] || return 0
    # A second signal must not cut the cleanup short (it takes a minute at
    # most); the shell is on its way out anyway when a trap calls this.
    trap '' HUP INT TERM
    if _slurm_cluster_alive slurmctld; then
        squeue -h -o %i 2>/dev/null | xargs -r scancel 2>/dev/null
        _slurm_cluster_wait 30 _slurm_cluster_no_jobs ||
            _slurm_cluster_say "jobs still running when the cluster stops"
    fi
    # slurmd first, then the controller, then the munge daemon both use.
    for ((i = ${#slurm_cluster_daemons[@]} - 1; i >= 0; i--)); do
        entry=${slurm_cluster_daemons[i]}
        _slurm_cluster_end "${entry#*:}"
    done
    slurm_cluster_daemons=()
    [ "${slurm_cluster_keep:-0}" = 1 ] || rm -rf "$slurm_cluster_dir"
    slurm_cluster_dir=
    unset SLURM_CONF
    trap 'exit 129' HUP
    trap 'exit 130' INT
    trap 'exit 143' TERM
}

# slurm_cluster_pids: one line per daemon started, its name and pid.
slurm_cluster_pids() {
    local entry
    for entry in "${slurm_cluster_daemons[@]}"; do
        echo "${entry%%:*} ${entry#*:}"
    done
}

# slurm_cluster_logs: the last lines of each daemon's log.
slurm_cluster_logs() {
    local log
    [ -n "${slurm_cluster_dir:-}" ] || return 0
    for log in "$slurm_cluster_dir"/log/*; do
        [ -s "$log" ] || continue
        echo "--- $log"
        tail -n 15 "$log"
    done
}
