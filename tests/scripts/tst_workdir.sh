#!/usr/bin/env bash
# make run's copy step and make clean against a working folder that holds a
# user's settings, histories, reports, log, crash dumps and an add-on of their
# own: the build's parts arrive, the program starts from there, and the user's
# files stay as they were through both.
#
#   tst_workdir.sh <source folder> <build folder>
set -euo pipefail
source_dir=$1
build_dir=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

export XDG_DATA_HOME=$scratch/share
unset VOREL_WORK_DIR
work=$XDG_DATA_HOME/VorelStock

mkdir -p "$work"/{config,data/k,output,crash,addon}
printf '[hammer]\nquantHammerMaN=34\n' >"$work/config/config.ini"
printf 'a history' >"$work/data/600000"
printf 'a chart download' >"$work/data/k/600000"
printf 'a report' >"$work/output/hammer.csv"
printf 'a log line\n' >"$work/output.txt"
printf 'a dump' >"$work/crash/vorel.2017-03-28-10-00-00-00-42.dmp"
printf 'not a library' >"$work/addon/mine.so"
printf 'an older program' >"$work/VorelStock"
users_files() {
    (cd "$work" && find config/config.ini data output output.txt crash addon/mine.so -type f -exec sha256sum {} + | sort)
}
before=$(users_files)

printed=$(bash "$source_dir/scripts/workdir.sh" "$build_dir")
[ "$printed" = "$work" ] || fail "the working folder is $printed, not $work"
parts=$(cd "$build_dir/run" && find VorelStock lib config/data.db addon assets -type f)
parts_brought_in() {
    for part in $parts; do
        cmp -s "$build_dir/run/$part" "$work/$part" || fail "$part was not brought in $1"
    done
}
parts_brought_in ""
[ -x "$work/VorelStock" ] || fail "the program cannot be run"
[ "$(users_files)" = "$before" ] || fail "the copy step changed the user's files"
# The program finds its libraries beside itself, not in the build.
if ldd "$work/VorelStock" | grep libvorel_ | grep -v -- "=> $work/lib/"; then
    fail "the program takes libraries from elsewhere than $work/lib"
fi

# It starts there with the user's settings and ends in order on SIGTERM.
(cd "$work" && QT_QPA_PLATFORM=offscreen VOREL_HOST_OVERRIDE=http://127.0.0.1:9 exec ./VorelStock \
    >"$scratch/stdout" 2>"$scratch/stderr") &
program=$!
for _ in $(seq 100); do
    grep -q "addon count:" "$scratch/stdout" && break
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
grep -q "addon count:1" "$scratch/stdout" || { kill "$program" 2>/dev/null; cat "$scratch/stderr"; fail "the program did not start with its add-on"; }
kill -TERM "$program"
wait "$program" || fail "the program did not end in order"
grep -q "quantHammerMaN=34" "$work/config/config.ini" || fail "the user's setting was lost"

# make run cut off while it brings the parts in. A cp that copies the start of
# a part and then signals its whole run stands in for the moment of the kill.
# Files of the user's named like a staging copy, and the copy of a run still
# going (this test's own pid), stay through every run.
mkdir -p "$scratch/bin"
cat >"$scratch/bin/cp" <<'CUT'
#!/usr/bin/env bash
head -c 4096 "$1" >"$2"
kill "-$CUT_WITH" 0
CUT
chmod +x "$scratch/bin/cp"
first_lib=$(cd "$work" && find lib -type f | head -1)
for name in notes.new.txt x.new.123abc VorelStock.new.123abc VorelStock.new. config/config.ini.new.4242 \
    data/600000.new.17 addon/mine.so.new.1 "$first_lib.new.$$"; do
    printf 'mine' >"$work/$name"
done
alike() {
    (cd "$work" && find . -name '*.new.*' -type f | sort)
}
users_alike=$(alike)
cut_run() {
    if CUT_WITH=$1 PATH=$scratch/bin:$PATH setsid --wait bash "$source_dir/scripts/workdir.sh" "$build_dir" \
        >/dev/null 2>&1; then
        fail "the run cut off by SIG$1 ended well"
    fi
}
left_behind() {
    comm -13 <(echo "$users_alike") <(alike)
}
before=$(users_files)
cut_run KILL
[ -n "$(left_behind)" ] || fail "the run was not cut off during its staging"
parts_brought_in "after a cut copy"
bash "$source_dir/scripts/workdir.sh" "$build_dir" >/dev/null
[ -z "$(left_behind)" ] || fail "the next run left $(left_behind)"
[ "$(alike)" = "$users_alike" ] || fail "a file of the user's named like a staging copy went"
parts_brought_in "after a run cut off"
cut_run TERM
[ -z "$(left_behind)" ] || fail "a run ended by SIGTERM left $(left_behind)"
[ "$(users_files)" = "$before" ] || fail "the runs cut off changed the user's files"

# make clean removes the build folders and nothing of the working folder.
before=$(users_files)
mkdir -p "$scratch/build/run" "$scratch/build-fuzz"
env -u MAKEFLAGS -u MAKELEVEL -u MFLAGS make --no-print-directory -C "$source_dir" clean \
    BUILD_DIR="$scratch/build" FUZZ_BUILD_DIR="$scratch/build-fuzz" >/dev/null
[ ! -e "$scratch/build" ] && [ ! -e "$scratch/build-fuzz" ] || fail "make clean left a build folder"
[ "$(users_files)" = "$before" ] || fail "make clean changed the user's files"

# Without XDG_DATA_HOME the folder is ~/.local/share/VorelStock; VOREL_WORK_DIR names another.
printed=$(unset XDG_DATA_HOME && HOME=$scratch/home bash "$source_dir/scripts/workdir.sh" "$build_dir")
[ "$printed" = "$scratch/home/.local/share/VorelStock" ] || fail "the default working folder is $printed"
printed=$(VOREL_WORK_DIR=$scratch/elsewhere bash "$source_dir/scripts/workdir.sh" "$build_dir")
[ "$printed" = "$scratch/elsewhere" ] && [ -x "$scratch/elsewhere/VorelStock" ] || fail "VOREL_WORK_DIR is not followed"
# Set-up tells a missing right from a missing network. Stand-ins for id,
# dpkg-query (nothing installed), sudo and apt-get play each machine; stdin is
# no terminal, so sudo cannot ask for a password.
stubs=$scratch/stubs
mkdir -p "$stubs/base" "$stubs/sudo"
for tool in env grep cat mktemp rm true; do
    ln -s "$(type -P "$tool")" "$stubs/base/$tool"
done
printf '#!%s\necho "$FAKE_UID"\n' "$BASH" >"$stubs/base/id"
printf '#!%s\nexit 1\n' "$BASH" >"$stubs/base/dpkg-query"
cat >"$stubs/base/apt-get" <<EOF
#!$BASH
echo "\$*" >>"$scratch/apt-calls"
case "\$FAKE_APT \$1" in
    "offline update") echo "W: Failed to fetch http://deb.debian.org/debian/dists/bookworm/InRelease  Temporary failure resolving 'deb.debian.org'" >&2 ;;
    "offline install") echo "E: Unable to locate package make" >&2; exit 100 ;;
    "locked update") echo "E: Could not get lock /var/lib/apt/lists/lock. It is held by process 42 (apt-get)" >&2; exit 100 ;;
esac
EOF
cat >"$stubs/sudo/sudo" <<EOF
#!$BASH
[ "\$FAKE_SUDO" = ok ] || { echo "sudo: a password is required" >&2; exit 1; }
[ "\$1" != -n ] || shift
exec "\$@"
EOF
chmod +x "$stubs"/base/* "$stubs/sudo/sudo"
# setup <uid> <sudo: none, password or ok> <apt: ok, offline or locked>: set-up's
# exit status; what it said lands in $scratch/said.
setup() {
    local path=$stubs/base status=0
    [ "$2" = none ] || path=$stubs/sudo:$path
    rm -f "$scratch/apt-calls"
    FAKE_UID=$1 FAKE_SUDO=$2 FAKE_APT=$3 PATH=$path "$BASH" "$source_dir/scripts/setup.sh" \
        </dev/null >"$scratch/said" 2>&1 || status=$?
    return "$status"
}
said() {
    cat "$scratch/said"
}
setup 1000 none ok && fail "set-up without root or sudo succeeded"
grep -q "as root" "$scratch/said" && ! grep -qi network "$scratch/said" || fail "no sudo: $(said)"
setup 1000 password ok && fail "set-up without sudo rights succeeded"
grep -q "sudo rights" "$scratch/said" && ! grep -qi network "$scratch/said" || fail "no sudo rights: $(said)"
[ ! -e "$scratch/apt-calls" ] || fail "apt-get ran without rights"
setup 0 none offline && fail "set-up without the network succeeded"
grep -q "needs the network" "$scratch/said" || fail "no network: $(said)"
setup 0 none locked && fail "set-up with apt locked succeeded"
grep -q "Could not get lock" "$scratch/said" && ! grep -qi network "$scratch/said" || fail "apt locked: $(said)"
setup 1000 ok ok || fail "set-up through sudo failed: $(said)"
grep -q "^install .*--no-install-recommends g++ cmake" "$scratch/apt-calls" || fail "sudo did not install: $(cat "$scratch/apt-calls")"
echo "PASS"
