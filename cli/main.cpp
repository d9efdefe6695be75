// vellumo-cli: the store from the command line.

#include "cli/CliCommand.h"

#include "engine/StoreNamespace.h"
#include "settings/AppPaths.h"
#include "settings/BaseOptions.h"
#include "settings/GlobStrings.h"
#include "settings/SettingsStore.h"
#include "store/OEFolder.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>

namespace {

const QString kStoreOption = QStringLiteral("store");
const QString kCreateOption = QStringLiteral("create");

QString CommandList()
{
    QString text = QStringLiteral("Commands:\n");
    for (const TCliCommand& command : CliCommands())
        text += QStringLiteral("  %1 %2\n").arg(command.Name, -16).arg(command.Summary);
    return text + QStringLiteral("\nRun 'vellumo-cli COMMAND --help' for the arguments of a command.\n");
}

const TCliCommand* FindCommand(const QString& name)
{
    for (const TCliCommand& command : CliCommands()) {
        if (command.Name == name)
            return &command;
    }
    return nullptr;
}

void AddCommonOptions(QCommandLineParser& parser)
{
    parser.addHelpOption();
    parser.addOption({kStoreOption, QStringLiteral("The store database (default: $VELLUMO_STORE, else the user's store)."),
                      QStringLiteral("PATH")});
    parser.addOption({kCreateOption, QStringLiteral("Create the store when it does not exist yet.")});
}

int Run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    // First pass: find the command among the positional arguments.
    QCommandLineParser first;
    first.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    AddCommonOptions(first);
    first.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do."), QStringLiteral("COMMAND"));
    first.parse(arguments);
    const QString name = first.positionalArguments().value(0);
    const TCliCommand* command = FindCommand(name);
    if (!command) {
        if (!name.isEmpty())
            err << QStringLiteral("vellumo-cli: unknown command \"%1\"\n").arg(name);
        (name.isEmpty() && first.isSet(QStringLiteral("help")) ? out : err)
            << first.helpText() << QLatin1Char('\n') << CommandList();
        return name.isEmpty() && first.isSet(QStringLiteral("help")) ? 0 : 2;
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(command->Summary);
    AddCommonOptions(parser);
    parser.addPositionalArgument(command->Name, QString(), command->Name + QLatin1Char(' ') + command->Arguments);
    if (command->AddOptions)
        command->AddOptions(parser);
    if (!parser.parse(arguments)) {
        err << QStringLiteral("vellumo-cli: %1\n").arg(parser.errorText());
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return 0;
    }
    if (parser.isSet(kStoreOption))
        qputenv("VELLUMO_STORE", QFile::encodeName(parser.value(kStoreOption)));
    // A mistyped path must not leave a new, empty store behind.
    const QString store = TStoreNamespace::DefaultStorePath();
    if (!parser.isSet(kCreateOption) && !TStoreNamespace::StoreExists(store)) {
        err << QStringLiteral("vellumo-cli: no store at %1 (use --create to make a new one)\n").arg(store);
        return 1;
    }

    // The store is opened once before any command runs, so that a store
    // that cannot be opened gives the same words whatever the command.
    TStoreNamespace probe;
    if (const TStoreResult opened = probe.Initialize(); opened != srOk) {
        err << QStringLiteral("vellumo-cli: %1\n").arg(StoreOpenError(opened));
        return 1;
    }
    ProtectStoreFiles(probe.Path());

    TCliRun run(parser, out, err);
    try {
        return command->Run(run);
    } catch (const EUsageError& error) {
        err << QStringLiteral("vellumo-cli %1: %2\n").arg(command->Name, error.Message()) << parser.helpText();
        return 2;
    } catch (const Exception& error) {
        err << QStringLiteral("vellumo-cli %1: %2\n").arg(command->Name, error.Message());
        return 1;
    }
}

// The language file the user chose in the program's settings, else English.
QString ChosenLanguageFile()
{
    const QString english = QStringLiteral("english.ini");
    QString name = english;
    try {
        name = TRegistryStore(kSettingsStoreKey).ReadString(QString(), QStringLiteral("LanguageFile"), english);
    } catch (const Exception&) {
        // An unreadable settings file leaves the default.
    }
    return ResolveLanguagePath(name.isEmpty() ? english : name, DataFolder());
}

} // namespace

int main(int argc, char** argv)
{
    // A write over the file-size limit fails like one on a full disk and is
    // reported; it does not end the program half-way through a command.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vellumo-cli"));
    // Store and file errors take their texts from the language the user
    // chose for the program; the command's own words stay English, which
    // scripts that read them rely on.
    for (const QString& file : {ChosenLanguageFile(), ResolveLanguagePath(QStringLiteral("english.ini"), DataFolder())}) {
        try {
            Lang().LoadLanguage(file);
            break;
        } catch (const Exception&) {
            // Without any file the errors keep their built-in English texts.
        }
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = Run(QCoreApplication::arguments(), out, err);
    out.flush();
    err.flush();
    return status;
}
