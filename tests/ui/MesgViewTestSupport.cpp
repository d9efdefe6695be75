#include "tests/ui/MesgViewTestSupport.h"

#include "base/FastMemoryStream.h"
#include "content/MimeParser.h"
#include "messages/MesgItem.h"
#include "settings/GlobStrings.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>

QByteArray ViewBytes(const char* name)
{
    const QByteArray bytes = ReadFixture(QStringLiteral("view/") + QLatin1String(name));
    EXPECT_FALSE(bytes.isEmpty()) << name;
    return bytes;
}

TDesktopRecorder::TDesktopRecorder()
    : FOldOpener(SetDesktopOpener([this](const QUrl& url) {
        Opened << url;
        return OpenResult;
    }))
    , FOldChooser(SetProgramChooser([this](const QString& path) {
        Chosen << path;
        return ChooserResult;
    }))
{
}

TDesktopRecorder::~TDesktopRecorder()
{
    SetDesktopOpener(FOldOpener);
    SetProgramChooser(FOldChooser);
}

TMesgViewSandbox::TMesgViewSandbox()
{
    Settings.Options.AdSamples().AddAdSample(QStringLiteral("Get your free mailbox at www.examplemail.invalid today"),
                                             Settings.Options.AdSamplesPath());
}

TMesgItem& TMesgViewSandbox::Item(const QByteArray& source, bool unsent)
{
    auto stream = std::make_shared<TFastMemoryStream>(TFastMemoryStream::BlockSizeFor(source.size()));
    stream->WriteBuffer(source.constData(), source.size());
    stream->SetPosition(0);
    auto item = std::make_unique<TMesgItem>(&Items);
    item->SetSource(std::move(stream));
    TMimeMessage message;
    item->DecodeInto(message);
    item->DeriveFields(message, DecodeListHeader(message));
    item->SetStateBit(stUnsent, unsent);
    return *static_cast<TMesgItem*>(Items.Insert(Items.Count(), std::move(item)));
}

QString TMesgViewSandbox::TempPath(const QString& name) const
{
    return Settings.Sandbox.Root() + QLatin1Char('/') + name;
}

TSharedSource SourceOfFile(const QString& path)
{
    const QByteArray bytes = ReadTestFile(path);
    auto stream = std::make_shared<TFastMemoryStream>(TFastMemoryStream::BlockSizeFor(bytes.size()));
    stream->WriteBuffer(bytes.constData(), bytes.size());
    stream->SetPosition(0);
    return stream;
}

std::unique_ptr<TMimeMessage> ParseFile(const QString& path)
{
    auto message = std::make_unique<TMimeMessage>();
    TMimeParser().Parse(SourceOfFile(path), *message, TMimeParser::TMode::Full);
    return message;
}

QList<QByteArray> AttachmentData(TMimeMessage& message)
{
    QList<QByteArray> data;
    for (int i = 0; i < message.PartCount(); ++i)
        if (message.Part(i).Kind() == TMimePart::TKind::Attachment)
            data << static_cast<TMimeAttachment&>(message.Part(i)).DataBytes();
    return data;
}
