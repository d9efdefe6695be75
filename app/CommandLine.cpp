#include "app/CommandLine.h"

#include "settings/AppPaths.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace {

bool AsksForInfo(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "--help", "-v", "--version", "--help-all"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

} // namespace

std::optional<int> AnswerInfoOptions(int argc, char** argv)
{
    if (!AsksForInfo(argc, argv))
        return std::nullopt;
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vellumo"));
    QCoreApplication::setApplicationVersion(ProgramVersion());
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Vellumo: browse, read and manage a mail message store.\n"
        "The store is $VELLUMO_STORE, else $XDG_DATA_HOME/vellumo/store.db; "
        "the settings are $VELLUMO_CONFIG, else $XDG_CONFIG_HOME/Quorvan/Vellumo.ini.\n"
        "The windows open as they were left. vellumo-cli works on the same store from a terminal."));
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Message files (.eml) to show, each in a window of its own."),
                                 QStringLiteral("[FILE.eml...]"));
    parser.addHelpOption();
    parser.addVersionOption();
    // Exits with the answer.
    parser.process(application);
    return 0;
}
