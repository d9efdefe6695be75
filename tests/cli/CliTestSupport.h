#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// The outcome of one run of vellumo-cli.
struct TCliResult {
    int Status = -1;
    QByteArray Out;
    QByteArray Err;
};

// Every test runs the program on a store of its own.
class CliTest : public ::testing::Test
{
protected:
    void SetUp() override;

    // Runs vellumo-cli with the test's store and the given arguments.
    TCliResult Run(const QStringList& arguments) const;
    // The same with another store.
    static TCliResult RunOn(const QString& store, const QStringList& arguments, qint64 fileSizeLimit = -1);
    // Runs it and expects success; returns standard output.
    QByteArray RunOk(const QStringList& arguments) const;
    // Runs it with the file-size limit set to `bytes` (a stand-in for a full disk).
    TCliResult RunLimited(const QStringList& arguments, qint64 bytes) const;

    QString FStore;
    QString FFolder;
};
