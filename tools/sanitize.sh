#!/usr/bin/env bash
# Builds the project with GCC's sanitizers and runs the tests there:
#   asan  AddressSanitizer + UndefinedBehaviorSanitizer (and leak checks),
#         the whole CTest suite, in build-asan/
#   tsan  ThreadSanitizer, the server program's tests (HTTP, API, the
#         computer's worker thread, shutdown) and the UCI program's (its
#         search thread), in build-tsan/
# and after each, a short soak run (tests/soak) of the sanitized server:
# several hostile clients while the computer plays itself.
# Usage: tools/sanitize.sh [asan|tsan|all]     (default: all)
#   SANITIZE_SOAK_SECONDS  length of each soak run (default 30; 0: none)
#
# Every sanitizer writes its reports to files under <build>/reports/ instead
# of standard error. That is how reports from a tavelin3d started by an
# integration test are caught: such a test may kill its child or never look
# at how it ended, so a report there would not fail the test by itself. Any
# file left in reports/ fails the run, and its text is printed.
set -euo pipefail
cd "$(dirname "$0")/.."
goc=$PWD
jobs=$(nproc)
chon=${1:-all}
case "$chon" in asan | tsan | all) ;; *)
    echo "usage: $0 [asan|tsan|all]" >&2
    exit 2
    ;;
esac

# Prints the command prefix under which programs built with `$1` (compiler
# flags) run: nothing, or `setarch <arch> -R` when the runtime cannot map its
# shadow memory because the kernel randomises addresses with more bits than
# it was made for ("unexpected memory mapping", "Shadow memory range
# interleaves"). -R turns address randomisation off for the run and for every
# process it starts.
tien_to_chay() {
    local co=$1 thu=$2
    mkdir -p "$(dirname "$thu")" || return 1
    printf '#include <thread>\n#include <vector>\nint main() { std::vector<int> v(8); std::thread([&] { v[1] = 1; }).join(); return v[1] - 1; }\n' >"$thu.cpp"
    # shellcheck disable=SC2086  # the flags are several words
    if ! "${CXX:-g++}" $co -pthread "$thu.cpp" -o "$thu" 2>"$thu.log"; then
        echo "== cannot build with '$co' (are libasan8/libubsan1/libtsan2 installed?):" >&2
        cat "$thu.log" >&2
        return 1
    fi
    if "$thu" >"$thu.log" 2>&1; then
        return 0
    fi
    if setarch "$(uname -m)" -R "$thu" >>"$thu.log" 2>&1; then
        echo "setarch $(uname -m) -R"
        return 0
    fi
    echo "== a program built with '$co' does not run here, even without address randomisation:" >&2
    cat "$thu.log" >&2
    return 1
}

# Configures and builds `$1` (build directory) with compiler flags `$2` and
# linker flags `$3`; the rest are the targets.
dung() {
    local thu_muc=$1 co=$2 lien_ket=$3
    shift 3
    # The sanitizer flags carry the optimisation level: the build type adds
    # nothing but -g (and no NDEBUG, so assertions stay on). Tests are listed
    # when CTest runs, not after linking, so that a build never runs a
    # sanitized program outside the prefix found above.
    cmake -S "$goc" -B "$thu_muc" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS="$co" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-g" \
        -DCMAKE_EXE_LINKER_FLAGS="$lien_ket" \
        -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST >/dev/null || return 1
    local dich=()
    for t in "$@"; do dich+=(--target "$t"); done
    cmake --build "$thu_muc" -j"$jobs" "${dich[@]}"
}

# Prints every report left in `$1` and fails if there is one.
kiem_bao_cao() {
    local bao_cao=$1 ten=$2
    if [ -n "$(ls -A "$bao_cao")" ]; then
        for f in "$bao_cao"/*; do
            echo "---- $ten report $f"
            cat "$f"
        done
        echo "== $ten: reports found (above)" >&2
        return 1
    fi
}

# Runs CTest in `$1` under prefix `$2` (may be empty); the rest go to CTest.
chay_ctest() {
    local thu_muc=$1 tien_to=$2
    shift 2
    # shellcheck disable=SC2086  # the prefix is several words or none
    $tien_to ctest --test-dir "$thu_muc" -j"$jobs" --output-on-failure "$@"
}

giay_soak=${SANITIZE_SOAK_SECONDS:-30}
co_soak() { [ "$giay_soak" -gt 0 ] && [ -f "$goc/tests/soak/CMakeLists.txt" ]; }

# Runs the soak program of build `$1` under prefix `$2` (may be empty). The
# sanitizers' own bookkeeping (ASan keeps freed memory aside for a while)
# makes the server's resident size meaningless here: the memory bound is
# checked by the plain build's soak run, not this one.
chay_soak() {
    local thu_muc=$1 tien_to=$2
    co_soak || return 0
    # shellcheck disable=SC2086  # the prefix is several words or none
    $tien_to "$thu_muc/tests/soak/tavelin-soak" --seconds "$giay_soak" --rss-mib 4096
}

chay_asan() {
    local bd=$SECONDS thu_muc=$goc/build-asan
    # A failed undefined-behaviour check traps (SIGILL) instead of calling
    # GCC's UBSan runtime: that runtime, next to ASan's, ignores log_path and
    # only writes to standard error, which a started tavelin3d sends to a
    # file its test deletes. ASan turns the trap into a report with the
    # source line and the stack ("ILL on unknown address ... in f file:line")
    # in the reports directory. To read the check's own wording, build
    # without -fsanitize-undefined-trap-on-error and run the one test.
    # float-cast-overflow: a double too large for the integer it becomes.
    # _GLIBCXX_ASSERTIONS: the standard library checks indexes and the like
    # (a failure aborts, which ASan reports as well); it keeps the ABI.
    local san="-fsanitize=address,undefined,float-cast-overflow -fsanitize-undefined-trap-on-error"
    local co="$san -fno-sanitize-recover=all -fno-omit-frame-pointer -O1 -g -D_GLIBCXX_ASSERTIONS"
    local tien_to
    tien_to=$(tien_to_chay "$co" "$thu_muc/probe/asan") || return 1
    dung "$thu_muc" "$co" "$san" || return 1
    local bao_cao=$thu_muc/reports
    rm -rf "$bao_cao" && mkdir -p "$bao_cao" || return 1
    local kq=0
    # handle_sigill catches the traps above; handle_abort turns a failed
    # assertion in a started tavelin3d into a report as well.
    local asan="abort_on_error=1:halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1"
    asan+=":check_initialization_order=1:strict_init_order=1:handle_sigill=1:handle_abort=1:log_path=$bao_cao/asan"
    ASAN_OPTIONS=$asan chay_ctest "$thu_muc" "$tien_to" || kq=$?
    ASAN_OPTIONS=$asan chay_soak "$thu_muc" "$tien_to" || kq=$?
    kiem_bao_cao "$bao_cao" "ASan/UBSan" || kq=1
    echo "== asan+ubsan: $([ $kq -eq 0 ] && echo passed || echo FAILED) in $((SECONDS - bd)) s${tien_to:+ (under $tien_to)}"
    return $kq
}

chay_tsan() {
    local bd=$SECONDS thu_muc=$goc/build-tsan
    local co="-fsanitize=thread -O1 -g"
    local tien_to
    tien_to=$(tien_to_chay "$co" "$thu_muc/probe/tsan") || return 1
    # test_server starts the tavelin3d built here, test_uci the tavelin-uci,
    # so all four are built.
    local dich=(test_server tavelin3d test_uci tavelin-uci)
    if co_soak; then dich+=(tavelin-soak); fi
    dung "$thu_muc" "$co" "-fsanitize=thread" "${dich[@]}" || return 1
    local bao_cao=$thu_muc/reports
    rm -rf "$bao_cao" && mkdir -p "$bao_cao" || return 1
    local kq=0
    # The other test programs are not built here; CTest lists each of them as
    # one "<name>_NOT_BUILT" entry, left out.
    local tsan="halt_on_error=1:exitcode=66:second_deadlock_stack=1:log_path=$bao_cao/tsan"
    TSAN_OPTIONS=$tsan chay_ctest "$thu_muc" "$tien_to" -E '_NOT_BUILT$' || kq=$?
    TSAN_OPTIONS=$tsan chay_soak "$thu_muc" "$tien_to" || kq=$?
    kiem_bao_cao "$bao_cao" "TSan" || kq=1
    echo "== tsan: $([ $kq -eq 0 ] && echo passed || echo FAILED) in $((SECONDS - bd)) s${tien_to:+ (under $tien_to)}"
    return $kq
}

# Both runs report even when the first fails. (errexit does not act inside a
# function called before ||, so the steps above check their own results.)
kq=0
if [ "$chon" != tsan ]; then chay_asan || kq=1; fi
if [ "$chon" != asan ]; then chay_tsan || kq=1; fi
exit $kq
