#include "cli/CliCommand.h"

#include "settings/GlobStrings.h"
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
            throw ECliError(StoreOpenError(srFail));
        }
    }
    return *FFolders;
}

QString StoreOpenError(TStoreResult result)
{
    const QString text = Lang().SectionValue(QStringLiteral("OutlookError"), QStringLiteral("Init"));
    return QStringLiteral("%1 %2 (%3)").arg(text, TStoreNamespace::DefaultStorePath(), QLatin1String(StoreResultText(result)));
}

QString StoreFailure(const QString& what, TStoreResult result)
{
    return QStringLiteral("%1: %2").arg(what, QLatin1String(StoreResultText(result)));
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
