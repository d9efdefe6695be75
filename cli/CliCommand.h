#pragma once

#include "base/Exception.h"
#include "engine/StoreTypes.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>
#include <vector>

class TOEFolders;

// A failure the command reports on standard error with exit status 1.
class ECliError : public Exception
{
public:
    using Exception::Exception;
};

// A mistake in the command line: reported with the usage, exit status 2.
class EUsageError : public Exception
{
public:
    using Exception::Exception;
};

// What a running command works with.
class TCliRun
{
public:
    TCliRun(QCommandLineParser& parser, QTextStream& out, QTextStream& err);
    ~TCliRun();

    QCommandLineParser& Parser;
    QTextStream& Out;
    QTextStream& Err;

    // The positional arguments after the command name.
    [[nodiscard]] QStringList Arguments() const;
    // Exactly `count` arguments, else a usage error.
    QStringList ExpectArguments(int count) const;
    // The folder model over the store, opened on first use.
    [[nodiscard]] TOEFolders& Folders();

private:
    std::unique_ptr<TOEFolders> FFolders;
};

// "The message store cannot be opened. PATH (reason)" for the store in use.
[[nodiscard]] QString StoreOpenError(TStoreResult result);
// "what: reason" for a store operation that failed.
[[nodiscard]] QString StoreFailure(const QString& what, TStoreResult result);

// One subcommand: its name, what it does, its arguments and options.
struct TCliCommand {
    QString Name;
    QString Summary;
    QString Arguments;   // e.g. "FOLDER NAME", shown in the usage
    std::function<void(QCommandLineParser&)> AddOptions;
    std::function<int(TCliRun&)> Run;
};

// Every subcommand, in the order the help lists them.
[[nodiscard]] const std::vector<TCliCommand>& CliCommands();
void AddFolderCommands(std::vector<TCliCommand>& commands);
void AddMessageCommands(std::vector<TCliCommand>& commands);
void AddDbxCommands(std::vector<TCliCommand>& commands);
