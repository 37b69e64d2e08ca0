#pragma once

// Steps that folder permissions must bind, for tests that run as the
// superuser (who ignores them, as CI does), and the folders that bind them.

#include <QDir>
#include <QFile>
#include <QString>

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

// Runs `step` in a child process that folder permissions bind: as the user
// "nobody" when the test runs as the superuser. Gives the child's exit code,
// -1 when it did not end by itself.
inline int withoutSuperuserRights(const std::function<int()>& step)
{
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(100);
        _exit(step());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The folder `name` of `parent`, whose entries all may read and none may
// change; `parent` is opened to all, so that "nobody" reaches it.
inline QString readOnlyFolder(const QString& parent, const QString& name)
{
    const QString folder = parent + QLatin1Char('/') + name;
    QDir().mkpath(folder);
    QFile::setPermissions(parent,
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    return folder;
}
