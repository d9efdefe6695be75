#pragma once

#include "content/MimeMessage.h"
#include "content/MimeSource.h"
#include "messages/MesgItems.h"
#include "tests/ui/BoxAnswers.h"
#include "tests/ui/DialogTestSupport.h"
#include "ui/mesg/ShellOpen.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

class TAbstractMesgEditor;
class TMesgItem;

// The fixture of tests/data/view of that name.
[[nodiscard]] QByteArray ViewBytes(const char* name);

// Records what would have gone to the desktop: opened URLs and the files
// offered to the program chooser, each answered by the set result.
class TDesktopRecorder
{
public:
    TDesktopRecorder();
    ~TDesktopRecorder();
    TDesktopRecorder(const TDesktopRecorder&) = delete;
    TDesktopRecorder& operator=(const TDesktopRecorder&) = delete;

    QList<QUrl> Opened;
    QStringList Chosen;
    bool OpenResult = true;
    bool ChooserResult = false;

private:
    TDesktopOpener FOldOpener;
    TProgramChooser FOldChooser;
};

// A settings object with the shipped English texts and the fixtures'
// advertisement sample; boxes answered, desktop recorded.
class TMesgViewSandbox
{
public:
    TMesgViewSandbox();

    TOptionsSandbox Settings;
    TBoxAnswers Boxes;
    TDesktopRecorder Desktop;
    TMesgItems Items;

    // A list item holding the bytes as its source (`unsent` sets its mark).
    TMesgItem& Item(const QByteArray& source, bool unsent = false);
    // A file of the test's temporary folder.
    [[nodiscard]] QString TempPath(const QString& name) const;
};

// A file's bytes as a message source.
[[nodiscard]] TSharedSource SourceOfFile(const QString& path);
// A message file as written, parsed back fully.
[[nodiscard]] std::unique_ptr<TMimeMessage> ParseFile(const QString& path);
// The data of every attachment of a message, in order.
[[nodiscard]] QList<QByteArray> AttachmentData(TMimeMessage& message);
