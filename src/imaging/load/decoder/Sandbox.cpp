#include "imaging/load/decoder/Sandbox.h"

#include "imaging/load/DecodeAnswer.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sched.h>
#include <seccomp.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace kamsulo::imaging::decoder {

namespace {

// What decoding needs once the file is open: memory, threads of its own, the clock,
// reading its input, and writing its answer and the byte that says it is complete.
constexpr const char* Allowed[] = {
    "read",
    "pread64",
    "readv",
    "lseek",
    "fstat",
    "newfstatat",
    "statx",
    "close",
    "mmap",
    "munmap",
    "mremap",
    "mprotect",
    "madvise",
    "brk",
    "futex",
    "futex_waitv",
    "set_robust_list",
    "get_robust_list",
    "rseq",
    "membarrier",
    "exit",
    "exit_group",
    "rt_sigreturn",
    "rt_sigprocmask",
    "rt_sigaction",
    "sigaltstack",
    "getpid",
    "gettid",
    "getppid",
    "getuid",
    "geteuid",
    "getgid",
    "getegid",
    "clock_gettime",
    "clock_getres",
    "gettimeofday",
    "clock_nanosleep",
    "nanosleep",
    "sched_yield",
    "sched_getaffinity",
    "sched_getparam",
    "sched_getscheduler",
    "getrandom",
    "prlimit64",
    "getrlimit",
    "getrusage",
    "uname",
    "sysinfo",
    "poll",
    "ppoll",
    "fcntl",
};

// Lookups of the file system fail quietly: a font that was not loaded before is
// simply missing.
constexpr const char* Refused[] = {
    "open",
#ifndef KAMSULO_SANITIZED
    "openat",
#endif
    "openat2", "creat",    "access",        "faccessat",  "faccessat2",   "stat",
    "lstat",   "readlink", "readlinkat",    "getdents64", "statfs",       "fstatfs",
    "getcwd",  "ioctl",    "inotify_init1", "eventfd2",   "memfd_create",
};

// An argument's comparison (libseccomp's SCMP_An macros leave a field to chance).
scmp_arg_cmp argument(unsigned index, scmp_compare op, scmp_datum_t value,
                      scmp_datum_t second = 0) {
    return scmp_arg_cmp{index, op, value, second};
}

struct FilterDeleter {
    void operator()(scmp_filter_ctx filter) const { seccomp_release(filter); }
};

bool addAll(scmp_filter_ctx filter, std::uint32_t action, const auto& names) {
    for (const char* name : names) {
        const int call = seccomp_syscall_resolve_name(name);
        if (call == __NR_SCMP_ERROR) continue; // not on this architecture
        if (seccomp_rule_add(filter, action, call, 0) != 0) return false;
    }
    return true;
}

bool installFilter() {
    std::unique_ptr<void, FilterDeleter> filter(seccomp_init(SCMP_ACT_KILL_PROCESS));
    if (!filter) return false;
    scmp_filter_ctx f = filter.get();
    const auto answerOnly = argument(0, SCMP_CMP_EQ, DecoderAnswerFd);
    const auto doneOnly = argument(0, SCMP_CMP_EQ, DecoderDoneFd);
    const auto self = argument(0, SCMP_CMP_EQ, static_cast<scmp_datum_t>(getpid()));
    // Threads only: a new process would be outside these walls' reason.
    const auto thread = argument(0, SCMP_CMP_MASKED_EQ, CLONE_THREAD, CLONE_THREAD);
    const bool ok = addAll(f, SCMP_ACT_ALLOW, Allowed) &&
                    addAll(f, SCMP_ACT_ERRNO(EACCES), Refused) &&
                    seccomp_rule_add(f, SCMP_ACT_ALLOW, SCMP_SYS(write), 1, answerOnly) == 0 &&
                    seccomp_rule_add(f, SCMP_ACT_ALLOW, SCMP_SYS(write), 1, doneOnly) == 0 &&
                    seccomp_rule_add(f, SCMP_ACT_ALLOW, SCMP_SYS(pwrite64), 1, answerOnly) == 0 &&
                    seccomp_rule_add(f, SCMP_ACT_ALLOW, SCMP_SYS(ftruncate), 1, answerOnly) == 0 &&
                    // Messages to the terminal are dropped, not fatal.
                    seccomp_rule_add(f, SCMP_ACT_ERRNO(EBADF), SCMP_SYS(write), 1,
                                     argument(0, SCMP_CMP_LT, DecoderAnswerFd)) == 0 &&
                    seccomp_rule_add(f, SCMP_ACT_ALLOW, SCMP_SYS(tgkill), 1, self) == 0 &&
                    seccomp_rule_add(f, SCMP_ACT_ALLOW, SCMP_SYS(clone), 1, thread) == 0 &&
                    // glibc falls back to clone(), whose flags the filter can see.
                    seccomp_rule_add(f, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0) == 0;
#ifdef KAMSULO_SANITIZED
    // The sanitizers' builds cannot hand out the preopened fonts (they intercept open()
    // themselves): read-only opens go through there. AddressSanitizer tests memory by
    // writing it into a pipe of its own.
    const bool fonts =
        seccomp_rule_add(f, SCMP_ACT_ALLOW, SCMP_SYS(pipe2), 0) == 0 &&
        seccomp_rule_add(f, SCMP_ACT_ALLOW, SCMP_SYS(write), 1,
                         argument(0, SCMP_CMP_GT, DecoderDoneFd)) == 0 &&
        seccomp_rule_add(f, SCMP_ACT_ALLOW, SCMP_SYS(openat), 1,
                         argument(2, SCMP_CMP_MASKED_EQ, O_ACCMODE, O_RDONLY)) == 0 &&
        seccomp_rule_add(f, SCMP_ACT_ERRNO(EACCES), SCMP_SYS(openat), 1,
                         argument(2, SCMP_CMP_MASKED_EQ, O_ACCMODE, O_WRONLY)) == 0 &&
        seccomp_rule_add(f, SCMP_ACT_ERRNO(EACCES), SCMP_SYS(openat), 1,
                         argument(2, SCMP_CMP_MASKED_EQ, O_ACCMODE, O_RDWR)) == 0;
#else
    const bool fonts = seccomp_rule_add(f, SCMP_ACT_ERRNO(EBADF), SCMP_SYS(write), 1,
                                        argument(0, SCMP_CMP_GT, DecoderDoneFd)) == 0;
#endif
    return ok && fonts && seccomp_load(f) == 0;
}

} // namespace

bool enterSandbox(const SandboxLimits& limits) {
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return false;
    const rlimit space{limits.addressSpaceBytes, limits.addressSpaceBytes};
    const rlimit cpu{limits.cpuSeconds, limits.cpuSeconds + 1}; // SIGXCPU, then SIGKILL
    if (setrlimit(RLIMIT_AS, &space) != 0 || setrlimit(RLIMIT_CPU, &cpu) != 0) return false;
    return installFilter();
}

} // namespace kamsulo::imaging::decoder
