#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// The outcome of one run of vellumo-cli.
struct TCliResult {
    int Status = -1;
    QByteArray Out;
    QByteArray Err;
};

// How a run differs from a plain one.
struct TCliRunOptions {
    // The file-size limit of the process in bytes (a stand-in for a full
    // disk); none when negative.
    qint64 FileSizeLimit = -1;
    // Variables set (or, with an empty value, removed) in its environment.
    QList<std::pair<QString, QString>> Environment;
};

// Every test runs the program on a store of its own.
class CliTest : public ::testing::Test
{
protected:
    void SetUp() override;

    // Runs vellumo-cli with the test's store and the given arguments.
    TCliResult Run(const QStringList& arguments, const TCliRunOptions& options = {}) const;
    // The same with another store.
    static TCliResult RunOn(const QString& store, const QStringList& arguments, const TCliRunOptions& options = {});
    // Runs it and expects success; returns standard output.
    QByteArray RunOk(const QStringList& arguments) const;

    QString FStore;
    QString FFolder;
};
