#include "cli/CliCommand.h"

#include "store/OEFolders.h"
#include "store/OutlookError.h"

TCliRun::TCliRun(QCommandLineParser& parser, QTextStream& out, QTextStream& err)
    : Parser(parser)
    , Out(out)
    , Err(err)
{
}

TCliRun::~TCliRun() = default;

QStringList TCliRun::Arguments() const
{
    return Parser.positionalArguments().mid(1);
}

QStringList TCliRun::ExpectArguments(int count) const
{
    const QStringList arguments = Arguments();
    if (arguments.size() != count)
        throw EUsageError(QStringLiteral("expected %1 argument(s), got %2").arg(count).arg(arguments.size()));
    return arguments;
}

TOEFolders& TCliRun::Folders()
{
    if (!FFolders) {
        try {
            FFolders = std::make_unique<TOEFolders>();
        } catch (const EOutlookError&) {
            throw ECliError(QStringLiteral("cannot open the store %1").arg(TStoreNamespace::DefaultStorePath()));
        }
    }
    return *FFolders;
}

const std::vector<TCliCommand>& CliCommands()
{
    static const std::vector<TCliCommand> commands = [] {
        std::vector<TCliCommand> all;
        AddFolderCommands(all);
        AddMessageCommands(all);
        AddDbxCommands(all);
        return all;
    }();
    return commands;
}
