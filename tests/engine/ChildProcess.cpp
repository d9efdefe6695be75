#include "tests/engine/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void WriteAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written <= 0 && errno != EINTR)
            return;
        if (written > 0)
            done += written;
    }
}

QByteArray ErrnoText(const char* what)
{
    return QByteArray(what) + ": " + std::strerror(errno);
}

} // namespace

TChildProcess::TChildProcess(const std::function<QByteArray()>& body)
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    FPid = fork();
    if (FPid == 0) {
        close(fds[0]);
        WriteAll(fds[1], body());
        // No destructors, no atexit handlers: they belong to the parent.
        _exit(0);
    }
    close(fds[1]);
    FReadFd = fds[0];
    if (FPid < 0) {
        close(FReadFd);
        FReadFd = -1;
    }
}

TChildProcess::~TChildProcess()
{
    if (Started() && !FFinished) {
        Kill();
        Finish();
    }
}

void TChildProcess::Kill()
{
    if (Started() && !FFinished)
        kill(FPid, SIGKILL);
}

QByteArray TChildProcess::Finish()
{
    QByteArray report;
    if (!Started() || FFinished)
        return report;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(FReadFd, buffer, sizeof buffer);
        if (got > 0)
            report.append(buffer, got);
        else if (got == 0 || errno != EINTR)
            break;
    }
    close(FReadFd);
    while (waitpid(FPid, &FStatus, 0) < 0 && errno == EINTR) {
    }
    FFinished = true;
    if (!Killed() && !(WIFEXITED(FStatus) && WEXITSTATUS(FStatus) == 0))
        report += "\nthe child ended abnormally, status " + QByteArray::number(FStatus);
    return report;
}

bool TChildProcess::Killed() const
{
    return FFinished && WIFSIGNALED(FStatus);
}

QByteArray DropToNobody()
{
    const passwd* user = getpwnam("nobody");
    const group* nogroup = getgrnam("nogroup");
    if (!user)
        return "there is no user named nobody";
    const gid_t gid = nogroup ? nogroup->gr_gid : user->pw_gid;
    if (setgroups(0, nullptr) != 0)
        return ErrnoText("setgroups");
    if (setresgid(gid, gid, gid) != 0)
        return ErrnoText("setresgid");
    if (setresuid(user->pw_uid, user->pw_uid, user->pw_uid) != 0)
        return ErrnoText("setresuid");
    return {};
}
