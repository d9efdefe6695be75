#include "tests/content/ViewTestSupport.h"

#include "base/FastMemoryStream.h"
#include "tests/support/TestEnvironment.h"

TSharedSource SourceOf(const QByteArray& bytes)
{
    auto stream = std::make_shared<TFastMemoryStream>(TFastMemoryStream::BlockSizeFor(bytes.size()));
    stream->WriteBuffer(bytes.constData(), bytes.size());
    stream->SetPosition(0);
    return stream;
}

TSharedSource ViewFixture(const char* name)
{
    const QByteArray bytes = ReadFixture(QStringLiteral("view/") + QLatin1String(name));
    EXPECT_FALSE(bytes.isEmpty()) << name;
    return SourceOf(bytes);
}

TViewOptions FixtureOptions()
{
    TViewOptions options;
    options.AdSamples = {kFixtureAdSample};
    return options;
}
