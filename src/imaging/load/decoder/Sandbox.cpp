#include "imaging/load/decoder/Sandbox.h"

#include "imaging/load/DecodeAnswer.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sched.h>
#include <seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

namespace kamsulo::imaging::decoder {

namespace {

// What decoding needs once the file is open: memory, threads of its own, the clock,
// reading its input, and writing its answer and the byte that says it is complete.
constexpr const char* Allowed[] = {
    "read",         "pread64",      "readv",           "lseek",           "fstat",
    "close",        "munmap",       "mremap",          "madvise",         "brk",
    "futex",        "futex_waitv",  "set_robust_list", "get_robust_list", "rseq",
    "membarrier",   "exit",         "exit_group",      "rt_sigreturn",    "rt_sigprocmask",
    "rt_sigaction", "sigaltstack",  "getpid",          "gettid",          "getppid",
    "getuid",       "geteuid",      "getgid",          "getegid",         "clock_gettime",
    "clock_getres", "gettimeofday", "clock_nanosleep", "nanosleep",       "sched_yield",
    "getrandom",    "getrlimit",    "getrusage",       "uname",           "sysinfo",
    "poll",         "ppoll",
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

// The descriptor commands that decoding needs: duplicating, and reading or setting
// close-on-exec. Owners, signals, leases, locks, seals and pipe sizes reach beyond the
// decoder (an owner and a signal on the done pipe would have the program's read kill
// any process of the user).
constexpr int DescriptorCommands[] = {F_GETFD, F_SETFD, F_GETFL, F_DUPFD, F_DUPFD_CLOEXEC};

// The calls that take a process id answer for the decoder itself only: with 0 (the
// caller) at once, with any other id through answerForOwnThreads.
constexpr const char* OwnProcessOnly[] = {"prlimit64", "sched_getaffinity", "sched_getparam",
                                          "sched_getscheduler"};

// Calls that look up names in the file system, trapped to answerTrappedCall.
constexpr const char* StatCalls[] = {"newfstatat", "statx"};

int (*g_knownFile)(const char*) = nullptr;
pid_t g_decoder = 0;

#if defined(__x86_64__)
// A call by name of the file system (newfstatat), answered through fstat, which takes
// none: the status of an open descriptor (an empty name with AT_EMPTY_PATH, as glibc's
// fstat() asks) and of the files opened before the walls by their names (libwmf looks for
// its fonts so). Any other lookup is refused.
long statByDescriptor(const greg_t* registers) {
    const auto* name = reinterpret_cast<const char*>(registers[REG_RSI]);
    int fd = -1;
    if (name && name[0] == '\0' && (registers[REG_R10] & AT_EMPTY_PATH) != 0)
        fd = int(registers[REG_RDI]);
    else if (name && name[0] == '/' && g_knownFile)
        fd = g_knownFile(name);
    if (fd < 0) return -EACCES;
    return syscall(SYS_fstat, fd, registers[REG_RDX]) == 0 ? 0 : -errno;
}

// A call about another process id: answered, as for the caller, only when the id is the
// decoder's or one of its threads' (glibc asks about a thread by its id); any other process
// is as if it did not exist.
long answerForOwnThreads(long call, const greg_t* registers) {
    const auto pid = pid_t(registers[REG_RDI]);
    const bool own = pid == g_decoder || (pid > 0 && syscall(SYS_tgkill, g_decoder, pid, 0) == 0);
    if (!own) return -ESRCH;
    const long result =
        syscall(call, 0, registers[REG_RSI], registers[REG_RDX], registers[REG_R10]);
    return result >= 0 ? result : -errno;
}
#endif

// The filter traps here what it cannot decide by the arguments' values alone. statx is
// not needed once the walls are up: its callers fall back to fstat.
void answerTrappedCall(int, siginfo_t* info, void* context) {
    const int savedErrno = errno;
#if defined(__x86_64__)
    greg_t* registers = static_cast<ucontext_t*>(context)->uc_mcontext.gregs;
    const long call = info->si_syscall;
    registers[REG_RAX] = call == SYS_newfstatat ? statByDescriptor(registers)
                         : call == SYS_statx    ? -ENOSYS
                                                : answerForOwnThreads(call, registers);
#else
    (void)info, (void)context;
#endif
    errno = savedErrno;
}

bool trapCalls(int (*knownFile)(const char*)) {
    g_knownFile = knownFile;
    g_decoder = getpid();
    struct sigaction action {};
    action.sa_sigaction = answerTrappedCall;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGSYS, &action, nullptr) == 0;
}

bool addWithArgument(scmp_filter_ctx filter, std::uint32_t action, const char* name,
                     const scmp_arg_cmp& check) {
    const int call = seccomp_syscall_resolve_name(name);
    return call == __NR_SCMP_ERROR || seccomp_rule_add(filter, action, call, 1, check) == 0;
}

bool installFilter(int (*knownFile)(const char*)) {
    std::unique_ptr<void, FilterDeleter> filter(seccomp_init(SCMP_ACT_KILL_PROCESS));
    if (!filter) return false;
    scmp_filter_ctx f = filter.get();
    const auto answerOnly = argument(0, SCMP_CMP_EQ, DecoderAnswerFd);
    const auto doneOnly = argument(0, SCMP_CMP_EQ, DecoderDoneFd);
    const auto self = argument(0, SCMP_CMP_EQ, static_cast<scmp_datum_t>(getpid()));
    // Threads only: a new process would be outside these walls' reason.
    const auto thread = argument(0, SCMP_CMP_MASKED_EQ, CLONE_THREAD, CLONE_THREAD);
    // No memory becomes executable: everything that runs here is loaded already.
    const auto notExecutable = argument(2, SCMP_CMP_MASKED_EQ, PROT_EXEC, 0);
    const auto executable = argument(2, SCMP_CMP_MASKED_EQ, PROT_EXEC, PROT_EXEC);
    bool ok = addAll(f, SCMP_ACT_ALLOW, Allowed) && addAll(f, SCMP_ACT_ERRNO(EACCES), Refused) &&
              addAll(f, SCMP_ACT_TRAP, StatCalls) &&
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
    for (const char* call : {"mmap", "mprotect"})
        ok = ok && addWithArgument(f, SCMP_ACT_ALLOW, call, notExecutable) &&
             addWithArgument(f, SCMP_ACT_ERRNO(EACCES), call, executable);
    for (const char* call : OwnProcessOnly)
        ok = ok && addWithArgument(f, SCMP_ACT_ALLOW, call, argument(0, SCMP_CMP_EQ, 0)) &&
             addWithArgument(f, SCMP_ACT_TRAP, call, argument(0, SCMP_CMP_NE, 0));
    for (const int command : DescriptorCommands)
        ok = ok && seccomp_rule_add(f, SCMP_ACT_ALLOW, SCMP_SYS(fcntl), 1,
                                    argument(1, SCMP_CMP_EQ, scmp_datum_t(command))) == 0;
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
    return ok && fonts && trapCalls(knownFile) && seccomp_load(f) == 0;
}

} // namespace

bool enterSandbox(const SandboxLimits& limits) {
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return false;
    const rlimit space{limits.addressSpaceBytes, limits.addressSpaceBytes};
    const rlimit cpu{limits.cpuSeconds, limits.cpuSeconds + 1}; // SIGXCPU, then SIGKILL
    if (setrlimit(RLIMIT_AS, &space) != 0 || setrlimit(RLIMIT_CPU, &cpu) != 0) return false;
    return installFilter(limits.knownFile);
}

} // namespace kamsulo::imaging::decoder
