#pragma once

#include <QByteArray>

#include <functional>

#include <sys/types.h>

// A forked copy of the test program that runs one function and ends. The
// function returns a report: empty when all went well, otherwise what went
// wrong, which the parent reads back. The child never returns into the
// test framework; a child still running when this object goes is killed.
class TChildProcess
{
public:
    explicit TChildProcess(const std::function<QByteArray()>& body);
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    [[nodiscard]] bool Started() const { return FPid > 0; }
    // Ends the child at once, as a crash or a power cut would (SIGKILL).
    void Kill();
    // Waits for the end of the child; returns its report.
    QByteArray Finish();
    // After Finish: true when the child was killed by a signal.
    [[nodiscard]] bool Killed() const;

private:
    pid_t FPid = -1;
    int FReadFd = -1;
    int FStatus = 0;
    bool FFinished = false;
};

// Makes the calling process run as the user "nobody" and the group
// "nogroup", without supplementary groups. Empty on success, else why not.
[[nodiscard]] QByteArray DropToNobody();
